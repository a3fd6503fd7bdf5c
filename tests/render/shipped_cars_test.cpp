// The cars of the game folder as the race view draws them on dry ground: slots 3 and 7 of a
// car's eight are its water tints, so no face seen on land may use them.
#include "race/car_models.h"
#include "render/car_view.h"
#include "render/palette.h"
#include "render/race_view.h"
#include "pictures.h"
#include "race_scene.h"
#include "render_fixture.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <filesystem>
#include <vector>

namespace {

// Every car file of the built game folder, each model of it once.
std::vector<CarModel> shippedCars(const TempGameFolder& folder)
{
    std::vector<CarModel> models;
    std::filesystem::path shipped = buildFolder() / "tarmacade" / "cars";
    if (!std::filesystem::is_directory(shipped)) return models;
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::directory_iterator(shipped))
        if (entry.path().extension() == ".car") files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    for (const std::filesystem::path& file : files) {
        std::string name = file.filename().string();
        folder.write("cars/" + name, readHostFile(file));
        EXPECT_TRUE(readCarFile("cars\\" + name, models)) << name;
    }
    return models;
}

struct SlotCounts {
    std::array<int, maxCars> dry{}, tint{};
};

SlotCounts countCarSlots()
{
    SlotCounts n;
    EXPECT_TRUE(lockDraw());
    for (int y = 0; y < game.screenHeight; ++y)
        for (int x = 0; x < game.screenWidth; ++x) {
            uint8_t c = Screen::at(x, y);
            if (c < firstCarSlot || c > lastCarSlot) continue;
            int car = (c - firstCarSlot) / 8, shade = (c - firstCarSlot) % 8;
            ++(shade == 3 || shade == 7 ? n.tint : n.dry)[car];
        }
    unlockDraw();
    return n;
}

// Strong colours, so that a tint stands out in the pictures too.
const uint32_t driverColours[maxCars][2] = {
    {0x1010E0, 0xFFFFFF}, {0x10A0F0, 0x101010}, {0x20C040, 0xFFFF00},
    {0xE04010, 0x00FFFF}, {0xC040C0, 0x00FF80}, {0xF0F0F0, 0x0000FF},
};

}  // namespace

TEST(ShippedCars, OnDryGroundNoFaceShowsAWaterTint)
{
    TempGameFolder folder;
    Screen screen(960, 540);
    ASSERT_TRUE(screen.ok);
    std::vector<CarModel> models = shippedCars(folder);
    ASSERT_FALSE(models.empty()) << "no cars in " << (buildFolder() / "tarmacade" / "cars") << ": build the game folder first";
    for (int k = 0; k < maxCars; ++k) setCarColours(k, driverColours[k][0], driverColours[k][1]);
    racescene::flatGround(16);
    game.startLight = -1;
    selectCarView(1);

    // Side by side, turned step by step all the way round, so every face comes into view.
    for (size_t group = 0; group < models.size(); group += maxCars) {
        size_t count = std::min(models.size() - group, size_t(maxCars));
        for (int turn = 0; turn < 12; ++turn) {
            game.carCount = 0;
            for (size_t k = 0; k < count; ++k)
                racescene::placeCar(int(k), models[group + k], 16.0f * (k + 1) / (count + 1), 8, turn * float(M_PI) / 6);
            ASSERT_TRUE(drawRaceView(0));
            SlotCounts n = countCarSlots();
            for (size_t k = 0; k < count; ++k) {
                EXPECT_GT(n.dry[k], 0) << models[group + k].name << " turn " << turn;
                EXPECT_EQ(n.tint[k], 0) << models[group + k].name << " turn " << turn;
            }
            if (group == 0 && (turn == 2 || turn == 8)) {
                ASSERT_TRUE(savePicture("shipped_cars_" + std::to_string(turn * 30) + ".bmp"));
            }
        }
    }
    racescene::clearScene();
}
