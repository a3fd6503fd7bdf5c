// The drivers a new game folder ships: a player can press Start at once.
#include "race/car_models.h"
#include "season/driver_file.h"
#include "season/driver_list.h"
#include "state/game_state.h"
#include "support/harness.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <set>

namespace fs = std::filesystem;

TEST(ShippedDrivers, OneHumanOnTheCursorKeysAndComputerDriversOfEverySkillOnTheShippedCars)
{
    fs::path shipped = buildFolder() / "tarmacade";
    if (!fs::is_directory(shipped / "drivers") || fs::is_empty(shipped / "drivers"))
        GTEST_SKIP() << "the game folder has not been built";
    TempGameFolder dir;
    for (const char* folder : {"cars", "drivers"})
        for (const auto& e : fs::directory_iterator(shipped / folder))
            dir.write(std::string(folder) + "/" + e.path().filename().string(), readHostFile(e.path()));
    loadCarModels();
    loadDriverList();

    int humans = 0, computers = 0;
    std::set<uint32_t> cars, colours;
    const DriverProfile fresh = newDriverProfile(true);
    for (const DriverEntry& e : game.driverList) {
        SCOPED_TRACE(e.name);
        std::string bytes = dir.read("drivers/" + e.name + ".drv");
        ASSERT_EQ(bytes.size(), 96u);
        uint32_t carType;
        std::memcpy(&carType, &bytes[4 + 64], 4);  // the file's own, before any fallback
        EXPECT_LT(carType, static_cast<uint32_t>(game.modelCount));
        const DriverProfile& p = *e.profile;
        if (isComputerDriver(p)) {
            ++computers;
            EXPECT_GE(p.controls[1], 80u);
            EXPECT_LE(p.controls[1], 120u);
            cars.insert(p.carType);
            colours.insert(p.colour1);
        } else {
            ++humans;
            EXPECT_EQ(std::memcmp(&p, &fresh, sizeof p), 0);
        }
    }
    EXPECT_EQ(humans, 1);
    EXPECT_GE(computers, 5);
    EXPECT_GE(cars.size(), 3u);
    EXPECT_EQ(colours.size(), static_cast<size_t>(computers));
    freeDriverList();
    freeCarModels();
}
