// tmanalyser: shows what a saved game recorded. With no options it opens the window; --text,
// --json and --jpeg do the same work for scripts without one.
#include "analyser_window.h"
#include "analysis.h"
#include "analysis_text.h"
#include "game_folder.h"
#include "map_picture.h"
#include "platform/player_folder.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

static const char* const usageText =
    "usage: tmanalyser [--game DIR] [FILE.gam]         open the window\n"
    "       tmanalyser [--game DIR] --text FILE.gam    print what the window shows\n"
    "       tmanalyser [--game DIR] --json FILE.gam    the same as JSON\n"
    "       tmanalyser [--game DIR] --jpeg FILE.gam OUT.jpg   write the map picture\n"
    "A track is looked for beside the saved game, then in the tracks folder beside its saves\n"
    "folder, then in the game folder's tracks. The game folder is the program's own unless --game\n"
    "names one; installed (in /usr/games), it is the player's folder ~/.local/share/tarmacade.\n";

static int bad(const std::string& what)
{
    std::fprintf(stderr, "tmanalyser: %s\n", what.c_str());
    return 2;
}

int main(int argc, char** argv)
{
    // Installed, the tracks are those of the player's folder.
    std::string folderWhy;
    std::string gameFolder = gameFolderFor(programFolder(), folderWhy);
    if (!folderWhy.empty()) {
        std::fprintf(stderr, "tmanalyser: %s\n", folderWhy.c_str());
        return 1;
    }
    int first = 1;
    if (argc > 2 && std::strcmp(argv[1], "--game") == 0) {
        gameFolder = argv[2];
        first = 3;
    }
    if (first >= argc || std::strncmp(argv[first], "--", 2) != 0) {
        // FLTK's own options such as -display pass through; a plain argument is a saved game.
        std::string file;
        std::vector<char*> toolkitArgs{argv[0]};
        for (int i = first; i < argc; ++i) {
            if (file.empty() && argv[i][0] != '-') file = argv[i];
            else toolkitArgs.push_back(argv[i]);
        }
        return runAnalyserWindow(gameFolder, file, int(toolkitArgs.size()), toolkitArgs.data());
    }
    std::string option = argv[first];
    int rest = argc - first - 1;
    if (option == "--help") {
        std::fputs(usageText, stdout);
        return 0;
    }
    bool text = option == "--text", json = option == "--json", jpeg = option == "--jpeg";
    if (!text && !json && !jpeg) return bad("unknown option " + option + " (see --help)");
    if (rest != (jpeg ? 2 : 1)) return bad(option + " takes " + (jpeg ? "a saved game and a picture file" : "a saved game"));

    // The picture goes only to a .jpg name: a slip of the arguments must not hit a game file.
    if (jpeg && !isJpegName(argv[first + 2])) return bad(std::string("the picture's name must end in .jpg: ") + argv[first + 2]);
    std::string file = argv[first + 1];
    Analysis a;
    std::string why;
    if (!analyseSavedGame(gameFolder, file, a, why)) {
        std::fprintf(stderr, "tmanalyser: %s: %s\n", file.c_str(), why.c_str());
        return 1;
    }
    if (text) std::fputs(reportText(a).c_str(), stdout);
    if (json) std::fputs(reportJson(a).c_str(), stdout);
    if (jpeg) {
        Picture picture;
        drawMapPicture(picture, a.trackRead ? &a.track : nullptr, a.laps, 0, pictureLines(a, 0), loadPictureLook(gameFolder));
        if (!writeJpeg(picture, argv[first + 2], 90, why)) {
            std::fprintf(stderr, "tmanalyser: %s\n", why.c_str());
            return 1;
        }
    }
    return 0;
}
