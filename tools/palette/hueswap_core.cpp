// Hueswap's work: list palettes, rewrite PaletteFile in tm.ini, start the game.
#include "hueswap_core.h"

#include "folder_entries.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <strings.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

const char* const defaultPaletteValue = "tm.pal";

static bool sameName(const std::string& a, const std::string& b)
{
    return strcasecmp(a.c_str(), b.c_str()) == 0;
}

static bool endsWithPal(const std::string& name)
{
    return name.size() >= 4 && strcasecmp(name.c_str() + name.size() - 4, ".pal") == 0;
}

// A name the game reads back unchanged from tm.ini: no line breaks or tabs (the reader turns
// them into spaces), no ";" (starts a comment) and no "\" (a folder separator in game paths).
static bool storableName(const std::string& name)
{
    for (unsigned char c : name) {
        if (c < 0x20 || c == 0x7f || c == ';' || c == '\\') {
            return false;
        }
    }
    return !name.empty();
}

std::vector<std::string> listPalettes(const std::string& gameFolder)
{
    std::vector<std::string> palettes;
    // "Palettes" first: that is the spelling written into tm.ini, so the game opens it.
    std::string folder = findEntry(gameFolder, "Palettes", EntryKind::Folder);
    if (folder.empty()) {
        return palettes;
    }
    for (const std::string& n : folderEntries(folder)) {
        if (endsWithPal(n) && storableName(n) && isKind(folder + "/" + n, EntryKind::File)) {
            palettes.push_back(n);
        }
    }
    // In the order a player looks for them: alphabetical, whatever the letter case.
    std::stable_sort(palettes.begin(), palettes.end(), [](const std::string& a, const std::string& b) {
        return strcasecmp(a.c_str(), b.c_str()) < 0;
    });
    return palettes;
}

std::string findPalette(const std::vector<std::string>& palettes, const std::string& name)
{
    for (const std::string& p : palettes) {
        if (p == name) {
            return p;
        }
    }
    std::string found;
    for (const std::string& p : palettes) {
        if (sameName(p, name)) {
            if (!found.empty()) {
                return "";  // ambiguous
            }
            found = p;
        }
    }
    return found;
}

std::string findIniFile(const std::string& gameFolder)
{
    return findEntry(gameFolder, "tm.ini", EntryKind::File);
}

std::string paletteValue(const std::string& paletteName)
{
    return "Palettes\\" + paletteName;
}

// Lines are read as the game reads tm.ini: blanks before a line are skipped, "[" opens a
// section, a line with "=" before any ";" is a key line whose key runs to a blank or "=".
// Only the first PaletteFile of [Misc] counts for the game, so only that one is changed;
// the word in a comment, in another key or in another section is left alone.
std::string setPaletteInText(const std::string& text, const std::string& value)
{
    const size_t n = text.size();
    bool inMisc = false;
    size_t miscBody = std::string::npos;  // just after the first [Misc] header line
    bool miscHeaderEnded = true;

    size_t i = 0;
    while (i < n) {
        size_t p = i;
        while (p < n && (text[p] == ' ' || text[p] == '\t')) {
            p++;
        }
        size_t lineEnd = p;
        while (lineEnd < n && text[lineEnd] != '\r' && text[lineEnd] != '\n') {
            lineEnd++;
        }
        size_t next = lineEnd;  // after one line break
        if (next < n && text[next] == '\r') {
            next++;
        }
        if (next < n && text[next] == '\n') {
            next++;
        }

        if (p < lineEnd && text[p] == '[') {
            size_t close = text.find(']', p + 1);
            if (close == std::string::npos || close > lineEnd) {
                close = lineEnd;
            }
            inMisc = sameName(text.substr(p + 1, close - p - 1), "Misc");
            if (inMisc && miscBody == std::string::npos) {
                miscBody = next;
                miscHeaderEnded = next > lineEnd;
            }
        } else if (inMisc) {
            size_t eq = std::string::npos;
            for (size_t k = p; k < lineEnd && text[k] != ';'; k++) {
                if (text[k] == '=') {
                    eq = k;
                    break;
                }
            }
            if (eq != std::string::npos) {
                size_t keyEnd = p;
                while (keyEnd < eq && text[keyEnd] != ' ' && text[keyEnd] != '\t') {
                    keyEnd++;
                }
                bool blanksOnly = true;
                for (size_t k = keyEnd; k < eq; k++) {
                    blanksOnly = blanksOnly && (text[k] == ' ' || text[k] == '\t');
                }
                if (blanksOnly && sameName(text.substr(p, keyEnd - p), "PaletteFile")) {
                    return text.substr(0, eq) + "= " + value + "\r\n" + text.substr(next);
                }
            }
        }
        i = next;
    }

    std::string line = "PaletteFile = " + value + "\r\n";
    if (miscBody != std::string::npos) {
        return text.substr(0, miscBody) + (miscHeaderEnded ? "" : "\r\n") + line +
               text.substr(miscBody);
    }
    std::string out = text;
    if (!out.empty() && out.back() != '\n' && out.back() != '\r') {
        out += "\r\n";
    }
    return out + "[Misc]\r\n" + line;
}

