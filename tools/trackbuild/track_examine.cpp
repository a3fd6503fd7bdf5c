#include "track_examine.h"

#include "gate_reach.h"

#include "platform/exe_folder.h"
#include "state/game_state.h"
#include "render/ground_colours.h"
#include "track/terrain_height.h"
#include "track/track_checksum.h"
#include "track/track_file.h"
#include "track/track_layout.h"
#include "track/track_loader.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include <unistd.h>

namespace fs = std::filesystem;

static fs::path inspectionFolder()
{
    return fs::temp_directory_path() / ("tmtrack-" + std::to_string(::getpid()));
}

// The game reads tracks below its folder's tracks: give it a folder whose tracks is the file's.
static bool stage(const std::string& hostPath, std::string& entry, std::string& why)
{
    std::error_code ec;
    fs::path file = fs::absolute(hostPath, ec);
    if (!fs::is_regular_file(file, ec)) return why = "no such file " + hostPath, false;
    fs::path root = inspectionFolder();
    fs::remove_all(root, ec);
    fs::create_directories(root, ec);
    fs::create_directory_symlink(file.parent_path(), root / "tracks", ec);
    if (ec) return why = "cannot stage " + hostPath, false;
    game.exeFolder = root.string();
    entry = "\\" + file.stem().string();
    if (file.extension() != ".trk") return why = "a track file ends in .trk", false;
    return true;
}

static void unstage(const fs::path& back)
{
    std::error_code ec;
    fs::current_path(back, ec);
    fs::remove_all(inspectionFolder(), ec);
}

bool loadTrackForInspection(const std::string& hostPath, std::string& why)
{
    fs::path back = fs::current_path();
    std::string entry;
    game.viewAngle = game.viewRotation = 0x7FFF;
    game.viewZoom = 0;
    game.ratioAdjust = 1;
    game.carCount = 1;
    bool ok = stage(hostPath, entry, why);
    if (ok && loadTrackPreview(entry) != 0) ok = false, why = "the game refuses " + hostPath;
    std::string author = game.trackAuthor, info = game.trackInfo;
    if (ok && loadTrack(entry) != 0) ok = false, why = "the game refuses " + hostPath;
    std::snprintf(game.trackAuthor, sizeof game.trackAuthor, "%s", author.c_str());
    std::snprintf(game.trackInfo, sizeof game.trackInfo, "%s", info.c_str());
    unstage(back);
    return ok;
}

struct RawFacts {
    uint16_t version = 0x100;
    uint32_t bodyEnd = 0;
    uint64_t runCells = 0;
    uint32_t runWords = 0;
    long fileSize = 0;
    bool trailer = false;
    bool fieldsFit = false;  // the counted fields end within the file, at fieldsEnd
    uint64_t fieldsEnd = 0;
};

static RawFacts rawFacts(const std::string& hostPath)
{
    RawFacts r;
    TrackFile f;
    std::error_code ec;
    if (!f.open(fs::absolute(hostPath, ec).string(), trackFileRead)) return r;
    TrackHeader h;
    readTrackHeader(f, h);
    r.version = h.version;
    r.bodyEnd = h.bodyEnd;
    r.fileSize = f.size();
    f.skip(6);
    if (h.version >= 0x105) f.skip(2);
    if (h.version >= 0x103) f.readU32(r.runWords);
    else {
        uint16_t n = 0;
        f.readU16(n);
        r.runWords = n;
    }
    for (uint32_t i = 0; i < r.runWords; ++i) {
        uint16_t w;
        if (!f.readU16(w)) break;
        r.runCells += w >> 4;
    }
    r.fieldsFit = bodyFieldsEnd(f, h, r.fieldsEnd);
    uint32_t marker = 0;
    r.trailer = r.fileSize >= 20 && f.seek(r.fileSize - 20, SEEK_SET) && f.readU32(marker) && marker == recordsMarker;
    return r;
}

