#pragma once
// The three option pages (Options, Advanced options, Driver options). One visit edits copies of
// every control; OK copies them into the options record (restarting when the language or the
// display changed), Cancel drops them.
#include "state/widget.h"

#include <cstdint>
#include <string>

constexpr int optionsWidgetCount = 17;
constexpr int advancedWidgetCount = 18;
constexpr int driverPageWidgetCount = 24;

// The bottom row is the same on every page: Cancel, two page buttons, OK.
enum PageButton { pageCancel, pageFirstLink, pageSecondLink, pageOk };

enum OptionsWidget {
    optTyreWear = 4, optFuelConsumption, optFuelMass, optDamage, optDistanceUnit, optStartingOrder,
    optFirstPoints,          // 10..15, places 1..6
    optFastestLap = 16,
};

enum AdvancedWidget {
    advLanguage = 4, advLanguageList, advSoundSet, advSoundSetList, advFullscreen, advResolution, advEffects,
    advShadows, advVerticalSync, advGhostCar, advEngineVolume, advSkidVolume, advEffectsVolume, advGoofyReverse,
};

enum DriverPageWidget {
    drvSelector = 4, drvList,
    drvFirstColour,          // 6..11: first colour R, G, B, second colour R, G, B
    drvFirstControl = 12,    // 12..15: accelerate, brake, steer left, steer right
    drvCreate = 16, drvDelete, drvStats,
    drvName, drvType, drvCreateOk, drvCreateCancel,
    drvSkill,                // a computer driver's skill instead of the controls
};

void buildOptionsPage(Widget* w);
void captionOptionsPage(Widget* w);
void paintOptionsPage();
void buildAdvancedPage(Widget* w);
void captionAdvancedPage(Widget* w);
void paintAdvancedPage();
void buildDriverPage(Widget* w);
void captionDriverPage(Widget* w);
void paintDriverPage();

// Starts a visit of the pages on one of them, every control filled from the options record.
// From the main menu it is parked; from the pause menu the race rules are shown but not applied.
void openOptionPage(uint32_t page, bool fromPause);
// The Driver options page with its create-driver box open.
void openDriverPageCreating();
// Back to the Driver options page as it was, after its statistics screen.
void returnToDriverPage();

// The visit ends: OK applies, Cancel does not.
void applyOptionPages();
void cancelOptionPages();

// The language or display changed: the game system starts again with the dialogs kept.
void restartGameSystem(bool displayChanged);