static bool readWhole(const std::string& path, std::string& text)
{
    FILE* f = fopen(path.c_str(), "rb");
    if (!f) {
        return false;
    }
    text.clear();
    char buf[8192];
    size_t got;
    while ((got = fread(buf, 1, sizeof buf, f)) > 0) {
        text.append(buf, got);
    }
    bool ok = !ferror(f);
    fclose(f);
    return ok;
}

static bool writeAll(int fd, const std::string& text)
{
    size_t done = 0;
    while (done < text.size()) {
        ssize_t w = write(fd, text.data() + done, text.size() - done);
        if (w < 0 && errno == EINTR) {
            continue;
        }
        if (w <= 0) {
            return false;
        }
        done += size_t(w);
    }
    return true;
}

// Whole file through a temporary in the same folder, so a crash leaves the old file or the new.
static bool replaceFile(const std::string& path, const std::string& text)
{
    // Through a link the file it points to is replaced, not the link.
    char real[PATH_MAX];
    std::string target = realpath(path.c_str(), real) ? std::string(real) : path;

    // NAME.tmpPID, as the game names its own: a copy a killed run leaves behind is one the
    // game's next start knows to remove.
    std::string tmp = target + ".tmp" + std::to_string(long(getpid()));
    std::vector<char> name(tmp.begin(), tmp.end());
    name.push_back('\0');
    int fd = open(name.data(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW, 0600);
    if (fd < 0) {
        return false;
    }
    struct stat st;
    bool ok = writeAll(fd, text);
    if (ok && stat(target.c_str(), &st) == 0) {
        ok = fchmod(fd, st.st_mode & 07777) == 0;
    }
    ok = ok && fsync(fd) == 0;
    ok = (close(fd) == 0) && ok;
    ok = ok && rename(name.data(), target.c_str()) == 0;
    if (!ok) {
        unlink(name.data());
    }
    return ok;
}

WriteResult writePaletteValue(const std::string& gameFolder, const std::string& value)
{
    std::string path = findIniFile(gameFolder);
    if (path.empty()) {
        return WriteResult::IniMissing;
    }
    // A value the game would read back differently is never written.
    if (value.empty() || !storableName(value.substr(value.rfind('\\') + 1))) {
        return WriteResult::WriteFailed;
    }
    std::string text;
    if (!readWhole(path, text)) {
        return WriteResult::WriteFailed;
    }
    if (!replaceFile(path, setPaletteInText(text, value))) {
        return WriteResult::WriteFailed;
    }
    return WriteResult::Changed;
}

WriteResult changePalette(const std::string& gameFolder, const std::vector<std::string>& palettes,
                          int selected)
{
    if (selected < 0 || selected >= int(palettes.size())) {
        return WriteResult::NoSelection;
    }
    return writePaletteValue(gameFolder, paletteValue(palettes[size_t(selected)]));
}

OutcomeMessage outcomeMessage(WriteResult result)
{
    switch (result) {
    case WriteResult::Changed:
        return {"Success!", "Changed!"};
    case WriteResult::NoSelection:
        return {"Error!", "Select a palette first!"};
    case WriteResult::NotAPalette:
        return {"Error!", "That is not a palette of the folder palettes."};
    case WriteResult::IniMissing:
        return {"Error! TM.INI not found!",
                "Make sure you are running Hueswap from the main Tarmacade directory"};
    case WriteResult::WriteFailed:
        break;
    }
    return {"Error!", "tm.ini could not be rewritten; the palette stays as it was."};
}

std::string ownFolder()
{
    char buf[PATH_MAX];
    ssize_t len = readlink("/proc/self/exe", buf, sizeof buf - 1);
    if (len <= 0) {
        return "";
    }
    std::string path(buf, size_t(len));
    size_t slash = path.rfind('/');
    if (slash == std::string::npos) {
        return "";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

bool startDetached(const std::string& programPath, std::string& reason)
{
    // The grandchild reports a failed exec through the pipe; a successful exec closes it.
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) {
        reason = strerror(errno);
        return false;
    }
    pid_t child = fork();
    if (child < 0) {
        reason = strerror(errno);
        close(fds[0]);
        close(fds[1]);
        return false;
    }
    if (child == 0) {
        close(fds[0]);
        setsid();
        pid_t grandchild = fork();
        if (grandchild < 0) {
            int err = errno;
            (void)!write(fds[1], &err, sizeof err);
            _exit(1);
        }
        if (grandchild > 0) {
            _exit(0);  // the game is handed to init and outlives us
        }
        size_t slash = programPath.rfind('/');
        if (slash != std::string::npos) {
            std::string folder = slash == 0 ? "/" : programPath.substr(0, slash);
            if (chdir(folder.c_str()) != 0) {
                int err = errno;
                (void)!write(fds[1], &err, sizeof err);
                _exit(1);
            }
        }
        char* argv[] = {const_cast<char*>(programPath.c_str()), nullptr};
        execv(programPath.c_str(), argv);
        int err = errno;
        (void)!write(fds[1], &err, sizeof err);
        _exit(127);
    }
    close(fds[1]);
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    int err = 0;
    ssize_t got;
    while ((got = read(fds[0], &err, sizeof err)) < 0 && errno == EINTR) {
    }
    close(fds[0]);
    if (got > 0) {
        reason = strerror(err);
        return false;
    }
    return true;
}
