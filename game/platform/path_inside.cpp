#include "platform/path_inside.h"

#include "platform/game_path.h"

#include <climits>
#include <cstdlib>

static bool resolved(const std::string& hostFolder, std::string& out)
{
    char* real = realpath(hostFolder.c_str(), nullptr);
    if (!real) return false;
    out = real;
    std::free(real);
    return true;
}

bool parentStaysInside(const std::string& gamePath, const std::string& gameFolder)
{
    std::string host = hostPath(gamePath);
    size_t slash = host.find_last_of('/');
    std::string parent = slash == std::string::npos ? std::string(".") : slash == 0 ? std::string("/") : host.substr(0, slash);
    std::string realParent, realFolder;
    if (!resolved(parent, realParent) || !resolved(hostPath(gameFolder), realFolder)) return false;
    if (realParent == realFolder) return true;
    if (realFolder == "/") return true;
    return realParent.size() > realFolder.size() && realParent.compare(0, realFolder.size(), realFolder) == 0 &&
           realParent[realFolder.size()] == '/';
}
