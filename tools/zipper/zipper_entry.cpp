// Gathering a competition entry and packing it.
#include "zipper_entry.h"

#include "zipper_archive.h"
#include "zipper_picture.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

// Limits far above any file the game writes; a larger file is not read into memory.
static const size_t gameLimit = size_t(256) << 20;
static const size_t screenLimit = size_t(256) << 20;
static const size_t trackLimit = size_t(64) << 20;

static std::string lastPart(const std::string& path)
{
    return path.substr(path.rfind('/') + 1);
}

// As the game loads a saved game: a track that is not where the save names it may have been
// moved into a track folder; the file of that name whose body has the save's checksum is it.
// On success trackShown holds the entry it was found under.
static bool findMovedTrack(const std::string& gameFolder, CompetitionEntry& entry)
{
    const SavedGameValues& g = entry.gameValues;
    std::string tracks = findEntry(gameFolder, "Tracks", EntryKind::Folder);
    if (!g.hasTrackChecksum || tracks.empty()) {
        return false;
    }
    std::string fileName = g.trackEntry.substr(g.trackEntry.rfind('\\') + 1);
    for (const std::string& folder : subfolders(tracks)) {
        std::string moved = "\\" + folder + "\\" + fileName;
        FoundFile candidate;
        std::vector<uint8_t> data;
        uint32_t sums[4];
        if (folder.find('\\') != std::string::npos ||
            findTrackFile(gameFolder, moved, candidate) != TrackLookup::Found ||
            !readWholeFile(candidate.path, data, trackLimit) || !trackBodyChecksum(data.data(), data.size(), sums)) {
            continue;
        }
        if (std::equal(sums, sums + 4, g.trackChecksum)) {
            entry.track = candidate;
            entry.trackShown = moved;
            return true;
        }
    }
    return false;
}

bool gatherEntry(const std::string& gameFolder, CompetitionEntry& entry)
{
    entry = CompetitionEntry();
    std::string saves = findEntry(gameFolder, "Saves", EntryKind::Folder);
    if (saves.empty()) {
        return false;
    }
    entry.savesFolder = true;

    std::vector<FoundFile> games = listNewestFirst(saves, ".gam");
    if (const FoundFile* chosen = chooseSavedGame(games)) {
        entry.game = *chosen;
        entry.gameShown = lastPart(saves) + "\\" + chosen->name;
        entry.hasGame = readWholeFile(chosen->path, entry.gameData, gameLimit);
        if (!entry.hasGame) {
            entry.gameProblem = "gespeichertes Spiel nicht lesbar";
        } else {
            entry.gameReadable = readSavedGameValues(entry.gameData.data(), entry.gameData.size(),
                                                     entry.gameValues, entry.gameProblem);
        }
    }

    std::string screens = findEntry(gameFolder, "Screens", EntryKind::Folder);
    if (!screens.empty()) {
        std::vector<FoundFile> shots = listNewestFirst(screens, ".bmp");
        if (!shots.empty()) {
            entry.screen = shots[0];
            entry.screenShown = lastPart(screens) + "\\" + shots[0].name;
            entry.hasScreen = readWholeFile(shots[0].path, entry.screenData, screenLimit);
        }
    }

    if (entry.gameReadable) {
        std::string name = entry.gameValues.trackEntry;
        TrackLookup lookup = findTrackFile(gameFolder, name, entry.track);
        if (lookup == TrackLookup::Missing && findMovedTrack(gameFolder, entry)) {
            lookup = TrackLookup::Found;
            name = entry.trackShown;
        }
        entry.trackShown = "Tracks" + std::string(name.empty() || name[0] != '\\' ? "\\" : "") + name + ".trk";
        switch (lookup) {
        case TrackLookup::Found:
            entry.hasTrack = readWholeFile(entry.track.path, entry.trackData, trackLimit);
            if (!entry.hasTrack) {
                entry.trackProblem = "Streckendatei nicht lesbar";
            } else if (!readTrackValues(entry.trackData.data(), entry.trackData.size(), entry.trackValues,
                                        entry.trackProblem)) {
                entry.hasTrack = false;
            }
            break;
        case TrackLookup::BadName:
            entry.trackProblem = "ungültiger Streckenname im gespeicherten Spiel";
            break;
        case TrackLookup::Outside:
            entry.trackProblem = "Strecke liegt außerhalb von Tracks";
            break;
        case TrackLookup::Missing:
            entry.trackProblem = "Strecke nicht gefunden";
            break;
        }
    }
    return true;
}

