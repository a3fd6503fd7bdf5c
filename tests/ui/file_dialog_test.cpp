// The load and save dialog of saved games, driven through its buttons with the message boxes
// answered by key, and the autosave around a restart of the display.
#include "screen_fixture.h"

#include "race/race_frame.h"
#include "race/race_screens.h"
#include "render/draw_access.h"
#include "save/saved_game.h"
#include "ui/dialog.h"
#include "ui/file_dialog.h"
#include "ui/main_menu.h"
#include "ui/option_pages.h"
#include "ui/pause_menu.h"
#include "ui/screen_actions.h"
#include "ui/screens.h"

#include <cstring>
#include <filesystem>
#include <set>

namespace fs = std::filesystem;

namespace {

class FileDialog : public ScreenTest {
protected:
    static Widget* dialogWidgets() { return screenWidgets(screenFileDialog); }
    static std::vector<std::string> listed()
    {
        std::vector<std::string> names;
        for (const ListItem* item : dialogWidgets()[fileList].list->items) names.push_back(item->text);
        return names;
    }
    static void typeName(const std::string& name)
    {
        Widget& field = dialogWidgets()[fileName];
        field.label = name;
        field.value = int32_t(name.size());
    }
    static void clickItem(int item)
    {
        const Widget& w = game.dialog.widgets[fileList];
        click(int(w.x + w.list->itemWidth / 2), int(w.y + (item + 0.5f) * w.list->itemHeight));
    }

    // A box's own loop presents the screen last while the box is up, so the window still shows
    // it when the box has closed: its title and the line wanted are read back from there.
    static bool boxSaid(const std::string& title, const std::string& line)
    {
        SDL_Surface* video = SDL_GetVideoSurface();
        if (!video || !game.drawSurface || SDL_LockSurface(video) != 0) return false;
        bool lockedHere = !game.lockedSurface && lockDraw();
        int width = std::min(video->w, game.drawSurface->w), height = std::min(video->h, game.drawSurface->h);
        for (int y = 0; y < height; ++y)
            std::memcpy(game.pixelBase + size_t(y) * size_t(game.pixelPitch),
                        static_cast<uint8_t*>(video->pixels) + size_t(y) * size_t(video->pitch), size_t(width));
        SDL_UnlockSurface(video);
        bool said = shows(title, 242) && shows(line, 240);
        if (lockedHere) unlockDraw();
        return said;
    }

    // Every file and folder below the game folder.
    std::set<std::string> folderContents() const
    {
        std::set<std::string> paths;
        for (const auto& e : fs::recursive_directory_iterator(folder.root()))
            paths.insert(fs::relative(e.path(), folder.root()).generic_string());
        return paths;
    }

    // Two drivers race the first track; Escape pauses on the pause menu.
    // Pause menu, Options, the resolution one step up, OK: the change needs the autosave.
    void raiseResolutionFromPause()
    {
        clickWidget(pauseOptions);
        ASSERT_EQ(activeScreen(), uint32_t(screenAdvancedOptions));
        const Widget& slider = game.dialog.widgets[advResolution];
        click(int(slider.x + slider.w - slider.h / 2), int(slider.y + slider.h / 2));
        pushKeyPress(SDLK_RETURN);
        applyOptionPages();
    }

