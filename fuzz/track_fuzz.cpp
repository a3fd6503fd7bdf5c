// Track files come from anywhere: any bytes must load or be refused without harm, in both the
// race loader and the information screen's, and every count must stay inside its array.
#include "state/game_state.h"
#include "track/ghost_lap.h"
#include "track/track_layout.h"
#include "track/track_loader.h"
#include "track/track_records.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include <unistd.h>

static const std::filesystem::path& folder()
{
    // Kept alive past the exit handlers that clean it up.
    static const std::filesystem::path& root = *[] {
        auto* p = new std::filesystem::path(std::filesystem::temp_directory_path() / ("track_fuzz-" + std::to_string(getpid())));
        std::filesystem::create_directories(*p / "tracks");
        game.viewAngle = game.viewRotation = 0x7FFF;
        game.ratioAdjust = 1;
        game.exeFolder = p->string();
        std::atexit([] {
            std::error_code ec;
            freeTrackData();
            freeGhost();
            std::filesystem::remove_all(folder(), ec);
        });
        return p;
    }();
    return root;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // The loaders move into the game folder; libFuzzer's own paths are relative to where it started.
    std::error_code ec;
    std::filesystem::path here = std::filesystem::current_path(ec);
    std::filesystem::path file = folder() / "tracks" / "f.trk";
    // Every load reads the input from memory; only the records writer below needs it on disk.
    serveFromMemory("tracks\\f.trk", data, size);
    game.carCount = 1;  // one car reads the ghost lap too; more cars read the rest alike
    bool loaded = loadTrack("\\f") == 0;
    if (loaded) {
        if (game.pitBoxCount > 6 || (game.surfaceMap == nullptr) || (game.heightMap == nullptr)) std::abort();
        for (int i = 0; i < 7; ++i)
            if (game.trackRecords.name[i][12] != 0) std::abort();
        if (game.ghostLimit != ghostNone && game.ghostLimit > 6000) std::abort();
    }

    // Writing the records back never touches what lies before bodyEnd, and nothing at all when
    // bodyEnd lies inside the body's fields or past the file.
    bool own = false;
    uint32_t bodyEnd = 0;
    {
        TrackFile t;
        TrackHeader h;
        own = t.openBytes(data, size) && readTrackHeader(t, h) && h.version <= trackVersionMax && recordsAreaIsOwn(t, h);
        bodyEnd = h.bodyEnd;
    }
    stopServingFromMemory();
    if (loaded) {
        if (FILE* f = std::fopen(file.c_str(), "wb")) {
            std::fwrite(data, 1, size, f);
            std::fclose(f);
        }
        game.trackRecords.time[0] = 100;
        saveTrackRecords();
        resetTrackRecords("f");
        std::string after;
        if (FILE* f = std::fopen(file.c_str(), "rb")) {
            char buf[4096];
            while (size_t n = std::fread(buf, 1, sizeof buf, f)) after.append(buf, n);
            std::fclose(f);
        }
        size_t kept = own ? bodyEnd : size;
        if (after.size() < kept || after.compare(0, kept, reinterpret_cast<const char*>(data), kept) != 0) std::abort();
    }

    serveFromMemory("tracks\\f.trk", data, size);
    if (loadTrackPreview("\\f") == 0 && (game.trackAuthor[30] != 0 || game.trackInfo[500] != 0)) std::abort();
    stopServingFromMemory();
    std::filesystem::current_path(here, ec);
    return 0;
}
