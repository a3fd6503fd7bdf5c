#include "platform/clock.h"
#include "platform/file_ops.h"
#include "platform/game_path.h"
#include "support/harness.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

TEST(MoveFile, MovesButNeverOverwrites)
{
    TempGameFolder dir;
    dir.write("tracks/a.trk", "A");
    dir.write("tracks/rally/a.trk", "old");
    dir.makeFolder("tracks/snow");
    EXPECT_FALSE(moveGameFile("tracks\\a.trk", "tracks\\rally\\a.trk"));
    EXPECT_EQ(dir.read("tracks/rally/a.trk"), "old");
    EXPECT_EQ(dir.read("tracks/a.trk"), "A");
    EXPECT_TRUE(moveGameFile("TRACKS\\A.TRK", "tracks\\Snow\\a.trk"));
    EXPECT_EQ(dir.read("tracks/snow/a.trk"), "A");
    EXPECT_FALSE(dir.exists("tracks/a.trk"));
    EXPECT_FALSE(moveGameFile("tracks\\missing.trk", "tracks\\b.trk"));
}

TEST(DeleteTree, RemovesEverythingBelowButNeverFollowsALink)
{
    TempGameFolder dir;
    dir.write("tracks/old/a.trk", "a");
    dir.write("tracks/old/deep/b.trk", "b");
    dir.write("precious/keep.trk", "keep");
    ASSERT_EQ(symlink(dir.path("precious").c_str(), dir.path("tracks/old/link").c_str()), 0);
    ASSERT_EQ(symlink(dir.path("precious/keep.trk").c_str(), dir.path("tracks/old/deep/filelink").c_str()), 0);
    EXPECT_TRUE(deleteGameTree("Tracks\\OLD"));
    EXPECT_FALSE(dir.exists("tracks/old"));
    EXPECT_EQ(dir.read("precious/keep.trk"), "keep");
    EXPECT_FALSE(deleteGameTree("tracks\\old"));
}

TEST(SafeWrite, ReplacesOnlyWhenCommittedAndLeavesNoTemporaryFile)
{
    TempGameFolder dir;
    dir.write("options.set", "old contents");
    SafeWrite w;
    ASSERT_TRUE(beginSafeWrite(w, "OPTIONS.SET"));
    std::fputs("new", w.file);
    EXPECT_EQ(dir.read("options.set"), "old contents");  // not yet
    ASSERT_TRUE(commitSafeWrite(w));
    EXPECT_EQ(dir.read("options.set"), "new");

    SafeWrite dropped;
    ASSERT_TRUE(beginSafeWrite(dropped, "options.set"));
    std::fputs("half", dropped.file);
    abandonSafeWrite(dropped);
    EXPECT_EQ(dir.read("options.set"), "new");
    int files = 0;
    for (auto& e : std::filesystem::directory_iterator(dir.root())) files += e.is_regular_file();
    EXPECT_EQ(files, 1);

    SafeWrite nowhere;
    EXPECT_FALSE(beginSafeWrite(nowhere, "no\\such\\folder\\x"));
    EXPECT_FALSE(commitSafeWrite(nowhere));
}

TEST(SafeWrite, AnUpdateStartsFromACopyAndSparesAReadOnlyFile)
{
    TempGameFolder dir;
    dir.write("t.trk", "0123456789");
    SafeWrite w;
    ASSERT_TRUE(beginSafeUpdate(w, "T.TRK"));
    char head[4] = {};
    ASSERT_EQ(std::fread(head, 1, 4, w.file), 4u);
    EXPECT_EQ(std::string(head, 4), "0123");
    std::fseek(w.file, 8, SEEK_SET);
    std::fputs("XYZ", w.file);
    EXPECT_EQ(dir.read("t.trk"), "0123456789");  // not yet
    ASSERT_TRUE(commitSafeWrite(w));
    EXPECT_EQ(dir.read("t.trk"), "01234567XYZ");

    SafeWrite missing;
    EXPECT_FALSE(beginSafeUpdate(missing, "none.trk"));
    if (geteuid() != 0) {  // root writes anyway
        chmod(dir.path("t.trk").c_str(), 0444);
        SafeWrite locked;
        EXPECT_FALSE(beginSafeUpdate(locked, "t.trk"));
    }
    int files = 0;
    for (auto& e : std::filesystem::directory_iterator(dir.root())) files += e.is_regular_file();
    EXPECT_EQ(files, 1);
}

// What a killed writer leaves is removed, a live writer's file and everything else stays.
TEST(StaleTemporaries, OnlyThoseOfProcessesThatAreGoneAreRemoved)
{
    TempGameFolder dir;
    pid_t gone = fork();
    if (gone == 0) _exit(0);
    waitpid(gone, nullptr, 0);
    std::string dead = std::to_string(gone), alive = std::to_string(getpid());
    const char* kept[] = {"options.set", "notes.tmp", "a.tmpx1", "b.tmp12a", ".tmp1"};
    for (const char* name : kept) dir.write(std::string("saves/") + name, "k");
    dir.write("saves/Race.gam.tmp" + alive, "live");
    dir.write("saves/Race.gam.tmp" + dead, "half");
    dir.write("saves/a.drv.tmp" + dead, "half");
    dir.makeFolder("saves/folder.tmp" + dead);
    EXPECT_EQ(removeStaleTemporaries("Saves"), 2);
    EXPECT_FALSE(dir.exists("saves/Race.gam.tmp" + dead));
    EXPECT_FALSE(dir.exists("saves/a.drv.tmp" + dead));
    EXPECT_TRUE(dir.exists("saves/Race.gam.tmp" + alive));
    EXPECT_TRUE(dir.exists("saves/folder.tmp" + dead));
    for (const char* name : kept) EXPECT_TRUE(dir.exists(std::string("saves/") + name)) << name;
    EXPECT_EQ(removeStaleTemporaries("no\\such"), 0);
}

TEST(TruncateOpenFile, CutsInPlace)
{
    TempGameFolder dir;
    dir.write("t.trk", "0123456789");
    std::FILE* f = openGameFile("t.trk", "r+b");
    ASSERT_NE(f, nullptr);
    EXPECT_TRUE(truncateOpenFile(f, 4));
    std::fclose(f);
    EXPECT_EQ(dir.read("t.trk"), "0123");
    EXPECT_FALSE(truncateOpenFile(nullptr, 1));
}

TEST(Clock, DrivenTicksReplaceSdlsAndTheCalendarIsUtc)
{
    {
        DrivenTicks clock(500);
        EXPECT_EQ(ticks(), 500u);
        clock.advance(25);
        EXPECT_EQ(ticks(), 525u);
    }
    SystemTime t = currentUtcTime();
    EXPECT_GE(t.year, 2024);
    EXPECT_GE(t.month, 1);
    EXPECT_LE(t.month, 12);
    EXPECT_LE(t.dayOfWeek, 6);
    EXPECT_LE(t.millisecond, 999);
    time_t now = time(nullptr);
    tm utc;
    gmtime_r(&now, &utc);
    EXPECT_EQ(t.dayOfWeek, utc.tm_wday);
    SystemTime d;
    d.year = 2026;
    d.month = 12;
    d.day = 8;
    d.dayOfWeek = 2;
    EXPECT_NE(formatUserDate(d).find("08"), std::string::npos);
}
