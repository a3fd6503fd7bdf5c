#include "track_bytes.h"

void put16(std::vector<uint8_t>& b, uint16_t v)
{
    b.push_back(uint8_t(v));
    b.push_back(uint8_t(v >> 8));
}

void put32(std::vector<uint8_t>& b, uint32_t v)
{
    put16(b, uint16_t(v));
    put16(b, uint16_t(v >> 16));
}

std::vector<uint8_t> TestTrack::bytes(uint32_t* bodyEndOut) const
{
    std::vector<uint8_t> b;
    if (magic) {
        put16(b, version);
        put16(b, 0x4D54);
    }
    size_t bodyEndAt = b.size();
    put32(b, 0);
    b.push_back(size);
    b.push_back(water);
    put16(b, uint16_t(angle));
    put16(b, uint16_t(rotation));
    if (version >= 0x105) {
        b.push_back(zoom);
        b.push_back(paint);
    }
    if (version >= 0x103) put32(b, uint32_t(runs.size()));
    else put16(b, uint16_t(runs.size()));
    for (uint16_t w : runs) put16(b, w);
    put16(b, heightCount);
    b.insert(b.end(), heights.begin(), heights.end());
    bool wide = version >= 0x102;
    auto count = [&](size_t n, bool w) { w ? put16(b, uint16_t(n)) : b.push_back(uint8_t(n)); };
    count(objects.size(), wide);
    for (auto& o : objects) {
        b.push_back(uint8_t(o[0]));
        b.push_back(0);
        put16(b, o[1]);
        put16(b, o[2]);
        put16(b, o[3]);
    }
    count(boxes.size(), false);
    for (auto& o : boxes)
        for (uint16_t v : o) put16(b, v);
    count(gates.size(), false);
    for (auto& o : gates)
        for (uint16_t v : o) put16(b, v);
    count(line.size(), wide);
    for (auto& o : line)
        for (uint16_t v : o) put16(b, v);
    count(pit.size(), false);
    for (auto& o : pit)
        for (uint16_t v : o) put16(b, v);
    std::string a = author, i = info;
    a.resize(30, '\0');
    i.resize(500, '\0');
    b.insert(b.end(), a.begin(), a.end());
    b.insert(b.end(), i.begin(), i.end());
    put16(b, 0xFFFF);
    if (wide) put32(b, lapLength);
    else put16(b, uint16_t(lapLength));
    uint32_t bodyEnd = uint32_t(b.size());
    for (int k = 0; k < 4; ++k) b[bodyEndAt + k] = uint8_t(bodyEnd >> (8 * k));
    if (bodyEndOut) *bodyEndOut = bodyEnd;
    if (records) {
        for (int k = 0; k < 7; ++k) put16(b, 6000);
        b.resize(b.size() + 91 + 7 * 1344 + 7 * 16, 0);
    }
    return b;
}
