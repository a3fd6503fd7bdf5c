#pragma once
// Little-endian fields out of a buffer that was read from a file. A field that does not lie
// wholly inside the buffer reads as zero, so a short or lying file never leads a read past
// what was read.
#include <cstddef>
#include <cstdint>
#include <string>

struct ByteView {
    const uint8_t* data = nullptr;
    size_t size = 0;

    bool holds(uint64_t offset, uint64_t count) const
    {
        return offset <= size && count <= size - offset;
    }
    uint8_t u8(uint64_t offset) const { return holds(offset, 1) ? data[offset] : 0; }
    uint16_t u16(uint64_t offset) const
    {
        return holds(offset, 2) ? uint16_t(data[offset] | data[offset + 1] << 8) : 0;
    }
    uint32_t u32(uint64_t offset) const
    {
        if (!holds(offset, 4)) return 0;
        return uint32_t(data[offset]) | uint32_t(data[offset + 1]) << 8 | uint32_t(data[offset + 2]) << 16 |
               uint32_t(data[offset + 3]) << 24;
    }
    int32_t i32(uint64_t offset) const { return int32_t(u32(offset)); }
    // Text of a fixed-size field: up to its first zero, the field's end or the buffer's end.
    std::string text(uint64_t offset, size_t field) const
    {
        std::string s;
        for (size_t i = 0; i < field && holds(offset + i, 1) && data[offset + i] != 0; ++i) s += char(data[offset + i]);
        return s;
    }
};
