#include "ui/file_dialog.h"

#include "state/game_state.h"
#include "files/folder_list.h"
#include "ui/dialog.h"
#include "ui/pause_menu.h"
#include "ui/screen_actions.h"
#include "ui/screens.h"

#include <string>
#include <vector>

namespace {

bool saving = false;
bool fromPause = false;

const ScreenCaption fileCaptions[] = {{14, 17, captionColour, 94, ""}, {14, 41, captionColour, 93, ""}};

void onCancel(Widget*)
{
    // A cut belongs to the save it was marked for: cancelled, later saves (the autosave of a
    // display change too) hold the whole replay again.
    if (saving) game.replay.cutBegin = game.replay.cutEnd = -1;
    closeFileDialog();
}
void onDelete(Widget*) { deleteInFileDialog(); }
void onConfirm(Widget*) { confirmFileDialog(saving); }

// A click on a file puts its name into the field.
void onFile(Widget* w)
{
    Widget* widgets = screenWidgets(screenFileDialog);
    if (!w->list || w->list->selected < 0 || w->list->selected >= int(w->list->items.size())) return;
    Widget& field = widgets[fileName];
    field.label = w->list->items[size_t(w->list->selected)]->text.substr(0, size_t(field.max));
    field.value = int32_t(field.label.size());
    redrawWidget(fileName, redrawValue);
}

}  // namespace

void buildFileDialog(Widget* w)
{
    makeButton(w[fileCancel], 10, 46, 20, 4, widgetCancel, onCancel);
    makeButton(w[fileDelete], 30, 46, 20, 4, 0, onDelete);
    makeButton(w[fileConfirm], 50, 46, 20, 4, widgetDefault, onConfirm);
    makeList(w[fileList], 0, 29, 16.5f, 36, 22, 34, 2, 2);
    w[fileList].style = 2;
    w[fileList].callback = onFile;
    makeTextField(w[fileName], 0, "", 29, 40.5f, 36, 3, fileNameLength);
}

void captionFileDialog(Widget* w)
{
    w[fileCancel].label = uiText(24);
    w[fileDelete].label = uiText(92);
    w[fileConfirm].label = uiText(saving ? 91 : 90);
}

void paintFileDialog()
{
    drawPanel(uiText(saving ? 97 : 100));
    drawCaptions(fileCaptions, int(std::size(fileCaptions)));
}

void refreshFileList()
{
    Widget* w = screenWidgets(screenFileDialog);
    if (!w) return;
    std::vector<std::string> names;
    listFolder(names, "saves", "gam", listFiles, 0);
    clearList(w[fileList]);
    for (const std::string& name : names) addListItem(w[fileList], name);
}

void openFileDialog(bool save)
{
    Widget* w = screenWidgets(screenFileDialog);
    if (!w) return;
    saving = save;
    // Saves are made from a paused race only; the replay's cut opens the dialog with no menu up.
    fromPause = save || (game.dialog.active && game.dialog.dialogId == screenPauseMenu);
    captionFileDialog(w);
    w[fileName].label.clear();
    w[fileName].value = 0;
    w[fileName].state = 0;
    refreshFileList();
    if (!fromPause) parkScreen();
    else if (game.dialog.active) closeDialog();
    showScreen(screenFileDialog);
}

void closeFileDialog()
{
    if (fromPause) returnToPauseMenu();
    else returnToParkedScreen();
    fromPause = false;
}
