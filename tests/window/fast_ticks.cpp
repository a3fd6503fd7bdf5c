// Preloaded into the game by the season session test: SDL's millisecond clock runs
// TM_TICK_SPEED times as fast (default 1), so races that end by their own rules (a minute
// after the winner) take seconds of the test's time. The game itself is not changed.
#include <cstdint>
#include <cstdlib>
#include <ctime>

static double secondsNow()
{
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return double(now.tv_sec) + double(now.tv_nsec) / 1e9;
}

static double speedFromEnvironment()
{
    const char* s = std::getenv("TM_TICK_SPEED");
    double speed = s ? std::atof(s) : 1.0;
    return speed >= 1.0 && speed <= 50.0 ? speed : 1.0;
}

extern "C" uint32_t SDL_GetTicks(void)
{
    // Set once, whichever thread asks first.
    static const double start = secondsNow();
    static const double speed = speedFromEnvironment();
    return uint32_t((secondsNow() - start) * 1000.0 * speed);
}
