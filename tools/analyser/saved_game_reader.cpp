// Reads a saved game by its layout, field by field, through bounded reads.
#include "saved_game_reader.h"

#include "byte_reader.h"

#include <cstdio>
#include <cstring>

constexpr uint64_t optionsAt = 4;
constexpr uint64_t carCountAt = 78;
constexpr uint64_t namesAt = 82;
constexpr uint64_t nameBytes = 13;
constexpr uint64_t profileBytes = 92;
constexpr uint64_t carRecordBytes = 1344;
constexpr uint64_t seasonEntryBytes = 56;
constexpr uint64_t carStateBytes = 348;
constexpr uint64_t frameBytes = 18;
constexpr int newestVersion = 0x0110;

static bool replayTagAt(const ByteView& v, uint64_t at)
{
    // Only tags that carry the frame-step field put the count at +8 and the frames at +16;
    // the first car's own tag must follow, as the game itself demands.
    uint8_t version = v.u8(at);
    return (version == 0x05 || version == 0x10) && v.u8(at + 1) == 0x01 && v.u8(at + 2) == 0x52 &&
           v.u8(at + 3) == 0x50 && v.holds(at + 12, 4) && std::memcmp(v.data + at + 12, "PLR1", 4) == 0;
}

static void readReplay(const ByteView& v, uint64_t expectedAt, uint64_t scanFrom, SavedGameInfo& out)
{
    uint64_t tag = expectedAt;
    if (!replayTagAt(v, tag)) {
        // An unusual ghost block moves the replay: look for the tag after the race values,
        // where no name or car record can pose as one.
        tag = UINT64_MAX;
        for (uint64_t at = scanFrom; v.holds(at, 16); ++at) {
            if (replayTagAt(v, at)) {
                tag = at;
                break;
            }
        }
        if (tag == UINT64_MAX) return;
    }
    out.hasReplay = true;
    out.storedFrames = v.u32(tag + 8);
    uint64_t first = tag + 16;
    uint64_t held = (v.size - first) / frameBytes;
    uint64_t count = out.storedFrames < held ? out.storedFrames : held;
    out.path.resize(size_t(count));
    for (uint64_t i = 0; i < count; ++i) {
        uint64_t f = first + i * frameBytes;
        // x and z: the second coordinate of a frame is the height, not a map position.
        out.path[size_t(i)] = PathPoint{v.u16(f), v.u16(f + 4)};
    }
}

bool readSavedGame(const uint8_t* data, size_t size, SavedGameInfo& out, std::string& why)
{
    out = SavedGameInfo();
    ByteView v{data, size};
    if (!v.holds(0, namesAt)) return why = "too short for a saved game", false;
    out.version = v.u16(0);
    if (out.version < 0x0100 || out.version > newestVersion) {
        char s[64];
        std::snprintf(s, sizeof s, "not a saved game (version 0x%04X)", unsigned(out.version));
        return why = s, false;
    }
    uint32_t n = v.u32(carCountAt);
    if (n < 1 || n > 6) return why = "not a saved game (" + std::to_string(n) + " cars)", false;
    out.carCount = int(n);
    out.racePhase = v.u8(2);
    out.raceLength = v.u16(optionsAt + 0);
    out.tyreWear = v.u8(optionsAt + 9);
    out.fuelConsumption = v.u8(optionsAt + 10);
    out.damage = v.u8(optionsAt + 11);
    out.fuelMass = v.u8(optionsAt + 12);
    out.distanceUnit = v.u8(optionsAt + 13);
    out.stepRate = v.u8(optionsAt + 17);

    uint64_t carsAt = namesAt + (nameBytes + profileBytes) * n;
    uint64_t seasonAt = carsAt + carRecordBytes * n;
    out.seasonRaceCount = v.u32(seasonAt);
    out.seasonRace = v.u32(seasonAt + 4);
    uint64_t entriesAt = seasonAt + 8;
    // Counts are u32: in 64 bits a huge one lands past the end instead of wrapping.
    uint64_t statesAt = entriesAt + seasonEntryBytes * uint64_t(out.seasonRaceCount);
    uint64_t orderAt = statesAt + carStateBytes * n;
    uint64_t valuesAt = orderAt + 8 * uint64_t(n);
    uint64_t valuesEnd = valuesAt + 24;
    if (!v.holds(0, valuesEnd)) return why = "saved game cut short before its race values", false;
    if (out.seasonRace < out.seasonRaceCount) {
        size_t field = out.version >= 0x0103 ? 40 : 56;
        out.trackName = v.text(entriesAt + seasonEntryBytes * out.seasonRace, field);
    }

    for (uint32_t d = 0; d < n; ++d) {
        AnalysedCar c;
        c.name = v.text(namesAt + nameBytes * d, nameBytes);
        c.carName = v.text(carsAt + carRecordBytes * d, 12);
        uint64_t s = statesAt + carStateBytes * d;
        c.position = v.u8(s) + 1;
        c.upsideDown = v.i32(s + 12);
        c.lastCrossing = v.i32(s + 16);
        c.lastLap = v.i32(s + 20);
        c.human = v.u8(s + 24) != 0;
        c.skill = v.u8(s + 28);
        c.laps = v.u16(s + 164);
        c.bestLap = v.u16(s + 168);
        c.tyres = v.u16(s + 170);
        c.fuel = v.u16(s + 172);
        c.damage = v.u16(s + 174);
        out.cars.push_back(c);
        out.runningOrder.push_back(int64_t(v.i32(orderAt + 4 * d)) + 1);  // 64 bits: a lying file's largest i32
    }
    out.raceLaps = v.i32(valuesAt);
    out.leaderLaps = v.i32(valuesAt + 4);
    out.raceClock = v.i32(valuesAt + 8);
    out.fastestLapTime = v.i32(valuesAt + 12);

    uint64_t replayAt = valuesEnd;
    if (n == 1) {
        uint16_t ghost = v.u16(valuesEnd);
        replayAt += 2 + (ghost <= 6000 ? (uint64_t(ghost) + 1) / 2 * 12 : 0);
    }
    readReplay(v, replayAt, valuesEnd, out);
    return true;
}

bool readWholeFile(const std::string& path, std::vector<uint8_t>& out, size_t limit)
{
    out.clear();
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return false;
    uint8_t chunk[65536];
    bool ok = true;
    while (out.size() < limit) {
        size_t want = sizeof chunk < limit - out.size() ? sizeof chunk : limit - out.size();
        size_t got = std::fread(chunk, 1, want, f);
        out.insert(out.end(), chunk, chunk + got);
        if (got < want) {
            ok = !std::ferror(f);
            break;
        }
    }
    std::fclose(f);
    return ok;
}
