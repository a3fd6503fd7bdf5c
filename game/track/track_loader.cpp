#include "track/track_loader.h"

#include "platform/exe_folder.h"
#include "track/car_model_file.h"
#include "state/game_state.h"
#include "track/camera_framing.h"
#include "track/ghost_lap.h"
#include "track/surface_map.h"
#include "track/terrain_height.h"
#include "track/track_checksum.h"
#include "track/track_file.h"
#include "track/track_layout.h"
#include "track/track_records.h"

#include <cmath>
#include <cstring>
#include <vector>

template <typename T> static T* replaceArray(T*& slot, size_t count)
{
    delete[] slot;
    slot = count ? new T[count]() : nullptr;
    return slot;
}

// Reads count records of size bytes; a short file delivers the bytes it has and zeros after.
static std::vector<uint8_t> readRecords(TrackFile& f, size_t count, size_t size)
{
    std::vector<uint8_t> raw(count * size, 0);
    if (!raw.empty()) f.read(raw.data(), raw.size());
    return raw;
}

static uint16_t le16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }

static Vec3 headingDirection(uint16_t heading)
{
    float a = heading / 10000.0f;
    return {std::cos(a), 0.0f, -std::sin(a)};
}

static void decodeSurface(TrackFile& f, uint16_t version)
{
    clearSurfaceMap(game.surfaceMap);
    uint32_t words = 0;
    if (version >= 0x103) f.readU32(words);
    else {
        uint16_t w16 = 0;
        f.readU16(w16);
        words = w16;
    }
    long start = f.tell();
    uint16_t buf[4096];
    uint8_t raw[sizeof buf];
    size_t cursor = 0;
    uint32_t left = words;
    while (left > 0 && cursor < size_t(surfaceMapCells)) {
        size_t want = left < 4096 ? left : 4096;
        size_t got = f.read(raw, want * 2) / 2;
        for (size_t k = 0; k < got; ++k) buf[k] = le16(raw + 2 * k);
        cursor = applyRunWords(game.surfaceMap, buf, got, cursor);
        left -= static_cast<uint32_t>(got);
        if (got < want) return;  // the file ended; later reads find nothing
    }
    // Words beyond the map's end are not applied, but the fields after them stay where the
    // file puts them.
    if (left > 0) f.seek(start + 2 * long(words), SEEK_SET);
}

static void readHeightGrid(TrackFile& f)
{
    uint16_t m = 0;
    if (!f.readU16(m)) return;
    size_t into = m < heightMapCells ? m : heightMapCells;
    size_t got = f.read(game.heightMap, into);
    if (got == into && m > into) f.skip(m - into);
}

static void readObjects(TrackFile& f, uint16_t version)
{
    uint32_t count = 0;
    readCount(f, version >= 0x102, count);
    std::vector<uint8_t> raw = readRecords(f, count, 8);
    TrackObject* objects = replaceArray(game.trackObjects, count);
    game.objectCount = static_cast<uint16_t>(count);
    float unit = game.surfaceCell * 0.5f;
    for (uint32_t i = 0; i < count; ++i) {
        const uint8_t* r = &raw[i * 8];
        objects[i].kind = r[0];
        objects[i].position = {le16(r + 2) * unit, 0.0f, le16(r + 4) * unit};
        objects[i].direction = headingDirection(le16(r + 6));
    }
}

static void buildPitBox(PitBox& box, float x, float z, uint16_t heading)
{
    box = PitBox{};
    box.owner = 6;
    box.stopPoint = {x, terrainHeight(x, z), z};
    Vec3 F = headingDirection(heading);
    Vec3 R = {F.z, 0.0f, -F.x};
    const float crew[pitCrewSize][2] = {{2, 0}, {-3, 3}, {1.5f, 3}, {1.5f, -3}, {-1.5f, 3}, {-1.5f, -3}, {0, -3}, {0, 3}};
    box.axis = F;
    for (int c = 0; c < pitCrewSize; ++c) {
        Vec3 p = box.stopPoint + F * crew[c][0] + R * crew[c][1];
        p.y = terrainHeight(p.x, p.z) + 0.7f;
        box.crew[c].forward = crew[c][0];
        box.crew[c].side = crew[c][1];
        box.crew[c].position = p;
        box.crew[c].target = p;
    }
}

