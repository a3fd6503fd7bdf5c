// tmtrack: builds track files from hand-written descriptions, and describes, checks and maps them.
#include "track_design.h"
#include "track_image.h"
#include "track_examine.h"
#include "track_render.h"

#include "platform/exe_folder.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

static int usage()
{
    std::fprintf(stderr,
                 "usage: tmtrack build DESCRIPTION.json OUT.trk [--layout 0x100|0x101|0x102|0x110]\n"
                 "       tmtrack info FILE.trk\n"
                 "       tmtrack check FILE.trk\n"
                 "       tmtrack map FILE.trk OUT.bmp\n"
                 "       tmtrack render FILE.trk OUT.bmp [WIDTHxHEIGHT]\n");
    return 2;
}

static int render(int argc, char** argv)
{
    if (argc < 4) return usage();
    int width = 640, height = 480;
    if (argc >= 5 && std::sscanf(argv[4], "%dx%d", &width, &height) != 2) return usage();
    std::string why;
    bool ok = renderTrackPicture(argv[2], argv[3], width, height, programFolder(), why);
    if (!why.empty()) std::fprintf(stderr, "tmtrack: %s\n", why.c_str());
    return ok ? 0 : 1;
}

static int build(int argc, char** argv)
{
    if (argc < 4) return usage();
    uint16_t layout = 0x110;
    for (int i = 4; i + 1 < argc; ++i)
        if (std::string(argv[i]) == "--layout") layout = uint16_t(std::strtoul(argv[i + 1], nullptr, 0));
    std::ifstream in(argv[2], std::ios::binary);
    if (!in) return std::fprintf(stderr, "tmtrack: cannot read %s\n", argv[2]), 1;
    std::stringstream text;
    text << in.rdbuf();
    TrackImage image;
    std::string why;
    if (!designTrack(text.str(), image, why)) return std::fprintf(stderr, "tmtrack: %s: %s\n", argv[2], why.c_str()), 1;
    if (!writeTrackImage(argv[3], image, layout, why)) return std::fprintf(stderr, "tmtrack: %s\n", why.c_str()), 1;
    return 0;
}

int main(int argc, char** argv)
{
    if (argc < 3) return usage();
    std::string command = argv[1], file = argv[2];
    if (command == "build") return build(argc, argv);
    if (command == "render") return render(argc, argv);
    std::string why;
    if (command != "info" && command != "check" && command != "map") return usage();
    if (!loadTrackForInspection(file, why)) return std::fprintf(stderr, "tmtrack: %s\n", why.c_str()), 1;
    if (command == "info") {
        std::fputs(describeTrack(file).c_str(), stdout);
        return 0;
    }
    if (command == "check") {
        auto problems = checkTrack(file);
        for (const std::string& p : problems) std::printf("%s: %s\n", file.c_str(), p.c_str());
        return problems.empty() ? 0 : 1;
    }
    if (argc < 4) return usage();
    if (!writeTrackMap(argv[3])) return std::fprintf(stderr, "tmtrack: cannot write %s\n", argv[3]), 1;
    return 0;
}
