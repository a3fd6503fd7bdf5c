#include "ui/file_dialog.h"
#include "ui/screen_actions.h"

void saveAutosave() {}
void confirmFileDialog(bool) { closeFileDialog(); }
void deleteInFileDialog() {}
