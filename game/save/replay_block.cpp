#include "save/saved_game_file.h"

#include "race/replay_buffer.h"

#include <algorithm>
#include <cmath>

static constexpr int frameSize = 18;

static void putFrame(std::vector<uint8_t>& out, const ReplayFrame& f)
{
    for (uint16_t p : f.position) {
        out.push_back(uint8_t(p));
        out.push_back(uint8_t(p >> 8));
    }
    for (int8_t a : f.right) out.push_back(uint8_t(a));
    for (int8_t a : f.forward) out.push_back(uint8_t(a));
    for (uint8_t h : f.wheelHeight) out.push_back(h);
    out.push_back(f.wheelSpeed);
    out.push_back(f.flag);
}

static ReplayFrame takeFrame(const uint8_t* b)
{
    ReplayFrame f;
    for (int k = 0; k < 3; ++k) f.position[k] = uint16_t(b[2 * k] | b[2 * k + 1] << 8);
    for (int k = 0; k < 3; ++k) f.right[k] = int8_t(b[6 + k]);
    for (int k = 0; k < 3; ++k) f.forward[k] = int8_t(b[9 + k]);
    for (int k = 0; k < 4; ++k) f.wheelHeight[k] = b[12 + k];
    f.wheelSpeed = b[16];
    f.flag = b[17];
    return f;
}

// The frames to write: the whole ring, or the cut area the viewer marked. Marks out of order
// or outside the recording are put in order and kept inside it.
static void writtenWindow(const ReplayState& r, int& start, int& count)
{
    start = r.start;
    count = r.frameCount;
    if (r.cutBegin < 0 || r.cutEnd < 0) return;
    int a = int(std::trunc(std::min(r.cutBegin, r.cutEnd))), b = int(std::trunc(std::max(r.cutBegin, r.cutEnd)));
    a = std::clamp(a, 0, r.frameCount);
    b = std::clamp(b, 0, r.frameCount);
    if (b <= a) return;
    start = int((int64_t(a) + r.start) % r.frameCount);
    count = b - a;
}

bool writeReplayBlock(TrackFile& f)
{
    const ReplayState& r = game.replay;
    if (r.frameCount <= 0 || r.capacity <= 0 || r.frameCount > r.capacity) return f.good();
    int start = 0, count = 0;
    writtenWindow(r, start, count);
    f.writeBytes("\x10\x01\x52\x50", 4);
    f.writeU32(uint32_t(std::clamp(r.frameStep, 1, 100)));
    f.writeU32(uint32_t(count));
    int cars = std::clamp(game.carCount, 1, replayCarSlots);
    std::vector<uint8_t> bytes;
    bytes.reserve(size_t(count) * frameSize);
    for (int car = 0; car < cars && r.frames[car]; ++car) {
        char tag[4] = {'P', 'L', 'R', char('1' + car)};
        f.writeBytes(tag, 4);
        bytes.clear();
        // From the window's start to the ring's end, then round from index 0.
        for (int k = 0; k < count; ++k) putFrame(bytes, r.frames[car][(start + k) % r.capacity]);
        f.writeBytes(bytes.data(), bytes.size());
    }
    return f.good();
}

void readReplayBlock(TrackFile& f, int cars, SavedReplay& replay)
{
    replay = SavedReplay{};
    uint16_t version = 0, tag = 0;
    if (!f.readU16(version) || !f.readU16(tag) || version == 0 || tag == 0) return;
    if (tag != replayTag || version > savedGameVersion) return;
    uint32_t frameStep = 0, count = 0;
    if (version >= firstReplayRateVersion && !f.readU32(frameStep)) return;
    if (!f.readU32(count)) return;
    // A step outside 1..100 is taken as the tm.ini value, which the replay keeps within range.
    replay.frameStep = frameStep >= 1 && frameStep <= 100 ? frameStep : 0;
    replay.present = true;
    replay.frameCount = count;
    std::vector<uint8_t> bytes;
    for (int car = 0; car < cars && car < replayCarSlots; ++car) {
        char tag4[4] = {};
        char expected[4] = {'P', 'L', 'R', char('1' + car)};
        long left = f.size() - f.tell();
        // A count the file cannot hold ends the block here, as a wrong tag does.
        if (!f.readBytes(tag4, 4) || !std::equal(tag4, tag4 + 4, expected) || uint64_t(left - 4) < uint64_t(count) * frameSize)
            break;
        bytes.resize(size_t(count) * frameSize);
        if (count && !f.readBytes(bytes.data(), bytes.size())) break;
        std::vector<ReplayFrame>& frames = replay.frames[car];
        frames.resize(count);
        for (uint32_t k = 0; k < count; ++k) {
            frames[k] = takeFrame(&bytes[size_t(k) * frameSize]);
            ++frames[k].flag;
        }
        replay.carsWithFrames = car + 1;
    }
    if (replay.carsWithFrames == 0) replay.frameCount = 0;
}
