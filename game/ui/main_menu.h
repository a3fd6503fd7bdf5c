#pragma once
// The main menu: the players with their cars, the drivers still free, the race length, the
// track list with its selection, and the buttons that lead to every other screen. Also the car
// chooser that pops up over it.
#include "state/widget.h"

#include <string>
#include <vector>

constexpr int mainMenuWidgetCount = 30;
constexpr int carChooserWidgetCount = 2;

enum MainMenuWidget {
    menuExit, menuOptions, menuLoad, menuStart,
    menuFirstCar = 4,        // 4..9, style 20..25
    menuFirstName = 10,      // 10..15, style 10..15
    menuDrivers = 16, menuCreateDriver, menuRaceLength, menuTracks, menuMoveTo, menuDeleteTracks, menuSelect,
    menuSelectCount, menuFolder, menuCreateFolder, menuDeleteFolder, menuFolders, menuMoveTargets, menuSelectedCount,
};

void buildMainMenu(Widget* w);
void captionMainMenu(Widget* w);
void paintMainMenu();
void buildCarChooser(Widget* w);

// The end of every start: the lists filled, the race length's label set, and the menu opened
// (or the parked screen resumed when no dialog is active).
void openMainMenu();
// F1 and the right button, which the main menu's screens answer.
void connectScreenInput();

// Background and every widget again.
void redrawMainMenu();
// The drivers list: every driver not in a race slot.
void refreshDriverList();
// The track list from the track folders, the selection kept.
void refreshTrackList();
// "lap|laps" or "kilometer|kilometers", by the distance unit.
void setRaceLengthLabel();

// The tracks chosen for the next race or season: paths below tracks, "\name" or "\folder\name".
const std::vector<std::string>& trackSelection();
// Clears the listed tracks' selection and picks count of them at random (clamped to the list).
void selectRandomTracks(int count);

// A race or season is over: the race lets go of the screen and the parked menu comes back.
// The race's hook for leaving takes this.
void backToMainMenu();

// Right button released at a pixel of the main menu: statistics of a driver, info of a track.
void rightClickMainMenu(int x, int y);