static void readPitBoxes(TrackFile& f)
{
    uint8_t count = 0;
    f.readU8(count);
    std::vector<uint8_t> raw = readRecords(f, count, 6);
    PitBox* boxes = replaceArray(game.pitBoxes, count);
    float unit = game.surfaceCell * 0.5f;
    for (int i = 0; i < count; ++i) {
        const uint8_t* r = &raw[i * 6];
        buildPitBox(boxes[i], le16(r) * unit, le16(r + 2) * unit, le16(r + 4));
    }
    game.pitBoxCount = count > maxPitBoxes ? maxPitBoxes : count;
}

static Checkpoint makeCheckpoint(const uint8_t* r)
{
    float unit = game.surfaceCell * 0.5f;
    Checkpoint c;
    c.x = le16(r) * unit;
    c.z = le16(r + 2) * unit;
    float dx = le16(r + 4) * unit - c.x, dz = le16(r + 6) * unit - c.z;
    c.length = std::sqrt(dx * dx + dz * dz);
    // A gate of no length can never be passed; keep its direction finite all the same.
    c.ux = c.length > 0 ? dx / c.length : 0.0f;
    c.uz = c.length > 0 ? dz / c.length : 0.0f;
    return c;
}

static void readCheckpoints(TrackFile& f, bool lastOnly)
{
    uint8_t count = 0;
    f.readU8(count);
    if (lastOnly && count > 1) f.skip(8L * (count - 1));
    size_t kept = lastOnly && count ? 1 : count;
    std::vector<uint8_t> raw = readRecords(f, kept, 8);
    Checkpoint* gates = replaceArray(game.checkpoints, kept);
    for (size_t i = 0; i < kept; ++i) gates[i] = makeCheckpoint(&raw[i * 8]);
    game.checkpointCount = static_cast<uint8_t>(kept);
}

static Vec3* readPath(TrackFile& f, bool wide, Vec3*& slot, uint32_t& count)
{
    count = 0;
    readCount(f, wide, count);
    std::vector<uint8_t> raw = readRecords(f, count, 4);
    Vec3* points = replaceArray(slot, count);
    float unit = game.surfaceCell * 0.5f;
    for (uint32_t i = 0; i < count; ++i) {
        float x = le16(&raw[i * 4]) * unit, z = le16(&raw[i * 4 + 2]) * unit;
        points[i] = {x, terrainHeight(x, z), z};
    }
    return points;
}

static uint8_t nearestLinePoint(Vec3 to)
{
    float best = game.trackSize * game.trackSize;
    uint32_t found = 0;
    for (uint32_t i = 0; i < game.drivingLineCount; ++i) {
        Vec3 d = game.drivingLine[i] - to;
        float q = dot(d, d);
        if (q < best) best = q, found = i;
    }
    return static_cast<uint8_t>(found);
}

static void findPitEnds()
{
    game.pitEntryIndex = game.pitExitIndex = 0;
    // The ends are extrapolated one step beyond the lane, which takes two points.
    if (game.pitLaneCount < 2) return;
    const Vec3* p = game.pitLane;
    int last = game.pitLaneCount - 1;
    game.pitEntryIndex = nearestLinePoint(p[0] * 2.0f - p[1]);
    game.pitExitIndex = nearestLinePoint(p[last] * 2.0f - p[last - 1]);
}

static void readTexts(TrackFile& f, uint16_t version, uint32_t bodyEnd)
{
    game.trackAuthor[0] = game.trackInfo[0] = 0;
    long shift = version >= 0x102 ? 0 : 2;
    uint16_t marker = 0;
    if (bodyEnd < 536 || !f.seek(long(bodyEnd) - 6 + shift, SEEK_SET) || !f.readU16(marker) || marker != 0xFFFF)
        return;
    char author[30] = {}, info[500] = {};
    if (!f.seek(long(bodyEnd) - 536 + shift, SEEK_SET)) return;
    f.read(author, sizeof author);
    f.read(info, sizeof info);
    std::memcpy(game.trackAuthor, author, sizeof author);
    game.trackAuthor[30] = 0;
    std::memcpy(game.trackInfo, info, sizeof info);
    game.trackInfo[500] = 0;
}

