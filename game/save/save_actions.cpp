// What the file dialog's buttons and the autosaves do with saved games.
#include "platform/game_path.h"
#include "platform/name_compare.h"
#include "platform/safe_name.h"
#include "race/race_screens.h"
#include "render/raster.h"
#include "render/scenery.h"
#include "save/saved_game.h"
#include "state/game_state.h"
#include "ui/dialog.h"
#include "ui/file_dialog.h"
#include "ui/message_box.h"
#include "ui/pause_menu.h"
#include "ui/screen_actions.h"
#include "ui/screens.h"

#include <string>

namespace {

const char autosaveName[] = "Autosave";

std::string savePath(const std::string& name) { return "saves\\" + name + ".gam"; }

std::string typedName()
{
    Widget* w = screenWidgets(screenFileDialog);
    return w ? w[fileName].label : std::string();
}

// The listed name the typed one opens: the folder is matched without regard to case, so
// "autosave" is the file "Autosave.gam". Empty when the list has none.
std::string listedName(const std::string& name)
{
    Widget* w = screenWidgets(screenFileDialog);
    if (!w || !w[fileList].list) return std::string();
    for (const ListItem* item : w[fileList].list->items)
        if (equalNoCase(item->text, name)) return item->text;
    return std::string();
}

// A box over the dialog, which is drawn again behind it when it closes.
int tell(int kind, const std::string& message, int title)
{
    return messageBox(kind, message, uiText(title), redrawShownScreen);
}

// A typed name becomes a new file only when it is one plain name inside saves.
bool refused(const std::string& name, int title)
{
    if (isSafeFileName(name, fileNameLength)) return false;
    std::string why = name.empty() ? std::string("Type a name for the file first.")
                                   : "'" + name + "' cannot be a file name. Use letters, digits and spaces.";
    tell(messageBoxOk, why, title);
    return true;
}

// A listed file is in saves already; only a backslash in its name on disk would lead the game
// path elsewhere.
bool unreachable(const std::string& name, int title)
{
    if (name.find_first_of("\\/") == std::string::npos) return false;
    tell(messageBoxOk, "'" + name + "' cannot be a file name. Use letters, digits and spaces.", title);
    return true;
}

void loadSelected(const std::string& typed)
{
    std::string name = listedName(typed);
    if (name.empty()) {
        tell(messageBoxOk, uiText(98) + typed + uiText(99), 100);
        return;
    }
    if (unreachable(name, 100)) return;
    // The loaded game opens its own screen (the pause menu, results or standings) over the
    // parked main menu, and runs with the screens' hooks as a season started there does.
    RaceHooks before = game.raceHooks;
    closeDialog();
    installMenuHooks();
    if (loadGame(name) == 0) return;
    game.raceHooks = before;
    showScreen(screenFileDialog);
    tell(messageBoxOk, uiText(101), 100);
}

void saveTyped(const std::string& typed)
{
    if (refused(typed, 97)) return;
    std::string name = typed;
    std::string listed = listedName(typed);
    if (!listed.empty()) {
        if (tell(messageBoxYesNo, uiText(95) + listed + uiText(96), 97) != 1) return;
        name = listed;  // the file keeps the name it has
    }
    if (!saveGame(name)) {
        tell(messageBoxOk, uiText(167), 97);
        return;
    }
    // A cut marked in the replay is what this save held; the next save holds the whole replay.
    game.replay.cutBegin = game.replay.cutEnd = -1;
    closeFileDialog();
}

}  // namespace

void confirmFileDialog(bool save)
{
    if (modalBoxRunning()) return;
    std::string name = typedName();
    if (save) saveTyped(name);
    else loadSelected(name);
}

void deleteInFileDialog()
{
    if (modalBoxRunning()) return;
    std::string typed = typedName();
    std::string name = listedName(typed);
    if (name.empty()) {
        tell(messageBoxOk, uiText(98) + typed + uiText(99), 103);
        return;
    }
    if (unreachable(name, 103)) return;
    if (tell(messageBoxYesNo, uiText(102) + " '" + name + "'?", 103) != 1) return;
    bool removed = removeGameFile(savePath(name));
    Widget* w = screenWidgets(screenFileDialog);
    if (removed && w) {
        w[fileName].label.clear();
        w[fileName].value = 0;
    }
    // The list shows what the folder holds, whatever the removal did.
    refreshFileList();
    redrawShownScreen();
    redrawDialog();
    if (!removed) tell(messageBoxOk, "Delete failed! The file '" + name + "' is still there.", 103);
}

bool saveAutosave() { return saveGame(autosaveName); }

void autosaveBeforeRace()
{
    // The race waits on its pre-race screen: a box would hold it, so a failure stays quiet and
    // the older Autosave (if any) stays whole.
    saveAutosave();
}

void reloadAutosave()
{
    // The menu's picture is of the screen before the restart.
    forgetPausePicture();
    if (loadGame(autosaveName) == 0) return;
    // The game was not taken from the file, but it is still all here: only its pictures went
    // with the restart.
    setProjectionScale(game.screenWidth, game.screenHeight);
    buildRaceBackground();
    drawRacePicture(0);
    if (game.raceHooks.pauseMenu) game.raceHooks.pauseMenu();
    messageBox(messageBoxOk, uiText(101), uiText(100), redrawShownScreen);
}
