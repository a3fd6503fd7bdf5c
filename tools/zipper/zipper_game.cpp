// Saved game and track values by the files' layouts.
#include "zipper_game.h"

static const int newestSaveVersion = 0x0110;
static const int newestTrackVersion = 0x0110;
static const size_t nameField = 13;
static const size_t profileSize = 92;
static const size_t carModelSize = 1344;
static const size_t carStateSize = 348;

// Little-endian fields at an offset; false when they do not lie wholly within the bytes.
static bool readU16(const uint8_t* data, size_t size, uint64_t at, uint32_t& value)
{
    if (at > size || size - at < 2) {
        return false;
    }
    value = uint32_t(data[at]) | uint32_t(data[at + 1]) << 8;
    return true;
}

static bool readU32(const uint8_t* data, size_t size, uint64_t at, uint32_t& value)
{
    if (at > size || size - at < 4) {
        return false;
    }
    value = uint32_t(data[at]) | uint32_t(data[at + 1]) << 8 | uint32_t(data[at + 2]) << 16 |
            uint32_t(data[at + 3]) << 24;
    return true;
}

// Text of at most maxChars characters from a zero-padded field; a field without its zero
// ends at maxChars or at the end of the bytes.
static std::string readText(const uint8_t* data, size_t size, uint64_t at, size_t maxChars)
{
    std::string text;
    for (uint64_t i = at; i < size && text.size() < maxChars && data[i] != 0; i++) {
        text += char(data[i]);
    }
    return text;
}

bool readSavedGameValues(const uint8_t* data, size_t size, SavedGameValues& out, std::string& problem)
{
    uint32_t version = 0, raceLength = 0, carCount = 0;
    if (!readU16(data, size, 0, version) || !readU16(data, size, 4, raceLength) || size < 18 ||
        !readU32(data, size, 78, carCount)) {
        problem = "kein gespeichertes Spiel (Datei zu kurz)";
        return false;
    }
    if (version > newestSaveVersion) {
        problem = "gespeichertes Spiel einer neueren Version";
        return false;
    }
    if (carCount < 1 || carCount > 6) {
        problem = "kein gespeichertes Spiel (Zahl der Wagen)";
        return false;
    }
    uint64_t n = carCount;
    uint64_t season = 82 + n * (nameField + profileSize + carModelSize);
    uint32_t raceCount = 0, race = 0;
    if (!readU32(data, size, season, raceCount) || !readU32(data, size, season + 4, race)) {
        problem = "gespeichertes Spiel zu kurz";
        return false;
    }
    if (race >= raceCount) {
        problem = "gespeichertes Spiel ohne laufendes Rennen";
        return false;
    }
    // Older files keep 56-byte names without checksums; both entries are 56 bytes long.
    uint64_t entries = season + 8;
    uint64_t carStates = entries + uint64_t(raceCount) * 56;
    uint32_t raceTime = 0;
    if (carStates > size || !readU32(data, size, carStates + 16, raceTime)) {
        problem = "gespeichertes Spiel zu kurz";
        return false;
    }
    out.version = int(version);
    out.raceLength = int(raceLength);
    out.distanceUnit = data[17];
    out.carCount = int(carCount);
    out.driverName = readText(data, size, 82, nameField - 1);
    out.trackEntry = readText(data, size, entries + uint64_t(race) * 56, version >= 0x0103 ? 39 : 55);
    out.hasTrackChecksum = version >= 0x0103;
    for (int i = 0; i < 4; i++) {
        out.trackChecksum[i] = 0;
        if (out.hasTrackChecksum) {
            readU32(data, size, entries + uint64_t(race) * 56 + 40 + 4 * i, out.trackChecksum[i]);
        }
    }
    out.raceTime = int32_t(raceTime);
    uint32_t firstCarLaps = 0;
    readU16(data, size, carStates + 164, firstCarLaps);
    out.firstCarLaps = int32_t(firstCarLaps);
    // After the car states, the running order and the points come the race's laps.
    uint32_t raceLaps = 0;
    readU32(data, size, carStates + n * (carStateSize + 8), raceLaps);
    out.raceLaps = int32_t(raceLaps);
    return true;
}

bool readTrackValues(const uint8_t* data, size_t size, TrackValues& out, std::string& problem)
{
    uint32_t version = 0, magic = 0, bodyEnd = 0;
    if (!readU16(data, size, 0, version) || !readU16(data, size, 2, magic)) {
        problem = "keine Streckendatei (Datei zu kurz)";
        return false;
    }
    // Without the magic the oldest layout starts right away with bodyEnd.
    uint64_t bodyEndAt = 4;
    if (magic != 0x4D54) {
        version = 0x100;
        bodyEndAt = 0;
    } else if (version > newestTrackVersion) {
        problem = "Streckendatei einer neueren Version";
        return false;
    }
    if (!readU32(data, size, bodyEndAt, bodyEnd)) {
        problem = "keine Streckendatei (Datei zu kurz)";
        return false;
    }
    out.version = int(version);
    out.bodyEnd = bodyEnd;
    out.lapLength = 0;
    if (version >= 0x102) {
        if (bodyEnd >= 4) {
            readU32(data, size, uint64_t(bodyEnd) - 4, out.lapLength);
        }
    } else if (bodyEnd >= 2) {
        readU16(data, size, uint64_t(bodyEnd) - 2, out.lapLength);
    }
    // The first of the seven records is the lap record: its time, then its holder's name.
    uint32_t time = 6000;
    out.hasRecord = readU16(data, size, bodyEnd, time) && uint64_t(bodyEnd) + 14 + nameField <= size;
    out.recordTime = out.hasRecord ? uint16_t(time) : 6000;
    out.recordHolder = out.hasRecord ? readText(data, size, uint64_t(bodyEnd) + 14, nameField - 1) : "";
    return true;
}

bool trackBodyChecksum(const uint8_t* data, size_t size, uint32_t out[4])
{
    TrackValues v;
    std::string problem;
    if (!readTrackValues(data, size, v, problem)) {
        return false;
    }
    uint32_t cut = v.version >= 0x102 ? 4 : 2;
    if (v.bodyEnd < cut || v.bodyEnd - cut > size) {
        return false;
    }
    for (int i = 0; i < 4; i++) {
        out[i] = 1;
    }
    for (size_t i = 0; i < v.bodyEnd - cut; i++) {
        out[i % 4] += uint32_t(i + 1) * (uint32_t(data[i]) + 1);
    }
    return true;
}
