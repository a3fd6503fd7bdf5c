#include "track/track_checksum.h"

#include "files/folder_list.h"
#include "state/track_data.h"

#include <vector>

bool readTrackHeader(TrackFile& f, TrackHeader& h)
{
    h.version = 0x100;
    h.magic = false;
    h.bodyEnd = 0;
    uint16_t version = 0, magic = 0;
    if (!f.seek(0, SEEK_SET)) return false;
    f.readU16(version);
    f.readU16(magic);
    if (magic == trackMagic) {
        h.version = version;
        h.magic = true;
    } else {
        f.seek(0, SEEK_SET);
    }
    return f.readU32(h.bodyEnd);
}

uint64_t sumTrackBytes(TrackFile& f, uint64_t offset, uint64_t count, uint32_t s[4])
{
    // Sizes come from the file itself, so read in blocks rather than trusting them for memory.
    static constexpr size_t block = 1 << 16;
    std::vector<uint8_t> buf(block);
    uint64_t done = 0;
    while (done < count) {
        size_t want = count - done < block ? size_t(count - done) : block;
        size_t got = f.read(buf.data(), want);
        for (size_t k = 0; k < got; ++k) {
            uint64_t i = offset + done + k;
            s[i & 3] += static_cast<uint32_t>(i + 1) * (uint32_t(buf[k]) + 1);
        }
        done += got;
        if (got < want) break;
    }
    return done;
}

uint64_t trackChecksum(const std::string& name, uint32_t s[4])
{
    for (int i = 0; i < 4; ++i) s[i] = 0;
    TrackFile f;
    if (!f.open("tracks" + name + ".trk", trackFileRead)) return 0;
    TrackHeader h;
    if (!readTrackHeader(f, h) || h.version > trackVersionMax) return 0;
    uint32_t tail = h.version >= 0x102 ? 4 : 2;
    if (h.bodyEnd <= tail) return 0;
    uint64_t count = h.bodyEnd - tail;
    uint32_t sums[4] = {1, 1, 1, 1};
    f.seek(0, SEEK_SET);
    if (sumTrackBytes(f, 0, count, sums) != count) return 0;
    for (int i = 0; i < 4; ++i) s[i] = sums[i];
    return count;
}

static bool sameChecksum(const std::string& name, const uint32_t want[4])
{
    uint32_t s[4];
    if (trackChecksum(name, s) == 0) return false;
    return s[0] == want[0] && s[1] == want[1] && s[2] == want[2] && s[3] == want[3];
}

bool findTrackByChecksum(const std::string& path, const uint32_t checksum[4], std::string& found)
{
    size_t slash = path.rfind('\\');
    std::string name = slash == std::string::npos ? "\\" + path : path.substr(slash);
    if (sameChecksum(name, checksum)) {
        found = name;
        return true;
    }
    std::vector<std::string> folders;
    listFolder(folders, "tracks", "", listFolders, 0);
    for (const std::string& folder : folders) {
        std::string candidate = "\\" + folder + name;
        if (sameChecksum(candidate, checksum)) {
            found = candidate;
            return true;
        }
    }
    return false;
}
