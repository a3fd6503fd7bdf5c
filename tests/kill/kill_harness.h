#pragma once
// A writer killed with SIGKILL at random moments while it writes again and again: what the
// folder holds afterwards is told apart as the file before the write that was cut, the file
// that write was making, or neither (broken).
#include <cstdint>
#include <functional>
#include <string>

enum KillVerdict { killedOld = 0, killedNew = 1, killedBroken = -1 };

struct KillWriter {
    std::string name;
    // Writes version k (the writer alternates k % 2); false when the write failed.
    std::function<bool(uint32_t k)> write;
    // After a kill: done is the last version whose write returned, base the last one before
    // the round began.
    std::function<KillVerdict(uint32_t done, uint32_t base)> verdict;
    // Host folder the writer writes into, searched for temporary files.
    std::string folder;
    // Run before each round, to start it from a tidy folder; may be empty.
    std::function<void()> between;
};

struct KillTally {
    int kills = 0, old = 0, fresh = 0, broken = 0;
    int tempsLeft = 0;   // temporary files the kills left, all removed by the next start
    std::string firstFault;
};

// Kills per writer: TM_KILLS from the environment, else 50.
int killCount();

// Calibrates the time one write takes, then kills as often as asked, at random moments
// within about two writes. versionsSoFar counts the writes made before (k goes on from it).
KillTally killWhileWriting(const KillWriter& w, int kills, uint32_t versionsSoFar, uint32_t seed);

// Runs what in a forked copy of this process, so that a loader's changes to the game state do
// not reach the next round, and brings back its result; "" when the copy died.
std::string inChild(const std::function<std::string()>& what);

// A file that must equal one of two images and load, through summary, as that image did.
struct FileImages {
    std::string path;                 // host path
    std::string image[2];             // bytes of version 0 and 1
    std::string summary[2];           // what the loader made of each
    std::function<std::string()> load;  // the game's or tool's loader; "" when it fails
};
// Writes versions 1 and 2 (so both images are seen after a first write) and records them.
bool recordImages(FileImages& f, const std::function<bool(uint32_t)>& write);
KillVerdict fileVerdict(const FileImages& f, uint32_t done);

// One row of the table: writer, kills, old, new, broken, temporaries removed at the next start.
void printKillRow(const std::string& name, const KillTally& t);
