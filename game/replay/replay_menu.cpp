#include "race/race_pause.h"
#include "replay/replay_session.h"
#include "state/game_state.h"
#include "ui/screen_actions.h"

bool replayRecorded()
{
    return game.replay.frameCount > 0 && game.replay.capacity > 0 && game.replay.frames[0];
}

void startReplay()
{
    if (replayRecorded()) beginReplay();
    else resumeRace();
}
