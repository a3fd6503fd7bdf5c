#include "season/driver_file.h"

#include "platform/game_path.h"
#include "platform/safe_name.h"
#include "state/game_state.h"

static const char driversFolder[] = "drivers";

// SDL key codes of the cursor keys: up, down, left, right.
static const uint32_t cursorKeys[4] = {273, 274, 276, 275};

DriverProfile newDriverProfile(bool human)
{
    DriverProfile p{};
    p.colour1 = 0xffffff;
    p.colour2 = 0xff0000;  // blue 255, red in the low byte
    if (human) {
        for (int k = 0; k < 4; ++k) p.controls[k] = cursorKeys[k];
    } else {
        p.controls[1] = 100;
    }
    return p;
}

// Every field in file order, so reading and writing can never disagree about it.
template <typename Profile, typename Visit>
static bool eachField(Profile& p, Visit visit)
{
    bool ok = visit(p.seasons);
    for (auto& f : p.championshipFinishes) ok = ok && visit(f);
    ok = ok && visit(p.totalPoints) && visit(p.races);
    for (auto& f : p.raceFinishes) ok = ok && visit(f);
    ok = ok && visit(p.fastestLaps) && visit(p.carType) && visit(p.colour1) && visit(p.colour2);
    for (auto& c : p.controls) ok = ok && visit(c);
    return ok;
}

bool readDriverProfile(TrackFile& file, DriverProfile& profile)
{
    DriverProfile read = profile;
    if (!eachField(read, [&](uint32_t& v) { return file.readU32(v); })) return false;
    profile = read;
    return true;
}

bool writeDriverProfile(TrackFile& file, const DriverProfile& profile)
{
    return eachField(profile, [&](const uint32_t& v) { return file.writeU32(v); });
}

bool isDriverFileName(const std::string& name)
{
    return isSafeFileName(name, driverNameLength);
}

static std::string driverPath(const std::string& name)
{
    return std::string(driversFolder) + "\\" + name + ".drv";
}

int readDriver(const std::string& name, DriverProfile* profile)
{
    if (!profile || !isDriverFileName(name)) return -1;
    TrackFile f;
    if (!f.open(driverPath(name), trackFileRead)) return -1;
    uint32_t size = 0;
    if (f.size() != long(4 + driverProfileSize) || !f.readU32(size) || size != driverProfileSize) return -1;
    DriverProfile read{};
    if (!readDriverProfile(f, read)) return -1;
    read.carType = static_cast<uint32_t>(driverCarType(read));
    *profile = read;
    return 0;
}

bool writeDriver(const std::string& name, const DriverProfile* profile)
{
    if (!profile || !isDriverFileName(name) || !makeGameFolder(driversFolder)) return false;
    TrackFile f;
    if (!f.open(driverPath(name), trackFileWrite | trackFileReplace)) return false;
    bool ok = f.writeU32(driverProfileSize) && writeDriverProfile(f, *profile);
    return f.close() && ok;
}

bool deleteDriver(const std::string& name)
{
    return isDriverFileName(name) && removeGameFile(driverPath(name));
}

int driverCarType(const DriverProfile& profile)
{
    return profile.carType < static_cast<uint32_t>(game.modelCount > 0 ? game.modelCount : 0)
               ? static_cast<int>(profile.carType)
               : 0;
}
