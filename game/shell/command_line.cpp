#include "shell/command_line.h"

#include <charconv>
#include <cstring>

const char* const commandLineUsage =
    "usage: tarmacade [--race NAME [--laps N] [--computers N] | --load NAME] [--quit-after-menu]\n"
    "  --race NAME      race at once on tracks\\NAME.trk (folder part allowed), you on the cursor keys\n"
    "  --laps N         laps of the race, 1..100 (default: the options' race length)\n"
    "  --computers N    computer drivers, 0..5 (default 5)\n"
    "  --load NAME      the saved game saves\\NAME.gam, on the screen where it was saved\n"
    "  --quit-after-menu  end as soon as the main menu is on the screen\n";

static bool number(const char* text, int low, int high, int& out)
{
    const char* end = text + std::strlen(text);
    auto [at, ec] = std::from_chars(text, end, out);
    return ec == std::errc() && at == end && at != text && out >= low && out <= high;
}

bool parseCommandLine(int argc, char** argv, CommandLine& out, std::string& why)
{
    bool lapsGiven = false, computersGiven = false;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        const char* value = i + 1 < argc ? argv[i + 1] : nullptr;
        if (arg == "--help") {
            out.help = true;
        } else if (arg == "--load") {
            if (!value) return why = "--load needs a saved game's name", false;
            ++i;
            out.load = true;
            out.saveName = value;
            if (out.saveName.empty()) return why = "--load needs a saved game's name", false;
        } else if (arg == "--quit-after-menu") {
            out.quitAfterMenu = true;
        } else if (arg == "--race" || arg == "--laps" || arg == "--computers") {
            if (!value) return why = arg + " needs a value", false;
            ++i;
            if (arg == "--race") {
                out.race = true;
                out.track = value;
                if (out.track.empty()) return why = "--race needs a track name", false;
            } else if (arg == "--laps") {
                lapsGiven = true;
                if (!number(value, 1, 100, out.laps))
                    return why = std::string("bad lap count '") + value + "' (1..100)", false;
            } else {
                computersGiven = true;
                if (!number(value, 0, 5, out.computers))
                    return why = std::string("bad number of computers '") + value + "' (0..5)", false;
            }
        } else {
            return why = "unknown argument '" + arg + "'", false;
        }
    }
    if ((lapsGiven || computersGiven) && !out.race) return why = "--laps and --computers need --race", false;
    if (out.race && out.load) return why = "--race and --load cannot go together", false;
    return true;
}
