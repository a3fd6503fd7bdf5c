#pragma once
// The generator's instruments: oscillators, noise, filters and envelopes over whole buffers of
// samples in -1..1 at 44100 Hz.
#include <cstdint>
#include <vector>

constexpr int synthRate = 44100;
constexpr double twoPi = 6.283185307179586;

using Wave = std::vector<double>;

// A repeatable noise source, so every build makes the same files.
struct Noise {
    uint32_t state;
    double next();  // -1..1
};

Wave whiteNoise(int length, uint32_t seed);
// One-pole low-pass at the given corner; circular runs the filter round the buffer twice so
// its end meets its start, for loops.
void lowPass(Wave& w, double corner, bool circular = false);
void highPass(Wave& w, double corner, bool circular = false);
// Exponential decay with the given time constant in seconds, from the start.
double decay(double seconds, double tau);
// Linear rise over attack, hold, then linear fall over release, in seconds.
double gate(double t, double attack, double length, double release);
// Square wave of the given duty (0..1) at phase p (cycles).
double pulse(double p, double duty);
// Scales the loudest sample to peak.
void normalise(Wave& w, double peak);
void add(Wave& to, const Wave& w, int at, double gain);

// Plain 16-bit mono PCM WAV through the game's file writer; false when it could not be written.
bool writeWav(const char* gamePath, const Wave& w);
