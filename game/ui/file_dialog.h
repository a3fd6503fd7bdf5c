#pragma once
// The load and save dialog of saved games: the files of saves, a name field and the buttons.
#include "state/widget.h"

constexpr int fileDialogWidgetCount = 5;

enum FileDialogWidget { fileCancel, fileDelete, fileConfirm, fileList, fileName };

void buildFileDialog(Widget* w);
void captionFileDialog(Widget* w);
void paintFileDialog();

// From the main menu (load) or the pause menu (save); the screen it came from comes back.
void openFileDialog(bool save);
void closeFileDialog();
// The saved games listed again.
void refreshFileList();
