#pragma once
// The load and save dialog of saved games: the files of saves, a name field and the buttons.
#include "state/widget.h"

constexpr int fileDialogWidgetCount = 5;
// The longest name the field takes.
constexpr int fileNameLength = 32;

enum FileDialogWidget { fileCancel, fileDelete, fileConfirm, fileList, fileName };

void buildFileDialog(Widget* w);
void captionFileDialog(Widget* w);
void paintFileDialog();

// From the main menu (load), or while a race is paused (save: from the pause menu or the
// replay's cut); closing it brings back the main menu or the pause menu.
void openFileDialog(bool save);
void closeFileDialog();
// The saved games listed again.
void refreshFileList();
