#pragma once
// The shared test harness: temporary game folders, SDL on its dummy drivers, pushed events,
// stepping the main loop and a driven tick function.
#include <SDL.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

// A fresh game folder under the system's temporary folder. It becomes the working folder and
// the game folder of GameState while the object lives; the old working folder comes back after.
class TempGameFolder {
public:
    TempGameFolder();
    ~TempGameFolder();
    TempGameFolder(const TempGameFolder&) = delete;
    TempGameFolder& operator=(const TempGameFolder&) = delete;

    const std::filesystem::path& root() const { return root_; }
    // Host path of a path relative to the folder (forward slashes).
    std::filesystem::path path(const std::string& rel) const { return root_ / rel; }
    // Writes a file, creating its folders.
    void write(const std::string& rel, const std::string& bytes) const;
    void write(const std::string& rel, const std::vector<uint8_t>& bytes) const;
    std::string read(const std::string& rel) const;
    bool exists(const std::string& rel) const;
    void makeFolder(const std::string& rel) const;
    // A font.bmp the game system can start with: the built one when the game folder has been
    // assembled, else a plain one of framed cells.
    void provideFont() const;

private:
    std::filesystem::path root_;
    std::filesystem::path previous_;
};

// SDL initialised on the dummy video and audio drivers for the lifetime of the object.
class SdlSession {
public:
    explicit SdlSession(uint32_t flags = SDL_INIT_VIDEO);
    ~SdlSession();
    SdlSession(const SdlSession&) = delete;
    SdlSession& operator=(const SdlSession&) = delete;
    bool ok() const { return ok_; }

private:
    bool ok_ = false;
};

// Replaces the game's tick function by a clock the test moves; the real one returns after.
class DrivenTicks {
public:
    explicit DrivenTicks(uint32_t start = 1000);
    ~DrivenTicks();
    void advance(uint32_t ms);
    void set(uint32_t now);
    static uint32_t now();
};

// Events into SDL's queue, as a player's keyboard and mouse would send them.
void pushKey(SDLKey key, bool down, SDLMod mod = KMOD_NONE, uint16_t unicode = 0);
void pushKeyPress(SDLKey key, SDLMod mod = KMOD_NONE);  // down, then up
void pushMouseButton(uint8_t button, bool down, uint16_t x, uint16_t y);
void pushMouseMotion(uint16_t x, uint16_t y, uint8_t state = 0);
void pushQuit();
// Holds or releases a key in the keyboard state that SDL_GetKeyState reports.
void holdKey(SDLKey key, bool held);
void releaseAllKeys();
// Drops whatever is still queued.
void drainEvents();

// The build folder: TM_BINARY_DIR, else the one the tests were built in.
std::filesystem::path buildFolder();

// Reads a whole host file; empty when it cannot be read.
std::string readHostFile(const std::filesystem::path& path);
