#pragma once
// The binary stream that every game file is read and written through: little-endian fields,
// one at a time, and a cut of the file at the current position when it is closed.
#include <cstdint>
#include <cstdio>
#include <string>

#include "platform/file_ops.h"

// trackFileReplace, with write: the data goes to a temporary file that replaces the old one
// only when everything was written and the file is closed, so a crash never leaves half a file.
// With read as well, the temporary starts as a copy of the old file, for updates in place.
enum TrackFileMode { trackFileRead = 1, trackFileWrite = 2, trackFileReplace = 4 };

class TrackFile {
public:
    TrackFile() = default;
    ~TrackFile() { close(); }
    TrackFile(const TrackFile&) = delete;
    TrackFile& operator=(const TrackFile&) = delete;

    // Opens a game path. Read alone needs the file; write alone creates or truncates it;
    // read and write together open an existing file for update.
    bool open(const std::string& gamePath, int mode);
    // Opens bytes held in memory for reading, as a file of them would read (a seek past the
    // end succeeds, reads there deliver nothing). The bytes must outlive the open.
    bool openBytes(const void* data, size_t size);
    // Applies a pending truncateHere (or the replacement), then closes. False when a write,
    // the cut or the close failed; a replacement then leaves the old file as it was.
    bool close();
    bool isOpen() const { return file_ != nullptr || bytes_ != nullptr; }
    // Closes without keeping what was written: a replacement leaves the old file as it was.
    void discard();

    // Bytes the position advanced.
    size_t read(void* buffer, size_t n);
    size_t write(const void* buffer, size_t n);
    bool seek(long offset, int origin);
    long tell() const;
    long size() const;
    // The current position becomes the file's end when it is closed; the file is cut in
    // place, so its body is never rewritten.
    void truncateHere();

    // Little-endian fields. A read past the end delivers nothing: the value stays as it was
    // and false comes back.
    bool readU8(uint8_t& v);
    bool readI8(int8_t& v);
    bool readU16(uint16_t& v);
    bool readI16(int16_t& v);
    bool readU32(uint32_t& v);
    bool readI32(int32_t& v);
    bool readF32(float& v);
    bool readBytes(void* buffer, size_t n);  // all n or nothing changes
    bool skip(long n) { return seek(n, SEEK_CUR); }

    bool writeU8(uint8_t v);
    bool writeI8(int8_t v) { return writeU8(static_cast<uint8_t>(v)); }
    bool writeU16(uint16_t v);
    bool writeI16(int16_t v) { return writeU16(static_cast<uint16_t>(v)); }
    bool writeU32(uint32_t v);
    bool writeI32(int32_t v) { return writeU32(static_cast<uint32_t>(v)); }
    bool writeF32(float v);
    bool writeBytes(const void* buffer, size_t n) { return write(buffer, n) == n; }
    bool writeZeros(size_t n);

    // True while every write so far went through completely.
    bool good() const { return good_; }

private:
    std::FILE* file_ = nullptr;
    long truncateAt_ = -1;
    bool good_ = true;
    bool lastWasWrite_ = false;
    bool lastWasRead_ = false;
    bool replacing_ = false;
    SafeWrite safe_;
    const uint8_t* bytes_ = nullptr;  // open on bytes in memory
    size_t bytesSize_ = 0;
    long bytesAt_ = 0;
};

// Until withdrawn, opening this one game path for reading alone reads these bytes instead of
// the disk: the fuzz targets feed whole loaders this way, without writing a file per input.
void serveFromMemory(const std::string& gamePath, const void* data, size_t size);
void stopServingFromMemory();
