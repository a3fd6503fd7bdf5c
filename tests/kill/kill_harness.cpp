#include "kill_harness.h"

#include "files/killed_writes.h"
#include "support/harness.h"

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <signal.h>
#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

int killCount()
{
    const char* v = std::getenv("TM_KILLS");
    int n = v ? std::atoi(v) : 0;
    return n > 0 ? n : 50;
}

static int temporariesIn(const std::string& folder)
{
    int n = 0;
    std::error_code ec;
    for (const auto& e : fs::directory_iterator(folder, ec)) {
        std::string name = e.path().filename().string();
        n += name[0] == '.' || name.find(".tmp") != std::string::npos;
    }
    return n;
}

KillTally killWhileWriting(const KillWriter& w, int kills, uint32_t versionsSoFar, uint32_t seed)
{
    KillTally t;
    auto fault = [&](const std::string& why) {
        ++t.broken;
        if (t.firstFault.empty()) t.firstFault = "kill " + std::to_string(t.kills) + ": " + why;
    };
    // The writer's count of finished writes, seen by both processes.
    void* shared = mmap(nullptr, sizeof(std::atomic<uint32_t>), PROT_READ | PROT_WRITE, MAP_SHARED | MAP_ANONYMOUS, -1, 0);
    if (shared == MAP_FAILED) return fault("no shared memory"), t;
    auto* done = new (shared) std::atomic<uint32_t>(versionsSoFar);

    uint32_t base = versionsSoFar;
    auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < 8; ++i)
        if (!w.write(++base)) return fault("the writer fails"), munmap(shared, sizeof *done), t;
    long oneWrite = long(std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - start).count() / 8);
    oneWrite = std::max(oneWrite, 20L);

    std::mt19937 random(seed);
    for (; t.kills < kills; ++t.kills) {
        if (w.between) w.between();
        done->store(base);
        std::fflush(nullptr);
        pid_t child = fork();
        if (child < 0) return fault("fork failed"), munmap(shared, sizeof *done), t;
        if (child == 0) {
            for (uint32_t k = base + 1;; ++k) {
                if (!w.write(k)) _exit(3);
                done->store(k);
            }
        }
        // The kill falls anywhere in the next two writes once the writer is under way.
        for (int wait = 0; done->load() == base && wait < 100000; ++wait) usleep(50);
        usleep(useconds_t(random() % uint32_t(2 * oneWrite + 1)));
        kill(child, SIGKILL);
        int status = 0;
        waitpid(child, &status, 0);
        uint32_t last = done->load();
        if (!WIFSIGNALED(status)) {
            fault("the writer stopped by itself");
            continue;
        }
        KillVerdict v = w.verdict(last, base);
        if (v == killedOld) ++t.old;
        if (v == killedNew) ++t.fresh;
        if (v == killedBroken) fault("neither the old file nor the new one, done " + std::to_string(last));
        // The next start of the game removes what the killed writer left.
        t.tempsLeft += temporariesIn(w.folder);
        removeKilledWrites();
        if (temporariesIn(w.folder) != 0) fault("a temporary file outlived the next start");
        base = last;
    }
    munmap(shared, sizeof *done);
    return t;
}

std::string inChild(const std::function<std::string()>& what)
{
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0) return "";
    std::fflush(nullptr);
    pid_t child = fork();
    if (child < 0) return "";
    if (child == 0) {
        close(pipeEnds[0]);
        std::string s = what();
        size_t at = 0;
        while (at < s.size()) {
            ssize_t n = ::write(pipeEnds[1], s.data() + at, s.size() - at);
            if (n <= 0) _exit(1);
            at += size_t(n);
        }
        _exit(0);
    }
    close(pipeEnds[1]);
    std::string got;
    char buffer[4096];
    ssize_t n;
    while ((n = read(pipeEnds[0], buffer, sizeof buffer)) > 0) got.append(buffer, size_t(n));
    close(pipeEnds[0]);
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? got : "";
}

bool recordImages(FileImages& f, const std::function<bool(uint32_t)>& write)
{
    for (uint32_t k = 1; k <= 2; ++k) {
        if (!write(k)) return false;
        f.image[k % 2] = readHostFile(f.path);
        f.summary[k % 2] = inChild(f.load);
        if (f.summary[k % 2].empty()) return false;
    }
    return f.image[0] != f.image[1] && f.summary[0] != f.summary[1];
}

KillVerdict fileVerdict(const FileImages& f, uint32_t done)
{
    std::string now = readHostFile(f.path);
    int v = now == f.image[done % 2] ? killedOld : now == f.image[(done + 1) % 2] ? killedNew : killedBroken;
    if (v == killedBroken) return killedBroken;
    int version = int((done + uint32_t(v)) % 2);
    return inChild(f.load) == f.summary[version] ? KillVerdict(v) : killedBroken;
}

void printKillRow(const std::string& name, const KillTally& t)
{
    std::printf("| %-22s | %5d | %5d | %5d | %6d | %14d |\n", name.c_str(), t.kills, t.old, t.fresh, t.broken, t.tempsLeft);
    std::fflush(stdout);
}
