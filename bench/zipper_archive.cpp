// tmzipper's Make Zip on a full-HD screenshot: the bitmap decoded and converted to JPEG, and
// the whole archive with a saved game and a track. Timed in milliseconds.
#include "zipper_entry.h"
#include "zipper_picture.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

static void put32(std::vector<uint8_t>& b, size_t at, uint32_t v)
{
    for (int i = 0; i < 4; i++) b[at + i] = uint8_t(v >> (8 * i));
}

// An 8-bit screenshot as F12 writes it: terrain-like bands and noise, so JPEG has work to do.
static std::vector<uint8_t> screenshot(int width, int height)
{
    uint32_t offset = 54 + 1024;
    std::vector<uint8_t> b(offset + size_t(width) * height, 0);
    b[0] = 'B';
    b[1] = 'M';
    put32(b, 2, uint32_t(b.size()));
    put32(b, 10, offset);
    put32(b, 14, 40);
    put32(b, 18, uint32_t(width));
    put32(b, 22, uint32_t(height));
    b[26] = 1;
    b[28] = 8;
    for (int i = 0; i < 256; i++) {
        b[54 + 4 * i] = uint8_t(i * 5);
        b[55 + 4 * i] = uint8_t(255 - i);
        b[56 + 4 * i] = uint8_t(i * 3);
    }
    uint32_t seed = 12345;
    for (size_t i = offset; i < b.size(); i++) {
        seed = seed * 1103515245u + 12345u;
        size_t p = i - offset;
        b[i] = uint8_t((p % width / 40 + p / width / 30) * 16 + (seed >> 28));
    }
    return b;
}

static void JpegOfFullHdScreenshot(benchmark::State& state)
{
    std::vector<uint8_t> bmp = screenshot(1920, 1080);
    for (auto _ : state) {
        Picture p;
        std::vector<uint8_t> jpeg;
        if (!decodeBmp(bmp.data(), bmp.size(), p) || !encodeJpeg(p, 90, jpeg)) state.SkipWithError("failed");
        benchmark::DoNotOptimize(jpeg.data());
    }
}
BENCHMARK(JpegOfFullHdScreenshot)->Unit(benchmark::kMillisecond);

static void ArchiveWithFullHdScreenshot(benchmark::State& state)
{
    std::string tmpl = (std::filesystem::temp_directory_path() / "zipper_bench_XXXXXX").string();
    if (!mkdtemp(tmpl.data())) {
        state.SkipWithError("no temporary folder");
        return;
    }
    std::filesystem::create_directories(tmpl + "/zip");
    CompetitionEntry entry;
    entry.hasScreen = true;
    entry.screenData = screenshot(1920, 1080);
    entry.hasGame = true;
    entry.gameReadable = true;
    entry.gameData.assign(400000, 7);  // a saved game with a replay
    entry.hasTrack = true;
    entry.track.name = "forest.trk";
    entry.trackData.assign(300000, 3);
    for (size_t i = 0; i < entry.trackData.size(); i += 5) entry.trackData[i] = uint8_t(i);
    for (auto _ : state) {
        if (makeArchive(tmpl, entry, PackChoice(), "entry", true) != MakeResult::Made) state.SkipWithError("failed");
    }
    std::filesystem::remove_all(tmpl);
}
BENCHMARK(ArchiveWithFullHdScreenshot)->Unit(benchmark::kMillisecond);
