#include "platform/player_folder.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

std::string shippedContentFolder(const std::string& programFolder)
{
    fs::path program = fs::path(programFolder).lexically_normal();
    if (program.filename().empty()) program = program.parent_path();
    if (program.filename() != "games") return std::string();
    fs::path shipped = program.parent_path() / "share" / "games" / "tarmacade";
    std::error_code ec;
    return fs::is_directory(shipped, ec) ? shipped.string() : std::string();
}

std::string playerFolderPath(const char* xdgDataHome, const char* home)
{
    if (xdgDataHome && xdgDataHome[0] == '/') return (fs::path(xdgDataHome) / "tarmacade").string();
    if (home && home[0] == '/') return (fs::path(home) / ".local" / "share" / "tarmacade").string();
    return std::string();
}

// Folders the XDG rules let us create are made private (0700), as those rules ask.
static bool makeParents(const fs::path& folder, std::string& why)
{
    std::vector<fs::path> missing;
    std::error_code ec;
    for (fs::path p = folder; !p.empty() && !fs::exists(p, ec); p = p.parent_path()) {
        missing.push_back(p);
        if (p == p.parent_path()) break;
    }
    for (auto it = missing.rbegin(); it != missing.rend(); ++it) {
        if (mkdir(it->c_str(), 0700) != 0 && errno != EEXIST) {
            why = "cannot make " + it->string() + ": " + std::strerror(errno);
            return false;
        }
    }
    if (!fs::is_directory(folder, ec)) return why = folder.string() + " is not a folder", false;
    return true;
}

// The shipped files are read-only; the player's copies must not be.
static void makeWritable(const fs::path& top, std::error_code& ec)
{
    for (auto it = fs::recursive_directory_iterator(top, ec); !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
        fs::perms add = fs::perms::owner_read | fs::perms::owner_write;
        if (it->is_directory(ec)) add |= fs::perms::owner_exec;
        fs::permissions(it->path(), add, fs::perm_options::add | fs::perm_options::nofollow, ec);
        if (ec) return;
    }
}

bool fillPlayerFolder(const std::string& shipped, const std::string& player, std::string& why)
{
    std::error_code ec;
    fs::path target(player);
    if (fs::exists(fs::symlink_status(target, ec))) {
        if (fs::is_directory(target, ec)) return true;
        return why = player + " is not a folder", false;
    }
    if (!makeParents(target.parent_path(), why)) return false;
    std::string pattern = player + ".new-XXXXXX";
    if (!mkdtemp(pattern.data())) return why = "cannot make a folder beside " + player + ": " + std::strerror(errno), false;
    fs::path temp(pattern);
    fs::copy(shipped, temp, fs::copy_options::recursive | fs::copy_options::copy_symlinks, ec);
    if (!ec) makeWritable(temp, ec);
    if (ec) {
        why = "cannot copy " + shipped + " to " + player + ": " + ec.message();
        fs::remove_all(temp, ec);
        return false;
    }
    if (std::rename(temp.c_str(), target.c_str()) != 0) {
        int err = errno;
        fs::remove_all(temp, ec);
        // Another start made it meanwhile: that one is as good.
        if (fs::is_directory(target, ec)) return true;
        return why = "cannot make " + player + ": " + std::strerror(err), false;
    }
    return true;
}

std::string gameFolderFor(const std::string& programFolder, std::string& why)
{
    std::string shipped = shippedContentFolder(programFolder);
    if (shipped.empty()) return programFolder;
    std::string player = playerFolderPath(std::getenv("XDG_DATA_HOME"), std::getenv("HOME"));
    if (player.empty()) return why = "neither XDG_DATA_HOME nor HOME names a folder for the player's files", "";
    return fillPlayerFolder(shipped, player, why) ? player : std::string();
}

bool enterPlayerFolder(const std::string& programFolder, std::string& entered, std::string& why)
{
    entered.clear();
    std::string folder = gameFolderFor(programFolder, why);
    if (!why.empty()) return false;
    if (folder == programFolder) return true;
    if (chdir(folder.c_str()) != 0) return why = "cannot enter " + folder + ": " + std::strerror(errno), false;
    entered = folder;
    return true;
}
