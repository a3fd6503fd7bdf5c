#include "replay/replay_controls.h"

#include "audio/sound.h"
#include "replay/replay_playback.h"
#include "replay/replay_session.h"
#include "state/game_state.h"

#include <SDL.h>

#include <utility>

namespace {

// The keys that act once per press, as bits of ReplayState::keysDown.
enum PressKey : uint8_t { pressFaster = 1, pressSlower = 2, pressCut = 4 };

constexpr int fastFactor = 4;

bool down(int key) { return game.keySnapshot[key] & 1; }

// True on the step a key goes down; holding it does nothing more.
bool pressed(int key, PressKey bit)
{
    ReplayState& r = game.replay;
    bool now = down(key), before = r.keysDown & bit;
    if (now) r.keysDown |= bit;
    else r.keysDown &= uint8_t(~bit);
    return now && !before;
}

void silenceEngines()
{
    for (int car = 0; car < maxCars; ++car) setSoundVolume(game.engineSound[car], 0);
}

void markCut()
{
    ReplayState& r = game.replay;
    if (r.cutPresses++ == 0) {
        r.cutBegin = r.position;
        return;
    }
    r.cutEnd = r.position;
    // Marked backwards (during reverse play) it is the same stretch of the race.
    if (r.cutEnd < r.cutBegin) std::swap(r.cutBegin, r.cutEnd);
    silenceEngines();
    endReplayForCut();
}

}  // namespace

void replayFaster()
{
    ReplayState& r = game.replay;
    if (r.rateNumerator >= 8) return;
    if (r.rateDenominator <= 1) ++r.rateNumerator;
    else --r.rateDenominator;
}

void replaySlower()
{
    ReplayState& r = game.replay;
    if (r.rateDenominator >= 8) return;
    if (r.rateNumerator <= 1) ++r.rateDenominator;
    else --r.rateNumerator;
}

void updateReplaySpeed()
{
    ReplayState& r = game.replay;
    float rate = float(r.rateNumerator) / float(r.rateDenominator ? r.rateDenominator : 1);
    r.speed = r.fast != 0 ? fastFactor * r.fast * rate : r.direction * rate;
}

bool replayAtNormalPlay()
{
    const ReplayState& r = game.replay;
    return r.fast == 0 && r.direction == 1 && r.rateNumerator == 1 && r.rateDenominator == 1;
}

bool readReplayKeys()
{
    ReplayState& r = game.replay;
    if (!game.keySnapshot) return true;
    if (down(SDLK_ESCAPE)) {
        r.speed = 1;
        r.rateNumerator = r.rateDenominator = 1;
        r.direction = 1;
        r.fast = 0;
        silenceEngines();
        game.racePhase = ReplayEnd;
        return false;
    }
    if (down(SDLK_RIGHT)) r.direction = 1;
    if (down(SDLK_DOWN)) r.direction = 0;
    if (down(SDLK_LEFT)) r.direction = -1;
    r.fast = down(SDLK_PAGEUP) ? 1 : down(SDLK_PAGEDOWN) ? -1 : 0;
    if (pressed(SDLK_KP_PLUS, pressFaster)) replayFaster();
    if (pressed(SDLK_KP_MINUS, pressSlower)) replaySlower();
    updateReplaySpeed();
    if (down(SDLK_HOME)) r.position = 0;
    if (down(SDLK_END)) r.position = replayEndPosition();
    if (pressed(SDLK_c, pressCut)) {
        markCut();
        if (game.racePhase != Replay) return false;
    }
    return true;
}
