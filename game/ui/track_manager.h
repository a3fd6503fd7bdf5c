#pragma once
// The track manager in the lower half of the main menu: the folder list and its button, the
// track list of the chosen folders, and the buttons that create and delete folders and move and
// delete the selected tracks. Its buttons come through trackManagerAction (screen_actions.h).
#include "state/widget.h"

// The folder lists and the track list again from disk. Chosen folders are kept by name, and
// "[all tracks]" is chosen when none of them is left; the folder list is closed.
void refreshTrackManager();
// The folder button, the special folder entries and the selected count in the current language.
void captionTrackManager(Widget* w);
// "N selected" after the selection changed.
void captionSelectedCount();
