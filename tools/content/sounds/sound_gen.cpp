// Writes the game's two sound sets into the game folder it runs in: sounds\default with the
// effect sounds, a generic engine and one engine per car description given on the command
// line, and sounds\Chiptune, a square-wave set that replaces some of them. Everything is
// synthesised here from oscillators, noise and envelopes.
#include "synth.h"

#include "state/car_model.h"

#include <nlohmann/json.hpp>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <string>

using nlohmann::json;

namespace {

// An engine as a train of firings: each one rings the exhaust at its resonance and hisses a
// little; the firing frequency's own tone gives the body. Four firings in turn may differ in
// strength, which makes a big engine lope.
struct EngineVoice {
    double firing = 100;     // Hz at the recorded pitch
    double resonance = 550;  // Hz
    double ring = 0.003;     // s
    double body = 0.4;
    double rasp = 0.25;
    double beat[4] = {1, 0.9, 1, 0.9};
    uint32_t seed = 7;
};

// Every part repeats within the loop, so its end runs into its start without a click.
Wave engineLoop(const EngineVoice& e)
{
    int period = int(std::lround(synthRate / e.firing));
    int periods = std::max(4, int(std::lround(0.5 * synthRate / period / 4)) * 4);
    int length = period * periods;
    Wave hiss = whiteNoise(length, e.seed);
    lowPass(hiss, e.resonance * 2, true);
    highPass(hiss, 150, true);
    Wave w(static_cast<size_t>(length), 0.0);
    for (int n = 0; n < length; ++n) {
        double t = double(n % period) / synthRate;
        double beat = e.beat[(n / period) % 4];
        double phase = double(n % period) / period;
        double fire = beat * decay(t, e.ring) * (std::sin(twoPi * e.resonance * t) + 0.4 * std::sin(twoPi * 2.7 * e.resonance * t));
        double tone = e.body * (std::sin(twoPi * phase) + 0.5 * std::sin(twoPi * 2 * phase + 0.3));
        double air = e.rasp * beat * decay(t, e.ring * 1.5) * hiss[size_t(n)] * 3;
        w[size_t(n)] = fire + tone + air;
    }
    normalise(w, 0.7);
    return w;
}

// Tyres on tarmac: a squeal that wavers over a bed of filtered hiss, one second that loops.
Wave skidLoop()
{
    int length = synthRate;
    Wave hiss = whiteNoise(length, 99);
    lowPass(hiss, 3200, true);
    highPass(hiss, 900, true);
    Wave w(static_cast<size_t>(length), 0.0);
    for (int n = 0; n < length; ++n) {
        double t = double(n) / synthRate;
        // Whole cycles of the tone and of its waver in the second.
        double squeal = std::sin(twoPi * 1150 * t + 6 * std::sin(twoPi * 7 * t)) + 0.3 * std::sin(twoPi * 2300 * t + 12 * std::sin(twoPi * 7 * t));
        w[size_t(n)] = 0.5 * squeal * (0.75 + 0.25 * std::sin(twoPi * 3 * t)) + 1.6 * hiss[size_t(n)];
    }
    normalise(w, 0.6);
    return w;
}

// A knock of body panels: a thump that falls in pitch, a burst of crunch and a metal clank.
Wave crash()
{
    int length = int(0.6 * synthRate);
    Wave crunch = whiteNoise(length, 1234);
    lowPass(crunch, 2500);
    Wave w(static_cast<size_t>(length), 0.0);
    double thump = 0;
    for (int n = 0; n < length; ++n) {
        double t = double(n) / synthRate;
        thump += twoPi * (45 + 60 * decay(t, 0.04)) / synthRate;
        double clank = std::sin(twoPi * 1210 * t) + 0.7 * std::sin(twoPi * 2730 * t) + 0.5 * std::sin(twoPi * 3890 * t);
        w[size_t(n)] = std::sin(thump) * decay(t, 0.09) + 1.4 * crunch[size_t(n)] * decay(t, 0.07) + 0.25 * clank * decay(t, 0.12);
        w[size_t(n)] *= gate(t, 0.002, 0.6, 0.05);
    }
    normalise(w, 0.85);
    return w;
}

// The start-light beep, also the last-lap bell: a struck tone that dies away. The lights play
// it a little higher, and higher again for green.
Wave ding()
{
    int length = int(0.45 * synthRate);
    Wave w(static_cast<size_t>(length), 0.0);
    for (int n = 0; n < length; ++n) {
        double t = double(n) / synthRate;
        double tone = std::sin(twoPi * 880 * t) + 0.35 * std::sin(twoPi * 1760 * t) * decay(t, 0.05) + 0.2 * std::sin(twoPi * 2637 * t) * decay(t, 0.03);
        w[size_t(n)] = tone * decay(t, 0.14) * gate(t, 0.003, 0.45, 0.02);
    }
    normalise(w, 0.7);
    return w;
}

double brass(double phase)
{
    // A few odd and even harmonics of a saw, soft enough not to buzz.
    double v = 0;
    for (int h = 1; h <= 6; ++h) v += std::sin(twoPi * h * phase) / h;
    return v;
}

// The finish: a rising fanfare over a crowd's cheer.
Wave fanfare()
{
    const double notes[] = {523.25, 659.25, 783.99, 1046.5};
    const double starts[] = {0.0, 0.12, 0.24, 0.36};
    int length = int(1.3 * synthRate);
    Wave crowd = whiteNoise(length, 555);
    lowPass(crowd, 1800);
    highPass(crowd, 400);
    Wave w(static_cast<size_t>(length), 0.0);
    for (int n = 0; n < length; ++n) {
        double t = double(n) / synthRate;
        double v = 0;
        for (int k = 0; k < 4; ++k) {
            double held = k == 3 ? 0.85 : 0.14;
            double local = t - starts[k];
            if (local < 0) continue;
            double vibrato = k == 3 ? 0.004 * std::sin(twoPi * 5.5 * local) : 0;
            v += brass(notes[k] * local * (1 + vibrato)) * gate(local, 0.015, held, 0.08);
        }
        w[size_t(n)] = v + 1.2 * crowd[size_t(n)] * gate(t, 0.5, 1.3, 0.4);
    }
    normalise(w, 0.75);
    return w;
}

// Low fuel: two falling two-tone pips, clipped soft so they cut through the engines.
Wave fuelAlarm()
{
    int length = int(0.7 * synthRate);
    Wave w(static_cast<size_t>(length), 0.0);
    const double starts[] = {0.0, 0.35};
    double phase[] = {0.0, 0.0};  // carried across the change of tone, which would click
    for (int n = 0; n < length; ++n) {
        double t = double(n) / synthRate;
        double v = 0;
        for (int k = 0; k < 2; ++k) {
            double local = t - starts[k];
            if (local < 0) continue;
            phase[k] += (local < 0.12 ? 740.0 : 494.0) / synthRate;
            v += std::tanh(2.5 * std::sin(twoPi * phase[k])) * gate(local, 0.005, 0.26, 0.02);
        }
        w[size_t(n)] = v;
    }
    normalise(w, 0.6);
    return w;
}

// The chip-tune set: square waves and stepped noise of a home computer's sound chip.

Wave chipEngine()
{
    // A 25 % pulse with a triangle an octave down, both whole cycles of one period.
    int period = 400;  // 110.25 Hz
    int length = period * 56;
    Wave w(static_cast<size_t>(length), 0.0);
    for (int n = 0; n < length; ++n) {
        double p = double(n % period) / period;
        double q = double(n % (2 * period)) / (2 * period);
        double triangle = 4 * std::fabs(q - 0.5) - 1;
        w[size_t(n)] = 0.5 * pulse(p, 0.25) + 0.5 * std::round(triangle * 8) / 8;
    }
    normalise(w, 0.5);
    return w;
}

Wave chipSkid()
{
    // Stepped noise from a 15-bit shift register, held for four samples a step.
    int length = synthRate / 2;
    Wave w(static_cast<size_t>(length), 0.0);
    uint32_t shift = 0x4001;
    double level = 0;
    for (int n = 0; n < length; ++n) {
        if (n % 4 == 0) {
            uint32_t bit = (shift ^ (shift >> 1)) & 1;
            shift = (shift >> 1) | (bit << 14);
            level = (shift & 1) ? 1.0 : -1.0;
        }
        w[size_t(n)] = level;
    }
    normalise(w, 0.35);
    return w;
}

Wave chipDing()
{
    int length = int(0.3 * synthRate);
    Wave w(static_cast<size_t>(length), 0.0);
    for (int n = 0; n < length; ++n) {
        double t = double(n) / synthRate;
        // The chip's volume has sixteen steps.
        double volume = std::floor(16 * decay(t, 0.1)) / 16;
        w[size_t(n)] = pulse(1046.5 * t, 0.5) * volume;
    }
    normalise(w, 0.5);
    return w;
}

Wave chipFanfare()
{
    const double notes[] = {523.25, 659.25, 783.99, 1046.5, 783.99, 1046.5, 1318.5, 1568.0};
    int step = int(0.07 * synthRate);
    int length = step * 8 + int(0.5 * synthRate);
    Wave w(static_cast<size_t>(length), 0.0);
    for (int n = 0; n < length; ++n) {
        int k = std::min(n / step, 7);
        double local = double(n - k * step) / synthRate;
        double volume = k < 7 ? 1.0 : std::floor(16 * decay(local, 0.2)) / 16;
        w[size_t(n)] = pulse(notes[k] * local, 0.5) * volume;
    }
    normalise(w, 0.5);
    return w;
}

bool write(const std::string& gamePath, const Wave& w)
{
    if (writeWav(gamePath.c_str(), w)) return true;
    std::fprintf(stderr, "tmsoundgen: cannot write %s\n", gamePath.c_str());
    return false;
}

// A car's engine from its description's "engine" entry; a car without one gets a voice from
// its top speed, so a new car still sounds like itself.
bool carEngine(const std::string& file, uint32_t seed)
{
    std::ifstream in(file);
    json j = json::parse(in, nullptr, false);
    if (j.is_discarded() || !j.contains("name") || !j.at("name").is_string()) {
        std::fprintf(stderr, "tmsoundgen: %s holds no car name\n", file.c_str());
        return false;
    }
    std::string name = j.at("name").get<std::string>().substr(0, carNameLength);
    EngineVoice e;
    e.seed = seed;
    if (j.contains("topSpeedKmh") && j.at("topSpeedKmh").is_number()) e.firing = std::clamp(j.at("topSpeedKmh").get<double>() / 2, 50.0, 160.0);
    if (j.contains("engine")) {
        const json& v = j.at("engine");
        e.firing = v.value("firing", e.firing);
        e.resonance = v.value("resonance", e.resonance);
        e.ring = v.value("ring", e.ring);
        e.body = v.value("body", e.body);
        e.rasp = v.value("rasp", e.rasp);
        if (v.contains("beat") && v.at("beat").size() == 4)
            for (int k = 0; k < 4; ++k) e.beat[k] = v.at("beat").at(k).get<double>();
    }
    if (!(e.firing >= 20 && e.firing <= 2000) || !(e.ring > 0)) {
        std::fprintf(stderr, "tmsoundgen: %s: engine firing or ring out of range\n", file.c_str());
        return false;
    }
    return write("sounds\\default\\" + name + ".wav", engineLoop(e));
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc > 1 && std::string(argv[1]) == "--help") {
        std::printf("usage: tmsoundgen [CAR.json ...]\nwrites sounds\\default and sounds\\Chiptune into the current game folder\n");
        return 0;
    }
    bool ok = write("sounds\\default\\engine.wav", engineLoop(EngineVoice{})) && write("sounds\\default\\skid.wav", skidLoop()) &&
              write("sounds\\default\\damage.wav", crash()) && write("sounds\\default\\ding.wav", ding()) &&
              write("sounds\\default\\yeah.wav", fanfare()) && write("sounds\\default\\fuel.wav", fuelAlarm()) &&
              write("sounds\\Chiptune\\engine.wav", chipEngine()) && write("sounds\\Chiptune\\skid.wav", chipSkid()) &&
              write("sounds\\Chiptune\\ding.wav", chipDing()) && write("sounds\\Chiptune\\yeah.wav", chipFanfare());
    for (int i = 1; ok && i < argc; ++i) ok = carEngine(argv[i], uint32_t(1000 + i));
    return ok ? 0 : 1;
}
