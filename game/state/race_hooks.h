#pragma once
// The race frame's calls into the screens that seasons, the pause menu and replays own. Those
// parts fill the table in; an entry left empty takes the frame's own plain behaviour, which
// is enough for a single race without a season.

struct RaceHooks {
    void (*pauseMenu)();           // Escape in phases 0..7, after the race was paused; empty: end the race
    void (*awardPoints)();         // a race of two or more cars is over
    void (*showStandings)();       // a key after the results, more races follow; sets StandingsHeld
    void (*showFinalStandings)();  // a key after the results of the last race; sets FinalHeld or leaves
    void (*startNextRace)();       // a key on the standings
    void (*leaveRace)();           // back to the main menu; empty: the race stops owning the screen
    bool (*replayStep)();          // one step of replay playback; false when nothing is to be shown
    void (*endReplay)();           // restores the cars and the phase saved when the replay began
    void (*drawReplay)(int steps); // the replay screen; empty: the race view
    void (*autosave)();            // a season's race is ready on its pre-race screen
};