std::string describeTrack(const std::string& hostPath)
{
    RawFacts raw = rawFacts(hostPath);
    std::ostringstream o;
    char line[256];
    std::snprintf(line, sizeof line, "version 0x%03X, size %.0f m, water %.2f m, file %ld bytes (body %u)\n",
                  raw.version, game.trackSize, game.waterLevel, raw.fileSize, raw.bodyEnd);
    o << line;
    std::snprintf(line, sizeof line, "run words %u, objects %u, pit boxes %u, checkpoints %u, line points %u, pit lane %u\n",
                  raw.runWords, game.objectCount, game.pitBoxCount, game.checkpointCount, game.drivingLineCount,
                  game.pitLaneCount);
    o << line;
    std::snprintf(line, sizeof line, "lap %u m, pit entry %u, pit exit %u, camera zoom %.2f\n", game.lapLength,
                  game.pitEntryIndex, game.pitExitIndex, game.trackViewZoom);
    o << line << "author: " << game.trackAuthor << "\n" << "info: " << game.trackInfo << "\n";
    const TrackRecords& r = game.trackRecords;
    for (int i = 0; i < recordCount; ++i) {
        if (r.time[i] >= emptyLapTime) std::snprintf(line, sizeof line, "%s %d: -\n", i ? "best" : "record", i);
        else
            std::snprintf(line, sizeof line, "%s %d: %d.%02d s %s (%.12s) %04u-%02u-%02u\n", i ? "best" : "record", i,
                          r.time[i] / 100, r.time[i] % 100, r.name[i], r.car[i].name, r.date[i].year, r.date[i].month,
                          r.date[i].day);
        o << line;
    }
    o << "ghost: " << (game.ghostLimit < ghostNone ? std::to_string(game.ghostLimit) + " steps" : "none")
      << (raw.trailer ? ", sealed records" : "") << "\n";
    uint32_t s[4];
    fs::path back = fs::current_path();
    std::string entry, why;
    if (stage(hostPath, entry, why)) {
        fs::current_path(inspectionFolder());
        trackChecksum(entry, s);
        std::snprintf(line, sizeof line, "checksum %08X %08X %08X %08X\n", s[0], s[1], s[2], s[3]);
        o << line;
    }
    unstage(back);
    return o.str();
}

static float segmentDistance(Vec3 c, Vec3 a, Vec3 b)
{
    float abx = b.x - a.x, abz = b.z - a.z, l2 = abx * abx + abz * abz;
    float t = l2 > 0 ? std::clamp(((c.x - a.x) * abx + (c.z - a.z) * abz) / l2, 0.0f, 1.0f) : 0.0f;
    float dx = c.x - (a.x + abx * t), dz = c.z - (a.z + abz * t);
    return std::sqrt(dx * dx + dz * dz);
}

static float lineDistance(Vec3 c)
{
    float best = 1e9f;
    int n = game.drivingLineCount;
    for (int i = 0; i < n; ++i) best = std::min(best, segmentDistance(c, game.drivingLine[i], game.drivingLine[(i + 1) % n]));
    return best;
}

// How far from its position an object of a kind stands in the way, roughly.
static float objectFootprint(int kind)
{
    switch (kind) {
    case 7: case 8: case 26: return 0.3f;
    case 10: case 24: return 0.8f;
    case 9: return 1.5f;
    case 6: case 25: return 2.5f;
    case 4: case 5: case 19: case 20: return 1.0f;  // the trunk: the crown stands high above
    default: return 3.0f;
    }
}

static bool passes(const Checkpoint& c, float x, float z)
{
    float dx = x - c.x, dz = z - c.z;
    float along = c.ux * dx + c.uz * dz, across = c.uz * dx - c.ux * dz;
    return along > 0 && along < c.length && across > -1 && across < 1;
}

// A gate must reach across all the ground a car can drive at its place, or a car running wide
// passes beyond its end and loses the lap. Walking on along the gate's line from either end,
// within a unit (a car's centre keeps about its half width from any surface) there must be the
// square's edge, water deep enough to cover a car or the solid part of an object.
static void checkGateEnds(std::vector<std::string>& bad)
{
    DrivableGround ground;
    ground.size = game.trackSize;
    ground.water = game.waterLevel;
    ground.height = terrainHeight;
    for (int i = maxCars; i < game.objectCount; ++i) ground.objects.push_back(game.trackObjects[i]);
    char m[256];
    for (int g = 0; g < game.checkpointCount; ++g) {
        const Checkpoint& c = game.checkpoints[g];
        float ends[2][4] = {{c.x, c.z, -c.ux, -c.uz}, {c.x + c.ux * c.length, c.z + c.uz * c.length, c.ux, c.uz}};
        for (const float* e : ends)
            if (drivableReach(ground, e[0], e[1], e[2], e[3], 1.0f) >= 1.0f) {
                std::snprintf(m, sizeof m, "gate %d ends on ground a car can drive, at (%.1f, %.1f): a car passes beyond it",
                              g, e[0], e[1]);
                bad.push_back(m);
            }
    }
}

