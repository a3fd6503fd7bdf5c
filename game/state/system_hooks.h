#pragma once
// The program's calls that the menus below it need: a modal box runs its own loop on the main
// loop's pump, and the option pages restart the game system. The program fills the table in
// when it starts the game system.
#include <cstdint>

struct SystemHooks {
    bool (*pumpEvents)(uint32_t maxEvents);  // one pass of the main loop; false: the program ends
    int (*initGameSystem)();                 // 1 on success, -1 on failure
    void (*shutdownGameSystem)(bool partial);
};
