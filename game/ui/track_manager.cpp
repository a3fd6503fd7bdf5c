#include "ui/track_manager.h"

#include "state/game_state.h"
#include "ui/dialog.h"
#include "ui/main_menu.h"
#include "ui/message_box.h"
#include "ui/screen_actions.h"
#include "ui/screens.h"
#include "ui/track_folders.h"

#include <SDL.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

constexpr int allTracksEntry = 0, miscTracksEntry = 1, firstFolderEntry = 2;

enum {
    allTracksText = 128, miscTracksText = 129, multipleFoldersText = 130, selectedText = 133,
    createFolderTitle = 137, folderNamePrompt = 138, createFailedText = 139, deleteFolderTitle = 140,
    selectFolderText = 141, deleteFolderQuestion = 142, deleteFolderFailedText = 143, moveTitle = 144,
    moveFailedText = 145, deleteTracksTitle = 146, selectTrackText = 147, deleteTheseText = 148,
    tracksQuestionText = 149, deleteFailedText = 150, reallyDeleteText = 102,
};

// The folder list's choice by entry; the list's own flags only show it.
std::vector<uint8_t> chosen;
int anchor = -1, lastClicked = -1;
// Widgets this module hid while a list is open, one bit per index, so that only they come back.
uint32_t hiddenHere = 0;

Widget* menu() { return screenWidgets(screenMainMenu); }

bool keyHeld(SDLKey left, SDLKey right, int mod)
{
    int count = 0;
    const Uint8* keys = SDL_GetKeyState(&count);
    bool held = keys && ((left < count && keys[left]) || (right < count && keys[right]));
    return held || (SDL_GetModState() & mod) != 0;
}

bool overlaps(const Widget& a, const Widget& b)
{
    return a.x < b.x + b.w && b.x < a.x + a.w && a.y < b.y + b.h && b.y < a.y + a.h;
}

// Widgets hit first by index would take the clicks meant for the list lying over them.
void hideAround(Widget* w, int list, int keep, bool everything)
{
    for (int i = 0; i < mainMenuWidgetCount && i < 32; ++i) {
        if (i == list || i == keep || (w[i].flags & widgetHidden)) continue;
        if (!everything && !overlaps(w[i], w[list])) continue;
        showWidget(w[i], false);
        hiddenHere |= 1u << i;
    }
    showWidget(w[list], true);
}

void closeLists(Widget* w)
{
    showWidget(w[menuFolders], false);
    showWidget(w[menuMoveTargets], false);
    for (int i = 0; i < mainMenuWidgetCount && i < 32; ++i)
        if (hiddenHere & (1u << i)) showWidget(w[i], true);
    hiddenHere = 0;
}

std::vector<ListItem*>& folderItems(Widget* w) { return w[menuFolders].list->items; }

std::string selectedCountText() { return std::to_string(selectedTracks().size()) + " " + uiText(selectedText); }

int chosenCount() { return int(std::count(chosen.begin(), chosen.end(), uint8_t(1))); }

void labelFolderButton(Widget* w)
{
    std::vector<ListItem*>& items = folderItems(w);
    std::string label;
    if (chosenCount() > 1) label = uiText(multipleFoldersText);
    for (size_t i = 0; i < chosen.size() && i < items.size() && chosenCount() == 1; ++i)
        if (chosen[i]) label = items[i]->text;
    w[menuFolder].label = label;
}

void addTracks(Widget& list, const std::string& folder)
{
    for (const ListedTrack& t : listFolderTracks(folder)) {
        ListItem* item = addListItem(list, t.name);
        item->fileName = t.path;
        item->selected = isTrackSelected(t.path);
    }
}

// The track list of the chosen folders, its scroll position and the Select count kept in range.
void rebuildTrackList(Widget* w)
{
    std::vector<ListItem*>& folders = folderItems(w);
    for (size_t i = 0; i < folders.size() && i < chosen.size(); ++i) folders[i]->selected = chosen[i];
    Widget& tracks = w[menuTracks];
    int first = tracks.value;
    clearList(tracks);
    bool all = !chosen.empty() && chosen[allTracksEntry];
    if (all || (chosen.size() > miscTracksEntry && chosen[miscTracksEntry])) addTracks(tracks, "");
    for (size_t i = firstFolderEntry; i < folders.size() && i < chosen.size(); ++i)
        if (all || chosen[i]) addTracks(tracks, folders[i]->text);
    tracks.value = first;
    updateListRange(tracks);

    Widget& count = w[menuSelectCount];
    count.min = 0;
    count.max = int(tracks.list->items.size());
    count.value = std::clamp(count.value, count.min, count.max);
    labelFolderButton(w);
    captionSelectedCount();
}

