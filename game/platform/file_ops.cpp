#include "platform/file_ops.h"

#include "platform/game_path.h"

#include <cctype>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

bool moveGameFile(const std::string& fromGamePath, const std::string& toGamePath)
{
    std::string from = hostPath(fromGamePath), to = hostPath(toGamePath);
    if (renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return true;
    if (errno != EINVAL && errno != ENOSYS) return false;
    // File systems without the no-replace rename: a hard link fails on an existing target.
    if (link(from.c_str(), to.c_str()) != 0) return false;
    return unlink(from.c_str()) == 0;
}

// Empties the folder open as fd, then the caller removes it. O_NOFOLLOW keeps links out.
static bool deleteContents(int fd)
{
    DIR* dir = fdopendir(fd);
    if (!dir) {
        close(fd);
        return false;
    }
    bool ok = true;
    while (dirent* d = readdir(dir)) {
        std::string name = d->d_name;
        if (name == "." || name == "..") continue;
        struct stat st;
        if (fstatat(dirfd(dir), name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
            ok = false;
            continue;
        }
        if (S_ISDIR(st.st_mode)) {
            int sub = openat(dirfd(dir), name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW);
            if (sub < 0 || !deleteContents(sub)) ok = false;
            if (unlinkat(dirfd(dir), name.c_str(), AT_REMOVEDIR) != 0) ok = false;
        } else if (unlinkat(dirfd(dir), name.c_str(), 0) != 0) {
            ok = false;
        }
    }
    closedir(dir);
    return ok;
}

bool deleteGameTree(const std::string& gamePath)
{
    std::string host = hostPath(gamePath);
    struct stat st;
    if (lstat(host.c_str(), &st) != 0) return false;
    if (!S_ISDIR(st.st_mode)) return unlink(host.c_str()) == 0;
    int fd = open(host.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW);
    if (fd < 0) return false;
    bool ok = deleteContents(fd);
    return rmdir(host.c_str()) == 0 && ok;
}

bool beginSafeWrite(SafeWrite& w, const std::string& gamePath)
{
    return beginSafeWriteHost(w, hostPath(gamePath));
}

bool beginSafeWriteHost(SafeWrite& w, const std::string& hostFile)
{
    w.finalHost = hostFile;
    w.tempHost = w.finalHost + ".tmp" + std::to_string(static_cast<long>(getpid()));
    w.file = std::fopen(w.tempHost.c_str(), "wb");
    return w.file != nullptr;
}

bool beginSafeUpdate(SafeWrite& w, const std::string& gamePath)
{
    w.finalHost = hostPath(gamePath);
    // Opened for update although only read: a file the player made read-only stays untouched.
    std::FILE* old = std::fopen(w.finalHost.c_str(), "r+b");
    if (!old) return false;
    w.tempHost = w.finalHost + ".tmp" + std::to_string(static_cast<long>(getpid()));
    w.file = std::fopen(w.tempHost.c_str(), "w+b");
    char buffer[65536];
    size_t got = 0;
    bool ok = w.file != nullptr;
    while (ok && (got = std::fread(buffer, 1, sizeof buffer, old)) > 0) ok = std::fwrite(buffer, 1, got, w.file) == got;
    ok = ok && !std::ferror(old) && std::fseek(w.file, 0, SEEK_SET) == 0;
    std::fclose(old);
    if (!ok) abandonSafeWrite(w);
    return ok;
}

// NAME.tmpPID with a process id that no longer runs; a live writer's file is left alone.
static bool staleTemporary(const std::string& name)
{
    size_t at = name.rfind(".tmp");
    if (at == 0 || at == std::string::npos || at + 4 == name.size()) return false;
    long pid = 0;
    for (size_t i = at + 4; i < name.size(); ++i) {
        if (!std::isdigit(static_cast<unsigned char>(name[i])) || pid > 99999999) return false;
        pid = pid * 10 + (name[i] - '0');
    }
    return pid > 0 && kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH;
}

int removeStaleTemporaries(const std::string& gameFolder)
{
    std::string host = gameFolder.empty() ? "." : hostPath(gameFolder);
    DIR* dir = opendir(host.c_str());
    if (!dir) return 0;
    int removed = 0;
    while (dirent* d = readdir(dir)) {
        struct stat st;
        if (!staleTemporary(d->d_name) || fstatat(dirfd(dir), d->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0 ||
            !S_ISREG(st.st_mode))
            continue;
        removed += unlinkat(dirfd(dir), d->d_name, 0) == 0;
    }
    closedir(dir);
    return removed;
}

bool commitSafeWrite(SafeWrite& w)
{
    if (!w.file) return false;
    bool ok = std::fflush(w.file) == 0 && !std::ferror(w.file);
    ok = ok && fsync(fileno(w.file)) == 0;
    ok = std::fclose(w.file) == 0 && ok;
    w.file = nullptr;
    ok = ok && std::rename(w.tempHost.c_str(), w.finalHost.c_str()) == 0;
    if (!ok) unlink(w.tempHost.c_str());
    return ok;
}

void abandonSafeWrite(SafeWrite& w)
{
    if (w.file) std::fclose(w.file);
    w.file = nullptr;
    if (!w.tempHost.empty()) unlink(w.tempHost.c_str());
}

bool truncateOpenFile(std::FILE* file, long length)
{
    if (!file || length < 0 || std::fflush(file) != 0) return false;
    return ftruncate(fileno(file), static_cast<off_t>(length)) == 0;
}
