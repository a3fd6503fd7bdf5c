#include "files/ini_file.h"

#include "support/harness.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

static IniFile parse(const std::string& text)
{
    IniFile ini;
    parseIniBuffer(ini, text.data(), text.size());
    return ini;
}

static const IniEntry& entry(const IniFile& ini, const char* section, const char* key)
{
    static const IniEntry missing{"<missing>", -1, 0, 0.0f, ""};
    const IniEntry* e = findIniEntry(ini, section, key);
    return e ? *e : missing;
}

TEST(IniFile, NamesMatchWithoutCaseAndKeepTheirSpelling)
{
    IniFile ini = parse("[replay]\nframeSTEP=2\n");
    int32_t value = 0, type = -1;
    ASSERT_TRUE(lookUpIniInteger(ini, "Replay", "FrameStep", value, type));
    EXPECT_EQ(value, 2);
    EXPECT_EQ(type, iniInteger);
    EXPECT_EQ(entry(ini, "REPLAY", "framestep").key, "frameSTEP");
    EXPECT_EQ(findIniSection(ini, "Replay")->name, "replay");
    EXPECT_FALSE(lookUpIniInteger(ini, "Replay", "Length", value, type));
    EXPECT_FALSE(lookUpIniInteger(ini, "Misc", "FrameStep", value, type));
}

TEST(IniFile, CommentsEndTheLine)
{
    IniFile ini = parse("[Replay]\n"
                        "Length = 20 ; seconds\n"
                        "; FrameStep = 9\n"
                        "Note = keep ; = 4\n"
                        "Odd ; = 3\n"
                        "Empty = ; nothing\n");
    EXPECT_EQ(entry(ini, "Replay", "Length").type, iniInteger);
    EXPECT_EQ(entry(ini, "Replay", "Length").intValue, 20);
    EXPECT_EQ(findIniEntry(ini, "Replay", "FrameStep"), nullptr);
    EXPECT_EQ(entry(ini, "Replay", "Note").text, "keep");
    EXPECT_EQ(findIniEntry(ini, "Replay", "Odd"), nullptr);
    EXPECT_EQ(entry(ini, "Replay", "Empty").type, iniInteger);
    EXPECT_EQ(entry(ini, "Replay", "Empty").intValue, 0);
    EXPECT_EQ(findIniSection(ini, "Replay")->count, 3);
}

TEST(IniFile, FirstValueWinsAndRepeatedHeadersJoin)
{
    IniFile ini = parse("[Replay]\nFrameStep = 3\n[Misc]\nA = 1\n[REPLAY]\nframestep = 7\nLength = 30\n");
    EXPECT_EQ(ini.count, 2);
    EXPECT_EQ(entry(ini, "Replay", "FrameStep").intValue, 3);
    EXPECT_EQ(entry(ini, "Replay", "Length").intValue, 30);
    EXPECT_EQ(entry(ini, "Misc", "A").intValue, 1);
    EXPECT_EQ(findIniSection(ini, "Replay")->count, 2);
}

TEST(IniFile, DigitsPointsAndSpacesMakeNumbersAnythingElseText)
{
    IniFile ini = parse("[S]\n"
                        "Int = 42\n"
                        "Real = 150.75\n"
                        "Minus = -5\n"
                        "Word = abc\n"
                        "Equals = 1=2\n"
                        "Spaced = 12 34\n"
                        "Palette =   my palette.pal   \n"
                        "Huge = 99999999999999\n"
                        "Empty =\n");
    EXPECT_EQ(entry(ini, "S", "Int").type, iniInteger);
    EXPECT_FLOAT_EQ(entry(ini, "S", "Int").realValue, 42.0f);
    EXPECT_EQ(entry(ini, "S", "Int").text, "42");

    const IniEntry& real = entry(ini, "S", "Real");
    EXPECT_EQ(real.type, iniReal);
    EXPECT_EQ(real.intValue, 150);
    EXPECT_FLOAT_EQ(real.realValue, 150.75f);
    EXPECT_EQ(real.text, "150.75");

    for (const char* key : {"Minus", "Word", "Equals"}) {
        EXPECT_EQ(entry(ini, "S", key).type, iniText) << key;
        EXPECT_EQ(entry(ini, "S", key).intValue, 0) << key;
        EXPECT_EQ(entry(ini, "S", key).realValue, 0.0f) << key;
    }
    EXPECT_EQ(entry(ini, "S", "Minus").text, "-5");
    EXPECT_EQ(entry(ini, "S", "Equals").text, "1=2");
    EXPECT_EQ(entry(ini, "S", "Spaced").intValue, 12);
    EXPECT_EQ(entry(ini, "S", "Palette").text, "my palette.pal");
    EXPECT_EQ(entry(ini, "S", "Huge").intValue, INT32_MAX);
    EXPECT_EQ(entry(ini, "S", "Empty").type, iniInteger);
    EXPECT_EQ(entry(ini, "S", "Empty").intValue, 0);

    std::string text;
    int32_t type = -1;
    ASSERT_TRUE(lookUpIniText(ini, "s", "palette", text, type));
    EXPECT_EQ(type, iniText);
    int32_t value = 0;
    ASSERT_TRUE(lookUpIniInteger(ini, "S", "Real", value, type));
    EXPECT_EQ(type, iniReal);
    EXPECT_EQ(value, 150);
}