// A gate that reaches over another stretch of the road counts there when it is the next one,
// before its own place. Harmless for the gates between, but the finish line must not count
// early: driving the line and beside it from the grid, each lap counts at the finish line.
static void checkLapCountsAtFinish(std::vector<std::string>& bad)
{
    int n = game.drivingLineCount, gates = game.checkpointCount;
    if (n < 3 || gates == 0 || game.objectCount < 1) return;
    const Checkpoint& finish = game.checkpoints[gates - 1];
    Vec3 grid = game.trackObjects[0].position;
    int first = 0;
    for (int i = 1; i < n; ++i) {
        Vec3 a = game.drivingLine[i] - grid, b = game.drivingLine[first] - grid;
        if (a.x * a.x + a.z * a.z < b.x * b.x + b.z * b.z) first = i;
    }
    // Walks two laps of the line at a sideways offset; calls back with the distance along the line.
    auto walk = [&](float offset, auto&& at) {
        float travelled = 0;
        for (int k = 0; k < 2 * n; ++k) {
            Vec3 a = game.drivingLine[(first + k) % n], b = game.drivingLine[(first + k + 1) % n];
            float len = std::hypot(b.x - a.x, b.z - a.z);
            if (len <= 0) continue;
            float sx = (b.z - a.z) / len, sz = -(b.x - a.x) / len;
            int steps = std::max(1, int(len / 0.25f));
            for (int j = 0; j < steps; ++j) {
                float t = float(j) / steps;
                if (at(a.x + (b.x - a.x) * t + sx * offset, a.z + (b.z - a.z) * t + sz * offset, travelled + len * t)) return;
            }
            travelled += len;
        }
    };
    float place = -1, lap = 0;
    for (int i = 0; i < n; ++i) {
        Vec3 a = game.drivingLine[i], b = game.drivingLine[(i + 1) % n];
        lap += std::hypot(b.x - a.x, b.z - a.z);
    }
    walk(0, [&](float x, float z, float d) { return passes(finish, x, z) && d > 0 ? (place = d, true) : false; });
    if (place < 0) return;  // the order check reports it
    // The grid stands behind the finish line, so the first lap counts a lap after passing it.
    if (place < lap / 2) place += lap;
    char m[256];
    for (float offset : {-8.0f, -4.0f, 0.0f, 4.0f, 8.0f}) {
        int next = 0;
        walk(offset, [&](float x, float z, float d) {
            if (!passes(game.checkpoints[next], x, z) || ++next < gates) return false;
            if (d < place - 3) {
                std::snprintf(m, sizeof m, "%.0f units beside the line the lap counts %.0f units before the finish line, at (%.1f, %.1f)",
                              offset, place - d, x, z);
                bad.push_back(m);
            }
            return true;
        });
    }
}

