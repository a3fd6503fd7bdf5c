#include "season/race_slots.h"

#include "render/palette.h"
#include "season/driver_list.h"
#include "state/game_state.h"

#include <algorithm>
#include <cstring>

// Windows folds Latin-1 letters as well as ASCII ones in file names, so two drivers that
// differ only there would share a file.
static unsigned char foldCase(unsigned char c)
{
    if ((c >= 'A' && c <= 'Z') || (c >= 0xc0 && c <= 0xde && c != 0xd7)) return static_cast<unsigned char>(c + 32);
    return c;
}

bool sameDriverName(const char* a, const char* b)
{
    for (;; ++a, ++b) {
        if (foldCase(static_cast<unsigned char>(*a)) != foldCase(static_cast<unsigned char>(*b))) return false;
        if (!*a) return true;
    }
}

static void setSlotName(int slot, const std::string& name)
{
    char* field = game.driverNames[slot];
    std::memset(field, 0, sizeof game.driverNames[slot]);
    std::memcpy(field, name.data(), std::min(name.size(), sizeof game.driverNames[slot] - 1));
}

void assignParticipant(int slot, DriverProfile* profile)
{
    if (slot < 0 || slot >= maxCars) return;
    if (profile) {
        game.drivers[slot] = profile;
        for (const DriverEntry& e : game.driverList)
            if (e.profile.get() == profile) setSlotName(slot, e.name);
    }
    if (const DriverProfile* p = game.drivers[slot]) setCarColours(slot, p->colour1, p->colour2);
}

void matchRaceSlots()
{
    int count = game.carCount < 0 ? 0 : game.carCount > maxCars ? maxCars : game.carCount;
    int kept = 0;
    for (int i = 0; i < count; ++i) {
        char name[sizeof game.driverNames[0]];
        std::memcpy(name, game.driverNames[i], sizeof name);
        name[sizeof name - 1] = 0;
        int entry = findDriver(name);
        if (entry < 0) continue;
        setSlotName(kept, name);
        game.drivers[kept] = game.driverList[entry].profile.get();
        ++kept;
    }
    for (int i = kept; i < maxCars; ++i) {
        std::memset(game.driverNames[i], 0, sizeof game.driverNames[i]);
        game.drivers[i] = nullptr;
    }
    game.carCount = kept;
    for (int i = 0; i < kept; ++i) assignParticipant(i);
}
