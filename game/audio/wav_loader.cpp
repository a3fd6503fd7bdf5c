#include "audio/wav_loader.h"

#include "audio/sound_registry.h"
#include "platform/game_path.h"
#include "state/game_state.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstring>
#include <vector>

// Larger than any sound the game plays by far; keeps the conversion's sizes within an int.
constexpr size_t maxWavBytes = 32u << 20;
constexpr uint32_t minWavRate = 2000;
constexpr uint32_t maxWavRate = 192000;

namespace {

struct PcmFormat {
    uint16_t channels;
    uint32_t rate;
    uint16_t bits;
};

}  // namespace

static uint16_t u16At(const uint8_t* p) { return uint16_t(p[0] | p[1] << 8); }
static uint32_t u32At(const uint8_t* p) { return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24; }

static void putU16(std::vector<uint8_t>& out, uint16_t v)
{
    out.push_back(uint8_t(v));
    out.push_back(uint8_t(v >> 8));
}

static void putU32(std::vector<uint8_t>& out, uint32_t v)
{
    putU16(out, uint16_t(v));
    putU16(out, uint16_t(v >> 16));
}

// Walks the chunks and finds the format and the samples. A file may claim sizes it does not
// hold (writers that never went back to fill them in): a chunk ends where the file does.
static bool findPcm(const uint8_t* bytes, size_t size, PcmFormat& format, const uint8_t*& pcm, size_t& pcmBytes)
{
    if (size < 12 || std::memcmp(bytes, "RIFF", 4) || std::memcmp(bytes + 8, "WAVE", 4)) return false;
    bool haveFormat = false;
    size_t at = 12;
    while (size - at >= 8) {
        const uint8_t* id = bytes + at;
        size_t length = std::min<size_t>(u32At(bytes + at + 4), size - at - 8);
        const uint8_t* body = bytes + at + 8;
        if (!std::memcmp(id, "fmt ", 4)) {
            if (length < 16 || u16At(body) != 1) return false;  // PCM only
            format = {u16At(body + 2), u32At(body + 4), u16At(body + 14)};
            haveFormat = true;
        } else if (!std::memcmp(id, "data", 4)) {
            if (!haveFormat) return false;
            pcm = body;
            pcmBytes = length;
            break;
        }
        at += 8 + length + (length & 1);
        if (at > size) return false;
    }
    if (!haveFormat || !pcm) return false;
    if (format.channels < 1 || format.channels > 2) return false;
    if (format.bits != 8 && format.bits != 16) return false;
    if (format.rate < minWavRate || format.rate > maxWavRate) return false;
    size_t frame = size_t(format.channels) * (format.bits / 8);
    pcmBytes = std::min(pcmBytes, maxWavBytes);
    pcmBytes -= pcmBytes % frame;
    return true;
}

// The same samples behind a header whose every size is true, for SDL's reader.
static std::vector<uint8_t> canonicalWav(const PcmFormat& f, const uint8_t* pcm, size_t pcmBytes)
{
    std::vector<uint8_t> out;
    out.reserve(44 + pcmBytes);
    uint16_t frame = uint16_t(f.channels * (f.bits / 8));
    out.insert(out.end(), {'R', 'I', 'F', 'F'});
    putU32(out, uint32_t(36 + pcmBytes));
    out.insert(out.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
    putU32(out, 16);
    putU16(out, 1);
    putU16(out, f.channels);
    putU32(out, f.rate);
    putU32(out, f.rate * frame);
    putU16(out, frame);
    putU16(out, f.bits);
    out.insert(out.end(), {'d', 'a', 't', 'a'});
    putU32(out, uint32_t(pcmBytes));
    out.insert(out.end(), pcm, pcm + pcmBytes);
    return out;
}

static SampleData* emptySamples()
{
    return new SampleData{nullptr, 0, 0};
}

// Converts SDL's loaded buffer to the device format into samples of our own.
static SampleData* convertToDevice(const SDL_AudioSpec& spec, const Uint8* buffer, Uint32 length)
{
    const SDL_AudioSpec& device = game.audioSpec;
    SDL_AudioCVT cvt;
    if (SDL_BuildAudioCVT(&cvt, spec.format, spec.channels, spec.freq, device.format, device.channels, device.freq) < 0)
        return nullptr;
    long long room = (long long)length * (cvt.len_mult > 0 ? cvt.len_mult : 1);
    if (room > INT_MAX / 2) return nullptr;
    std::vector<Uint8> work(size_t(room) + 4, 0);
    std::memcpy(work.data(), buffer, length);
    cvt.buf = work.data();
    cvt.len = int(length);
    if (SDL_ConvertAudio(&cvt) < 0) return nullptr;
    int count = std::min<long long>(cvt.len_cvt, room) / 2;
    if (count <= 0) return emptySamples();
    SampleData* data = new SampleData{new int16_t[count], count, 0};
    std::memcpy(data->samples, work.data(), size_t(count) * 2);
    return data;
}

Sound* loadWavFromMemory(const uint8_t* bytes, size_t size)
{
    if (!game.audioOpen || !bytes) return nullptr;
    PcmFormat format{};
    const uint8_t* pcm = nullptr;
    size_t pcmBytes = 0;
    if (!findPcm(bytes, size, format, pcm, pcmBytes)) return nullptr;
    // A sound of no length plays as silence; SDL would refuse the file.
    if (pcmBytes == 0) return newSound(emptySamples());
    std::vector<uint8_t> clean = canonicalWav(format, pcm, pcmBytes);
    SDL_RWops* rw = SDL_RWFromConstMem(clean.data(), int(clean.size()));
    if (!rw) return nullptr;
    SDL_AudioSpec spec;
    Uint8* buffer = nullptr;
    Uint32 length = 0;
    if (!SDL_LoadWAV_RW(rw, 1, &spec, &buffer, &length)) return nullptr;
    SampleData* data = convertToDevice(spec, buffer, length);
    SDL_FreeWAV(buffer);
    return newSound(data);
}

Sound* loadWav(const std::string& gamePath)
{
    if (!game.audioOpen) return nullptr;
    std::FILE* f = openGameFile(gamePath, "rb");
    if (!f) return nullptr;
    std::vector<uint8_t> bytes;
    uint8_t chunk[16384];
    size_t n;
    while ((n = std::fread(chunk, 1, sizeof chunk, f)) > 0 && bytes.size() <= maxWavBytes + 4096)
        bytes.insert(bytes.end(), chunk, chunk + n);
    std::fclose(f);
    return loadWavFromMemory(bytes.data(), bytes.size());
}
