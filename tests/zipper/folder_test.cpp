// Finding the newest files, and the track of a saved game only inside Tracks.
#include "compose.h"
#include "zipper_folder.h"

#include <unistd.h>

using GameFolder = TempFolder;

TEST_F(GameFolder, TheNewestSaveIsTakenUnlessItIsTheAutosave)
{
    put("saves/one.gam", "1");
    put("saves/two.GAM", "2");
    put("saves/Autosave.gam", "a");
    put("saves/notes.txt", "x");
    age("saves/one.gam", 1000000);
    age("saves/two.GAM", 1000060);
    age("saves/Autosave.gam", 1000120);
    age("saves/notes.txt", 1000180);
    std::vector<FoundFile> list = listNewestFirst(findEntry(dir, "Saves", EntryKind::Folder), ".gam");
    ASSERT_EQ(list.size(), 3u);
    EXPECT_EQ(list[0].name, "Autosave.gam");
    EXPECT_EQ(list[2].name, "one.gam");
    ASSERT_NE(chooseSavedGame(list), nullptr);
    EXPECT_EQ(chooseSavedGame(list)->name, "two.GAM");

    // A user save newer than the autosave is taken as it is.
    age("saves/one.gam", 1000200);
    list = listNewestFirst(path("saves"), ".gam");
    EXPECT_EQ(chooseSavedGame(list)->name, "one.gam");
}

TEST_F(GameFolder, AnAutosaveAloneIsTaken)
{
    put("Saves/AUTOSAVE.GAM", "a");
    std::vector<FoundFile> list = listNewestFirst(findEntry(dir, "saves", EntryKind::Folder), ".gam");
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(chooseSavedGame(list)->name, "AUTOSAVE.GAM");
    EXPECT_EQ(chooseSavedGame({}), nullptr);
    EXPECT_EQ(findEntry(dir, "Screens", EntryKind::Folder), "");
}

TEST_F(GameFolder, TracksAreFoundInFoldersAndInAnyLetterCase)
{
    put("tracks/oval.trk", "o");
    put("tracks/Rally/Forest.TRK", "f");
    FoundFile f;
    ASSERT_EQ(findTrackFile(dir, "\\oval", f), TrackLookup::Found);
    EXPECT_EQ(f.name, "oval.trk");
    ASSERT_EQ(findTrackFile(dir, "\\rally\\forest", f), TrackLookup::Found);
    EXPECT_EQ(f.name, "Forest.TRK");
    EXPECT_EQ(findTrackFile(dir, "rally\\forest", f), TrackLookup::Found);  // without the leading "\"
    EXPECT_EQ(findTrackFile(dir, "\\desert", f), TrackLookup::Missing);
    EXPECT_EQ(findTrackFile(dir, "\\rally", f), TrackLookup::Missing);
}

TEST_F(GameFolder, ATrackNameNeverLeadsOutOfTracks)
{
    put("tracks/oval.trk", "o");
    put("tracks/sub/x.trk", "x");
    put("secret.trk", "s");
    put("saves/secret.trk", "s");
    FoundFile f;
    for (const char* name : {"\\..\\secret", "\\..\\saves\\secret", "\\sub\\..\\..\\secret", "..", "\\", "",
                             "\\sub/../../secret", "/etc/passwd", "\\.\\oval", "\\oval\x01"}) {
        EXPECT_EQ(findTrackFile(dir, name, f), TrackLookup::BadName) << name;
    }
    // Links inside Tracks are followed only when they stay inside.
    ASSERT_EQ(symlink((dir + "/secret.trk").c_str(), path("tracks/out.trk").c_str()), 0);
    ASSERT_EQ(symlink(dir.c_str(), path("tracks/up").c_str()), 0);
    ASSERT_EQ(symlink("oval.trk", path("tracks/same.trk").c_str()), 0);
    EXPECT_EQ(findTrackFile(dir, "\\out", f), TrackLookup::Outside);
    EXPECT_EQ(findTrackFile(dir, "\\up\\secret", f), TrackLookup::Outside);
    ASSERT_EQ(findTrackFile(dir, "\\same", f), TrackLookup::Found);
    EXPECT_EQ(f.name, "same.trk");
}

TEST_F(GameFolder, WholeFilesAreReadUpToALimit)
{
    put("a.bin", std::string(1000, 'a'));
    std::vector<uint8_t> data;
    ASSERT_TRUE(readWholeFile(path("a.bin"), data, 1000));
    EXPECT_EQ(data.size(), 1000u);
    EXPECT_FALSE(readWholeFile(path("a.bin"), data, 999));
    EXPECT_FALSE(readWholeFile(path("none.bin"), data, 1000));
}