// Both folder lists from disk; the entries named in keep are chosen, "[all tracks]" when none is.
void rebuildFolderLists(Widget* w, const std::vector<std::string>& keep, bool all, bool misc)
{
    std::vector<std::string> names = trackFolderNames();
    clearList(w[menuFolders]);
    clearList(w[menuMoveTargets]);
    addListItem(w[menuFolders], uiText(allTracksText));
    addListItem(w[menuFolders], uiText(miscTracksText));
    chosen.assign(names.size() + firstFolderEntry, 0);
    chosen[allTracksEntry] = all;
    chosen[miscTracksEntry] = misc;
    for (size_t i = 0; i < names.size(); ++i) {
        addListItem(w[menuFolders], names[i])->folder = 1;
        addListItem(w[menuMoveTargets], names[i])->folder = 1;
        chosen[i + firstFolderEntry] = std::find(keep.begin(), keep.end(), names[i]) != keep.end();
    }
    if (chosenCount() == 0) chosen[allTracksEntry] = 1;
    anchor = lastClicked = -1;
    closeLists(w);
    rebuildTrackList(w);
}

void refreshKeepingChoice(Widget* w)
{
    std::vector<std::string> keep;
    std::vector<ListItem*>& items = folderItems(w);
    for (size_t i = firstFolderEntry; i < items.size() && i < chosen.size(); ++i)
        if (chosen[i]) keep.push_back(items[i]->text);
    // Freshly built lists start from "[all tracks]", whatever an earlier menu had chosen.
    bool fresh = items.size() <= miscTracksEntry || chosen.size() != items.size();
    bool all = fresh || chosen[allTracksEntry];
    bool misc = !fresh && chosen[miscTracksEntry];
    rebuildFolderLists(w, keep, all, misc);
}

void toggleFolderList(Widget* w)
{
    bool open = w[menuFolders].flags & widgetHidden;
    closeLists(w);
    if (open) hideAround(w, menuFolders, menuFolder, false);
    redrawMainMenu();
}

void onFolderClicked(Widget* w)
{
    ListData& l = *w[menuFolders].list;
    int clicked = l.selected;
    if (clicked >= 0 && clicked < int(chosen.size())) {
        bool ctrl = keyHeld(SDLK_LCTRL, SDLK_RCTRL, KMOD_CTRL);
        bool shift = keyHeld(SDLK_LSHIFT, SDLK_RSHIFT, KMOD_SHIFT);
        chooseFolderEntry(chosen, clicked, ctrl, shift, anchor, lastClicked);
        lastClicked = clicked;
    }
    closeLists(w);
    rebuildTrackList(w);
    redrawMainMenu();
}

void createFolder(Widget* w)
{
    std::string name;
    if (!textPrompt(uiText(folderNamePrompt), uiText(createFolderTitle), name, redrawShownScreen) || name.empty())
        return;
    if (createTrackFolder(name)) {
        rebuildFolderLists(w, {name}, false, false);
    } else {
        refreshKeepingChoice(w);
        messageBox(messageBoxOk, uiText(createFailedText), uiText(createFolderTitle), redrawShownScreen);
    }
    redrawMainMenu();
}

void deleteFolder(Widget* w)
{
    int single = -1;
    for (size_t i = 0; i < chosen.size(); ++i)
        if (chosen[i]) single = single < 0 ? int(i) : -2;
    if (single < firstFolderEntry || single >= int(folderItems(w).size())) {
        messageBox(messageBoxOk, uiText(selectFolderText), uiText(deleteFolderTitle), redrawShownScreen);
        return;
    }
    std::string name = folderItems(w)[size_t(single)]->text;
    if (messageBox(messageBoxYesNo, uiText(deleteFolderQuestion), uiText(deleteFolderTitle), redrawShownScreen) != 1)
        return;
    clearTrackSelection();
    bool ok = deleteTrackFolder(name);
    if (ok) rebuildFolderLists(w, {}, true, false);
    else refreshKeepingChoice(w);
    redrawMainMenu();
    if (!ok) messageBox(messageBoxOk, uiText(deleteFolderFailedText), uiText(deleteFolderTitle), redrawShownScreen);
}

