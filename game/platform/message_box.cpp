#include "platform/message_box.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <spawn.h>
#include <sys/wait.h>

extern char** environ;

static bool runDialog(const char* const argv[])
{
    pid_t pid;
    if (posix_spawnp(&pid, argv[0], nullptr, nullptr, const_cast<char* const*>(argv), environ) != 0)
        return false;
    int status = 0;
    if (waitpid(pid, &status, 0) < 0) return false;
    // 127 is what a shell-less spawn of a missing program can still report.
    return WIFEXITED(status) && WEXITSTATUS(status) != 127;
}

void showStartupFailure(const char* text, const char* caption)
{
    std::fprintf(stderr, "%s: %s\n", caption, text);
    const char* display = std::getenv("DISPLAY");
    const char* driver = std::getenv("SDL_VIDEODRIVER");
    if (!display || !*display || (driver && !std::strcmp(driver, "dummy"))) return;
    const char* zenity[] = {"zenity", "--error", "--title", caption, "--text", text, nullptr};
    if (runDialog(zenity)) return;
    const char* xmessage[] = {"xmessage", "-center", "-title", caption, text, nullptr};
    runDialog(xmessage);
}