    void pauseSeasonIn(const std::string& language = "English")
    {
        startGame(640, 480, language);
        pauseSeason();
    }
};

TEST_F(FileDialog, LoadFromTheMainMenuListsSavesAndRefusesWhatIsNotThere)
{
    folder.write("saves/Zeta.gam", "");
    folder.write("saves/alpha.gam", "");
    folder.write("saves/notes.txt", "");
    folder.makeFolder("saves/folder.gam");
    startGame(640, 480);
    clickWidget(menuLoad);
    ASSERT_EQ(activeScreen(), uint32_t(screenFileDialog));
    EXPECT_TRUE(shows("Load game", 242));
    EXPECT_EQ(game.dialog.widgets[fileConfirm].label, "Load");
    EXPECT_EQ(listed(), (std::vector<std::string>{"alpha", "Zeta"}));

    clickItem(1);
    EXPECT_EQ(game.dialog.widgets[fileName].label, "Zeta");

    typeName("Beta");
    pushKeyPress(SDLK_RETURN);
    confirmFileDialog(false);
    EXPECT_TRUE(boxSaid("Load game", "File 'Beta' does not exist!"));
    EXPECT_EQ(activeScreen(), uint32_t(screenFileDialog));

    // An empty file is no saved game: the dialog stays, the main menu behind it, no race.
    typeName("zeta");
    pushKeyPress(SDLK_RETURN);
    confirmFileDialog(false);
    EXPECT_TRUE(boxSaid("Load game", "Load failed!"));
    EXPECT_EQ(activeScreen(), uint32_t(screenFileDialog));
    EXPECT_FALSE(game.raceRunning);
    EXPECT_EQ(game.raceHooks.autosave, nullptr);
    ASSERT_NE(game.parkedDialog, nullptr);
    EXPECT_EQ(game.parkedDialog->dialogId, uint32_t(screenMainMenu));

    clickWidget(fileCancel);
    EXPECT_EQ(activeScreen(), uint32_t(screenMainMenu));
    EXPECT_EQ(game.parkedDialog, nullptr);
}

TEST_F(FileDialog, NamesThatAreNoPlainFileNameAreRefusedAndNothingIsWritten)
{
    pauseSeasonIn();
    clickWidget(pauseSave);
    ASSERT_EQ(activeScreen(), uint32_t(screenFileDialog));
    EXPECT_TRUE(shows("Save game", 242));
    std::set<std::string> before = folderContents();
    for (const char* name : {"../escape", "..\\escape", "a/b", "saves\\x", "..", ".hidden", "what?", "a:b", "CON",
                             "name.", "tab\there"}) {
        typeName(name);
        pushKeyPress(SDLK_RETURN);
        confirmFileDialog(true);
        EXPECT_TRUE(boxSaid("Save game", "cannot be a file")) << name;
        EXPECT_EQ(activeScreen(), uint32_t(screenFileDialog)) << name;
    }
    typeName("");
    pushKeyPress(SDLK_RETURN);
    confirmFileDialog(true);
    EXPECT_TRUE(boxSaid("Save game", "Type a name for the file"));
    EXPECT_EQ(folderContents(), before);

    clickWidget(fileCancel);
    EXPECT_EQ(activeScreen(), uint32_t(screenPauseMenu));
    EXPECT_FALSE(game.raceRunning);
}

TEST_F(FileDialog, ASaveThatCannotBeWrittenSaysSoAndTheDialogStays)
{
    // A file where the folder should be: nothing can be written under saves.
    folder.write("saves", "not a folder");
    pauseSeasonIn();
    game.replay.cutBegin = 3, game.replay.cutEnd = 9;
    clickWidget(pauseSave);
    typeName("Monday");
    pushKeyPress(SDLK_RETURN);
    confirmFileDialog(true);
    EXPECT_TRUE(boxSaid("Save game", "Save failed!"));
    EXPECT_EQ(activeScreen(), uint32_t(screenFileDialog));
    EXPECT_EQ(folder.read("saves"), "not a folder");
    // The cut is kept for another try.
    EXPECT_EQ(game.replay.cutBegin, 3);
    EXPECT_EQ(game.replay.cutEnd, 9);
}

TEST_F(FileDialog, AFailedSaveSaysSoInTheGamesLanguage)
{
    folder.write("saves", "not a folder");
    pauseSeasonIn("Deutsch");
    clickWidget(pauseSave);
    typeName("Montag");
    pushKeyPress(SDLK_RETURN);
    confirmFileDialog(true);
    EXPECT_TRUE(boxSaid("Spiel speichern", "Speichern fehlgeschlagen!"));
    closeFileDialog();
    // A new resolution needs the autosave, which fails just the same.
    raiseResolutionFromPause();
    EXPECT_TRUE(boxSaid("Spiel speichern", "fehlgeschlagen! Anzeige und"));
}

TEST_F(FileDialog, DeleteAsksAndRemovesOnlyTheListedFile)
{
    folder.write("saves/Keep.gam", "k");
    folder.write("saves/Gone.gam", "g");
    folder.write("Gone.gam", "outside");
    startGame(640, 480);
    clickWidget(menuLoad);
    ASSERT_EQ(listed(), (std::vector<std::string>{"Gone", "Keep"}));

    clickItem(0);
    pushKeyPress(SDLK_ESCAPE);
    deleteInFileDialog();
    EXPECT_TRUE(boxSaid("Delete file", "Really delete 'Gone'?"));
    EXPECT_TRUE(folder.exists("saves/Gone.gam"));
    EXPECT_EQ(listed().size(), 2u);

    pushKeyPress(SDLK_RETURN);
    deleteInFileDialog();
    EXPECT_FALSE(folder.exists("saves/Gone.gam"));
    EXPECT_EQ(folder.read("Gone.gam"), "outside");
    EXPECT_EQ(listed(), std::vector<std::string>{"Keep"});
    EXPECT_EQ(game.dialog.widgets[fileName].label, "");
    EXPECT_EQ(activeScreen(), uint32_t(screenFileDialog));

    // Neither a name the list lacks nor one that climbs out of saves removes anything.
    for (const char* name : {"Gone", "..\\Gone", "../Gone"}) {
        typeName(name);
        pushKeyPress(SDLK_RETURN);
        deleteInFileDialog();
        EXPECT_TRUE(boxSaid("Delete file", "does not exist!")) << name;
    }
    EXPECT_EQ(folder.read("Gone.gam"), "outside");
    EXPECT_TRUE(folder.exists("saves/Keep.gam"));
}

TEST_F(FileDialog, TheReplaysCutOpensTheSaveDialogAndCancelPausesTheRace)
{
    pauseSeasonIn();
    // The replay's cut ends playback and opens the dialog with no menu up.
    closeDialog();
    game.replay.cutBegin = 3, game.replay.cutEnd = 9;
    openFileDialog(true);
    ASSERT_EQ(activeScreen(), uint32_t(screenFileDialog));
    EXPECT_EQ(game.dialog.widgets[fileConfirm].label, "Save");
    ASSERT_NE(game.parkedDialog, nullptr);
    EXPECT_EQ(game.parkedDialog->dialogId, uint32_t(screenMainMenu));
    clickWidget(fileCancel);
    EXPECT_EQ(activeScreen(), uint32_t(screenPauseMenu));
    ASSERT_NE(game.parkedDialog, nullptr);
    EXPECT_EQ(game.parkedDialog->dialogId, uint32_t(screenMainMenu));
    // Cancelled, the cut is dropped: the next save holds the whole replay.
    EXPECT_EQ(game.replay.cutBegin, -1);
    EXPECT_EQ(game.replay.cutEnd, -1);
}

TEST_F(FileDialog, ARestartFromThePauseMenuWithoutAnAutosaveKeepsTheDisplayAndTheRace)
{
    folder.write("saves", "not a folder");
    pauseSeasonIn();
    uint8_t resolution = game.options.resolution;
    raiseResolutionFromPause();
    EXPECT_TRUE(boxSaid("Save game", "Save failed!"));
    EXPECT_EQ(game.options.resolution, resolution);
    EXPECT_EQ(game.screenWidth, 640);
    EXPECT_EQ(activeScreen(), uint32_t(screenPauseMenu));
    EXPECT_NE(game.backgroundSurface, nullptr);

    clickWidget(pauseResume);
    EXPECT_TRUE(game.raceRunning);
    EXPECT_EQ(game.racePhase, WaitForKey);
}

TEST_F(FileDialog, AnAutosaveThatDoesNotLoadAfterTheRestartLeavesTheRaceAsItWasToGoOn)
{
    folder.write("saves", "not a folder");
    pauseSeasonIn();
    int carCount = game.carCount;
    Vec3 start = game.cars[0].positionVector;
    // As the option pages do: the restart under the open page, which then closes.
    restartGameSystem(true);
    closeDialog();
    pushKeyPress(SDLK_RETURN);
    reloadAutosave();
    EXPECT_TRUE(boxSaid("Load game", "Load failed!"));
    ASSERT_EQ(activeScreen(), uint32_t(screenPauseMenu));
    EXPECT_EQ(game.carCount, carCount);

    // The race goes on from where it stood, on the new pictures.
    clickWidget(pauseResume);
    ASSERT_TRUE(game.raceRunning);
    holdKey(SDLK_SPACE, true);
    for (int i = 0; i < 400; ++i) raceStep();
    holdKey(SDLK_SPACE, false);
    EXPECT_EQ(game.racePhase, Racing);
    EXPECT_NE(game.cars[0].positionVector.z, start.z);
    EXPECT_TRUE(drawRacePicture(1));
}

class SavedFileDialog : public FileDialog {
protected:
    // The paused race driven on for a few seconds, then paused again.
    void driveAndPause()
    {
        clickWidget(pauseResume);
        holdKey(SDLK_UP, true);
        for (int i = 0; i < 500; ++i) raceStep();
        holdKey(SDLK_UP, false);
        holdKey(SDLK_ESCAPE, true);
        raceStep();
        holdKey(SDLK_ESCAPE, false);
        ASSERT_EQ(activeScreen(), uint32_t(screenPauseMenu));
        ASSERT_GT(game.raceClock, 0);
    }
    struct Snapshot {
        int carCount, raceClock, phase;
        Vec3 positions[maxCars];
    };
    static Snapshot snapshot()
    {
        Snapshot s{game.carCount, game.raceClock, game.racePhase, {}};
        for (int i = 0; i < maxCars; ++i) s.positions[i] = game.cars[i].positionVector;
        return s;
    }
    static void expectSame(const Snapshot& a)
    {
        Snapshot b = snapshot();
        EXPECT_EQ(a.carCount, b.carCount);
        EXPECT_EQ(a.raceClock, b.raceClock);
        EXPECT_EQ(a.phase, b.phase);
        for (int i = 0; i < a.carCount; ++i) {
            EXPECT_EQ(a.positions[i].x, b.positions[i].x) << i;
            EXPECT_EQ(a.positions[i].z, b.positions[i].z) << i;
        }
    }
    // The terrain picture the race draws over was made for the screen there is now.
    static bool terrainPictured()
    {
        SDL_Surface* b = game.backgroundSurface;
        if (!b || b->w != game.screenWidth || SDL_LockSurface(b) != 0) return false;
        const uint8_t* p = static_cast<const uint8_t*>(b->pixels);
        std::set<uint8_t> colours(p, p + size_t(b->pitch) * size_t(b->h));
        SDL_UnlockSurface(b);
        return colours.size() > 8;
    }
    static int itemOf(const std::string& name)
    {
        std::vector<std::string> names = listed();
        for (size_t i = 0; i < names.size(); ++i)
            if (names[i] == name) return int(i);
        return -1;
    }
};

TEST_F(SavedFileDialog, ASeasonAutosavesAndASaveUnderANameComesBackToThePauseMenu)
{
    pauseSeasonIn();
    EXPECT_TRUE(folder.exists("saves/Autosave.gam"));
    driveAndPause();
    game.replay.cutBegin = 0, game.replay.cutEnd = 1;
    clickWidget(pauseSave);
    EXPECT_EQ(listed(), std::vector<std::string>{"Autosave"});
    typeName("Evening");
    clickWidget(fileConfirm);
    EXPECT_EQ(activeScreen(), uint32_t(screenPauseMenu));
    EXPECT_TRUE(folder.exists("saves/Evening.gam"));
    EXPECT_EQ(game.replay.cutBegin, -1);
    EXPECT_EQ(game.replay.cutEnd, -1);

    // A listed name (the folder is matched without regard to case) asks first: No keeps the
    // file and the dialog, Yes overwrites the file under the name it has.
    std::string first = folder.read("saves/Evening.gam");
    driveAndPause();
    clickWidget(pauseSave);
    typeName("EVENING");
    pushKeyPress(SDLK_ESCAPE);
    confirmFileDialog(true);
    EXPECT_TRUE(boxSaid("Save game", "File 'Evening' already exist."));
    EXPECT_EQ(activeScreen(), uint32_t(screenFileDialog));
    EXPECT_EQ(folder.read("saves/Evening.gam"), first);
    pushKeyPress(SDLK_RETURN);
    confirmFileDialog(true);
    EXPECT_TRUE(boxSaid("Save game", "File 'Evening' already exist."));
    EXPECT_EQ(activeScreen(), uint32_t(screenPauseMenu));
    EXPECT_NE(folder.read("saves/Evening.gam"), first);
    EXPECT_FALSE(folder.exists("saves/EVENING.gam"));
}

TEST_F(SavedFileDialog, AGameLoadedFromTheMainMenuIsPausedWhereItWasSaved)
{
    pauseSeasonIn();
    driveAndPause();
    Snapshot saved = snapshot();
    clickWidget(pauseSave);
    typeName("Lap");
    clickWidget(fileConfirm);
    ASSERT_TRUE(folder.exists("saves/Lap.gam"));

    // The season is left for the main menu.
    clickWidget(pauseEndSeason);
    for (int i = 0; i < 3 && game.raceRunning; ++i) raceStep();
    holdKey(SDLK_SPACE, true);
    for (int i = 0; i < 3 && game.raceRunning; ++i) raceStep();
    holdKey(SDLK_SPACE, false);
    ASSERT_EQ(activeScreen(), uint32_t(screenMainMenu));

    clickWidget(menuLoad);
    int item = itemOf("Lap");
    ASSERT_GE(item, 0);
    clickItem(item);
    clickWidget(fileConfirm);
    EXPECT_EQ(activeScreen(), uint32_t(screenPauseMenu));
    ASSERT_NE(game.parkedDialog, nullptr);
    EXPECT_EQ(game.parkedDialog->dialogId, uint32_t(screenMainMenu));
    EXPECT_EQ(game.raceHooks.autosave, &autosaveBeforeRace);
    expectSame(saved);

    clickWidget(pauseResume);
    EXPECT_TRUE(game.raceRunning);
    holdKey(SDLK_UP, true);
    for (int i = 0; i < 300; ++i) raceStep();
    holdKey(SDLK_UP, false);
    EXPECT_GT(game.raceClock, saved.raceClock);
}

TEST_F(SavedFileDialog, ChangingTheResolutionOrLanguageWhilePausedKeepsTheRunningGame)
{
    folder.makeFolder("sounds/Default");
    pauseSeasonIn();
    driveAndPause();
    Snapshot before = snapshot();
    clickWidget(pauseOptions);
    const Widget& slider = game.dialog.widgets[advResolution];
    click(int(slider.x + slider.w - slider.h / 2), int(slider.y + slider.h / 2));
    clickWidget(pageOk);
    EXPECT_EQ(game.screenWidth, 800);
    EXPECT_EQ(game.screenHeight, 600);
    EXPECT_TRUE(folder.exists("saves/Autosave.gam"));
    ASSERT_EQ(activeScreen(), uint32_t(screenPauseMenu));
    ASSERT_NE(game.parkedDialog, nullptr);
    EXPECT_EQ(game.parkedDialog->dialogId, uint32_t(screenMainMenu));
    expectSame(before);
    EXPECT_TRUE(terrainPictured());
    EXPECT_EQ(int(game.dialog.widgets[pauseResume].w), 16 * game.guiScale);

    clickWidget(pauseOptions);
    clickWidget(advLanguage);
    int deutsch = listIndex(advLanguageList, "Deutsch");
    ASSERT_GE(deutsch, 0);
    clickListItem(advLanguageList, deutsch);
    clickWidget(pageOk);
    ASSERT_EQ(activeScreen(), uint32_t(screenPauseMenu));
    EXPECT_EQ(game.dialog.widgets[pauseResume].label, "Weiter");
    expectSame(before);
    EXPECT_TRUE(terrainPictured());

    clickWidget(pauseResume);
    holdKey(SDLK_UP, true);
    for (int i = 0; i < 300; ++i) raceStep();
    holdKey(SDLK_UP, false);
    EXPECT_GT(game.raceClock, before.raceClock);
}

}  // namespace
