#include "race/computer_driver.h"

// Filled in by the computer driver work.
void computerDriver(int, float, int& throttle, float& steering) { throttle = 1; steering = 0; }
