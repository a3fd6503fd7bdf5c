#pragma once
// The menu of a paused race: resume, replay, options, save, end the race or the season.
#include "state/widget.h"

constexpr int pauseMenuWidgetCount = 6;

enum PauseMenuWidget { pauseResume, pauseReplay, pauseOptions, pauseSave, pauseEndRace, pauseEndSeason };

void buildPauseMenu(Widget* w);
void captionPauseMenu(Widget* w);
void paintPauseMenu();

// The race paused: the picture behind is kept and the menu opens over it with the cursor shown.
void openPauseMenu();
// Back to the menu from a page it opened, over the same picture.
void returnToPauseMenu();
// The race owns the screen again: the kept picture is let go.
void forgetPausePicture();
