// The whole chain heard: a one-car race mixed by SDL's disk driver, which writes the device
// stream to a file as a sound card would play it, and the file read back.
#include "audio_fixture.h"

#include "audio/mixer.h"
#include "audio/sound.h"
#include "audio/sound_registry.h"
#include "audio/sound_set.h"
#include "race/car_models.h"
#include "race/quick_race.h"
#include "race/race_frame.h"
#include "files/config.h"
#include "files/options_file.h"
#include "state/game_state.h"
#include "state/random_table.h"
#include "track/track_loader.h"
#include "support/harness.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <functional>
#include <fstream>
#include <thread>
#include <vector>

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

constexpr double rate = audioRate;
constexpr double windowSeconds = 0.01;

// Strength of one frequency in [from, from + length) samples, Hann-windowed.
double toneStrength(const std::vector<int16_t>& s, size_t from, size_t length, double hz)
{
    double re = 0, im = 0;
    for (size_t i = 0; i < length && from + i < s.size(); ++i) {
        double w = 0.5 - 0.5 * std::cos(2 * M_PI * double(i) / double(length));
        double a = 2 * M_PI * hz * double(i) / rate;
        re += w * s[from + i] * std::cos(a);
        im += w * s[from + i] * std::sin(a);
    }
    return std::sqrt(re * re + im * im) / double(length);
}

// Times (s) at which a tone jumps up by more than a third of its loudest level within two
// windows: a struck beep does, an engine harmonic drifting through does not.
std::vector<double> onsets(const std::vector<int16_t>& s, double hz, double until)
{
    const size_t window = size_t(windowSeconds * rate);
    std::vector<double> level;
    for (size_t at = 0; at + window <= s.size() && double(at) / rate < until; at += window)
        level.push_back(toneStrength(s, at, window, hz));
    double top = 0;
    for (double l : level) top = std::max(top, l);
    // A beep that starts inside a window splits its rise over two.
    std::vector<double> times;
    for (size_t i = 2; i < level.size(); ++i) {
        bool rise = level[i] - std::min(level[i - 1], level[i - 2]) > top / 3;
        if (rise && (times.empty() || double(i) * windowSeconds - times.back() > 0.1))
            times.push_back(double(i - 1) * windowSeconds);
    }
    return times;
}

// The engine's firing frequency by autocorrelation between 40 and 600 Hz. Its firings differ
// in strength every other one, so twice the period correlates almost as well: the shortest
// period that comes close to the best one is taken.
double fundamental(const std::vector<int16_t>& s, double at, double seconds)
{
    size_t from = size_t(at * rate), length = size_t(seconds * rate);
    if (from + length > s.size()) return 0;
    double mean = 0;
    for (size_t i = 0; i < length; ++i) mean += s[from + i];
    mean /= double(length);
    const size_t shortest = size_t(rate / 600), longest = size_t(rate / 40);
    std::vector<double> ac(longest + 2, 0);
    for (size_t lag = shortest - 1; lag <= longest + 1; ++lag) {
        double sum = 0;
        for (size_t i = 0; i + lag < length; ++i) sum += (s[from + i] - mean) * (s[from + i + lag] - mean);
        ac[lag] = sum / double(length - lag);
    }
    double best = 0;
    for (size_t lag = shortest; lag <= longest; ++lag) best = std::max(best, ac[lag]);
    for (size_t lag = shortest; lag <= longest; ++lag)
        if (ac[lag] >= 0.85 * best && ac[lag] >= ac[lag - 1] && ac[lag] >= ac[lag + 1]) return rate / double(lag);
    return 0;
}

