#include "render/screenshot.h"

#include "platform/exe_folder.h"
#include "platform/file_ops.h"
#include "platform/folder_entries.h"
#include "platform/game_path.h"
#include "platform/name_compare.h"
#include "state/game_state.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <unordered_set>
#include <vector>

constexpr unsigned maxShotWidth = 2560, maxShotHeight = 1920;
constexpr double lobes = 3.0;

namespace {

double lanczos(double x)
{
    x = std::fabs(x);
    if (x < 1e-8) return 1.0;
    if (x >= lobes) return 0.0;
    double px = M_PI * x;
    return lobes * std::sin(px) * std::sin(px / lobes) / (px * px);
}

// For each output sample along one axis: the first source sample and the normalised weights.
struct Taps {
    std::vector<int> first;
    std::vector<int> count;
    std::vector<float> weights;
    int stride = 0;
};

Taps taps(int from, int to)
{
    Taps t;
    double scale = double(from) / to;
    double widen = std::max(scale, 1.0);  // wider kernel when shrinking, so nothing aliases
    double support = lobes * widen;
    t.stride = int(std::ceil(support * 2)) + 2;
    t.first.resize(to);
    t.count.resize(to);
    t.weights.assign(size_t(to) * t.stride, 0.0f);
    for (int o = 0; o < to; ++o) {
        double centre = (o + 0.5) * scale - 0.5;
        int lo = std::max(int(std::ceil(centre - support)), 0);
        int hi = std::min(int(std::floor(centre + support)), from - 1);
        if (hi - lo + 1 > t.stride) hi = lo + t.stride - 1;
        double sum = 0;
        for (int s = lo; s <= hi; ++s) sum += lanczos((s - centre) / widen);
        t.first[o] = lo;
        t.count[o] = hi - lo + 1;
        for (int s = lo; s <= hi; ++s) {
            double w = sum != 0 ? lanczos((s - centre) / widen) / sum : (s == lo ? 1.0 : 0.0);
            t.weights[size_t(o) * t.stride + (s - lo)] = float(w);
        }
    }
    return t;
}

uint8_t clampByte(float v)
{
    return uint8_t(std::lround(std::clamp(v, 0.0f, 255.0f)));
}

}  // namespace

SDL_Surface* scaledTrueColourCopy(SDL_Surface* source, int width, int height)
{
    if (!source || width <= 0 || height <= 0) return nullptr;
    SDL_Surface* full = SDL_CreateRGBSurface(SDL_SWSURFACE, source->w, source->h, 32, 0xFF0000, 0xFF00, 0xFF, 0);
    if (!full) return nullptr;
    SDL_Rect all{0, 0, Uint16(source->w), Uint16(source->h)};
    SDL_BlitSurface(source, &all, full, nullptr);
    if (full->w == width && full->h == height) return full;

    int sw = full->w, sh = full->h;
    SDL_Surface* out = SDL_CreateRGBSurface(SDL_SWSURFACE, width, height, 32, 0xFF0000, 0xFF00, 0xFF, 0);
    if (!out) {
        SDL_FreeSurface(full);
        return nullptr;
    }
    Taps across = taps(sw, width), down = taps(sh, height);
    // Across first into a float image of the new width, then down.
    std::vector<float> mid(size_t(width) * sh * 3);
    SDL_LockSurface(full);
    for (int y = 0; y < sh; ++y) {
        const Uint32* row = reinterpret_cast<const Uint32*>(static_cast<uint8_t*>(full->pixels) + size_t(y) * full->pitch);
        for (int x = 0; x < width; ++x) {
            float r = 0, g = 0, b = 0;
            const float* w = &across.weights[size_t(x) * across.stride];
            for (int k = 0; k < across.count[x]; ++k) {
                Uint32 p = row[across.first[x] + k];
                r += w[k] * float((p >> 16) & 255), g += w[k] * float((p >> 8) & 255), b += w[k] * float(p & 255);
            }
            float* m = &mid[(size_t(y) * width + x) * 3];
            m[0] = r, m[1] = g, m[2] = b;
        }
    }
    SDL_UnlockSurface(full);
    SDL_FreeSurface(full);
    SDL_LockSurface(out);
    for (int y = 0; y < height; ++y) {
        Uint32* row = reinterpret_cast<Uint32*>(static_cast<uint8_t*>(out->pixels) + size_t(y) * out->pitch);
        const float* w = &down.weights[size_t(y) * down.stride];
        for (int x = 0; x < width; ++x) {
            float r = 0, g = 0, b = 0;
            for (int k = 0; k < down.count[y]; ++k) {
                const float* m = &mid[(size_t(down.first[y] + k) * width + x) * 3];
                r += w[k] * m[0], g += w[k] * m[1], b += w[k] * m[2];
            }
            row[x] = Uint32(clampByte(r)) << 16 | Uint32(clampByte(g)) << 8 | clampByte(b);
        }
    }
    SDL_UnlockSurface(out);
    return out;
}

// The host path of the first free number from the counter on. One read of the folder answers
// for every number, in any letter case, so thousands of shots cost no more than a listing.
static std::string nextShotPath()
{
    std::unordered_set<std::string> present;
    for (const FolderEntry& e : listGameFolder("screens\\shot*.bmp")) present.insert(noCaseKey(e.name));
    for (;;) {
        char name[32];
        std::snprintf(name, sizeof name, "shot%04d.bmp", game.screenshotCounter);
        ++game.screenshotCounter;
        if (!present.count(noCaseKey(name))) return hostPath("screens") + "/" + name;
    }
}

// Through a temporary file, so a game killed while saving leaves no half picture for the
// zipper to pack as the newest screenshot.
static int save(SDL_Surface* surface, const std::string& path)
{
    SafeWrite w;
    if (!beginSafeWriteHost(w, path)) return -1;
    SDL_RWops* out = SDL_RWFromFP(w.file, 0);
    if (!out) {
        abandonSafeWrite(w);
        return -1;
    }
    int result = SDL_SaveBMP_RW(surface, out, 1);
    if (result != 0) {
        abandonSafeWrite(w);
        return -1;
    }
    return commitSafeWrite(w) ? 0 : -1;
}

int takeScreenshot(int width, int height)
{
    changeToFolder(game.exeFolder);
    makeGameFolder("screens");
    std::string path = nextShotPath();
    SDL_Surface* video = SDL_GetVideoSurface();
    if (!video) return -1;
    // tm.ini sizes count as unsigned: a negative one is a very large one.
    unsigned w = std::min(unsigned(width), maxShotWidth), h = std::min(unsigned(height), maxShotHeight);
    if (w == 0 || h == 0) return save(video, path);
    SDL_Surface* copy = scaledTrueColourCopy(video, int(w), int(h));
    if (!copy) return -1;
    int result = save(copy, path);
    SDL_FreeSurface(copy);
    return result;
}