static int readTrack(const std::string& entry, bool preview)
{
    if (!game.exeFolder.empty()) changeToFolder(game.exeFolder);
    TrackFile f;
    if (!f.open("tracks" + entry + ".trk", trackFileRead)) return -1;
    uint16_t version = 0, magic = 0;
    f.readU16(version);
    f.readU16(magic);
    if (magic != trackMagic) {
        version = 0x100;
        f.seek(0, SEEK_SET);
    } else if (version > trackVersionMax) {
        return -1;
    }

    uint32_t bodyEnd = 0;
    uint8_t size = 0, water = 0;
    int16_t angle = 0, rotation = 0;
    f.readU32(bodyEnd);
    f.readU8(size);
    f.readU8(water);
    f.readI16(angle);
    f.readI16(rotation);
    float zoom = 1.05f;
    uint8_t paint = 1;
    if (version >= 0x105) {
        uint8_t z = 0;
        if (f.readU8(z)) zoom = z * 0.01f;
        f.readU8(paint);
    }
    game.trackEntry = entry;
    game.trackSize = size;
    game.surfaceCell = size / 512.0f;
    game.heightCell = size / 63.0f;
    game.waterLevel = water * 0.05f;
    game.paintStartLine = preview ? 1 : paint;

    // New maps, perhaps where the old ones lay: caches of the old track must see it changed.
    ++game.trackGeneration;
    delete[] game.surfaceMap;
    game.surfaceMap = new uint8_t[surfaceMapCells];
    delete[] game.heightMap;
    game.heightMap = new uint8_t[heightMapCells]();

    decodeSurface(f, version);
    readHeightGrid(f);
    readObjects(f, version);
    if (preview) {
        uint8_t boxes = 0;
        if (f.readU8(boxes)) f.skip(6L * boxes);
        replaceArray(game.pitBoxes, 0);
        game.pitBoxCount = 0;
    } else {
        readPitBoxes(f);
    }
    readCheckpoints(f, preview);
    uint32_t count = 0;
    readPath(f, version >= 0x102, game.drivingLine, count);
    game.drivingLineCount = static_cast<uint16_t>(count);
    readPath(f, false, game.pitLane, count);
    game.pitLaneCount = static_cast<uint8_t>(count);
    findPitEnds();

    if (game.paintStartLine && game.checkpointCount)
        paintStartLineCells(game.surfaceMap, game.checkpoints[game.checkpointCount - 1], game.surfaceCell);

    game.lapLength = 0;
    long lapAt = long(bodyEnd) - (version >= 0x102 ? 4 : 2);
    if (lapAt >= 0 && f.seek(lapAt, SEEK_SET)) {
        if (version >= 0x102) f.readU32(game.lapLength);
        else {
            uint16_t lap = 0;
            if (f.readU16(lap)) game.lapLength = lap;
        }
    }
    // Another track's records must never stand in for missing ones: they would be shown here
    // and written into this file after the race.
    clearTrackRecords(game.trackRecords);
    // A bodyEnd inside the body would show the body's bytes as records; such a track races
    // without any, and the records writer leaves its file alone.
    TrackHeader header = {version, magic == trackMagic, bodyEnd};
    bool ownRecords = recordsAreaIsOwn(f, header);
    if (ownRecords && f.seek(long(bodyEnd), SEEK_SET)) readTrackRecords(f, game.trackRecords);

    if (preview) {
        readTexts(f, version, bodyEnd);
    } else {
        if (game.carCount == 1) {
            // Nor has it a ghost: reading one from the file's end finds none.
            if (!ownRecords) f.seek(0, SEEK_END);
            readGhostLap(f);
        }
        for (uint32_t& s : game.recordsSeed) s = 1;
        uint32_t seed[4] = {1, 1, 1, 1};
        if (f.seek(0, SEEK_SET) && sumTrackBytes(f, 0, bodyEnd, seed) == bodyEnd)
            for (int i = 0; i < 4; ++i) game.recordsSeed[i] = seed[i];
    }
    f.close();

    frameTrackCamera(angle, rotation, zoom, currentAspectRatio());
    return 0;
}

int loadTrack(const std::string& entry)
{
    return readTrack(entry, false);
}

int loadTrackPreview(const std::string& entry)
{
    return readTrack(entry, true);
}

void freeTrackData()
{
    ++game.trackGeneration;
    delete[] game.surfaceMap;
    delete[] game.heightMap;
    delete[] game.trackObjects;
    delete[] game.pitBoxes;
    delete[] game.checkpoints;
    delete[] game.drivingLine;
    delete[] game.pitLane;
    game.surfaceMap = game.heightMap = nullptr;
    game.trackObjects = nullptr;
    game.pitBoxes = nullptr;
    game.checkpoints = nullptr;
    game.drivingLine = game.pitLane = nullptr;
    game.objectCount = game.drivingLineCount = 0;
    game.pitBoxCount = game.checkpointCount = game.pitLaneCount = 0;
}
