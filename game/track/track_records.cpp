#include "track/track_records.h"

#include "platform/exe_folder.h"
#include "track/car_model_file.h"
#include "state/game_state.h"
#include "track/ghost_lap.h"
#include "track/track_checksum.h"
#include "track/track_layout.h"

#include <cstring>

void clearTrackRecords(TrackRecords& r)
{
    r = TrackRecords{};
    for (uint16_t& t : r.time) t = emptyLapTime;
}

static bool readDate(TrackFile& f, RecordDate& d)
{
    uint16_t* fields[8] = {&d.year, &d.month, &d.dayOfWeek, &d.day, &d.hour, &d.minute, &d.second, &d.millisecond};
    for (uint16_t* v : fields)
        if (!f.readU16(*v)) return false;
    return true;
}

static bool writeDate(TrackFile& f, const RecordDate& d)
{
    const uint16_t fields[8] = {d.year, d.month, d.dayOfWeek, d.day, d.hour, d.minute, d.second, d.millisecond};
    for (uint16_t v : fields)
        if (!f.writeU16(v)) return false;
    return true;
}

void readTrackRecords(TrackFile& f, TrackRecords& r)
{
    for (uint16_t& t : r.time)
        if (!f.readU16(t)) return;
    // The names lie end to end; a short file delivers what it holds of them.
    f.read(r.name, sizeof r.name);
    for (auto& name : r.name) name[recordNameSize - 1] = 0;
    for (CarModel& car : r.car)
        if (!readCarModel(f, car)) return;
    for (RecordDate& d : r.date)
        if (!readDate(f, d)) return;
}

bool writeTrackRecords(TrackFile& f, const TrackRecords& r)
{
    for (uint16_t t : r.time)
        if (!f.writeU16(t)) return false;
    if (!f.writeBytes(r.name, sizeof r.name)) return false;
    for (const CarModel& car : r.car)
        if (!writeCarModel(f, car, carPaddingKept)) return false;
    for (const RecordDate& d : r.date)
        if (!writeDate(f, d)) return false;
    return true;
}

bool carMaySetRecords(int car)
{
    const uint32_t* controls = game.cars[car].controls;
    return controls[0] != 0 || controls[1] <= 100;
}

static void setEntry(int i, int steps, const char* name, const CarModel& car)
{
    TrackRecords& r = game.trackRecords;
    r.time[i] = static_cast<uint16_t>(steps);
    std::memset(r.name[i], 0, recordNameSize);
    for (int k = 0; k < recordNameSize - 1 && name[k]; ++k) r.name[i][k] = name[k];
    r.car[i] = car;
    r.date[i] = currentUtcTime();
}

int insertBestTime(int steps)
{
    TrackRecords& r = game.trackRecords;
    if (steps >= r.time[recordCount - 1]) return 0;
    int i = recordCount - 1;
    for (; i > 1 && steps < r.time[i - 1]; --i) {
        r.time[i] = r.time[i - 1];
        std::memcpy(r.name[i], r.name[i - 1], recordNameSize);
        r.car[i] = r.car[i - 1];
        r.date[i] = r.date[i - 1];
    }
    setEntry(i, steps, game.driverNames[0], game.carModels[0]);
    return i;
}

bool updateLapRecord(int car, int steps)
{
    if (car < 0 || car >= maxCars || !carMaySetRecords(car) || steps >= game.trackRecords.time[0]) return false;
    setEntry(0, steps, game.driverNames[car], game.carModels[car]);
    return true;
}

// Opens a track for updating its records and leaves the position at the end of its body.
// False for files whose body this game cannot vouch for: a bodyEnd before the end of the
// body's fields, or past the file's end, would have the records written over the track.
// The update goes to a copy that replaces the file when closed, so a game killed while
// writing leaves the old records or the new ones, never a mixture of both.
static bool openRecords(TrackFile& f, const std::string& gamePath, uint32_t& bodyEnd)
{
    if (!game.exeFolder.empty()) changeToFolder(game.exeFolder);
    if (!f.open(gamePath, trackFileRead | trackFileWrite | trackFileReplace)) return false;
    TrackHeader h;
    bool ok = readTrackHeader(f, h) && h.version <= trackVersionMax && recordsAreaIsOwn(f, h);
    if (ok) bodyEnd = h.bodyEnd;
    if (ok && f.seek(long(bodyEnd), SEEK_SET)) return true;
    f.discard();
    return false;
}

void saveTrackRecords()
{
    TrackFile f;
    uint32_t bodyEnd = 0;
    if (!openRecords(f, "tracks" + game.trackEntry + ".trk", bodyEnd)) return;
    if (!writeTrackRecords(f, game.trackRecords)) return f.discard();
    if (game.carCount == 1) writeGhostLap(f);

    // An old trailer is kept in place, but only one that lies beyond what was just written: a
    // marker value met inside the new ghost or the records is data, not a trailer.
    long written = f.tell();
    long end = f.size();
    uint32_t marker = 0;
    bool kept = end - 20 >= written && f.seek(end - 20, SEEK_SET) && f.readU32(marker) && marker == recordsMarker;
    if (!kept && !(f.seek(0, SEEK_END) && f.writeU32(recordsMarker))) return f.discard();

    long p = f.tell();
    uint32_t sums[4];
    std::memcpy(sums, game.recordsSeed, sizeof sums);
    if (!f.seek(long(bodyEnd), SEEK_SET)) return f.discard();
    uint64_t count = uint64_t(p - long(bodyEnd));
    if (sumTrackBytes(f, bodyEnd, count, sums) != count) return f.discard();
    f.seek(p, SEEK_SET);
    for (uint32_t s : sums) f.writeU32(s);
    f.truncateHere();
    f.close();
}

void resetTrackRecords(const std::string& name)
{
    clearTrackRecords(game.trackRecords);
    clearGhost();
    TrackFile f;
    uint32_t bodyEnd = 0;
    std::string entry = !name.empty() && name[0] == '\\' ? name : "\\" + name;
    if (!openRecords(f, "tracks" + entry + ".trk", bodyEnd)) return;
    if (!writeTrackRecords(f, game.trackRecords)) return f.discard();
    f.truncateHere();
    f.close();
}
