#include "track/track_file.h"

#include "platform/file_ops.h"
#include "platform/game_path.h"

#include <climits>
#include <cstring>
#include <new>

namespace {
struct ServedBytes {
    std::string gamePath;
    const uint8_t* data = nullptr;
    size_t size = 0;
};
ServedBytes served;
}  // namespace

void serveFromMemory(const std::string& gamePath, const void* data, size_t size)
{
    static const uint8_t none = 0;
    served = {gamePath, size ? static_cast<const uint8_t*>(data) : &none, size};
}

void stopServingFromMemory()
{
    served = {};
}

bool TrackFile::openBytes(const void* data, size_t size)
{
    static const uint8_t none = 0;
    close();
    bytes_ = size ? static_cast<const uint8_t*>(data) : &none;
    bytesSize_ = size;
    bytesAt_ = 0;
    good_ = true;
    return true;
}

bool TrackFile::open(const std::string& gamePath, int mode)
{
    close();
    if (mode == trackFileRead && served.data && gamePath == served.gamePath) return openBytes(served.data, served.size);
    const char* how = (mode & trackFileRead) && (mode & trackFileWrite) ? "r+b"
                      : (mode & trackFileWrite)                        ? "wb"
                                                                       : "rb";
    replacing_ = (mode & trackFileReplace) && (mode & trackFileWrite);
    if (replacing_ && (mode & trackFileRead)) file_ = beginSafeUpdate(safe_, gamePath) ? safe_.file : nullptr;
    else if (replacing_) file_ = beginSafeWrite(safe_, gamePath) ? safe_.file : nullptr;
    else file_ = openGameFile(gamePath, how);
    truncateAt_ = -1;
    good_ = file_ != nullptr;
    lastWasRead_ = lastWasWrite_ = false;
    return file_ != nullptr;
}

bool TrackFile::close()
{
    if (bytes_) {
        bytes_ = nullptr;
        return good_;
    }
    if (!file_) return true;
    bool ok = good_;
    if (truncateAt_ >= 0) ok = truncateOpenFile(file_, truncateAt_) && ok;
    if (replacing_) {
        if (ok) ok = commitSafeWrite(safe_);
        else abandonSafeWrite(safe_);
        replacing_ = false;
    } else {
        ok = std::fclose(file_) == 0 && ok;
    }
    file_ = nullptr;
    truncateAt_ = -1;
    return ok;
}

void TrackFile::discard()
{
    good_ = false;
    close();
}

size_t TrackFile::read(void* buffer, size_t n)
{
    if (bytes_) {
        size_t left = size_t(bytesAt_) < bytesSize_ ? bytesSize_ - size_t(bytesAt_) : 0;
        if (n > left) n = left;
        if (n) std::memcpy(buffer, bytes_ + bytesAt_, n);
        bytesAt_ += long(n);
        return n;
    }
    if (!file_ || n == 0) return 0;
    // C streams need a seek between a write and a read.
    if (lastWasWrite_) std::fseek(file_, 0, SEEK_CUR);
    lastWasWrite_ = false;
    lastWasRead_ = true;
    return std::fread(buffer, 1, n, file_);
}

size_t TrackFile::write(const void* buffer, size_t n)
{
    if (bytes_ && n) good_ = false;  // read only, as a file opened for reading
    if (!file_ || n == 0) return 0;
    if (lastWasRead_) std::fseek(file_, 0, SEEK_CUR);
    lastWasRead_ = false;
    lastWasWrite_ = true;
    size_t done = std::fwrite(buffer, 1, n, file_);
    if (done != n) good_ = false;
    return done;
}

bool TrackFile::seek(long offset, int origin)
{
    lastWasRead_ = lastWasWrite_ = false;
    if (bytes_) {
        long base = origin == SEEK_SET ? 0 : origin == SEEK_CUR ? bytesAt_ : long(bytesSize_);
        // As with a file: anywhere from the start on, past the end too.
        if (offset < 0 ? base < -offset : offset > LONG_MAX - base) return false;
        bytesAt_ = base + offset;
        return true;
    }
    return file_ && std::fseek(file_, offset, origin) == 0;
}

long TrackFile::tell() const
{
    if (bytes_) return bytesAt_;
    return file_ ? std::ftell(file_) : -1;
}

long TrackFile::size() const
{
    if (bytes_) return long(bytesSize_);
    if (!file_) return -1;
    long here = std::ftell(file_);
    std::fseek(file_, 0, SEEK_END);
    long end = std::ftell(file_);
    std::fseek(file_, here, SEEK_SET);
    return end;
}

void TrackFile::truncateHere()
{
    if (file_ && !bytes_) truncateAt_ = std::ftell(file_);
}

bool TrackFile::readBytes(void* buffer, size_t n)
{
    if (n == 0) return true;
    unsigned char local[64];
    unsigned char* tmp = n <= sizeof local ? local : new (std::nothrow) unsigned char[n];
    if (!tmp) {
        // Too large to hold: it cannot be in the file either, so the read ends there.
        seek(0, SEEK_END);
        return false;
    }
    size_t got = read(tmp, n);
    bool ok = got == n;
    if (ok) std::memcpy(buffer, tmp, n);
    if (tmp != local) delete[] tmp;
    return ok;
}

bool TrackFile::readU8(uint8_t& v)
{
    return readBytes(&v, 1);
}

bool TrackFile::readI8(int8_t& v)
{
    uint8_t u;
    if (!readU8(u)) return false;
    v = static_cast<int8_t>(u);
    return true;
}

bool TrackFile::readU16(uint16_t& v)
{
    uint8_t b[2];
    if (!readBytes(b, 2)) return false;
    v = static_cast<uint16_t>(b[0] | (b[1] << 8));
    return true;
}

bool TrackFile::readI16(int16_t& v)
{
    uint16_t u;
    if (!readU16(u)) return false;
    v = static_cast<int16_t>(u);
    return true;
}

bool TrackFile::readU32(uint32_t& v)
{
    uint8_t b[4];
    if (!readBytes(b, 4)) return false;
    v = static_cast<uint32_t>(b[0]) | (static_cast<uint32_t>(b[1]) << 8) | (static_cast<uint32_t>(b[2]) << 16) |
        (static_cast<uint32_t>(b[3]) << 24);
    return true;
}

bool TrackFile::readI32(int32_t& v)
{
    uint32_t u;
    if (!readU32(u)) return false;
    v = static_cast<int32_t>(u);
    return true;
}

bool TrackFile::readF32(float& v)
{
    uint32_t u;
    if (!readU32(u)) return false;
    std::memcpy(&v, &u, 4);
    return true;
}

bool TrackFile::writeU8(uint8_t v)
{
    return write(&v, 1) == 1;
}

bool TrackFile::writeU16(uint16_t v)
{
    uint8_t b[2] = {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8)};
    return write(b, 2) == 2;
}

bool TrackFile::writeU32(uint32_t v)
{
    uint8_t b[4] = {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8), static_cast<uint8_t>(v >> 16),
                    static_cast<uint8_t>(v >> 24)};
    return write(b, 4) == 4;
}

bool TrackFile::writeF32(float v)
{
    uint32_t u;
    std::memcpy(&u, &v, 4);
    return writeU32(u);
}

bool TrackFile::writeZeros(size_t n)
{
    static const uint8_t zeros[64] = {};
    while (n > 0) {
        size_t chunk = n < sizeof zeros ? n : sizeof zeros;
        if (write(zeros, chunk) != chunk) return false;
        n -= chunk;
    }
    return true;
}
