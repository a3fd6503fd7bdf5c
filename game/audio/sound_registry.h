#pragma once
// The loaded sounds, addressed by handle: the 1-based index into the list, 0 = none. A handle
// that is 0, beyond the list or on a freed slot is ignored by every operation.
#include "audio/mixer.h"

#include <cstdint>
#include <string>

// A new sound over samples it takes one reference of; rate 1.0, volume 128.
Sound* newSound(SampleData* data);
// Drops the sound and its reference to the samples, which go with the last one.
void deleteSound(Sound* sound);

// Takes the sound into the list: the first free slot, else a new one. 0 for null.
int32_t registerSound(Sound* sound);
// The sound behind a handle, or null.
Sound* soundAt(int32_t handle);
// A new sound over the same samples with its own rate and volume; 0 when there is none.
int32_t cloneSound(int32_t handle);
// Stops its voices and deletes it; the slot is reused by the next registration.
void freeSound(int32_t handle);
void clearSounds();

// loadWav of a game path, registered; 0 when it does not load.
int32_t loadSound(const std::string& gamePath);
