// Preloaded into the game by the season session test: SDL's millisecond clock runs
// TM_TICK_SPEED times as fast (default 1), so races that end by their own rules (a minute
// after the winner) take seconds of the test's time. The game itself is not changed.
#include <cstdint>
#include <cstdlib>
#include <ctime>

static timespec start;
static bool started = false;
static double speed = 1.0;

extern "C" uint32_t SDL_GetTicks(void)
{
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    if (!started) {
        const char* s = getenv("TM_TICK_SPEED");
        speed = s ? std::atof(s) : 1.0;
        if (!(speed >= 1.0 && speed <= 50.0)) speed = 1.0;
        start = now;
        started = true;
    }
    double ms = (double)(now.tv_sec - start.tv_sec) * 1000.0 + (double)(now.tv_nsec - start.tv_nsec) / 1e6;
    return (uint32_t)(ms * speed);
}
