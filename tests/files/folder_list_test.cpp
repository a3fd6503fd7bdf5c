#include "platform/game_path.h"
#include "files/folder_list.h"
#include "support/harness.h"

#include <gtest/gtest.h>

TEST(ListFolder, ExtensionsWithoutRegardToCaseAndSortedWithoutCase)
{
    TempGameFolder dir;
    dir.write("lang/Nederlands.LNG", "");
    dir.write("lang/suomi.lng", "");
    dir.write("lang/Deutsch.lng", "");
    dir.write("lang/notes.txt", "");
    dir.write("lang/.lng", "");  // only the extension: no name
    std::vector<std::string> names;
    EXPECT_EQ(listFolder(names, "lang", "lng", listFiles, 22), 3);
    ASSERT_EQ(names.size(), 3u);
    EXPECT_EQ(names[0], "Deutsch");
    EXPECT_EQ(names[1], "Nederlands");
    EXPECT_EQ(names[2], "suomi");
}

TEST(ListFolder, OverLongNamesListUnderAnAliasThatOpensTheSameFile)
{
    TempGameFolder dir;
    dir.write("tracks/thirteenchars.trk", "long one");
    dir.write("tracks/twelve_chars.trk", "fits");
    std::vector<std::string> names;
    ASSERT_EQ(listFolder(names, "tracks", "trk", listFiles, 12), 2);
    EXPECT_EQ(names[0].substr(0, 4), "THI~");
    EXPECT_EQ(names[0].size(), 8u);
    EXPECT_EQ(names[1], "twelve_chars");
    EXPECT_EQ(dir.read(hostPath("tracks\\" + names[0] + ".trk")), "long one");
}

TEST(ListFolder, KindsMissingFoldersAndAppending)
{
    TempGameFolder dir;
    dir.makeFolder("tracks/Rally");
    dir.makeFolder("tracks/alpine");
    dir.write("tracks/a.trk", "");
    std::vector<std::string> names = {"[all tracks]"};
    EXPECT_EQ(listFolder(names, "tracks", "", listFolders, 20), 3);
    EXPECT_EQ(names[1], "alpine");
    EXPECT_EQ(names[2], "Rally");
    std::vector<std::string> none = {"kept"};
    EXPECT_EQ(listFolder(none, "missing", "", listFiles | listFolders, 0), 0);
    EXPECT_EQ(none.size(), 1u);
    std::vector<std::string> all;
    EXPECT_EQ(listFolder(all, "tracks", "", listFiles | listFolders, 0), 3);
    EXPECT_EQ(all[0], "a.trk");
}

TEST(ListFolder, AlphaSortsBeforeBetaAndEqualNamesKeepTheirOrder)
{
    std::vector<std::string> names = {"Beta", "alpha", "ALPHA", "gamma"};
    sortNames(names);
    EXPECT_EQ(names[0], "alpha");
    EXPECT_EQ(names[1], "ALPHA");
    EXPECT_EQ(names[2], "Beta");
}
