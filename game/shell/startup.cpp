#include "shell/startup.h"

int runGame(int, char**)
{
    return 0;
}
