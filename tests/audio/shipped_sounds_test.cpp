#include "audio_fixture.h"

#include "audio/sound_set.h"
#include "platform/exe_folder.h"

#include <nlohmann/json.hpp>

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace {

// The sound sets of the assembled game folder; tests skip when it has not been built.
class ShippedSounds : public AudioDevice {
protected:
    void SetUp() override
    {
        AudioDevice::SetUp();
        sounds = buildFolder() / "tarmacade" / "sounds";
        std::error_code ec;
        if (!fs::exists(sounds / "default" / "engine.wav", ec)) GTEST_SKIP() << "no game folder built";
    }
    Sound* load(const fs::path& file)
    {
        std::string bytes = readHostFile(file);
        return loadWavFromMemory(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
    }
    fs::path sounds;
};

// A loop clicks where it jumps further than its own waveform ever does.
void expectSeamless(const Sound* s, const std::string& name)
{
    const int16_t* d = s->data->samples;
    int32_t n = s->data->count;
    int widest = 0;
    for (int32_t i = 1; i < n; ++i) widest = std::max(widest, std::abs(d[i] - d[i - 1]));
    EXPECT_LE(std::abs(d[0] - d[n - 1]), widest) << name;
}

}  // namespace

TEST_F(ShippedSounds, EveryFileIsPlainPcmThatLoadsAndEveryLoopIsSeamless)
{
    int files = 0;
    for (const char* set : {"default", "Chiptune"}) {
        for (auto& entry : fs::directory_iterator(sounds / set)) {
            std::string bytes = readHostFile(entry.path());
            ASSERT_GE(bytes.size(), 44u);
            EXPECT_EQ(bytes.substr(0, 4), "RIFF");
            EXPECT_EQ(bytes[20], 1) << "PCM";
            Sound* s = load(entry.path());
            ASSERT_NE(s, nullptr) << entry.path();
            EXPECT_GT(s->data->count, 1000);
            std::string name = entry.path().filename().string();
            if (name != "damage.wav" && name != "ding.wav" && name != "yeah.wav" && name != "fuel.wav") expectSeamless(s, name);
            deleteSound(s);
            ++files;
        }
    }
    EXPECT_GE(files, 10);
}

TEST_F(ShippedSounds, EveryShippedCarHasItsOwnEngine)
{
    const char* source = std::getenv("TM_SOURCE_DIR");
    ASSERT_NE(source, nullptr);
    int cars = 0;
    for (auto& entry : fs::directory_iterator(fs::path(source) / "content" / "cars")) {
        std::ifstream in(entry.path());
        auto car = nlohmann::json::parse(in, nullptr, false);
        ASSERT_FALSE(car.is_discarded()) << entry.path();
        std::string name = car.at("name").get<std::string>().substr(0, carNameLength);
        EXPECT_TRUE(fs::exists(sounds / "default" / (name + ".wav"))) << name;
        ++cars;
    }
    EXPECT_GE(cars, 1);
}

TEST_F(ShippedSounds, TheChiptuneSetReplacesSomeSoundsAndBorrowsTheRest)
{
    auto previous = fs::current_path();
    changeToFolder((sounds.parent_path()).string());
    loadSoundSet("default");
    int32_t defaultCounts[] = {soundAt(game.skidSound)->data->count, soundAt(game.impactSound)->data->count,
                               soundAt(game.lightSound)->data->count};
    loadSoundSet("Chiptune");
    ASSERT_NE(game.skidSound, 0);
    EXPECT_NE(soundAt(game.skidSound)->data->count, defaultCounts[0]);
    EXPECT_EQ(soundAt(game.impactSound)->data->count, defaultCounts[1]);  // damage.wav from the default
    EXPECT_NE(soundAt(game.lightSound)->data->count, defaultCounts[2]);
    EXPECT_NE(game.fuelWarningSound, 0);
    game.carCount = 2;
    std::snprintf(game.carModels[0].name, sizeof game.carModels[0].name, "Brute");
    std::snprintf(game.carModels[1].name, sizeof game.carModels[1].name, "Arrow");
    loadEngineSounds("Chiptune");
    // The set's one engine serves every car.
    EXPECT_EQ(soundAt(game.engineSound[0])->data, soundAt(game.engineSound[1])->data);
    loadEngineSounds("default");
    EXPECT_NE(soundAt(game.engineSound[0])->data, soundAt(game.engineSound[1])->data);
    for (auto& h : game.engineSound) h = 0;
    game.skidSound = game.impactSound = game.lightSound = game.finalLapSound = game.fuelWarningSound = 0;
    game.carCount = 0;
    fs::current_path(previous);
}
