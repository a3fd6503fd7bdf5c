#pragma once
// A private game folder for the fuzz targets that read real files, made once per process.
#include "platform/exe_folder.h"
#include "state/game_state.h"
#include "track/track_file.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

// Enters the folder for one input and leaves it afterwards: the loaders change into the game
// folder themselves, and libFuzzer reads its corpus by paths relative to where it started.
struct FuzzFolder {
    FuzzFolder()
    {
        static std::string folder;
        if (folder.empty()) {
            char name[] = "/tmp/tmfuzz-XXXXXX";
            if (!mkdtemp(name)) std::abort();
            folder = name;
            std::atexit([] {
                std::error_code ec;
                std::filesystem::remove_all(folder, ec);
            });
        }
        std::error_code ec;
        previous = std::filesystem::current_path(ec);
        game.exeFolder = folder;
        changeToFolder(folder);
    }
    ~FuzzFolder()
    {
        std::error_code ec;
        std::filesystem::current_path(previous, ec);
    }
    std::filesystem::path previous;
};

// The input stands as one game file for the loaders while this lives: read from memory, no
// file written per input.
struct ServedInput {
    ServedInput(const std::string& gamePath, const uint8_t* data, size_t size) { serveFromMemory(gamePath, data, size); }
    ~ServedInput() { stopServingFromMemory(); }
    ServedInput(const ServedInput&) = delete;
    ServedInput& operator=(const ServedInput&) = delete;
};
