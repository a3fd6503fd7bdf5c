// tmtrack check: what an author must fix, down to a header that would have the game write
// records over the track.
#include "support/harness.h"
#include "track_design.h"
#include "track_image.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include <sys/wait.h>

namespace {

// Runs the built tmtrack and gathers what it prints.
int tmtrack(const std::string& args, std::string& output)
{
    std::string command = (buildFolder() / "tarmacade" / "tmtrack").string() + " " + args + " 2>&1";
    FILE* p = popen(command.c_str(), "r");
    if (!p) return -1;
    char buf[512];
    output.clear();
    while (size_t n = std::fread(buf, 1, sizeof buf, p)) output.append(buf, n);
    int status = pclose(p);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string description(const std::filesystem::path& json)
{
    std::ifstream in(json);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

}  // namespace

TEST(TrackCheck, ABodyEndInsideTheBodyFailsNamingIt)
{
    TempGameFolder folder;
    std::ifstream in(TM_SOURCE_FOLDER "/content/tracks/gp.json");
    std::stringstream text;
    text << in.rdbuf();
    TrackImage image;
    std::string why, out;
    ASSERT_TRUE(designTrack(text.str(), image, why)) << why;
    std::string good = folder.path("good.trk").string();
    ASSERT_TRUE(writeTrackImage(good, image, 0x110, why)) << why;
    EXPECT_EQ(tmtrack("check " + good, out), 0) << out;

    // Inside the fields, and past the file's end.
    std::string bytes = folder.read("good.trk");
    for (uint32_t lie : {40u, uint32_t(bytes.size() + 1)}) {
        std::string bad = bytes;
        for (int k = 0; k < 4; ++k) bad[4 + k] = char(lie >> (8 * k));
        folder.write("bad.trk", bad);
        EXPECT_NE(tmtrack("check " + folder.path("bad.trk").string(), out), 0) << lie;
        EXPECT_NE(out.find("bodyEnd " + std::to_string(lie)), std::string::npos) << out;
    }
}

// Every shipped track's gates reach over all the ground a car can drive at their place, and no
// lap counts before the finish line.
TEST(TrackCheck, EveryShippedTrackPasses)
{
    TempGameFolder folder;
    std::filesystem::path tracks = TM_SOURCE_FOLDER "/content/tracks";
    int checked = 0;
    for (const auto& e : std::filesystem::recursive_directory_iterator(tracks)) {
        if (e.path().extension() != ".json") continue;
        TrackImage image;
        std::string why, out;
        ASSERT_TRUE(designTrack(description(e.path()), image, why)) << e.path() << ": " << why;
        std::string trk = folder.path(e.path().stem().string() + ".trk").string();
        ASSERT_TRUE(writeTrackImage(trk, image, 0x110, why)) << why;
        EXPECT_EQ(tmtrack("check " + trk, out), 0) << e.path() << "\n" << out;
        ++checked;
    }
    EXPECT_GE(checked, 6);
}

// Lake as it shipped before its gates reached the square's edge: cars running wide out of the
// hairpin passed beyond gate 6's end and lost the lap.
TEST(TrackCheck, AGateEndingOnOpenGroundFailsNamingIt)
{
    std::string out;
    EXPECT_EQ(tmtrack("check " TM_SOURCE_FOLDER "/tests/trackbuild/data/lake_short_gates.trk", out), 1);
    EXPECT_NE(out.find("gate 6 ends on ground a car can drive, at (207.9, 1.9)"), std::string::npos) << out;
}

// A finish gate that reaches back over the road before its place counts the lap there.
TEST(TrackCheck, AFinishLineReachingOverTheRoadBeforeItFails)
{
    TempGameFolder folder;
    TrackImage image;
    std::string why, out;
    ASSERT_TRUE(designTrack(description(TM_SOURCE_FOLDER "/content/tracks/gp.json"), image, why)) << why;
    // Along the line from eight points before the start line to the start line itself.
    const std::vector<ImagePoint>& line = image.drivingLine;
    image.checkpoints.back() = {line[line.size() - 8], line[0]};
    std::string trk = folder.path("early.trk").string();
    ASSERT_TRUE(writeTrackImage(trk, image, 0x110, why)) << why;
    EXPECT_EQ(tmtrack("check " + trk, out), 1);
    EXPECT_NE(out.find("units before the finish line"), std::string::npos) << out;
}
