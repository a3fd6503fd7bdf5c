#include "synth.h"

#include "track/track_file.h"

#include <algorithm>
#include <cmath>

double Noise::next()
{
    // xorshift32: cheap, and the same on every machine.
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    return double(state) / 2147483648.0 - 1.0;
}

Wave whiteNoise(int length, uint32_t seed)
{
    Noise n{seed ? seed : 1};
    Wave w(static_cast<size_t>(length), 0.0);
    for (auto& v : w) v = n.next();
    return w;
}

static void onePole(Wave& w, double corner, bool circular, bool high)
{
    if (w.empty()) return;
    double a = 1.0 - std::exp(-twoPi * corner / synthRate);
    double low = 0.0;
    // A loop's filter starts where its end left it, so the seam carries no step.
    if (circular)
        for (double v : w) low += a * (v - low);
    for (auto& v : w) {
        low += a * (v - low);
        v = high ? v - low : low;
    }
}

void lowPass(Wave& w, double corner, bool circular) { onePole(w, corner, circular, false); }
void highPass(Wave& w, double corner, bool circular) { onePole(w, corner, circular, true); }

double decay(double seconds, double tau)
{
    return seconds < 0 ? 0.0 : std::exp(-seconds / tau);
}

double gate(double t, double attack, double length, double release)
{
    if (t < 0 || t > length) return 0.0;
    if (t < attack) return t / attack;
    if (t > length - release) return (length - t) / release;
    return 1.0;
}

double pulse(double p, double duty)
{
    return p - std::floor(p) < duty ? 1.0 : -1.0;
}

void normalise(Wave& w, double peak)
{
    double top = 0;
    for (double v : w) top = std::max(top, std::fabs(v));
    if (top > 0)
        for (auto& v : w) v *= peak / top;
}

void add(Wave& to, const Wave& w, int at, double gain)
{
    for (size_t i = 0; i < w.size() && at + i < to.size(); ++i) to[at + i] += gain * w[i];
}

bool writeWav(const char* gamePath, const Wave& w)
{
    TrackFile f;
    if (!f.open(gamePath, trackFileWrite | trackFileReplace)) return false;
    uint32_t bytes = uint32_t(w.size() * 2);
    f.writeBytes("RIFF", 4);
    f.writeU32(36 + bytes);
    f.writeBytes("WAVEfmt ", 8);
    f.writeU32(16);
    f.writeU16(1);  // PCM
    f.writeU16(1);
    f.writeU32(synthRate);
    f.writeU32(synthRate * 2);
    f.writeU16(2);
    f.writeU16(16);
    f.writeBytes("data", 4);
    f.writeU32(bytes);
    for (double v : w) f.writeI16(int16_t(std::lround(std::clamp(v, -1.0, 1.0) * 32767.0)));
    return f.close();
}
