#include "track_image.h"

#include "state/game_state.h"
#include "track/track_file.h"
#include "track/track_records.h"

bool trackVersionWritable(uint16_t v)
{
    return v == 0x100 || v == 0x101 || v == 0x102 || v == 0x110;
}

static void point(TrackFile& f, ImagePoint p)
{
    f.writeU16(p.x);
    f.writeU16(p.z);
}

static void text(TrackFile& f, const std::string& s, size_t width)
{
    std::string t = s.substr(0, width - 1);
    f.writeBytes(t.data(), t.size());
    f.writeZeros(width - t.size());
}

bool writeTrackImage(const std::string& hostPath, const TrackImage& m, uint16_t v, std::string& why)
{
    if (!trackVersionWritable(v)) return why = "no such layout", false;
    bool wideCounts = v >= 0x102, wideRuns = v >= 0x103;
    if (!wideRuns && m.runWords.size() > 0xFFFF) return why = "too many run words for this layout", false;
    if (!wideCounts && (m.objects.size() > 255 || m.drivingLine.size() > 255))
        return why = "more than 255 objects or line points for this layout", false;
    if (m.objects.size() > 0xFFFF || m.drivingLine.size() > 0xFFFF || m.pitBoxes.size() > 255 ||
        m.checkpoints.size() > 255 || m.pitLane.size() > 255)
        return why = "a count does not fit the file", false;

    TrackFile f;
    if (!f.open(hostPath, trackFileWrite | trackFileReplace)) return why = "cannot write " + hostPath, false;
    if (v > 0x100) {
        f.writeU16(v);
        f.writeU16(trackMagic);
    }
    long bodyEndAt = f.tell();
    f.writeU32(0);
    f.writeU8(m.size);
    f.writeU8(m.waterByte);
    f.writeI16(m.viewAngle);
    f.writeI16(m.viewRotation);
    if (v >= 0x105) {
        f.writeU8(m.zoom);
        f.writeU8(m.paintStartLine);
    }
    if (wideRuns) f.writeU32(static_cast<uint32_t>(m.runWords.size()));
    else f.writeU16(static_cast<uint16_t>(m.runWords.size()));
    for (uint16_t w : m.runWords) f.writeU16(w);
    f.writeU16(static_cast<uint16_t>(m.heights.size()));
    f.writeBytes(m.heights.data(), m.heights.size());

    auto count = [&](size_t n, bool wide) { wide ? f.writeU16(static_cast<uint16_t>(n)) : f.writeU8(static_cast<uint8_t>(n)); };
    count(m.objects.size(), wideCounts);
    for (const ImageObject& o : m.objects) {
        f.writeU8(o.kind);
        f.writeU8(0);
        f.writeU16(o.x);
        f.writeU16(o.z);
        f.writeU16(o.heading);
    }
    f.writeU8(static_cast<uint8_t>(m.pitBoxes.size()));
    for (const ImageBox& b : m.pitBoxes) {
        f.writeU16(b.x);
        f.writeU16(b.z);
        f.writeU16(b.heading);
    }
    f.writeU8(static_cast<uint8_t>(m.checkpoints.size()));
    for (const ImageGate& g : m.checkpoints) {
        point(f, g.a);
        point(f, g.b);
    }
    count(m.drivingLine.size(), wideCounts);
    for (ImagePoint p : m.drivingLine) point(f, p);
    f.writeU8(static_cast<uint8_t>(m.pitLane.size()));
    for (ImagePoint p : m.pitLane) point(f, p);

    // The info block and the lap length close the body; older layouts keep a u16 lap length.
    text(f, m.author, 30);
    text(f, m.info, 500);
    f.writeU16(0xFFFF);
    if (v >= 0x102) f.writeU32(m.lapLength);
    else f.writeU16(static_cast<uint16_t>(m.lapLength > 0xFFFF ? 0xFFFF : m.lapLength));
    long bodyEnd = f.tell();

    TrackRecords empty;
    clearTrackRecords(empty);
    writeTrackRecords(f, empty);
    long end = f.tell();
    f.seek(bodyEndAt, SEEK_SET);
    f.writeU32(static_cast<uint32_t>(bodyEnd));
    f.seek(end, SEEK_SET);
    if (!f.close()) return why = "cannot write " + hostPath, false;
    return true;
}
