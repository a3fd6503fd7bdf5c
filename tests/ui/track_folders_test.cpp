// The track manager's work on disk: which folder names are taken, what moves and deletes do
// with clashes, short names and links, and how the folder list's Ctrl and Shift choice goes.
#include "support/harness.h"
#include "ui/track_folders.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>

namespace fs = std::filesystem;

namespace {

class TrackFolders : public ::testing::Test {
protected:
    // Built before the game folder, so the game folder is the working folder.
    TempGameFolder outside;
    TempGameFolder folder;

    void SetUp() override
    {
        for (const char* name : {"gp", "hills", "lake"}) folder.write(std::string("tracks/") + name + ".trk", name);
        folder.write("tracks/rally/forest.trk", "forest");
        folder.write("cars/car.car", "car");
        outside.write("keep.trk", "keep");
        outside.write("sub/deep.trk", "deep");
    }

    // Every entry below a folder, links not followed, with the bytes of its files.
    static std::set<std::string> tree(const fs::path& root)
    {
        std::set<std::string> out;
        for (auto it = fs::recursive_directory_iterator(root); it != fs::recursive_directory_iterator(); ++it) {
            std::string entry = fs::relative(it->path(), root).string();
            if (it->is_symlink()) entry += " -> " + fs::read_symlink(it->path()).string();
            else if (it->is_regular_file()) entry += " = " + std::to_string(it->file_size());
            out.insert(entry);
        }
        return out;
    }

    static std::vector<std::string> paths(const std::vector<ListedTrack>& tracks)
    {
        std::vector<std::string> out;
        for (const ListedTrack& t : tracks) out.push_back(t.path);
        return out;
    }
};

}  // namespace

TEST_F(TrackFolders, TypedNamesThatCouldLeaveTracksOrHideAreRefusedAndNothingIsMadeElsewhere)
{
    folder.makeFolder("tracks/a");
    std::set<std::string> before = tree(folder.root()), outsideBefore = tree(outside.root());
    const std::string refused[] = {
        "", ".", "..", "../escape", "..\\escape", "a/b", "a\\b", ".hidden", std::string(21, 'x'), "tab\tname",
        std::string("nul\0name", 8), "bell\x07", "con", "LPT1.txt", "ends.", "ends ", "what?", "a:b", "<x>",
    };
    for (const std::string& name : refused) {
        EXPECT_FALSE(isTrackFolderNameAllowed(name)) << name;
        EXPECT_FALSE(createTrackFolder(name)) << name;
    }
    // Already there under another case.
    EXPECT_FALSE(createTrackFolder("RALLY"));
    EXPECT_FALSE(createTrackFolder("GP.TRK"));
    EXPECT_EQ(tree(folder.root()), before);
    EXPECT_EQ(tree(outside.root()), outsideBefore);

    // Twenty characters, blanks and Latin-1 letters make folders, in tracks and nowhere else.
    for (const std::string& name : {std::string(20, 'y'), std::string("Cup 2"), std::string("Caf\xE9")}) {
        EXPECT_TRUE(createTrackFolder(name)) << name;
        EXPECT_TRUE(fs::is_directory(folder.path("tracks/" + name))) << name;
    }
    EXPECT_EQ(tree(folder.root()).size(), before.size() + 3);
    std::vector<std::string> listed = trackFolderNames();
    EXPECT_EQ(listed.size(), 5u);  // a, Caf\xE9, Cup 2, rally, yyy...

    // Without a tracks folder there is nowhere to make one.
    fs::remove_all(folder.path("tracks"));
    EXPECT_FALSE(createTrackFolder("new"));
    EXPECT_FALSE(fs::exists(folder.path("new")));
}

TEST_F(TrackFolders, MovesAndDeletesRefusePathsNoListGivesAndCountWhatFailed)
{
    EXPECT_EQ(moveTracks({"\\gp", "\\lake"}, "rally"), 0);
    // Paths no list gives, a missing track or target, a track into its own folder: all fail.
    std::set<std::string> before = tree(folder.root());
    EXPECT_EQ(moveTracks({"hills", "\\..\\hills", "\\rally\\..\\..\\x", "\\rally\\a\\b", "\\missing", "\\", ""},
                         "rally"),
              7);
    EXPECT_EQ(moveTracks({"\\hills"}, "nowhere"), 1);
    EXPECT_EQ(moveTracks({"\\hills"}, ".."), 1);
    EXPECT_EQ(moveTracks({"\\rally\\gp"}, "rally"), 1);
    EXPECT_EQ(tree(folder.root()), before);

    // Out of a folder back to the top is not offered, but a folder to folder move is.
    folder.makeFolder("tracks/cup");
    EXPECT_EQ(moveTracks({"\\rally\\gp"}, "cup"), 0);
    EXPECT_TRUE(folder.exists("tracks/cup/gp.trk"));

    // Deleting: what is there goes, what is not counts.
    EXPECT_EQ(deleteTracks({"\\cup\\gp", "\\hills", "\\gone", "\\..\\tracks\\rally\\lake"}), 2);
    EXPECT_FALSE(folder.exists("tracks/cup/gp.trk"));
    EXPECT_FALSE(folder.exists("tracks/hills.trk"));
    EXPECT_TRUE(folder.exists("tracks/rally/lake.trk"));
}

