#include "track/ghost_lap.h"

#include "state/game_state.h"
#include "track/track_records.h"

#include <cmath>
#include <vector>

static constexpr int storedSampleSize = ghostStoredSampleSize;

void clearGhost()
{
    for (GhostSample*& b : game.ghostBuffers)
        if (!b) b = new GhostSample[ghostCapacity]();
    game.ghostSteps = 0;
    game.ghostBestSteps = 0;
    game.ghostLimit = ghostNone;
    game.ghostRecording = 0;
    game.ghostBest = -1;
}

void freeGhost()
{
    for (GhostSample*& b : game.ghostBuffers) {
        delete[] b;
        b = nullptr;
    }
    game.ghostRecording = game.ghostBest = -1;
    game.ghostSteps = game.ghostBestSteps = 0;
    game.ghostLimit = ghostNone;
}

static GhostSample* recordingBuffer()
{
    return game.ghostRecording >= 0 ? game.ghostBuffers[game.ghostRecording] : nullptr;
}

void recordGhostSample(const Vec3& position, const Vec3& right, const Vec3& up, const Vec3& forward)
{
    GhostSample* rec = recordingBuffer();
    if (!rec || game.ghostSteps > ghostCapacity - 2) return;
    rec[game.ghostSteps++] = {position, right, up, forward};
}

void finishGhostLap()
{
    if (game.carCount == 1 && carMaySetRecords(0)) {
        uint16_t steps = game.ghostSteps;
        if (recordingBuffer() && steps <= ghostNone && (game.ghostBestSteps == 0 || steps < game.ghostBestSteps)) {
            game.ghostBest = game.ghostRecording;
            game.ghostRecording = static_cast<int8_t>(1 - game.ghostRecording);
            game.ghostBestSteps = steps;
        }
        insertBestTime(steps);
    }
    game.ghostSteps = 0;
}

bool ghostSample(int index, GhostSample& out)
{
    if (game.ghostSteps > ghostNone || game.ghostBest < 0 || !game.ghostBuffers[game.ghostBest]) return false;
    if (index < 0 || index >= game.ghostBestSteps) return false;
    out = game.ghostBuffers[game.ghostBest][index];
    return true;
}

static Vec3 average(Vec3 a, Vec3 b)
{
    return (a + b) * 0.5f;
}

void unpackGhostSamples(const uint8_t* raw, uint16_t n, GhostSample* g)
{
    int stored = (n + 1) / 2;
    for (int k = 0; k < stored; ++k) {
        const uint8_t* r = &raw[size_t(k) * storedSampleSize];
        auto u16 = [&](int at) { return static_cast<float>(r[at] | (r[at + 1] << 8)); };
        auto s8 = [&](int at) { return static_cast<int8_t>(r[at]) / 120.0f; };
        int i = 2 * k < n ? 2 * k : n - 1;
        GhostSample& s = g[i];
        s.position = {u16(0) / 150.0f, u16(2) / 150.0f, u16(4) / 150.0f};
        s.right = normalised({s8(6), s8(7), s8(8)});
        s.forward = normalised({s8(9), s8(10), s8(11)});
        s.up = cross(s.forward, s.right);
    }
    for (int i = 1; i < n; i += 2) {
        GhostSample& s = g[i];
        const GhostSample& a = g[i - 1];
        // An even count has no stored sample after its last one: it repeats the one before.
        const GhostSample& b = i + 1 < n ? g[i + 1] : g[i - 1];
        s = {average(a.position, b.position), average(a.right, b.right), average(a.up, b.up),
             average(a.forward, b.forward)};
    }
}

void readGhostLap(TrackFile& f)
{
    game.ghostLimit = ghostNone;
    for (GhostSample*& b : game.ghostBuffers)
        if (!b) b = new GhostSample[ghostCapacity]();
    if (game.ghostRecording < 0) game.ghostRecording = 0;

    uint16_t n = 0;
    // A count of 0 is no lap at all; taking it as a ghost would block every later one.
    if (!f.readU16(n) || n == 0 || n > ghostNone) return;
    int stored = (n + 1) / 2;
    std::vector<uint8_t> raw(size_t(stored) * storedSampleSize);
    if (f.read(raw.data(), raw.size()) != raw.size()) return;

    int target = 1 - game.ghostRecording;
    unpackGhostSamples(raw.data(), n, game.ghostBuffers[target]);
    game.ghostBest = static_cast<int8_t>(target);
    game.ghostLimit = n;
    game.ghostBestSteps = n;
}

static uint16_t packPosition(float v)
{
    double s = std::trunc(v * 150.0 + 0.5);
    return static_cast<uint16_t>(s < 0 ? 0 : s > 65535 ? 65535 : s);
}

static uint8_t packAxis(float v)
{
    double s = std::trunc(v * 120.0 + 0.5);
    return static_cast<uint8_t>(static_cast<int8_t>(s < -128 ? -128 : s > 127 ? 127 : s));
}

void packGhostLap(const GhostSample* g, uint16_t n, std::vector<uint8_t>& block)
{
    block.clear();
    block.reserve(2 + size_t(n + 1) / 2 * storedSampleSize);
    block.push_back(static_cast<uint8_t>(n));
    block.push_back(static_cast<uint8_t>(n >> 8));
    for (int i = 0; i < n; i += 2) {
        const GhostSample& s = g[i];
        for (float v : {s.position.x, s.position.y, s.position.z}) {
            uint16_t p = packPosition(v);
            block.push_back(static_cast<uint8_t>(p));
            block.push_back(static_cast<uint8_t>(p >> 8));
        }
        for (float v : {s.right.x, s.right.y, s.right.z, s.forward.x, s.forward.y, s.forward.z}) block.push_back(packAxis(v));
    }
}

bool writeGhostLap(TrackFile& f)
{
    uint16_t n = game.ghostBestSteps;
    if (n < 1 || n >= ghostNone || n >= game.ghostLimit || game.ghostBest < 0 || !game.ghostBuffers[game.ghostBest])
        return false;
    std::vector<uint8_t> block;
    packGhostLap(game.ghostBuffers[game.ghostBest], n, block);
    long start = f.tell();
    if (f.write(block.data(), block.size()) != block.size()) {
        // Back to where the count went, so the trailer search starts from the records.
        f.seek(start, SEEK_SET);
        return false;
    }
    f.truncateHere();
    return true;
}