std::vector<std::string> checkTrack(const std::string& hostPath)
{
    std::vector<std::string> bad;
    char m[256];
    RawFacts raw = rawFacts(hostPath);
    if (raw.runCells > uint64_t(surfaceMapCells)) {
        std::snprintf(m, sizeof m, "run words cover %llu cells, more than the map's %d", (unsigned long long)raw.runCells,
                      surfaceMapCells);
        bad.push_back(m);
    }
    // The game writes its records at bodyEnd: anywhere before the fields' end they would land
    // on the track, so it keeps none for such a file.
    if (!raw.fieldsFit) {
        bad.push_back("the body's counted fields run past the end of the file: the game keeps no records in it");
    } else if (raw.bodyEnd < raw.fieldsEnd) {
        std::snprintf(m, sizeof m, "bodyEnd %u lies inside the body, whose fields end at %llu: the game keeps no records in it",
                      raw.bodyEnd, (unsigned long long)raw.fieldsEnd);
        bad.push_back(m);
    } else if (long(raw.bodyEnd) > raw.fileSize) {
        std::snprintf(m, sizeof m, "bodyEnd %u lies past the file's end at %ld: the game keeps no records in it", raw.bodyEnd,
                      raw.fileSize);
        bad.push_back(m);
    }
    int n = game.drivingLineCount, gates = game.checkpointCount;
    if (n < 3) bad.push_back("the driving line has fewer than three points");
    if (gates == 0) bad.push_back("there are no checkpoints");
    if (n >= 3 && gates > 0) {
        // Drive the line twice, in small steps, through the game's own gate test.
        int next = 0, laps = 0;
        std::vector<int> seen(gates, 0);
        for (int loop = 0; loop < 2; ++loop)
            for (int i = 0; i < n; ++i) {
                Vec3 a = game.drivingLine[i], b = game.drivingLine[(i + 1) % n];
                float len = std::hypot(b.x - a.x, b.z - a.z);
                int steps = std::max(1, int(len / 0.25f));
                for (int k = 0; k < steps; ++k) {
                    float t = float(k) / steps, x = a.x + (b.x - a.x) * t, z = a.z + (b.z - a.z) * t;
                    for (int g = 0; g < gates; ++g) seen[g] |= passes(game.checkpoints[g], x, z);
                    if (passes(game.checkpoints[next], x, z) && ++next == gates) next = 0, ++laps;
                }
            }
        for (int g = 0; g < gates; ++g)
            if (!seen[g]) std::snprintf(m, sizeof m, "the driving line never crosses gate %d", g), bad.push_back(m);
        if (laps < 1) std::snprintf(m, sizeof m, "driving the line twice passes the gates in order only up to gate %d", next), bad.push_back(m);
    }
    checkGateEnds(bad);
    checkLapCountsAtFinish(bad);
    if (n > 256 && game.pitLaneCount) bad.push_back("more than 256 line points: the pit indices do not fit a byte");

    // Grid slots: on the road (within the finish gate's half length of the line) and apart.
    int slots = std::min<int>(6, game.objectCount);
    if (slots < 6) bad.push_back("fewer than six objects: the grid needs six");
    float reach = gates ? 0.5f * game.checkpoints[gates - 1].length : 0.0f;
    for (int i = 0; i < slots; ++i) {
        const TrackObject& o = game.trackObjects[i];
        Vec3 f = o.direction, r = {f.z, 0, -f.x};
        for (float a : {-1.8f, 1.8f})
            for (float b : {-1.5f, 1.5f}) {
                Vec3 c = o.position + f * a + r * b;
                if (n >= 2 && lineDistance(c) > reach) {
                    std::snprintf(m, sizeof m, "grid slot %d is off the road", i);
                    if (bad.empty() || bad.back() != m) bad.push_back(m);
                }
            }
        for (int j = i + 1; j < slots; ++j) {
            Vec3 d = game.trackObjects[j].position - o.position;
            if (std::abs(dot(d, f)) < 3.8f && std::abs(dot(d, r)) < 3.2f)
                std::snprintf(m, sizeof m, "grid slots %d and %d overlap", i, j), bad.push_back(m);
        }
    }

    if (game.pitLaneCount == 1) bad.push_back("a pit lane of one point cannot join the line");
    if (game.pitLaneCount >= 2 && n > 0) {
        const Vec3* p = game.pitLane;
        int last = game.pitLaneCount - 1;
        Vec3 ends[2] = {p[0] * 2.0f - p[1], p[last] * 2.0f - p[last - 1]};
        const char* names[2] = {"entry", "exit"};
        for (int e = 0; e < 2; ++e)
            if (lineDistance(ends[e]) > 8.0f) std::snprintf(m, sizeof m, "the pit lane's %s does not join the line", names[e]), bad.push_back(m);
        if (game.pitEntryIndex == game.pitExitIndex) bad.push_back("the pit lane leaves and joins the line at the same point");
        for (int b = 0; b < game.pitBoxCount; ++b) {
            float best = 1e9f;
            for (int i = 0; i + 1 <= last; ++i) best = std::min(best, segmentDistance(game.pitBoxes[b].stopPoint, p[i], p[i + 1]));
            if (best > 4.0f) std::snprintf(m, sizeof m, "pit box %d is not on the pit lane", b), bad.push_back(m);
        }
    }
    if (game.pitBoxCount && !game.pitLaneCount) bad.push_back("pit boxes without a pit lane");

    for (int i = 6; i < game.objectCount; ++i) {
        const TrackObject& o = game.trackObjects[i];
        if (o.kind < 1 || o.kind > 32) continue;
        if (n >= 2 && lineDistance(o.position) < objectFootprint(o.kind) + 2.0f)
            std::snprintf(m, sizeof m, "object %d (kind %d) stands on the driving line", i, o.kind), bad.push_back(m);
    }
    return bad;
}

