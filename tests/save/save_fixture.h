#pragma once
// A private game folder with the shipped tracks and cars, drivers made in memory, and the few
// steps the saved-game tests take: start a season, drive it, save it, read its bytes.
#include "race/car_models.h"
#include "race/race_frame.h"
#include "save/saved_game.h"
#include "season/championship.h"
#include "season/driver_file.h"
#include "season/race_slots.h"
#include "files/config.h"
#include "files/options_file.h"
#include "state/game_state.h"
#include "track/track_records.h"
#include "support/harness.h"
#include "support/race_fixture.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

class SaveTest : public SeasonFolderTest {
protected:
    void SetUp() override
    {
        SeasonFolderTest::SetUp();
        if (IsSkipped()) return;
        game.options.raceLength = 2;
        game.options.damage = 0;
    }

    // Computers each get a skill of their own, so that a file's profiles tell them apart.
    DriverProfile* enter(const std::string& name, bool human, uint32_t carType = 0)
    {
        uint32_t skill = 90 + 4 * uint32_t(game.carCount);
        DriverProfile* p = enterDriver(name, human, carType);
        if (!human) p->controls[1] = skill;
        return p;
    }
    // One human on the keys and computers up to n cars.
    void drivers(int n)
    {
        static const char* const names[] = {"Ann", "Bob", "Cy", "Dee", "Eve", "Fay"};
        for (int i = 0; i < n; ++i) enter(names[i], i == 0, uint32_t(i % 2));
    }
    std::vector<uint8_t> bytes(const std::string& name) const
    {
        std::string s = folder.read("saves/" + name + ".gam");
        return std::vector<uint8_t>(s.begin(), s.end());
    }
    void put(const std::string& name, const std::vector<uint8_t>& b) const { folder.write("saves/" + name + ".gam", b); }
};

// Offsets of a file's parts for n cars and r races (0x0103 and later).
struct SaveLayout {
    int n, r;
    size_t names() const { return 82; }
    size_t profiles() const { return 82 + 13 * size_t(n); }
    size_t models() const { return profiles() + 92 * size_t(n); }
    size_t raceCount() const { return models() + 1344 * size_t(n); }
    size_t tracks() const { return raceCount() + 8; }
    size_t cars() const { return tracks() + 56 * size_t(r); }
    size_t order() const { return cars() + 348 * size_t(n); }
    size_t points() const { return order() + 4 * size_t(n); }
    size_t raceValues() const { return points() + 4 * size_t(n); }
    size_t end() const { return raceValues() + 24; }  // the ghost or the replay block follows
};

inline uint32_t u32At(const std::vector<uint8_t>& b, size_t at)
{
    return uint32_t(b[at]) | uint32_t(b[at + 1]) << 8 | uint32_t(b[at + 2]) << 16 | uint32_t(b[at + 3]) << 24;
}
inline void putU32(std::vector<uint8_t>& b, size_t at, uint32_t v)
{
    for (int k = 0; k < 4; ++k) b[at + k] = uint8_t(v >> (8 * k));
}
inline void putU16(std::vector<uint8_t>& b, size_t at, uint16_t v)
{
    b[at] = uint8_t(v);
    b[at + 1] = uint8_t(v >> 8);
}