std::string formatRaceTime(int32_t hundredths)
{
    if (hundredths < 0) {
        hundredths = 0;
    }
    char text[32];
    snprintf(text, sizeof text, "%d:%02d.%02d", int(hundredths / 6000), int(hundredths / 100 % 60),
             int(hundredths % 100));
    return text;
}

int averageSpeed(const CompetitionEntry& entry)
{
    if (!entry.gameReadable || entry.gameValues.raceTime <= 0) {
        return 0;
    }
    // The time is the first car's last crossing, so the distance is the laps it drove by then
    // (a game saved mid-race has not run them all). Without them the laps the race runs over
    // serve, and the race length of the options only when the file does not reach those.
    const SavedGameValues& g = entry.gameValues;
    double lapLength = entry.hasTrack ? entry.trackValues.lapLength : 0.0;
    double metres = g.firstCarLaps > 0 ? g.firstCarLaps * lapLength
                    : g.raceLaps > 0 ? g.raceLaps * lapLength
                    : g.distanceUnit == 1 ? g.raceLength * 1000.0
                                          : g.raceLength * lapLength;
    double kmh = metres / (entry.gameValues.raceTime / 100.0) * 3.6;
    // No car is that fast: the values do not belong together, so there is no speed.
    return kmh < 10000 ? int(std::lround(kmh)) : 0;
}

// A part of a built name: characters that plainArchiveName refuses become "_".
static std::string namePart(const std::string& s)
{
    std::string out;
    for (unsigned char c : s) {
        bool bad = c < 0x20 || c == 0x7f || c == '/' || c == '\\' || c == ':' || c == '*' || c == '?' ||
                   c == '"' || c == '<' || c == '>' || c == '|';
        out += bad ? '_' : char(c);
    }
    return out;
}

std::string suggestedArchiveName(const ZipperProfile& profile, const CompetitionEntry& entry)
{
    struct Part {
        int order;
        std::string text;
    };
    std::vector<Part> parts;
    if (entry.gameReadable) {
        const std::string& track = entry.gameValues.trackEntry;
        parts.push_back({profile.trackName, track.substr(track.rfind('\\') + 1)});
        parts.push_back({profile.driverName, entry.gameValues.driverName});
        // "1-23-45" rather than "1:23.45": colons are not allowed in Windows file names.
        std::string time = formatRaceTime(entry.gameValues.raceTime);
        std::replace(time.begin(), time.end(), ':', '-');
        std::replace(time.begin(), time.end(), '.', '-');
        int kmh = averageSpeed(entry);
        if (kmh > 0) {
            time += "_" + std::to_string(kmh) + "kmh";
        }
        parts.push_back({profile.timeKmh, time});
    }
    parts.push_back({profile.textPos, profile.text});
    std::stable_sort(parts.begin(), parts.end(), [](const Part& a, const Part& b) { return a.order < b.order; });
    std::string name;
    for (const Part& p : parts) {
        std::string text = namePart(p.text);
        if (p.order <= 0 || text.empty()) {
            continue;
        }
        name += (name.empty() ? "" : "_") + text;
    }
    // Room for ".zip" within a file name's 255 bytes.
    if (name.size() > 200) {
        name.resize(200);
        while (!name.empty() && (name.back() & 0xC0) == 0x80) {
            name.pop_back();  // no half UTF-8 character at the cut
        }
        if (!name.empty() && (name.back() & 0x80)) {
            name.pop_back();
        }
    }
    return plainArchiveName(name) ? name : "Zip";
}

