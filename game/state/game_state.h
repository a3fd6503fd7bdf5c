#pragma once
// The one record of the game. Everything long-lived is a field here or a block owned by it.
#include "state/car_model.h"
#include "state/car_panel.h"
#include "state/car_state.h"
#include "state/race_hooks.h"
#include "state/system_hooks.h"
#include "state/race_phase.h"
#include "state/vec3.h"
#include "state/dialog_input.h"
#include "state/driver_profile.h"
#include "state/widget.h"
#include "state/options_record.h"
#include "state/track_data.h"
#include "state/sound_voice.h"
#include "state/replay_state.h"

#include <SDL.h>

#include <cstdint>
#include <string>
#include <vector>

constexpr int maxCars = 6;
constexpr int keySnapshotSize = 323;  // one byte per SDL 1.2 key symbol
constexpr int circleTableSize = 100;
constexpr int uiStringCount = 179;
constexpr int emptyLapTime = 6000;    // 60.00 s marks an empty lap time
constexpr int screenSlotCount = 12;  // dialog ids 1..11

struct JoystickState;
struct Particle;

using RaceViewRoutine = void (*)();

struct GameState {
    // 1. Configuration from tm.ini.
    int32_t replayLength;             // seconds kept in the replay buffer
    int32_t replayFrameStep;          // steps per replay sample
    int32_t videoMemory;
    int32_t fasterTrackPreview;
    int32_t tyreAutoSort;
    int32_t viewAngle;                // 32767: the track's own
    int32_t viewRotation;             // 32767: the track's own
    int32_t viewZoom;                 // percent; 0: the track's own
    int32_t ratioAdjust;
    int32_t alternativeSpeedSetting;
    int32_t screenshotWidth;
    int32_t screenshotHeight;
    std::string paletteFile;

    // 2. Race clock and race control.
    int32_t raceClock;                // steps since the green light
    uint32_t pendingMs;               // real time not yet simulated
    uint32_t lastTick;
    uint8_t checkpointCount;
    int32_t fastestLapTime;
    int32_t fastestLapCar;            // -1 none
    int32_t trackRecordCar;
    int32_t leaderLaps;
    uint16_t stepMs;                  // round(1000 / stepRate)
    uint8_t raceRunning;              // a race or replay owns the screen
    int32_t runningOrder[maxCars];    // car index at each position, leader first
    int32_t raceLaps;
    uint8_t racePhase;                // RacePhase
    uint8_t phaseCounter;
    int32_t startLight;               // -1 hidden, 0..3
    int32_t carCount;                 // 1..6
    int32_t fireworksDelay;           // steps to the next shell over the final standings
    RaceHooks raceHooks;              // the screens of seasons, the pause menu and replays
    SystemHooks systemHooks;          // the program's pump and restart, for the menus

    // 3. Sound bookkeeping. The callback reads the voices and their sounds; every change to
    // them is made under SDL_LockAudio.
    SoundVoice voices[voiceCount];
    int16_t* mixScratch[voiceCount];  // one device buffer each, while the device is open
    int32_t mixScratchSamples;
    SDL_AudioSpec audioSpec;          // the device format, the target of every conversion
    uint8_t audioOpen;
    std::vector<Sound*> sounds;       // handle h is sounds[h - 1]; null slots are free

    // 4. Options.
    OptionsRecord options;

    // 5. Screen and GUI geometry.
    int32_t screenWidth;
    int32_t screenHeight;
    int32_t guiScale;                 // pixels per GUI unit
    int32_t guiQuarter;
    int32_t textShadowOffset;
    float guiOriginX;
    float guiOriginY;
    int32_t offeredResolutions[32];
    int32_t offeredResolutionCount;
    RaceViewRoutine raceView;
    uint8_t enterConsumed;            // this Enter press switched the display mode
    float screenScale;                // screenWidth as a float: the projection's scale
    float aspectRatio;                // screenHeight / screenWidth

    // 6. Season, track and driver bookkeeping.
    int32_t seasonRace;
    int32_t seasonRaceCount;
    char driverNames[maxCars][13];
    int32_t modelCount;
    std::string trackEntry;           // the loaded track below tracks: \name or \folder\name
    uint32_t lapLength;               // metres
    TrackRecords trackRecords;        // 0 the lap record, 1..6 the best times
    uint32_t recordsSeed[4];          // checksum of the body, continued over the records
    char trackAuthor[31];
    char trackInfo[501];
    int32_t seasonPoints[maxCars];    // championship points before this race, by car; the grid's points orders read them
    std::vector<std::string> seasonTracks;  // the season's tracks below tracks, in race order

