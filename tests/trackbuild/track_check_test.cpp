// tmtrack check: what an author must fix, down to a header that would have the game write
// records over the track.
#include "support/harness.h"
#include "track_design.h"
#include "track_image.h"

#include <gtest/gtest.h>

#include <cstdio>
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