// Colours of the ground values as the built-in palette lights them.
static void bandColour(int slot, int rgb[3])
{
    struct Band { int first, count; int base[3], span[3]; };
    static const Band bands[] = {{0, 30, {0, 0, 0}, {200, 200, 200}},       {30, 15, {60, 100, 40}, {100, 120, 60}},
                                 {45, 15, {70, 60, 50}, {90, 75, 60}},       {60, 15, {100, 70, 40}, {120, 110, 120}},
                                 {75, 15, {160, 110, 90}, {90, 110, 120}},   {90, 15, {160, 180, 200}, {85, 70, 55}},
                                 {105, 5, {200, 200, 200}, {55, 50, 45}},    {110, 5, {200, 200, 0}, {55, 50, 60}},
                                 {115, 5, {200, 0, 0}, {55, 60, 60}}};
    for (const Band& b : bands)
        if (slot >= b.first && slot < b.first + b.count) {
            double t = double(slot - b.first) / (b.count - 1);
            for (int c = 0; c < 3; ++c) rgb[c] = int(b.base[c] + b.span[c] * t);
            return;
        }
    rgb[0] = rgb[1] = rgb[2] = 128;
}

static int litSlot(int v)
{
    return groundColours().lit[std::min(v, groundValueCount - 1)];
}

