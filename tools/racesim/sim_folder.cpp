#include "sim_folder.h"

#include "platform/exe_folder.h"
#include "platform/name_compare.h"
#include "state/game_state.h"

#include <cstdlib>

namespace fs = std::filesystem;

SimFolder::~SimFolder()
{
    std::error_code ec;
    if (!root.empty()) fs::remove_all(root, ec);
}

fs::path simGameFolder(const SimArguments& a)
{
    std::error_code ec;
    return a.gameFolder.empty() ? fs::path(programFolder()) : fs::absolute(a.gameFolder, ec);
}

static bool isTrackFile(const fs::path& track, const std::string& given, std::string& why)
{
    std::error_code ec;
    if (!fs::is_regular_file(track, ec)) return why = "no track file " + given, false;
    if (!equalNoCase(track.extension().string(), ".trk")) return why = "a track file ends in .trk: " + given, false;
    return true;
}

// The folder with tracks\ leading to the folder given.
static bool makeFolder(const SimArguments& a, const fs::path& tracks, SimFolder& s, std::string& why)
{
    std::error_code ec;
    fs::path options;
    if (!a.optionsFile.empty()) {
        options = fs::absolute(a.optionsFile, ec);
        if (!fs::is_regular_file(options, ec)) return why = "no options file " + a.optionsFile, false;
    }
    std::string pattern = (fs::temp_directory_path(ec) / "tmsim-XXXXXX").string();
    if (!mkdtemp(pattern.data())) return why = "cannot make a working folder", false;
    s.root = pattern;
    fs::create_directory_symlink(tracks, s.root / "tracks", ec);
    if (ec) return why = "cannot reach the folder " + tracks.string(), false;
    fs::path game = simGameFolder(a);
    if (fs::is_directory(game / "cars", ec)) fs::create_directory_symlink(game / "cars", s.root / "cars", ec);
    // The replay a saved race carries is as long as the game's tm.ini asks.
    if (fs::is_regular_file(game / "tm.ini", ec)) fs::create_symlink(game / "tm.ini", s.root / "tm.ini", ec);
    if (!options.empty()) fs::create_symlink(options, s.root / "options.set", ec);
    return true;
}

bool stageNewRace(const SimArguments& a, SimFolder& s, std::string& why)
{
    std::error_code ec;
    fs::path track = fs::absolute(a.track, ec);
    if (!isTrackFile(track, a.track, why) || !makeFolder(a, track.parent_path(), s, why)) return false;
    s.entry = "\\" + track.stem().string();
    return true;
}

bool stageSavedGame(const SimArguments& a, SimFolder& s, std::string& why)
{
    std::error_code ec;
    fs::path saved = fs::absolute(a.loadFile, ec);
    if (!fs::is_regular_file(saved, ec)) return why = "no saved game " + a.loadFile, false;
    fs::path tracks = simGameFolder(a) / "tracks";
    if (!a.track.empty()) {
        fs::path track = fs::absolute(a.track, ec);
        if (!isTrackFile(track, a.track, why)) return false;
        tracks = track.parent_path();
    } else if (!fs::is_directory(tracks, ec)) {
        return why = "no tracks folder " + tracks.string(), false;
    }
    if (!makeFolder(a, tracks, s, why)) return false;
    fs::create_directory(s.root / "saves", ec);
    fs::copy_file(saved, s.root / "saves" / (std::string(simSavedGameName) + ".gam"), ec);
    if (ec) return why = "cannot read " + a.loadFile, false;
    return true;
}

bool copySavedGameOut(const std::string& target)
{
    std::error_code ec;
    fs::path from = fs::path(game.exeFolder) / "saves" / (std::string(simSavedGameName) + ".gam");
    fs::path to = fs::absolute(target, ec);
    fs::path temp = to;
    temp += ".tmp";
    if (ec || !fs::copy_file(from, temp, fs::copy_options::overwrite_existing, ec) || ec) return false;
    fs::rename(temp, to, ec);
    if (ec) fs::remove(temp, ec);
    return !ec;
}