TEST_F(TrackFolders, LongNamesAreListedAndWorkedOnByTheirShortNamesAndKeepTheirOwnNames)
{
    const std::string longFolder = "twenty-one characters";  // 21
    folder.write("tracks/" + longFolder + "/inside.trk", "inside");
    folder.write("tracks/averyverylongtrackname.trk", "long");

    std::vector<std::string> folders = trackFolderNames();
    ASSERT_EQ(folders.size(), 2u);
    std::string alias = folders[0] == "rally" ? folders[1] : folders[0];
    EXPECT_NE(alias, longFolder);
    EXPECT_LE(alias.size(), 12u);
    EXPECT_EQ(alias.substr(0, 4), "TWE~");
    EXPECT_EQ(paths(listFolderTracks(alias)), std::vector<std::string>{"\\" + alias + "\\inside"});

    std::string longTrack;
    for (const ListedTrack& t : listFolderTracks(""))
        if (t.name.find('~') != std::string::npos) longTrack = t.path;
    ASSERT_FALSE(longTrack.empty());
    EXPECT_EQ(moveTracks({longTrack}, alias), 0);
    EXPECT_EQ(folder.read("tracks/" + longFolder + "/averyverylongtrackname.trk"), "long");

    EXPECT_TRUE(deleteTrackFolder(alias));
    EXPECT_FALSE(fs::exists(folder.path("tracks/" + longFolder)));
    EXPECT_TRUE(folder.exists("tracks/rally/forest.trk"));
}

TEST_F(TrackFolders, LinksAreRemovedNeverFollowedAndNothingIsMovedOrDeletedThroughThem)
{
    std::set<std::string> outsideBefore = tree(outside.root());
    // A folder holding links to a folder and a track outside the game folder.
    folder.write("tracks/mixed/own.trk", "own");
    fs::create_directory_symlink(outside.root(), folder.path("tracks/mixed/escape"));
    fs::create_symlink(outside.path("keep.trk"), folder.path("tracks/mixed/far.trk"));
    // A track folder that is itself a link to the outside.
    fs::create_directory_symlink(outside.root(), folder.path("tracks/linked"));

    std::vector<std::string> folders = trackFolderNames();
    EXPECT_EQ(folders, (std::vector<std::string>{"linked", "mixed", "rally"}));
    EXPECT_EQ(paths(listFolderTracks("linked")), (std::vector<std::string>{"\\linked\\keep"}));

    // Nothing goes in or out through the linked folder.
    EXPECT_EQ(moveTracks({"\\gp"}, "linked"), 1);
    EXPECT_EQ(moveTracks({"\\linked\\keep"}, "rally"), 1);
    EXPECT_EQ(deleteTracks({"\\linked\\keep"}), 1);
    EXPECT_TRUE(folder.exists("tracks/gp.trk"));
    EXPECT_EQ(tree(outside.root()), outsideBefore);

    // A linked track file is moved and deleted as a link.
    EXPECT_EQ(moveTracks({"\\mixed\\far"}, "rally"), 0);
    EXPECT_TRUE(fs::is_symlink(folder.path("tracks/rally/far.trk")));
    EXPECT_EQ(deleteTracks({"\\rally\\far"}), 0);
    EXPECT_EQ(tree(outside.root()), outsideBefore);

    EXPECT_TRUE(deleteTrackFolder("mixed"));
    EXPECT_TRUE(deleteTrackFolder("linked"));
    EXPECT_FALSE(fs::exists(fs::symlink_status(folder.path("tracks/mixed"))));
    EXPECT_FALSE(fs::exists(fs::symlink_status(folder.path("tracks/linked"))));
    EXPECT_EQ(tree(outside.root()), outsideBefore);
    EXPECT_TRUE(folder.exists("tracks/rally/forest.trk"));

    // Names that would reach past tracks are not folders of it.
    folder.write("victim/v.trk", "v");
    for (const char* name : {"..", "../victim", "..\\victim", ".", "", "gp.trk"}) EXPECT_FALSE(deleteTrackFolder(name)) << name;
    EXPECT_TRUE(folder.exists("victim/v.trk"));
    EXPECT_TRUE(folder.exists("tracks/gp.trk"));
}

TEST(FolderChoice, AShiftRangeStartsAtTheEntryClickedBeforeAndKeepsItsAnchor)
{
    std::vector<uint8_t> chosen{1, 0, 0, 0, 0};
    int anchor = -1;
    chooseFolderEntry(chosen, 3, false, true, anchor, 1);
    EXPECT_EQ(chosen, (std::vector<uint8_t>{0, 1, 1, 1, 0}));
    chooseFolderEntry(chosen, 0, false, true, anchor, 3);
    EXPECT_EQ(chosen, (std::vector<uint8_t>{1, 1, 0, 0, 0}));
    // Ctrl and plain clicks drop the anchor; with no entry clicked before, a range starts at 0.
    chooseFolderEntry(chosen, 4, true, false, anchor, 0);
    EXPECT_EQ(chosen, (std::vector<uint8_t>{1, 1, 0, 0, 1}));
    EXPECT_EQ(anchor, -1);
    chooseFolderEntry(chosen, 2, false, true, anchor, -1);
    EXPECT_EQ(chosen, (std::vector<uint8_t>{1, 1, 1, 0, 0}));
    chooseFolderEntry(chosen, 5, false, false, anchor, 0);  // outside the list
    EXPECT_EQ(chosen, (std::vector<uint8_t>{1, 1, 1, 0, 0}));
}
