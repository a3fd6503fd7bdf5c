// A saving game killed at any moment leaves the old save or the new one, never a broken file.
#include "save_fixture.h"

#include <random>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

class SaveKill : public SaveTest {};

TEST_F(SaveKill, KilledWhileSavingLeavesTheOldOrTheNewGameAndEachLoads)
{
    drivers(6);
    game.seasonTracks = {"gp", "hills"};
    ASSERT_EQ(startSeason(), 0);
    game.racePhase = Racing;
    for (int i = 0; i < 600; ++i) raceStep();
    // The two games the writer alternates between, told apart by the race clock.
    int32_t clocks[2] = {game.raceClock, game.raceClock + 50};
    std::string images[2];
    for (int k = 0; k < 2; ++k) {
        game.raceClock = clocks[k];
        ASSERT_TRUE(saveGame("Race"));
        images[k] = folder.read("saves/Race.gam");
    }
    ASSERT_NE(images[0], images[1]);

    std::mt19937 random(777);
    int seen[2] = {};
    for (int round = 0; round < 80; ++round) {
        pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            for (uint32_t i = 0;; ++i) {
                game.raceClock = clocks[i % 2];
                saveGame("Race");
            }
        }
        usleep(random() % 20000);
        kill(child, SIGKILL);
        int status = 0;
        waitpid(child, &status, 0);
        std::string now = folder.read("saves/Race.gam");
        ASSERT_TRUE(now == images[0] || now == images[1]) << "round " << round << ", " << now.size() << " bytes";
        ++seen[now == images[1]];
    }
    EXPECT_GT(seen[0] + seen[1], 0);
    // Both games the folder can hold load.
    for (int k = 0; k < 2; ++k) {
        folder.write("saves/Race.gam", images[k]);
        ASSERT_EQ(loadGame("Race"), 0);
        EXPECT_EQ(game.raceClock, clocks[k]);
    }
    // Nothing but the one save is left for the dialog to list.
    int files = 0;
    for (const auto& e : std::filesystem::directory_iterator(folder.path("saves")))
        files += e.path().extension() == ".gam";
    EXPECT_EQ(files, 1);
}

}  // namespace
