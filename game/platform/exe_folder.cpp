#include "platform/exe_folder.h"

#include <climits>
#include <unistd.h>

std::string folderFromCommandLine(const std::string& commandLine)
{
    std::string path;
    bool quoted = !commandLine.empty() && commandLine[0] == '"';
    if (quoted) {
        size_t end = commandLine.find('"', 1);
        path = commandLine.substr(1, end == std::string::npos ? std::string::npos : end - 1);
    } else {
        path = commandLine.substr(0, commandLine.find(' '));
    }
    size_t slash = path.rfind('\\');
    if (slash == std::string::npos) return std::string();
    return path.substr(0, quoted ? slash : slash + 1);
}

std::string programFolder()
{
    char buffer[PATH_MAX + 1];
    ssize_t n = readlink("/proc/self/exe", buffer, PATH_MAX);
    if (n <= 0) return std::string();
    std::string path(buffer, static_cast<size_t>(n));
    size_t slash = path.rfind('/');
    if (slash == std::string::npos) return std::string();
    return slash == 0 ? std::string("/") : path.substr(0, slash);
}

bool changeToFolder(const std::string& hostFolder)
{
    return !hostFolder.empty() && chdir(hostFolder.c_str()) == 0;
}
