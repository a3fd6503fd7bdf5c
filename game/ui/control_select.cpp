#include "ui/screens.h"
#include "ui/screen_actions.h"

#include <string>

int chooseControl(const std::string&) { return -1; }

std::string controlLabel(unsigned code)
{
    return code == 0 ? uiText(80) : "c" + std::to_string(code);
}