bool plainArchiveName(const std::string& name)
{
    if (name.empty() || name.size() > 200 || name == "." || name == "..") {
        return false;
    }
    for (unsigned char c : name) {
        if (c < 0x20 || c == 0x7f || c == '/' || c == '\\' || c == ':' || c == '*' || c == '?' || c == '"' ||
            c == '<' || c == '>' || c == '|') {
            return false;
        }
    }
    return true;
}

MakeResult makeArchive(const std::string& gameFolder, const CompetitionEntry& entry,
                       const PackChoice& choice, const std::string& name, bool overwrite)
{
    if (!plainArchiveName(name)) {
        return MakeResult::BadName;
    }
    std::string zipFolder = findEntry(gameFolder, "zip", EntryKind::Folder);
    if (zipFolder.empty()) {
        return MakeResult::NoZipFolder;  // made by the game's installation, never by us
    }
    // Only what is ticked has to be there.
    std::vector<uint8_t> jpeg;
    std::vector<ArchiveMember> members;
    if (choice.screen) {
        if (!entry.hasScreen) {
            return MakeResult::NoScreen;
        }
        if (choice.jpg) {
            Picture picture;
            if (!decodeBmp(entry.screenData.data(), entry.screenData.size(), picture) ||
                !encodeJpeg(picture, 90, jpeg)) {
                return MakeResult::BadScreen;
            }
            members.push_back({name + ".jpg", &jpeg, entry.screen.mtime});
        } else {
            members.push_back({name + ".bmp", &entry.screenData, entry.screen.mtime});
        }
    }
    if (choice.game) {
        if (!entry.hasGame) {
            return MakeResult::NoGame;
        }
        members.push_back({name + ".gam", &entry.gameData, entry.game.mtime});
    }
    if (choice.track) {
        if (entry.hasGame && !entry.gameReadable) {
            return MakeResult::BadGame;
        }
        if (!entry.hasTrack) {
            return entry.hasGame ? MakeResult::NoTrack : MakeResult::NoGame;
        }
        members.push_back({entry.track.name, &entry.trackData, entry.track.mtime});
    }
    switch (writeZipArchive(zipFolder + "/" + name + ".zip", members, overwrite)) {
    case ArchiveWrite::Written:
        return MakeResult::Made;
    case ArchiveWrite::Exists:
        return MakeResult::Exists;
    case ArchiveWrite::Failed:
        break;
    }
    return MakeResult::WriteFailed;
}

const char* makeMessage(MakeResult result)
{
    switch (result) {
    case MakeResult::Made:
        return "Archiv geschrieben";
    case MakeResult::Exists:
        return "Das Archiv gibt es schon";
    case MakeResult::BadName:
        return "Ungültiger Archivname (keine Ordner, keine der Zeichen \\ / : * ? \" < > |)";
    case MakeResult::NoZipFolder:
        return "Finde den Ordner zip nicht";
    case MakeResult::NoScreen:
        return "Kein Bildschirmfoto in Screens";
    case MakeResult::BadScreen:
        return "Bildschirmfoto kann nicht in JPEG umgewandelt werden";
    case MakeResult::NoGame:
        return "Kein gespeichertes Spiel in Saves";
    case MakeResult::BadGame:
        return "Gespeichertes Spiel ist fehlerhaft";
    case MakeResult::NoTrack:
        return "Strecke des gespeicherten Spiels nicht gefunden";
    case MakeResult::WriteFailed:
        break;
    }
    return "Archiv konnte nicht geschrieben werden";
}

std::string madeText(const std::string& name)
{
    return "..\\zip\\" + name + ".zip ok";
}
