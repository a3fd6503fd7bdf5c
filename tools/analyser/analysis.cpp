#include "analysis.h"

#include "game_folder.h"

#include <algorithm>
#include <iterator>

bool useTrackFile(Analysis& a, const std::string& trackPath, std::string& why)
{
    std::vector<uint8_t> bytes;
    a.trackRead = false;
    a.track = TrackInfo();
    a.laps = analyseLaps({}, a.track);
    if (!readWholeFile(trackPath, bytes, trackFileLimit)) return why = a.game.trackName + " not found!!", false;
    if (!readTrack(bytes.data(), bytes.size(), a.track, why)) return false;
    a.trackRead = true;
    a.trackPath = trackPath;
    a.laps = analyseLaps(a.game.path, a.track);
    // The player found the track after all.
    if (!a.trackMessage.empty()) {
        auto at = std::find(a.messages.rbegin(), a.messages.rend(), a.trackMessage);
        if (at != a.messages.rend()) a.messages.erase(std::next(at).base());
        a.trackMessage.clear();
    }
    return true;
}

bool analyseSavedGame(const std::string& gameFolder, const std::string& gamPath, Analysis& out, std::string& why)
{
    std::vector<uint8_t> bytes;
    if (!readWholeFile(gamPath, bytes, savedGameLimit)) return why = "cannot read " + gamPath, false;
    Analysis a;
    if (!readSavedGame(bytes.data(), bytes.size(), a.game, why)) return false;
    a.gamePath = gamPath;
    a.messages = out.messages;
    std::string reason;
    std::string trackPath = findTrackForSave(gamPath, gameFolder, a.game.trackName, reason);
    if (trackPath.empty() || !useTrackFile(a, trackPath, reason)) {
        addMessage(a, reason);
        a.trackMessage = a.messages.back();
    }
    if (!a.game.hasReplay) addMessage(a, "no replay in this saved game");
    out = std::move(a);
    return true;
}

bool analyseBytes(const uint8_t* gam, size_t gamSize, const uint8_t* trk, size_t trkSize, Analysis& out,
                  std::string& why)
{
    out = Analysis();
    if (!readSavedGame(gam, gamSize, out.game, why)) return false;
    if (trk) {
        std::string reason;
        out.trackRead = readTrack(trk, trkSize, out.track, reason);
    }
    out.laps = analyseLaps(out.game.path, out.track);
    return true;
}

void addMessage(Analysis& a, const std::string& text)
{
    a.messages.push_back(text.substr(0, maxMessageLength));
    if (a.messages.size() > maxMessages) a.messages.erase(a.messages.begin());
}