    // 7. Track and world.
    float trackSize;
    float surfaceCell;                // trackSize / 512
    float heightCell;                 // trackSize / 63
    float waterLevel;
    uint8_t paintStartLine;
    uint8_t* surfaceMap;              // 512 x 512, row = z
    uint8_t* heightMap;               // 64 x 64, row = z, height = byte x 0.05
    TrackObject* trackObjects;        // the first ones are the grid
    uint16_t objectCount;
    uint32_t trackGeneration;         // counts the track data freed, so caches of it can tell
    uint32_t surfaceMarks;            // counts the cells tyres have marked, for caches of the ground
    PitBox* pitBoxes;
    uint8_t pitBoxCount;              // at most 6
    Checkpoint* checkpoints;          // the last one is the finish line; count in region 2
    Vec3* drivingLine;
    uint16_t drivingLineCount;
    Vec3* pitLane;
    uint8_t pitLaneCount;
    uint8_t pitEntryIndex;            // driving-line points where the pit lane leaves and joins
    uint8_t pitExitIndex;
    uint8_t ownPitBoxesOnly;          // 1: car i stops at box i only; 0: any free box serves any car

    // 8. Simulation scratch.
    float skidLevel;
    float impactLevel;
    Particle* particles;              // particleRingSize slots; the effects option uses the first ones
    uint16_t particleNext;            // next slot to start
    float* randomTable;               // 256 entries in [0, 1)
    uint8_t randomIndex;              // incremented before each use
    uint16_t boxApproachSteps[maxCars];  // steps each computer car has been bound for its box
    Vec3 gravity{0, -20, 0};
    float* circleTable;               // half-circle profile, circleTableSize entries
    SDL_Surface* videoSurface;
    SDL_Surface* drawSurface;         // the 8-bit back buffer
    SDL_Surface* backgroundSurface;   // the second 8-bit surface
    GhostSample* ghostBuffers[2];     // ghostCapacity samples each, swapped between recording and best
    int8_t ghostRecording = -1;       // index into ghostBuffers, -1 none
    int8_t ghostBest = -1;            // index into ghostBuffers, -1 none
    uint16_t ghostSteps;              // samples in the lap being recorded
    uint16_t ghostBestSteps;          // best lap since the track was loaded, 0 none
    uint16_t ghostLimit = ghostNone;  // the ghost read from the track file, ghostNone none
    uint32_t palette[256];            // 0x00RRGGBB, the colours in effect
    uint8_t* pixelBase;               // drawSurface's pixels while it is locked
    int32_t pixelPitch;               // bytes per row while locked
    SDL_Surface* lockedSurface;
    uint16_t* depthImage;             // terrain depth per pixel, sceneWidth x sceneHeight
    uint8_t* shadeImage;              // the terrain's colour in shadow, per pixel
    int32_t sceneWidth;               // size the two images were made for
    int32_t sceneHeight;
    uint8_t* glyphStrip;              // 160 glyphs of guiScale x 2 guiScale, scaled once
    int32_t glyphStripScale;          // guiScale the strip was made for
    int32_t screenshotCounter;        // next shot number to try

    // 9. Sound handles (1-based, 0 = none).
    int32_t engineSound[maxCars];
    int32_t skidSound;
    int32_t impactSound;
    int32_t lightSound;
    int32_t finalLapSound;
    int32_t fuelWarningSound;

    // 10. Input.
    uint8_t* keySnapshot;             // keySnapshotSize bytes
    JoystickState* joysticks;
    int32_t joystickCount;

    // 11. Drivers and models.
    DriverProfile* drivers[maxCars];  // each race slot's profile, owned by driverList
    CarModel* models;                 // the model list
    std::vector<DriverEntry> driverList;  // every driver of drivers\, in listing order

    // 12. Game folder.
    std::string exeFolder;            // host path of the program's folder
    float trackViewZoom;              // the track's zoom after the tm.ini overrides
    float cameraMatrix[9];            // rows: screen right, screen down, view direction
    Vec3 cameraPosition;

    // 13. Cars of the race.
    CarState cars[maxCars];
    CarPanel carPanels[maxCars];      // each car's panel texts, written by the race rules

    // 14. Interface texts.
    std::string uiStrings[uiStringCount];

    // 15. Each car's own copy of its model.
    CarModel carModels[maxCars];

    // 16. Front end.
    DialogInput dialogInput;
    DialogContext dialog;             // the active dialog
    DialogContext* parkedDialog;      // the one parked behind a modal box or a race, heap
    Widget* screens[screenSlotCount]; // every screen's widgets by dialog id, made once

    // 17. The replay of the current race.
    ReplayState replay;
};

extern GameState game;