std::vector<int16_t> readStream(const fs::path& file)
{
    std::ifstream in(file, std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<int16_t> s(bytes.size() / 2);
    std::memcpy(s.data(), bytes.data(), s.size() * 2);
    return s;
}

// A one-car race on gp heard through the disk driver. The race runs in step with the device:
// while the audio lock is held the callback cannot mix, so each buffer is mixed with the race
// standing at that buffer's end, whatever the load on the machine. The driver sleeps a little
// after each buffer, which gives this thread the lock back before the next one.
class HeardRace {
public:
    // The game folder holds gp, the built cars and the given sound folders.
    HeardRace(const fs::path& built, const std::vector<std::string>& sounds)
    {
        folder.makeFolder("tracks");
        fs::copy_file(built / "tracks" / "gp.trk", folder.path("tracks/gp.trk"));
        fs::copy(built / "cars", folder.path("cars"));
        folder.makeFolder("sounds");
        for (const std::string& set : sounds)
            fs::copy(built / "sounds" / set, folder.path("sounds/" + set), fs::copy_options::recursive);
        stream = folder.path("stream.raw");
    }

    // Opens the device, lets a little silence through (so the first sound has a quiet stretch
    // before it), starts the race with the set and calls `step` before each race step until it
    // says stop. False when the disk driver is missing or the race does not start.
    bool run(const std::string& soundSet, const std::function<bool(int)>& step)
    {
        setenv("SDL_AUDIODRIVER", "disk", 1);
        setenv("SDL_DISKAUDIOFILE", stream.c_str(), 1);
        setenv("SDL_DISKAUDIODELAY", "8", 1);
        bool started = false;
        {
            SdlSession sdl(SDL_INIT_VIDEO | SDL_INIT_AUDIO);
            uint8_t keys[keySnapshotSize] = {};
            releaseAllKeys();
            game.keySnapshot = keys;
            game.raceHooks = RaceHooks{};
            loadConfig();
            loadCarModels();
            fillRandomTable();
            if (openAudio()) {
                auto giveUp = Clock::now() + std::chrono::seconds(60);
                while (mixedBufferCount() < 5 && Clock::now() < giveUp)
                    std::this_thread::sleep_for(std::chrono::milliseconds(1));
                SDL_LockAudio();
                loadSoundSet(soundSet);
                started = prepareRace("\\gp", {humanDriver("Player", game.models[0])}, 1) == 0;
                const double bufferSeconds = double(audioBufferSamples) / rate;
                startAt = mixedBufferCount() * bufferSeconds;
                int k = 0;
                bool going = started;
                while (going && Clock::now() < giveUp) {
                    // The next buffer covers stream time up to (mixed + 1) buffers.
                    uint32_t mixed = mixedBufferCount();
                    while (going && startAt + k / 100.0 < (mixed + 1) * bufferSeconds) {
                        going = step(k);
                        if (going) raceStep(), ++k;
                    }
                    SDL_UnlockAudio();
                    while (mixedBufferCount() == mixed && Clock::now() < giveUp)
                        std::this_thread::sleep_for(std::chrono::microseconds(100));
                    SDL_LockAudio();
                }
                SDL_UnlockAudio();
                closeAudio();
            } else {
                ADD_FAILURE() << "SDL has no disk audio driver";
            }
            clearSounds();
            freeTrackData();
            releaseAllKeys();
            game.keySnapshot = nullptr;
        }
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        heard = readStream(stream);
        return started;
    }

    TempGameFolder folder;
    fs::path stream;
    double startAt = 0;  // stream time (s) of the race's first step
    std::vector<int16_t> heard;
};

bool builtGameFolder(fs::path& built)
{
    built = buildFolder() / "tarmacade";
    return fs::is_regular_file(built / "tracks" / "gp.trk") && fs::is_directory(built / "sounds");
}

}  // namespace

