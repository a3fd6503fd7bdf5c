// The built game, started and quit as a player would, in a copy of the game folder.
#include "shell/build_tree.h"
#include "support/harness.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace fs = std::filesystem;

// A copy of the built game folder with no options.set and an empty cars folder.
static bool copyGame(const TempGameFolder& dir)
{
    fs::path build = buildTree();
    if (build.empty()) return false;
    fs::path from = build / "tarmacade";
    std::error_code ec;
    fs::copy(from, dir.root(), fs::copy_options::recursive | fs::copy_options::overwrite_existing, ec);
    if (ec || !fs::exists(dir.path("tarmacade"))) return false;
    fs::remove(dir.path("options.set"), ec);
    fs::remove_all(dir.path("cars"), ec);
    fs::create_directories(dir.path("cars"));
    return true;
}

// Starts the game, waits until it is in its menu (the car list is written by then), ends it
// with SIGTERM as a closed window would, and gives its exit status; -1 when it did not end.
static int runAndQuit(const TempGameFolder& dir)
{
    pid_t pid = fork();
    if (pid == 0) {
        setenv("SDL_VIDEODRIVER", "dummy", 1);
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        std::string program = dir.path("tarmacade").string();
        execl(program.c_str(), program.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    int status = 0;
    auto waitFor = [&](auto ready) {
        for (int i = 0; i < 200; ++i) {
            if (ready()) return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        return false;
    };
    bool exited = false;
    waitFor([&] {
        if (waitpid(pid, &status, WNOHANG) == pid) return exited = true;
        return dir.exists("cars/general.car");
    });
    if (!exited) {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        kill(pid, SIGTERM);
        if (!waitFor([&] { return waitpid(pid, &status, WNOHANG) == pid; })) {
            kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
            return -1;
        }
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

static std::string defaultOptionsFile()
{
    std::string b(78, '\0');
    const unsigned char head[31] = {74, 0, 0, 0, 5, 0, 9, 6, 4, 2, 1, 0, 1, 30, 30, 30,
                                    50, 0, 2, 2, 0, 100, 1, 1, 0, 0, 0, 1, 80, 80, 80};
    for (int i = 0; i < 31; ++i) b[i] = static_cast<char>(head[i]);
    b.replace(31, 7, "English");
    b.replace(54, 7, "Default");
    return b;
}

class PlayerRun : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(copyGame(dir)) << "no built game folder";
    }
    TempGameFolder dir;
};

TEST_F(PlayerRun, AFirstStartWritesTheDefaultOptionsAndGeneral)
{
    ASSERT_EQ(runAndQuit(dir), 0);
    EXPECT_EQ(dir.read("options.set"), defaultOptionsFile());
    std::string car = dir.read("cars/general.car");
    ASSERT_EQ(car.size(), 8u + 1344u);
    EXPECT_EQ(car.substr(8, 8), std::string("General\0", 8));
}

TEST_F(PlayerRun, AForeignOptionsFileIsReplacedByTheDefaults)
{
    std::string foreign(78, '\x07');
    foreign.replace(0, 4, std::string("\x4b\0\0\0", 4));
    dir.write("options.set", foreign);
    ASSERT_EQ(runAndQuit(dir), 0);
    EXPECT_EQ(dir.read("options.set"), defaultOptionsFile());
}

TEST_F(PlayerRun, AResolutionPastTheTableIsSavedAs2)
{
    std::string stored = defaultOptionsFile();
    stored[19] = 30;
    stored[25] = 1;  // windowed
    dir.write("options.set", stored);
    ASSERT_EQ(runAndQuit(dir), 0);
    std::string saved = dir.read("options.set");
    ASSERT_EQ(saved.size(), 78u);
    EXPECT_EQ(saved[19], 2);
    EXPECT_EQ(saved[25], 1);
}