void moveTo(Widget* w)
{
    if (!(w[menuMoveTargets].flags & widgetHidden)) {
        closeLists(w);
        redrawMainMenu();
        return;
    }
    if (selectedTracks().empty()) {
        messageBox(messageBoxOk, uiText(selectTrackText), uiText(moveTitle), redrawShownScreen);
        return;
    }
    closeLists(w);
    hideAround(w, menuMoveTargets, menuMoveTo, true);
    redrawMainMenu();
}

void onMoveTarget(Widget* w)
{
    ListData& l = *w[menuMoveTargets].list;
    int clicked = l.selected;
    for (ListItem* item : l.items) item->selected = 0;
    if (clicked < 0 || clicked >= int(l.items.size())) return;
    std::string target = l.items[size_t(clicked)]->text;
    closeLists(w);
    int failures = moveTracks(selectedTracks(), target);
    clearTrackSelection();
    refreshKeepingChoice(w);
    redrawMainMenu();
    if (failures > 0) messageBox(messageBoxOk, uiText(moveFailedText), uiText(moveTitle), redrawShownScreen);
}

void deleteSelectedTracks(Widget* w)
{
    const std::vector<std::string>& tracks = selectedTracks();
    if (tracks.empty()) {
        messageBox(messageBoxOk, uiText(selectTrackText), uiText(deleteTracksTitle), redrawShownScreen);
        return;
    }
    std::string question = tracks.size() == 1 ? uiText(reallyDeleteText) + " '" + tracks[0].substr(1) + "'?"
                                              : uiText(deleteTheseText) + " " + std::to_string(tracks.size()) + " " +
                                                    uiText(tracksQuestionText);
    if (messageBox(messageBoxYesNo, question, uiText(deleteTracksTitle), redrawShownScreen) != 1) return;
    int failures = deleteTracks(tracks);
    clearTrackSelection();
    refreshKeepingChoice(w);
    redrawMainMenu();
    if (failures > 0) messageBox(messageBoxOk, uiText(deleteFailedText), uiText(deleteTracksTitle), redrawShownScreen);
}

}  // namespace

void refreshTrackManager()
{
    Widget* w = menu();
    if (!w || !w[menuFolders].list || !w[menuMoveTargets].list || !w[menuTracks].list) return;
    refreshKeepingChoice(w);
}

void captionTrackManager(Widget* w)
{
    if (!w || !w[menuFolders].list) return;
    std::vector<ListItem*>& items = folderItems(w);
    if (items.size() > miscTracksEntry) {
        items[allTracksEntry]->text = uiText(allTracksText);
        items[miscTracksEntry]->text = uiText(miscTracksText);
        labelFolderButton(w);
    } else {
        w[menuFolder].label = uiText(allTracksText);
    }
    w[menuSelectedCount].label = selectedCountText();
}

void captionSelectedCount()
{
    Widget* w = menu();
    if (!w) return;
    w[menuSelectedCount].label = selectedCountText();
    if (game.dialog.active && game.dialog.widgets == w) redrawWidget(menuSelectedCount, redrawValue);
}

void trackManagerAction(int widget)
{
    Widget* w = menu();
    if (!w || !w[menuFolders].list || !w[menuMoveTargets].list || !w[menuTracks].list) return;
    switch (widget) {
    case menuFolder: toggleFolderList(w); break;
    case menuFolders: onFolderClicked(w); break;
    case menuCreateFolder: createFolder(w); break;
    case menuDeleteFolder: deleteFolder(w); break;
    case menuMoveTo: moveTo(w); break;
    case menuMoveTargets: onMoveTarget(w); break;
    case menuDeleteTracks: deleteSelectedTracks(w); break;
    default: break;
    }
}
