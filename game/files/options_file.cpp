#include "files/options_file.h"

#include "platform/exe_folder.h"
#include "platform/safe_name.h"
#include "state/game_state.h"
#include "track/track_file.h"

#include <cstring>

static const char optionsPath[] = "options.set";

const Resolution resolutionTable[resolutionCount] = {
    {320, 240, "320x240"},     {512, 384, "512x384"},     {640, 480, "640x480"},     {800, 600, "800x600"},
    {960, 600, "960x600"},     {1024, 640, "1024x640"},   {1024, 768, "1024x768"},   {1280, 720, "1280x720"},
    {1280, 800, "1280x800"},   {1280, 960, "1280x960"},   {1280, 1024, "1280x1024"}, {1360, 768, "1360x768"},
    {1440, 900, "1440x900"},   {1440, 1050, "1440x1050"}, {1600, 900, "1600x900"},   {1600, 1200, "1600x1200"},
    {1680, 1050, "1680x1050"}, {1920, 1080, "1920x1080"}, {1920, 1200, "1920x1200"}, {1920, 1440, "1920x1440"},
    {2560, 1440, "2560x1440"}, {2560, 1600, "2560x1600"}, {2560, 1920, "2560x1920"},
};

void setDefaultOptions(OptionsRecord& o)
{
    std::memset(&o, 0, sizeof o);
    o.version = optionsVersion;
    o.raceLength = 5;
    const uint8_t points[7] = {9, 6, 4, 2, 1, 0, 1};
    std::memcpy(o.points, points, sizeof points);
    o.tyreWear = o.fuelConsumption = o.damage = 30;
    o.fuelMass = 50;
    o.distanceUnit = 0;
    o.startingOrder = 2;
    o.resolution = defaultResolution;
    o.verticalSync = 0;
    o.stepRate = 100;
    o.shadows = 1;
    o.ghostCar = 1;
    o.goofyReverse = 0;
    o.windowedMode = 0;
    o.effects = 256;
    o.engineVolume = o.skidVolume = o.effectsVolume = 80;
    std::strcpy(o.language, "English");
    std::strcpy(o.soundSet, "Default");
}

void readOptionsFields(TrackFile& f, OptionsRecord& o)
{
    f.readU16(o.raceLength);
    for (uint8_t& p : o.points) f.readU8(p);
    uint8_t* bytes[] = {&o.tyreWear,      &o.fuelConsumption, &o.damage,   &o.fuelMass,    &o.distanceUnit,
                        &o.startingOrder, &o.resolution,      &o.verticalSync, &o.stepRate, &o.shadows,
                        &o.ghostCar,      &o.goofyReverse,    &o.windowedMode};
    for (uint8_t* b : bytes) f.readU8(*b);
    f.readU16(o.effects);
    f.readU8(o.engineVolume);
    f.readU8(o.skidVolume);
    f.readU8(o.effectsVolume);
    f.readBytes(o.language, 22);
    f.skip(1);
    f.readBytes(o.soundSet, 22);
    f.skip(2);  // the record's closing filler, so a saved game reads on after it
    o.language[22] = 0;
    o.soundSet[22] = 0;
}

static void loadFrom(TrackFile& f, OptionsRecord& o)
{
    setDefaultOptions(o);
    int32_t version = 0;
    if (f.isOpen() && f.readI32(version) && version == optionsVersion) readOptionsFields(f, o);
    o.stepRate = 100;
    // Both names become paths (lang\<name>.lng, sounds\<name>): one that could lead outside
    // its folder counts as missing.
    if (!isSafeFileName(o.language)) std::strcpy(o.language, "English");
    if (!isSafeFileName(o.soundSet)) std::strcpy(o.soundSet, "Default");
}

void screenSizeFor(int resolution, int32_t& width, int32_t& height)
{
    const Resolution& r = resolution >= 0 && resolution < resolutionCount ? resolutionTable[resolution]
                                                                          : resolutionTable[defaultResolution];
    width = r.width;
    height = r.height;
}

void loadOptions()
{
    changeToFolder(game.exeFolder);
    TrackFile f;
    f.open(optionsPath, trackFileRead);
    loadFrom(f, game.options);
    f.close();
    screenSizeFor(game.options.resolution, game.screenWidth, game.screenHeight);
}

static void writeName(TrackFile& f, const char* name)
{
    char field[22] = {};
    std::memcpy(field, name, strnlen(name, sizeof field));
    f.writeBytes(field, sizeof field);
}

bool writeOptionsFields(TrackFile& f, const OptionsRecord& o)
{
    f.writeU16(o.raceLength);
    f.writeBytes(o.points, 7);
    const uint8_t bytes[] = {o.tyreWear,      o.fuelConsumption, o.damage,       o.fuelMass, o.distanceUnit,
                             o.startingOrder, o.resolution,      o.verticalSync, o.stepRate, o.shadows,
                             o.ghostCar,      o.goofyReverse,    o.windowedMode};
    f.writeBytes(bytes, sizeof bytes);
    f.writeU16(o.effects);
    f.writeU8(o.engineVolume);
    f.writeU8(o.skidVolume);
    f.writeU8(o.effectsVolume);
    // The name buffers may hold 23 characters; the file keeps 22, NUL-padded.
    writeName(f, o.language);
    f.writeZeros(1);
    writeName(f, o.soundSet);
    f.writeZeros(2);
    return f.good();
}

bool saveOptions()
{
    changeToFolder(game.exeFolder);
    TrackFile f;
    if (!f.open(optionsPath, trackFileWrite | trackFileReplace)) return false;
    f.writeI32(optionsVersion);
    writeOptionsFields(f, game.options);
    return f.close();
}
