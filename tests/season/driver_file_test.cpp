#include "race/car_models.h"
#include "season/driver_file.h"
#include "season/driver_list.h"
#include "state/game_state.h"
#include "support/harness.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstring>
#include <filesystem>
#include <random>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

// Every field a different value, so a field out of place shows.
static DriverProfile numberedProfile(uint32_t base)
{
    DriverProfile p;
    uint32_t* field = &p.seasons;
    static_assert(sizeof(DriverProfile) == driverProfileSize);
    for (uint32_t i = 0; i < driverProfileSize / 4; ++i) field[i] = base + i * 0x01010101u;
    return p;
}

static uint32_t u32At(const std::string& bytes, size_t at)
{
    uint32_t v = 0;
    for (int k = 3; k >= 0; --k) v = v << 8 | static_cast<unsigned char>(bytes[at + k]);
    return v;
}

static std::string driverFileBytes(uint32_t sizeField, size_t recordBytes)
{
    std::string b(4 + recordBytes, '\0');
    for (int k = 0; k < 4; ++k) b[k] = static_cast<char>(sizeField >> (8 * k));
    return b;
}

TEST(DriverFile, RoundTripKeepsEveryFieldInItsPlace)
{
    TempGameFolder dir;
    game.modelCount = 0;  // no car type check without models
    DriverProfile p = numberedProfile(0);
    p.carType = 0;
    ASSERT_TRUE(writeDriver("Ada", &p));
    std::string bytes = dir.read("drivers/Ada.drv");
    ASSERT_EQ(bytes.size(), 96u);
    EXPECT_EQ(u32At(bytes, 0), 92u);
    EXPECT_EQ(u32At(bytes, 4 + 0), p.seasons);
    EXPECT_EQ(u32At(bytes, 4 + 4 + 4 * 5), p.championshipFinishes[5]);
    EXPECT_EQ(u32At(bytes, 4 + 28), p.totalPoints);
    EXPECT_EQ(u32At(bytes, 4 + 36), p.raceFinishes[0]);
    EXPECT_EQ(u32At(bytes, 4 + 60), p.fastestLaps);
    EXPECT_EQ(u32At(bytes, 4 + 68), p.colour1);
    EXPECT_EQ(u32At(bytes, 4 + 88), p.controls[3]);

    DriverProfile back{};
    ASSERT_EQ(readDriver("ada", &back), 0);  // the name finds its file whatever the case
    EXPECT_EQ(std::memcmp(&back, &p, sizeof p), 0);
    // The replacement leaves no temporary file behind.
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path("drivers")), {}), 1);
}

TEST(DriverFile, WrongSizesAndMissingFilesAreRefusedWithTheProfileUntouched)
{
    TempGameFolder dir;
    dir.write("drivers/Field91.drv", driverFileBytes(91, 92));
    dir.write("drivers/Short.drv", driverFileBytes(92, 91));
    dir.write("drivers/Long.drv", driverFileBytes(92, 93));
    dir.write("drivers/Empty.drv", std::string());
    const DriverProfile before = numberedProfile(7);
    for (const char* name : {"Field91", "Short", "Long", "Empty", "Missing"}) {
        DriverProfile p = before;
        EXPECT_EQ(readDriver(name, &p), -1) << name;
        EXPECT_EQ(std::memcmp(&p, &before, sizeof p), 0) << name;
    }
    dir.write("drivers/Good.drv", driverFileBytes(92, 92));
    EXPECT_EQ(readDriver("Good", nullptr), -1);
    EXPECT_FALSE(writeDriver("Good", nullptr));
}

TEST(DriverFile, ACarTypeBeyondTheModelListRacesCarZero)
{
    TempGameFolder dir;
    loadCarModels();  // an empty cars folder: only the built-in model
    ASSERT_EQ(game.modelCount, 1);
    DriverProfile p = newDriverProfile(false);
    p.carType = 3;  // its car file has been removed since
    ASSERT_TRUE(writeDriver("Gone", &p));
    DriverProfile back{};
    ASSERT_EQ(readDriver("Gone", &back), 0);
    EXPECT_EQ(back.carType, 0u);
    EXPECT_EQ(driverCarType(p), 0);
    p.carType = 0;
    EXPECT_EQ(driverCarType(p), 0);
    freeCarModels();
}

TEST(DriverFile, NewDriversStartWhiteAndBlueOnTheCursorKeysOrAsSkill100)
{
    DriverProfile human = newDriverProfile(true), computer = newDriverProfile(false);
    EXPECT_EQ(human.colour1, 0xffffffu);
    EXPECT_EQ(human.colour2, 0xff0000u);  // blue 255 sits in bits 16..23
    const uint32_t keys[4] = {273, 274, 276, 275};
    EXPECT_EQ(std::memcmp(human.controls, keys, sizeof keys), 0);
    EXPECT_FALSE(isComputerDriver(human));
    const uint32_t ai[4] = {0, 100, 0, 0};
    EXPECT_EQ(std::memcmp(computer.controls, ai, sizeof ai), 0);
    EXPECT_TRUE(isComputerDriver(computer));
    EXPECT_EQ(computer.seasons + computer.totalPoints + computer.races + computer.fastestLaps + computer.carType, 0u);
}

// A writer killed at random moments, again and again: the file is always one of the two
// profiles it alternates between, never a part of one.
TEST(DriverFile, KilledWhileWritingLeavesTheOldOrTheNewProfile)
{
    TempGameFolder dir;
    game.modelCount = 0;
    DriverProfile a = numberedProfile(0x100), b = numberedProfile(0x200);
    a.carType = b.carType = 0;
    ASSERT_TRUE(writeDriver("Racer", &a));
    std::mt19937 random(12345);
    int sawA = 0, sawB = 0;
    for (int round = 0; round < 150; ++round) {
        pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            for (uint32_t i = 0;; ++i) writeDriver("Racer", i % 2 ? &a : &b);
        }
        usleep(random() % 3000);
        kill(child, SIGKILL);
        int status = 0;
        waitpid(child, &status, 0);
        DriverProfile back{};
        ASSERT_EQ(readDriver("Racer", &back), 0) << "round " << round;
        bool isA = std::memcmp(&back, &a, sizeof a) == 0, isB = std::memcmp(&back, &b, sizeof b) == 0;
        ASSERT_TRUE(isA || isB) << "round " << round;
        sawA += isA;
        sawB += isB;
    }
    EXPECT_GT(sawA + sawB, 0);
    // Temporary files a killed writer leaves are never taken for drivers.
    loadDriverList();
    ASSERT_EQ(game.driverList.size(), 1u);
    EXPECT_EQ(game.driverList[0].name, "Racer");
    freeDriverList();
}
