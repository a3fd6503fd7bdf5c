// The track info page: the record holder's car in the holder's own colours, and the whole
// description of a shipped track.
#include "screen_fixture.h"

#include "render/draw_access.h"
#include "render/palette.h"
#include "season/driver_list.h"
#include "track/track_loader.h"
#include "track/track_records.h"
#include "ui/main_menu.h"
#include "ui/message_box.h"
#include "ui/screens.h"
#include "ui/track_info.h"

#include <cstring>

namespace {

class TrackInfo : public ScreenTest {
protected:
    void SetUp() override
    {
        startGame(640, 480);
        // Ada holds the record on gp; her colours are red and green.
        ASSERT_EQ(loadTrackPreview("\\gp"), 0);
        game.trackRecords.time[0] = 4321;
        std::strcpy(game.trackRecords.name[0], "Ada");
        ASSERT_NE(game.models, nullptr);
        game.trackRecords.car[0] = game.models[0];
        saveTrackRecords();
        int ada = findDriver("Ada");
        ASSERT_GE(ada, 0);
        game.driverList[size_t(ada)].profile->colour1 = 0x0000FF;
        game.driverList[size_t(ada)].profile->colour2 = 0x00FF00;
    }
    // Pixels of the page in car k's slots.
    static int carPixels(int car)
    {
        bool lockedHere = !game.lockedSurface && lockDraw();
        int n = 0;
        for (int y = 0; y < game.screenHeight; ++y)
            for (int x = 0; x < game.screenWidth; ++x) {
                uint8_t c = game.pixelBase[size_t(y) * game.pixelPitch + x];
                n += c >= carSlot(car, 0) && c <= carSlot(car, 7);
            }
        if (lockedHere) unlockDraw();
        return n;
    }
};

}  // namespace

TEST_F(TrackInfo, TheRecordCarWearsTheHoldersColoursSeatedOrNot)
{
    // Nobody seated: a seat's slots are lent for the page and given back after.
    uint32_t before[paletteSize];
    readPalette(before);
    openTrackInfo("\\gp");
    ASSERT_EQ(activeScreen(), uint32_t(screenTrackInfo));
    EXPECT_EQ(game.palette[carSlot(0, 2)], 0xFF0000u);
    EXPECT_EQ(game.palette[carSlot(0, 6)], 0x00FF00u);
    EXPECT_GT(carPixels(0), 0);
    clickWidget(infoOk);
    for (int i = 0; i < paletteSize; ++i) EXPECT_EQ(game.palette[i], before[i]) << i;

    // Ada in the second seat: her own slots, nobody else's.
    const Widget* w = game.dialog.widgets;
    int s = game.guiScale;
    click(int(w[menuDrivers].x) + 2 * s, int(w[menuDrivers].y) + 3 * s);
    click(int(w[menuDrivers].x) + 2 * s, int(w[menuDrivers].y) + s);
    ASSERT_STREQ(game.driverNames[1], "Ada");
    openTrackInfo("\\gp");
    EXPECT_GT(carPixels(1), 0);
    EXPECT_EQ(carPixels(0), 0);
    clickWidget(infoOk);
}

TEST_F(TrackInfo, TheDescriptionShowsToItsLastWord)
{
    openTrackInfo("\\gp");
    std::string info(game.trackInfo, strnlen(game.trackInfo, sizeof game.trackInfo));
    ASSERT_GT(info.size(), 120u) << "a description longer than three short lines";
    for (std::string line : breakMessageLines(info, 62, 4)) {
        while (!line.empty() && line.back() == ' ') line.pop_back();
        line.erase(0, line.find_first_not_of(' '));
        EXPECT_TRUE(shows(line, captionColour)) << line;
    }
    clickWidget(infoOk);
}
