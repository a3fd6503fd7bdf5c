#include "audio/sound_set.h"

#include "audio/sound.h"
#include "audio/sound_registry.h"
#include "platform/safe_name.h"
#include "state/game_state.h"

#include <cstring>

// The options hold 22 characters for the set's name.
constexpr size_t soundSetNameLength = 22;

// The set's file, or the default set's when the set lacks it. A name that is not a plain
// folder name (options.set may hold anything) goes straight to the default set.
static int32_t loadSetFile(const std::string& set, const std::string& file)
{
    int32_t handle = 0;
    if (isSafeFileName(set, soundSetNameLength)) handle = loadSound("sounds\\" + set + "\\" + file);
    if (!handle) handle = loadSound("sounds\\default\\" + file);
    return handle;
}

void loadSoundSet(const std::string& name)
{
    if (!game.audioOpen) return;
    int32_t* handles[] = {&game.skidSound, &game.impactSound, &game.lightSound, &game.finalLapSound,
                          &game.fuelWarningSound};
    static const char* const files[] = {"skid.wav", "damage.wav", "ding.wav", "yeah.wav", "fuel.wav"};
    for (int32_t* h : handles) {
        freeSound(*h);
        *h = 0;
    }
    for (int i = 0; i < 5; ++i) *handles[i] = loadSetFile(name, files[i]);
}

void setEffectVolumes(int menuVolume)
{
    int32_t volume = volumeFromMenu(menuVolume);
    for (int32_t handle : {game.lightSound, game.finalLapSound, game.fuelWarningSound}) setSoundVolume(handle, volume);
}

static int32_t loadCarEngine(const std::string& set, const CarModel& model)
{
    std::string car(model.name, strnlen(model.name, sizeof model.name));
    std::string file = car + ".wav";
    if (car.empty() || !isSafeFileName(file) || !isSafeFileName(set, soundSetNameLength)) return 0;
    return loadSound("sounds\\" + set + "\\" + file);
}

void loadEngineSounds(const std::string& name)
{
    bool fellBack[maxCars] = {};
    int firstFallBack = -1;
    for (int d = 0; d < maxCars; ++d) {
        freeSound(game.engineSound[d]);
        game.engineSound[d] = 0;
        if (d >= game.carCount) continue;
        const char* car = game.carModels[d].name;
        int same = -1;
        for (int i = 0; i < d && same < 0; ++i)
            if (!std::strncmp(game.carModels[i].name, car, sizeof game.carModels[i].name)) same = i;
        if (same >= 0) {
            game.engineSound[d] = cloneSound(game.engineSound[fellBack[same] ? firstFallBack : same]);
            continue;
        }
        int32_t handle = loadCarEngine(name, game.carModels[d]);
        if (!handle) {
            fellBack[d] = true;
            if (firstFallBack < 0) {
                firstFallBack = d;
                handle = loadSetFile(name, "engine.wav");
            } else {
                handle = cloneSound(game.engineSound[firstFallBack]);
            }
        }
        game.engineSound[d] = handle;
    }
}
