#include "ui/screen_actions.h"

void trackManagerAction(int) {}
