// tarmacade --load NAME: a saved game from the command line, or one line and status 2.
#include "save_fixture.h"

#include "shell/build_tree.h"

#include <chrono>
#include <csignal>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

// Runs the copied game with the arguments; its status once it ended by itself, or -2 when it
// was still running after a while (it is then ended with SIGTERM and its status is in late).
int runGame(const TempGameFolder& dir, std::vector<std::string> args, std::string& err, int& late)
{
    fs::path errFile = dir.path("stderr.txt");
    pid_t pid = fork();
    if (pid == 0) {
        setenv("SDL_VIDEODRIVER", "dummy", 1);
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        if (!std::freopen(errFile.c_str(), "w", stderr)) _exit(126);
        std::string program = dir.path("tarmacade").string();
        std::vector<char*> argv{program.data()};
        for (std::string& a : args) argv.push_back(a.data());
        argv.push_back(nullptr);
        execv(program.c_str(), argv.data());
        _exit(127);
    }
    int status = 0;
    for (int i = 0; i < 40; ++i) {
        if (waitpid(pid, &status, WNOHANG) == pid) {
            err = readHostFile(errFile);
            return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    kill(pid, SIGTERM);
    waitpid(pid, &status, 0);
    late = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    err = readHostFile(errFile);
    return -2;
}

TEST(LoadCommand, ASavedGameStartsTheGameAndABadNameEndsItWithOneLine)
{
    fs::path tree = buildTree();
    if (tree.empty()) GTEST_SKIP() << "no built game";
    TempGameFolder dir;
    fs::copy(tree / "tarmacade", dir.root(), fs::copy_options::recursive | fs::copy_options::overwrite_existing);

    std::string err;
    int late = 0;
    for (std::vector<std::string> args : {std::vector<std::string>{"--load", "Nothing"},
                                          std::vector<std::string>{"--load", "../tm"},
                                          std::vector<std::string>{"--load"}}) {
        EXPECT_EQ(runGame(dir, args, err, late), 2) << args.back();
        EXPECT_EQ(err.rfind("tarmacade: ", 0), 0u) << err;
        EXPECT_EQ(err.find('\n'), err.size() - 1) << err;
    }

    // A race of two on the shipped drivers, saved from inside the game folder.
    SdlSession sdl;
    setDefaultOptions(game.options);
    loadConfig();
    loadCarModels();
    uint8_t keys[keySnapshotSize] = {};
    game.keySnapshot = keys;
    game.driverList.clear();
    game.carCount = 0;
    for (const char* name : {"Ann", "Bob"}) {
        game.driverList.push_back({name, std::make_unique<DriverProfile>(newDriverProfile(false))});
        assignParticipant(game.carCount++, game.driverList.back().profile.get());
    }
    game.seasonTracks = {"gp"};
    ASSERT_EQ(startSeason(), 0);
    game.racePhase = Racing;
    for (int i = 0; i < 300; ++i) raceStep();
    ASSERT_TRUE(saveGame("Run"));
    game.raceRunning = 0;
    game.keySnapshot = nullptr;
    game.driverList.clear();
    matchRaceSlots();

    EXPECT_EQ(runGame(dir, {"--load", "Run"}, err, late), -2) << err;
    EXPECT_EQ(late, 0) << err;
    EXPECT_EQ(err, "");
}

}  // namespace