TEST(IniFile, LineEndsAndTabsDoNotChangeTheResult)
{
    const std::string lines[] = {"[Misc]", "  ScreenshotWidth = 640", "Name = a b", "", "Zoom = 1.5"};
    auto joined = [&](const std::string& end, bool tabs) {
        std::string out;
        for (std::string line : lines) {
            if (tabs)
                for (size_t at = line.find(" = "); at != std::string::npos; at = line.find(" = "))
                    line.replace(at, 3, "\t=\t");
            out += line + end;
        }
        return out;
    };
    for (const std::string& text : {joined("\r\n", false), joined("\r", false), joined("\n", false),
                                    joined("\r\n", true), joined("\n\r", true)}) {
        IniFile ini = parse(text);
        EXPECT_EQ(entry(ini, "Misc", "ScreenshotWidth").intValue, 640);
        EXPECT_EQ(entry(ini, "Misc", "Name").text, "a b");
        EXPECT_EQ(entry(ini, "Misc", "Zoom").type, iniReal);
        EXPECT_EQ(findIniSection(ini, "Misc")->count, 3);
    }
    // A tab inside a value reads as a space.
    EXPECT_EQ(entry(parse("[M]\nName = a\tb\t\n"), "M", "Name").text, "a b");
}

TEST(IniFile, LinesThatAreNoKeysAreIgnored)
{
    IniFile ini = parse("Early = 1\n"
                        "[Misc]\n"
                        "no equals sign here\n"
                        "= 5\n"
                        "Two words = 3\n"
                        "[]\n"
                        "[\n"
                        "Kept = 2\n"
                        "[Open section\n"
                        "Inner = 4\n"
                        "[Shut] Extra = 6\n");
    EXPECT_EQ(findIniEntry(ini, "Misc", "Early"), nullptr);
    EXPECT_EQ(entry(ini, "Misc", "Kept").intValue, 2);
    EXPECT_EQ(findIniSection(ini, "Misc")->count, 1);
    // A header without ']' names the rest of its line.
    EXPECT_EQ(entry(ini, "Open section", "Inner").intValue, 4);
    EXPECT_NE(findIniSection(ini, "Shut"), nullptr);
    EXPECT_EQ(findIniSection(ini, "Shut")->count, 0);
    EXPECT_EQ(ini.count, 3);
}

TEST(IniFile, LongKeysAndValuesAreCut)
{
    std::string key(5000, 'k');
    std::string value(5000, 'v');
    IniFile ini = parse("[S]\n" + key + " = " + value + "\nAfter = 1\n");
    const IniSection* s = findIniSection(ini, "S");
    ASSERT_NE(s, nullptr);
    ASSERT_EQ(s->count, 2);
    EXPECT_EQ(s->entries[0].key, std::string(iniMaxLength, 'k'));
    EXPECT_EQ(s->entries[0].text, std::string(iniMaxLength, 'v'));
    EXPECT_EQ(entry(ini, "S", "After").intValue, 1);
    // The cut key is the key: a longer spelling of it is the same key.
    ASSERT_NE(findIniEntry(ini, "S", key), nullptr);
    EXPECT_EQ(findIniEntry(ini, "S", key)->text.size(), iniMaxLength);

    std::string longName(3000, 'n');
    ini = parse("[" + longName + "]\nA = 1\n");
    EXPECT_EQ(entry(ini, longName.substr(0, iniMaxLength).c_str(), "A").intValue, 1);

    std::string digits(4000, '7');
    ini = parse("[S]\nBig = " + digits + "\nReal = " + digits + ".5\n");
    EXPECT_EQ(entry(ini, "S", "Big").intValue, INT32_MAX);
    EXPECT_EQ(entry(ini, "S", "Real").intValue, INT32_MAX);
}

TEST(IniFile, GarbageNeverBreaksTheKeysThatParse)
{
    std::string binary;
    uint32_t seed = 12345;
    for (int i = 0; i < 65536; ++i) {
        seed = seed * 1103515245u + 12345u;
        binary += char(seed >> 24);
    }
    IniFile ini = parse(binary + "\n[Misc]\nA = 1\n" + binary);
    EXPECT_EQ(entry(ini, "Misc", "A").intValue, 1);

    std::string withNul = std::string("[Misc]\nA = 1\0junk = 2\n", 22) + std::string("\0\0B = 3\n", 8);
    ini = parse(withNul);
    EXPECT_EQ(entry(ini, "Misc", "A").intValue, 1);
    EXPECT_EQ(entry(ini, "Misc", "junk").intValue, 2);
    EXPECT_EQ(entry(ini, "Misc", "B").intValue, 3);

    std::string tenMegabytes(10 * 1024 * 1024, 'x');
    ini = parse("[Misc]\nA = 1\n" + tenMegabytes);
    EXPECT_EQ(findIniSection(ini, "Misc")->count, 1);
    ini = parse("[Misc]\n" + tenMegabytes + " = " + tenMegabytes + ";" + tenMegabytes);
    EXPECT_EQ(findIniSection(ini, "Misc")->entries.at(0).text.size(), iniMaxLength);

    for (const char* only : {"[", "=", "==", "\r", "\n", ";", "=["}) {
        ini = parse(only);
        EXPECT_EQ(ini.count, 0) << only;
    }
    ini = parse("");
    EXPECT_EQ(ini.count, 0);
    parseIniBuffer(ini, nullptr, 0);
    EXPECT_EQ(ini.count, 0);
}

TEST(IniFile, ReadsTmIniOfTheCurrentFolder)
{
    TempGameFolder folder;
    IniFile ini = parse("[Old]\nA = 1\n");
    EXPECT_FALSE(readIniFile(ini));
    EXPECT_EQ(ini.count, 0);

    folder.write("TM.INI", std::string("[Misc]\r\nPaletteFile = dusk.pal\r\n"));
    ASSERT_TRUE(readIniFile(ini));
    EXPECT_EQ(entry(ini, "Misc", "PaletteFile").text, "dusk.pal");

    std::filesystem::remove(folder.path("TM.INI"));
    folder.makeFolder("tm.ini");
    EXPECT_FALSE(readIniFile(ini));
    EXPECT_EQ(ini.count, 0);
}
