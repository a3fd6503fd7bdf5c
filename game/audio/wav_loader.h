#pragma once
// WAV files into sounds at the device format, converted once here so the mixer only steps
// through 16-bit samples. Only while the device is open: it fixes the target format.
#include "audio/mixer.h"

#include <cstddef>
#include <cstdint>
#include <string>

// A new unregistered sound with its own samples, or null. Plain PCM of 8 or 16 bits, mono or
// stereo; chunk sizes the file does not hold are cut to what it holds.
Sound* loadWav(const std::string& gamePath);
Sound* loadWavFromMemory(const uint8_t* bytes, size_t size);
