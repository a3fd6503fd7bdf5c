#include "support/harness.h"

#include "platform/clock.h"
#include "state/game_state.h"
#include "render/font.h"

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <random>
#include <unistd.h>

namespace fs = std::filesystem;

TempGameFolder::TempGameFolder()
{
    previous_ = fs::current_path();
    std::random_device rd;
    for (int attempt = 0; attempt < 100; ++attempt) {
        fs::path candidate = fs::temp_directory_path() / ("tmtest-" + std::to_string(getpid()) + "-" + std::to_string(rd()));
        std::error_code ec;
        if (fs::create_directory(candidate, ec)) {
            root_ = candidate;
            break;
        }
    }
    fs::current_path(root_);
    game.exeFolder = root_.string();
}

TempGameFolder::~TempGameFolder()
{
    std::error_code ec;
    fs::current_path(previous_, ec);
    fs::remove_all(root_, ec);
}

void TempGameFolder::write(const std::string& rel, const std::string& bytes) const
{
    fs::path p = path(rel);
    fs::create_directories(p.parent_path());
    std::ofstream out(p, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

void TempGameFolder::write(const std::string& rel, const std::vector<uint8_t>& bytes) const
{
    write(rel, std::string(bytes.begin(), bytes.end()));
}

std::string TempGameFolder::read(const std::string& rel) const
{
    return readHostFile(path(rel));
}

bool TempGameFolder::exists(const std::string& rel) const
{
    std::error_code ec;
    return fs::exists(path(rel), ec);
}

void TempGameFolder::makeFolder(const std::string& rel) const
{
    fs::create_directories(path(rel));
}

fs::path buildFolder()
{
    const char* build = std::getenv("TM_BINARY_DIR");
    return build && *build ? fs::path(build) : fs::path(TM_BUILD_FOLDER);
}

void TempGameFolder::provideFont() const
{
    std::string built = readHostFile(buildFolder() / "tarmacade" / "font.bmp");
    if (!built.empty()) {
        write("font.bmp", built);
        return;
    }
    std::vector<uint8_t> ink(size_t(fontImageWidth) * fontCellHeight, 0);
    for (int g = 1; g < fontGlyphCount; ++g)
        for (int y = 4; y < 36; ++y)
            for (int x = 3; x < 17; ++x)
                if (y < 8 || y >= 32 || x < 7 || x >= 13) ink[size_t(y) * fontImageWidth + g * fontCellWidth + x] = 1;
    write("font.bmp", fontFileImage(ink));
}

std::string readHostFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::string();
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

SdlSession::SdlSession(uint32_t flags)
{
    setenv("SDL_VIDEODRIVER", "dummy", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    ok_ = SDL_Init(flags) == 0;
}

SdlSession::~SdlSession()
{
    SDL_Quit();
}

static uint32_t drivenNow = 0;

static uint32_t drivenTick()
{
    return drivenNow;
}

DrivenTicks::DrivenTicks(uint32_t start)
{
    drivenNow = start;
    setTickFunction(drivenTick);
}

DrivenTicks::~DrivenTicks()
{
    setTickFunction(nullptr);
}

void DrivenTicks::advance(uint32_t ms)
{
    drivenNow += ms;
}

void DrivenTicks::set(uint32_t now)
{
    drivenNow = now;
}

uint32_t DrivenTicks::now()
{
    return drivenNow;
}

void pushKey(SDLKey key, bool down, SDLMod mod, uint16_t unicode)
{
    SDL_Event e{};
    e.type = down ? SDL_KEYDOWN : SDL_KEYUP;
    e.key.type = e.type;
    e.key.state = down ? SDL_PRESSED : SDL_RELEASED;
    e.key.keysym.sym = key;
    e.key.keysym.mod = mod;
    e.key.keysym.unicode = unicode;
    SDL_PushEvent(&e);
}

void pushKeyPress(SDLKey key, SDLMod mod)
{
    pushKey(key, true, mod);
    pushKey(key, false, mod);
}

void pushMouseButton(uint8_t button, bool down, uint16_t x, uint16_t y)
{
    SDL_Event e{};
    e.type = down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
    e.button.type = e.type;
    e.button.button = button;
    e.button.state = down ? SDL_PRESSED : SDL_RELEASED;
    e.button.x = x;
    e.button.y = y;
    SDL_PushEvent(&e);
}

void pushMouseMotion(uint16_t x, uint16_t y, uint8_t state)
{
    SDL_Event e{};
    e.type = SDL_MOUSEMOTION;
    e.motion.type = e.type;
    e.motion.state = state;
    e.motion.x = x;
    e.motion.y = y;
    SDL_PushEvent(&e);
}

void pushQuit()
{
    SDL_Event e{};
    e.type = SDL_QUIT;
    SDL_PushEvent(&e);
}

void holdKey(SDLKey key, bool held)
{
    int count = 0;
    Uint8* keys = SDL_GetKeyState(&count);
    if (keys && key < count) keys[key] = held ? 1 : 0;
}

void releaseAllKeys()
{
    int count = 0;
    Uint8* keys = SDL_GetKeyState(&count);
    for (int i = 0; keys && i < count; ++i) keys[i] = 0;
}

void drainEvents()
{
    SDL_Event e;
    while (SDL_PollEvent(&e)) {
    }
}