bool writeTrackMap(const std::string& path)
{
    buildGroundColours();
    const int scale = 2, W = surfaceMapSide * scale;
    std::vector<uint8_t> px(size_t(W) * W * 3);
    auto put = [&](int x, int y, int r, int g, int b) {
        if (x < 0 || y < 0 || x >= W || y >= W) return;
        // z grows up the picture, as the race camera shows the track.
        uint8_t* p = &px[(size_t(W - 1 - y) * W + x) * 3];
        p[0] = uint8_t(r), p[1] = uint8_t(g), p[2] = uint8_t(b);
    };
    float cell = game.surfaceCell;
    for (int z = 0; z < surfaceMapSide; ++z)
        for (int x = 0; x < surfaceMapSide; ++x) {
            int rgb[3];
            bandColour(litSlot(game.surfaceMap[z * surfaceMapSide + x]), rgb);
            float wx = (x + 0.5f) * cell, wz = (z + 0.5f) * cell;
            float h = terrainHeight(wx, wz);
            // Light from the top left of the picture, so slopes read as in a relief map.
            float slope = (terrainHeight(wx - 1, wz + 1) - terrainHeight(wx + 1, wz - 1)) * 0.35f;
            float shade = std::clamp(1.0f + slope, 0.6f, 1.3f);
            for (int& c : rgb) c = std::clamp(int(c * shade), 0, 255);
            if (h < game.waterLevel) rgb[0] /= 2, rgb[1] = 64 + rgb[1] / 2, rgb[2] = 128 + rgb[2] / 2;
            for (int a = 0; a < scale; ++a)
                for (int b = 0; b < scale; ++b) put(x * scale + a, z * scale + b, rgb[0], rgb[1], rgb[2]);
        }
    float toPx = scale / cell;
    auto dot = [&](float wx, float wz, int radius, int r, int g, int b) {
        int cx = int(wx * toPx), cz = int(wz * toPx);
        for (int dy = -radius; dy <= radius; ++dy)
            for (int dx = -radius; dx <= radius; ++dx)
                if (dx * dx + dy * dy <= radius * radius) put(cx + dx, cz + dy, r, g, b);
    };
    auto line = [&](Vec3 a, Vec3 b, int r, int g, int bl) {
        float l = std::hypot(b.x - a.x, b.z - a.z);
        int steps = std::max(1, int(l * toPx));
        for (int k = 0; k <= steps; ++k) {
            float t = float(k) / steps;
            put(int((a.x + (b.x - a.x) * t) * toPx), int((a.z + (b.z - a.z) * t) * toPx), r, g, bl);
        }
    };
    for (int i = 0; i < game.checkpointCount; ++i) {
        const Checkpoint& c = game.checkpoints[i];
        Vec3 a{c.x, 0, c.z}, b{c.x + c.ux * c.length, 0, c.z + c.uz * c.length};
        bool finish = i == game.checkpointCount - 1;
        line(a, b, finish ? 255 : 0, finish ? 255 : 200, finish ? 0 : 255);
    }
    for (int i = 0; i < game.drivingLineCount; ++i) {
        line(game.drivingLine[i], game.drivingLine[(i + 1) % game.drivingLineCount], 255, 0, 255);
        dot(game.drivingLine[i].x, game.drivingLine[i].z, 2, 255, 0, 255);
    }
    dot(game.drivingLine ? game.drivingLine[0].x : 0, game.drivingLine ? game.drivingLine[0].z : 0, 5, 255, 0, 255);
    for (int i = 0; i + 1 < game.pitLaneCount; ++i) line(game.pitLane[i], game.pitLane[i + 1], 255, 140, 0);
    for (int i = 0; i < game.pitLaneCount; ++i) dot(game.pitLane[i].x, game.pitLane[i].z, 2, 255, 140, 0);
    for (int i = 0; i < game.pitBoxCount; ++i) dot(game.pitBoxes[i].stopPoint.x, game.pitBoxes[i].stopPoint.z, 4, 0, 255, 0);
    for (int i = 0; i < game.objectCount; ++i) {
        const TrackObject& o = game.trackObjects[i];
        if (i < 6) {
            Vec3 f = o.direction, r = {f.z, 0, -f.x};
            for (float a = -1.8f; a <= 1.8f; a += 0.2f)
                for (float b = -1.5f; b <= 1.5f; b += 0.2f) {
                    Vec3 p = o.position + f * a + r * b;
                    put(int(p.x * toPx), int(p.z * toPx), a > 1.2f ? 255 : 30, a > 1.2f ? 255 : 60, 255);
                }
            continue;
        }
        // Plants are drawn with their crowns, which is what a driver sees from above.
        float crown = o.kind == 19 || o.kind == 20 ? 5.0f : o.kind == 4 || o.kind == 5 ? 4.0f : o.kind == 6 ? 3.0f : 0.0f;
        int radius = std::max(2, int(std::max(crown, objectFootprint(o.kind)) * toPx));
        bool plant = o.kind == 4 || o.kind == 5 || o.kind == 6 || o.kind == 19 || o.kind == 20;
        dot(o.position.x, o.position.z, radius, plant ? 10 : 60, plant ? 70 : 40, plant ? 20 : 30);
        dot(o.position.x + o.direction.x * radius / toPx, o.position.z + o.direction.z * radius / toPx, 1, 255, 255, 255);
    }

    std::ofstream out(path, std::ios::binary);
    if (!out) return false;
    auto u32 = [&](uint32_t v) { for (int i = 0; i < 4; ++i) out.put(char(v >> (8 * i))); };
    auto u16 = [&](uint16_t v) { out.put(char(v)); out.put(char(v >> 8)); };
    uint32_t data = uint32_t(W) * W * 3;
    out.put('B'); out.put('M'); u32(54 + data); u32(0); u32(54);
    u32(40); u32(W); u32(W); u16(1); u16(24); u32(0); u32(data); u32(2835); u32(2835); u32(0); u32(0);
    for (int y = W - 1; y >= 0; --y)
        for (int x = 0; x < W; ++x) {
            const uint8_t* p = &px[(size_t(y) * W + x) * 3];
            out.put(char(p[2])); out.put(char(p[1])); out.put(char(p[0]));
        }
    return bool(out);
}
