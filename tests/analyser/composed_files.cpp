#include "composed_files.h"

std::vector<uint8_t> composeSavedGame(const ComposedGame& g)
{
    Bytes b;
    size_t n = g.cars.size();
    b.u16(g.version);
    b.u8(1);  // racing
    b.u8(0);
    // Options record.
    b.u16(g.raceLength);
    b.text("\x0a\x06\x04\x03\x02\x01\x01", 7);
    b.u8(g.tyreWear);
    b.u8(g.fuelConsumption);
    b.u8(g.damage);
    b.u8(g.fuelMass);
    b.u8(g.distanceUnit);
    b.u8(0);
    b.u8(3);
    b.u8(1);
    b.u8(g.stepRate);
    b.zeros(4);
    b.u16(256);
    b.zeros(3);
    b.text("english", 22);
    b.u8(0);
    b.text("default", 22);
    b.zeros(2);
    b.u32(uint32_t(n));
    for (const ComposedCar& c : g.cars) b.text(c.name, 13);
    b.zeros(92 * n);
    for (const ComposedCar& c : g.cars) {
        b.text(c.carName, 12);
        b.zeros(1344 - 12);
    }
    b.u32(uint32_t(g.tracks.size()));
    b.u32(g.seasonRace);
    for (const std::string& t : g.tracks) {
        if (g.version >= 0x0103) {
            b.text(t, 40);
            b.u32(1), b.u32(2), b.u32(3), b.u32(4);
        } else {
            b.text(t, 56);
        }
    }
    for (const ComposedCar& c : g.cars) {
        size_t s = b.data.size();
        b.zeros(348);
        b.data[s] = uint8_t(c.position);
        b.put32(s + 12, uint32_t(c.upsideDown));
        b.put32(s + 16, uint32_t(c.lastCrossing));
        b.put32(s + 20, uint32_t(c.lastLap));
        if (c.human) {
            b.put32(s + 24, 0x111), b.put32(s + 28, 0x112), b.put32(s + 32, 0x113), b.put32(s + 36, 0x114);
        } else {
            b.put32(s + 28, uint32_t(c.skill)), b.put32(s + 36, 100);
        }
        b.put16(s + 164, c.laps);
        b.put16(s + 168, c.bestLap);
        b.put16(s + 170, c.tyres);
        b.put16(s + 172, c.fuel);
        b.put16(s + 174, c.damage);
    }
    for (size_t i = 0; i < n; ++i) b.u32(uint32_t(i < g.runningOrder.size() ? g.runningOrder[i] : int(i)));
    b.zeros(4 * n);  // points
    b.u32(uint32_t(g.raceLaps));
    b.u32(uint32_t(g.leaderLaps));
    b.u32(uint32_t(g.raceClock));
    b.u32(uint32_t(g.fastestLapTime));
    b.u32(0);
    b.u32(uint32_t(-1));
    if (n == 1) {
        b.u16(g.ghostSamples);
        for (int k = 0; k < (g.ghostSamples + 1) / 2; ++k) {
            // Ghost samples that carry the replay tag's bytes must not be taken for it.
            b.u16(0x0110), b.u16(0x5052), b.u16(0x0110);
            b.text("PLR1", 4);
            b.zeros(2);
        }
    }
    if (g.replay) {
        b.u16(g.replayVersion);
        b.u16(0x5052);
        b.u32(5);
        b.u32(g.claimedFrames == UINT32_MAX ? uint32_t(g.frames.size()) : g.claimedFrames);
        for (size_t car = 0; car < n; ++car) {
            b.text("PLR" + std::to_string(car + 1), 4);
            for (const ComposedFrame& f : g.frames) {
                b.u16(f.x), b.u16(f.y), b.u16(f.z);
                b.zeros(12);
            }
        }
    }
    return b.data;
}

std::vector<uint8_t> composeTrack(const ComposedTrack& t)
{
    Bytes b;
    b.u16(t.version);
    b.u16(0x4D54);
    size_t bodyEndAt = b.data.size();
    b.u32(0);
    b.u8(t.sizeByte);
    b.u8(0);
    b.u16(45);
    b.u16(0);
    b.u8(100);
    b.u8(1);
    // The ring: rows 40..471, columns 40..471 minus the inner square 80..431.
    std::vector<uint16_t> words;
    auto run = [&](int code, int count) {
        while (count > 0) {
            int r = count > 4095 ? 4095 : count;
            words.push_back(uint16_t(r << 4 | code));
            count -= r;
        }
    };
    for (int row = 0; row < 512; ++row) {
        bool ringRow = row >= 40 && row < 472;
        bool solid = ringRow && (row < 80 || row >= 432);
        if (!ringRow) run(2, 512);
        else if (solid) run(2, 40), run(0, 432), run(2, 40);
        else run(2, 40), run(0, 40), run(2, 352), run(0, 40), run(2, 40);
    }
    b.u32(uint32_t(words.size()));
    for (uint16_t w : words) b.u16(w);
    b.u16(4096);
    b.zeros(4096);
    b.u16(0);  // objects
    b.u8(0);   // pit boxes
    b.u8(2);   // checkpoints: the last is the finish line
    b.u16(10), b.u16(10), b.u16(20), b.u16(20);
    for (uint16_t v : t.finish) b.u16(v);
    b.u16(0);  // driving line
    b.u8(0);   // pit lane
    b.text("Composed", 30);
    b.text("A ring for tests", 500);
    b.u16(0xFFFF);
    b.u32(t.lapLength);
    b.put32(bodyEndAt, uint32_t(b.data.size()));
    b.u16(t.recordTime);
    b.u16(t.bestTime);
    for (int i = 0; i < 5; ++i) b.u16(6000);
    b.text(t.recordHolder, 13);
    b.text(t.bestHolder, 13);
    b.zeros(13 * 5);
    b.zeros(7 * 1344 + 7 * 16);
    return b.data;
}

std::vector<ComposedFrame> squareLaps(const ComposedTrack& t, int laps, int framesPerLap, int lead)
{
    // Anticlockwise on the north-up map round the square (60..452 cells), from the left side's
    // middle southwards (z falling). The
    // finish line lies at z = 250, so frame 0 (6.5 cells along) is the first one past it.
    const float side = 392, perimeter = 4 * side;
    float cellToStored = t.sizeByte * 150.0f / 512;
    std::vector<ComposedFrame> frames;
    for (int i = -lead; i <= laps * framesPerLap; ++i) {
        float d = float(i) * perimeter / framesPerLap + 6.5f;
        d -= perimeter * float(int(d / perimeter));
        if (d < 0) d += perimeter;
        float x, z;
        if (d < side / 2) x = 60, z = 256 - d;
        else if (d < 1.5f * side) x = 60 + (d - side / 2), z = 60;
        else if (d < 2.5f * side) x = 452, z = 60 + (d - 1.5f * side);
        else if (d < 3.5f * side) x = 452 - (d - 2.5f * side), z = 452;
        else x = 60, z = 452 - (d - 3.5f * side);
        frames.push_back(ComposedFrame{uint16_t(x * cellToStored + 0.5f), uint16_t(3 * 150), uint16_t(z * cellToStored + 0.5f)});
    }
    return frames;
}
