// The archive file itself.
#include "zipper_archive.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <zip.h>
#include <zlib.h>

// DOS dates cover 1980 .. 2107 in local time; times outside are pinned to the ends.
static tm_zip dosTime(time_t t)
{
    struct tm local = {};
    localtime_r(&t, &local);
    tm_zip z;
    int year = local.tm_year + 1900;
    if (year < 1980) {
        z = {0, 0, 0, 1, 0, 1980};
    } else if (year > 2107) {
        z = {58, 59, 23, 31, 11, 2107};
    } else {
        z.tm_sec = uInt(local.tm_sec > 59 ? 59 : local.tm_sec);
        z.tm_min = uInt(local.tm_min);
        z.tm_hour = uInt(local.tm_hour);
        z.tm_mday = uInt(local.tm_mday);
        z.tm_mon = uInt(local.tm_mon);
        z.tm_year = uInt(year);
    }
    return z;
}

static bool asciiOnly(const std::string& s)
{
    for (unsigned char c : s) {
        if (c >= 0x80) {
            return false;
        }
    }
    return true;
}

static bool addMember(zipFile zip, const ArchiveMember& m)
{
    zip_fileinfo info = {};
    info.tmz_date = dosTime(m.mtime);
    const std::vector<uint8_t>& data = *m.data;
    bool large = data.size() >= 0xFFFFFFFFu;
    // Bit 11 says the name is UTF-8; plain ASCII names need no flag.
    uLong flags = asciiOnly(m.name) ? 0 : 0x800;
    if (zipOpenNewFileInZip4_64(zip, m.name.c_str(), &info, nullptr, 0, nullptr, 0, nullptr, Z_DEFLATED, 9,
                                0, -MAX_WBITS, DEF_MEM_LEVEL, Z_DEFAULT_STRATEGY, nullptr, 0, 0, flags,
                                large ? 1 : 0) != ZIP_OK) {
        return false;
    }
    bool ok = true;
    size_t done = 0;
    while (ok && done < data.size()) {
        size_t chunk = data.size() - done;
        if (chunk > (1u << 30)) {
            chunk = 1u << 30;
        }
        ok = zipWriteInFileInZip(zip, data.data() + done, unsigned(chunk)) == ZIP_OK;
        done += chunk;
    }
    return (zipCloseFileInZip(zip) == ZIP_OK) && ok;
}

static bool syncFile(const std::string& path)
{
    int fd = open(path.c_str(), O_RDONLY);
    if (fd < 0) {
        return false;
    }
    bool ok = fsync(fd) == 0;
    return (close(fd) == 0) && ok;
}

// Rename that fails instead of replacing an existing file.
static bool renameNoReplace(const std::string& from, const std::string& to)
{
    if (renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) {
        return true;
    }
    if (errno != EINVAL && errno != ENOSYS) {
        return false;
    }
    // File systems without it: a hard link also refuses an existing name.
    if (link(from.c_str(), to.c_str()) != 0) {
        return false;
    }
    unlink(from.c_str());
    return true;
}

ArchiveWrite writeZipArchive(const std::string& path, const std::vector<ArchiveMember>& members,
                             bool overwrite)
{
    struct stat st;
    if (!overwrite && lstat(path.c_str(), &st) == 0) {
        return ArchiveWrite::Exists;
    }
    // NAME.tmpPID in the same folder, as the game names its own: one a killed run leaves
    // behind is removed by the game's next start.
    std::string tmpPath = path + ".tmp" + std::to_string(long(getpid()));
    int fd = open(tmpPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW, 0600);
    if (fd < 0) {
        return ArchiveWrite::Failed;
    }
    close(fd);

    bool ok = false;
    if (zipFile zip = zipOpen64(tmpPath.c_str(), APPEND_STATUS_CREATE)) {
        ok = true;
        for (const ArchiveMember& m : members) {
            ok = ok && addMember(zip, m);
        }
        ok = (zipClose(zip, nullptr) == ZIP_OK) && ok;
    }
    ok = ok && syncFile(tmpPath);
    if (ok) {
        // The archive is readable by others like any file the user makes.
        mode_t mask = umask(0);
        umask(mask);
        chmod(tmpPath.c_str(), 0666 & ~mask);
    }
    if (ok && overwrite) {
        ok = rename(tmpPath.c_str(), path.c_str()) == 0;
    } else if (ok && !renameNoReplace(tmpPath, path)) {
        bool exists = errno == EEXIST;
        unlink(tmpPath.c_str());
        return exists ? ArchiveWrite::Exists : ArchiveWrite::Failed;
    }
    if (!ok) {
        unlink(tmpPath.c_str());
        return ArchiveWrite::Failed;
    }
    return ArchiveWrite::Written;
}
