// The stream every game file goes through: little-endian fields, reads past the end, and the
// cut on close that must never rewrite what lies before it.
#include "support/harness.h"
#include "track/track_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

TEST(TrackFile, FieldsRoundTripLittleEndianAndReadsPastTheEndChangeNothing)
{
    TempGameFolder folder;
    {
        TrackFile f;
        ASSERT_TRUE(f.open("a.bin", trackFileWrite));
        f.writeU16(0x1234);
        f.writeU32(0xA1B2C3D4);
        f.writeF32(-2.5f);
        f.writeI8(-3);
        ASSERT_TRUE(f.close());
    }
    std::string raw = folder.read("a.bin");
    ASSERT_EQ(raw.size(), 11u);
    EXPECT_EQ(uint8_t(raw[0]), 0x34);
    EXPECT_EQ(uint8_t(raw[2]), 0xD4);

    TrackFile f;
    ASSERT_TRUE(f.open("A.BIN", trackFileRead));  // names resolve without regard to case
    uint16_t a = 0;
    uint32_t b = 0;
    float c = 0;
    int8_t d = 0;
    EXPECT_TRUE(f.readU16(a) && f.readU32(b) && f.readF32(c) && f.readI8(d));
    EXPECT_EQ(a, 0x1234);
    EXPECT_EQ(b, 0xA1B2C3D4u);
    EXPECT_EQ(c, -2.5f);
    EXPECT_EQ(d, -3);
    uint32_t untouched = 77;
    EXPECT_FALSE(f.readU32(untouched));
    EXPECT_EQ(untouched, 77u);
    char buf[8] = {};
    f.seek(8, SEEK_SET);
    EXPECT_EQ(f.read(buf, 8), 3u);  // a plain read delivers what is there
    EXPECT_FALSE(f.readBytes(buf, 1u << 20));
}

TEST(TrackFile, TruncateHereCutsTheSameFileInPlaceAndKeepsItsStart)
{
    TempGameFolder folder;
    std::string body(5000, 'b');
    folder.write("t.trk", body + std::string(3000, 'r'));
    struct stat before {};
    ASSERT_EQ(stat(folder.path("t.trk").c_str(), &before), 0);
    {
        TrackFile f;
        ASSERT_TRUE(f.open("t.trk", trackFileRead | trackFileWrite));
        f.seek(5000, SEEK_SET);
        f.writeBytes("XY", 2);
        char c = 0;
        EXPECT_EQ(f.read(&c, 1), 1u);  // a read straight after a write sees the file
        EXPECT_EQ(c, 'r');
        f.seek(5002, SEEK_SET);
        f.truncateHere();
        ASSERT_TRUE(f.close());
    }
    struct stat after {};
    ASSERT_EQ(stat(folder.path("t.trk").c_str(), &after), 0);
    EXPECT_EQ(before.st_ino, after.st_ino);
    EXPECT_EQ(folder.read("t.trk"), body + "XY");
}

TEST(TrackFile, ReplaceLeavesTheOldFileUntilClosed)
{
    TempGameFolder folder;
    folder.write("o.set", "old");
    TrackFile f;
    ASSERT_TRUE(f.open("o.set", trackFileWrite | trackFileReplace));
    f.writeBytes("new!", 4);
    EXPECT_EQ(folder.read("o.set"), "old");
    ASSERT_TRUE(f.close());
    EXPECT_EQ(folder.read("o.set"), "new!");
    EXPECT_FALSE(f.open("missing.bin", trackFileRead));
}

// Bytes in memory read as the same bytes on disk would: the fuzz targets feed the loaders
// that way, so any difference would fuzz a loader that never runs.
TEST(TrackFile, BytesInMemoryReadAsTheFileOfThemDoes)
{
    TempGameFolder folder;
    const std::string bytes = "\x34\x12\xD4\xC3\xB2\xA1xyz";
    folder.write("m.bin", bytes);
    TrackFile disk, memory;
    ASSERT_TRUE(disk.open("m.bin", trackFileRead));
    ASSERT_TRUE(memory.openBytes(bytes.data(), bytes.size()));
    // Each step: a seek (origin, offset), then a read of n bytes.
    const struct {
        int origin;
        long offset;
        size_t n;
    } steps[] = {{SEEK_SET, 0, 2}, {SEEK_CUR, 1, 4}, {SEEK_END, -2, 8}, {SEEK_SET, 20, 1},
                 {SEEK_END, 5, 2}, {SEEK_SET, -1, 1}, {SEEK_CUR, -30, 3}, {SEEK_SET, 3, 0}};
    for (const auto& s : steps) {
        SCOPED_TRACE(s.offset);
        EXPECT_EQ(memory.seek(s.offset, s.origin), disk.seek(s.offset, s.origin));
        EXPECT_EQ(memory.tell(), disk.tell());
        char a[8] = {}, b[8] = {};
        EXPECT_EQ(memory.read(a, s.n), disk.read(b, s.n));
        EXPECT_EQ(std::string(a, 8), std::string(b, 8));
        EXPECT_EQ(memory.tell(), disk.tell());
        EXPECT_EQ(memory.size(), disk.size());
    }
    EXPECT_FALSE(memory.writeU8(1));  // read only, as the file opened for reading
    EXPECT_FALSE(memory.close());

    // A served game path reads the bytes; writing it, or once withdrawn, goes to the disk.
    const std::string other = "other";
    serveFromMemory("m.bin", other.data(), other.size());
    TrackFile served;
    ASSERT_TRUE(served.open("m.bin", trackFileRead));
    EXPECT_EQ(served.size(), 5);
    stopServingFromMemory();
    ASSERT_TRUE(served.open("m.bin", trackFileRead));
    EXPECT_EQ(served.size(), long(bytes.size()));
}
