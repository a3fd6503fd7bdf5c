#pragma once
// Sound sets: folders of WAV files under sounds. A file missing from the chosen set comes
// from sounds\default.
#include <string>

// The effect sounds of the set: skid.wav (skidSound), damage.wav (impactSound), ding.wav
// (lightSound, also the start-light beep), yeah.wav (finalLapSound, the finish) and fuel.wav
// (fuelWarningSound). Only while the device is open.
void loadSoundSet(const std::string& name);
// The ding, yeah and fuel sounds at a menu volume 0..100: a loaded set plays at full level.
void setEffectVolumes(int menuVolume);

// One engine sound per car of the race, named after its car model; cars of the same model
// share one sample buffer. A car without its own file gets the set's engine.wav.
void loadEngineSounds(const std::string& name);