TEST(DiskStream, StartBeepsAtTheirTimesAndEnginePitchFollowsSpeed)
{
    fs::path built;
    if (!builtGameFolder(built)) GTEST_SKIP() << "no built game folder";
    HeardRace race(built, {"default"});
    setDefaultOptions(game.options);

    constexpr int green = 210;
    constexpr int sampleSteps[] = {green + 50, green + 100, green + 150, green + 200};
    float speeds[4] = {};
    ASSERT_TRUE(race.run("default", [&](int step) {
        // The speed after a sampled step, read before the next one.
        for (int k = 0; k < 4; ++k)
            if (step == sampleSteps[k] + 1) {
                const Vec3& v = game.cars[0].velocity;
                speeds[k] = std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
            }
        holdKey(SDLK_SPACE, step == 0);
        holdKey(SDLK_UP, step > green);
        return step <= sampleSteps[3] + 20;
    }));
    const std::vector<int16_t>& s = race.heard;
    double countdownAt = race.startAt;
    ASSERT_GT(s.size(), size_t((countdownAt + sampleSteps[3] / 100.0 + 0.1) * rate));

    // Three lights 0.7 s apart at the lower pitch, then green at the higher one, each heard
    // within two buffers of its step (one more when this thread missed the lock on a busy machine).
    double beforeEngineLeadsAway = countdownAt + 2.5;
    std::vector<double> lights = onsets(s, 880 * 24000.0 / 22050, beforeEngineLeadsAway);
    std::vector<double> greens = onsets(s, 880 * 32000.0 / 22050, beforeEngineLeadsAway);
    ASSERT_EQ(lights.size(), 3u);
    ASSERT_EQ(greens.size(), 1u);
    for (int k = 0; k < 3; ++k) {
        EXPECT_GT(lights[size_t(k)], countdownAt + 0.7 * k - 0.04) << k;
        EXPECT_LT(lights[size_t(k)], countdownAt + 0.7 * k + 0.08) << k;
    }
    EXPECT_GT(greens[0], countdownAt + 2.1 - 0.04);
    EXPECT_LT(greens[0], countdownAt + 2.1 + 0.08);

    // Pulling away: the car gathers speed and the engine's tone climbs with it.
    double pitch[4];
    for (int k = 0; k < 4; ++k) {
        pitch[k] = fundamental(s, countdownAt + sampleSteps[k] / 100.0, 0.1);
        if (k == 0) continue;
        EXPECT_GT(speeds[k], speeds[k - 1]) << k;
        EXPECT_GT(pitch[k], pitch[k - 1]) << "at " << sampleSteps[k] << " steps, speed " << speeds[k];
    }
    EXPECT_GT(pitch[3], 1.4 * pitch[0]);
}

// A set of flat sounds, each sample one value: every value the device plays tells which sounds
// are on and how loud. Until green nothing but the menu volumes may be heard, on the pre-race
// screen as under the lamps.
TEST(DiskStream, TheRaceStartIsHeardAtTheMenusEngineAndEffectsVolumes)
{
    fs::path built;
    if (!builtGameFolder(built)) GTEST_SKIP() << "no built game folder";
    constexpr int16_t engineValue = 8000, eventValue = 3000;
    struct Row {
        int engine, effects;
    } rows[] = {{50, 0}, {0, 80}, {80, 30}, {100, 100}};
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << "engine " << row.engine << ", effects " << row.effects);
        HeardRace race(built, {});
        for (const char* f : {"skid", "damage", "ding", "yeah", "fuel"})
            race.folder.write(std::string("sounds/Flat/") + f + ".wav", wavOf(eventValue, 4410));
        race.folder.write("sounds/Flat/engine.wav", wavOf(engineValue, 4410));
        setDefaultOptions(game.options);
        game.options.engineVolume = uint8_t(row.engine);
        game.options.effectsVolume = uint8_t(row.effects);
        std::snprintf(game.options.soundSet, sizeof game.options.soundSet, "Flat");

        int eventVolumes[2] = {-1, -1};
        ASSERT_TRUE(race.run("Flat", [&](int step) {
            if (step == 0) {
                eventVolumes[0] = soundAt(game.finalLapSound) ? soundAt(game.finalLapSound)->volume : -1;
                eventVolumes[1] = soundAt(game.fuelWarningSound) ? soundAt(game.fuelWarningSound)->volume : -1;
            }
            // Half a second on the pre-race screen, then the lamps up to green.
            holdKey(SDLK_SPACE, step == 50);
            return game.racePhase != Racing;
        }));
        const int effects = volumeFromMenu(row.effects);
        EXPECT_EQ(eventVolumes[0], effects);
        EXPECT_EQ(eventVolumes[1], effects);

        const int32_t engine = engineValue * volumeFromMenu(row.engine) >> 7;
        const int32_t event = eventValue * effects >> 7;
        const int16_t quiet = saturate(engine), ringing = saturate(engine + event);
        int strange = 0, engineHeard = 0, rings = 0;
        int16_t before = 0;
        for (int16_t v : race.heard) {
            if (v != 0 && v != quiet && v != ringing) ++strange;
            engineHeard += v != 0 && v == quiet;
            rings += v == ringing && before != ringing;
            before = v;
        }
        EXPECT_EQ(strange, 0) << "heard at engine " << quiet << ", lamps " << ringing;
        EXPECT_EQ(engineHeard > 0, engine > 0);
        if (event > 0) {
            EXPECT_EQ(rings, 4);  // three lamps and green
        }
    }
}
