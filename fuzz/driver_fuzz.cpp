// Driver files are swapped between players: any bytes load as a profile of exactly the stored
// fields or leave the profile untouched.
#include "fuzz_folder.h"
#include "season/driver_file.h"

#include <cstdlib>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzFolder folder;
    ServedInput input("drivers\\fuzz.drv", data, size);
    DriverProfile p;
    std::memset(&p, 0xA5, sizeof p);
    DriverProfile before = p;
    int result = readDriver("fuzz", &p);
    bool whole = size == 4 + driverProfileSize && data[0] == driverProfileSize && !data[1] && !data[2] && !data[3];
    if ((result == 0) != whole) std::abort();
    if (result != 0) {
        if (std::memcmp(&p, &before, sizeof p)) std::abort();
        return 0;
    }
    // Field by field, little-endian; a car type the model list lacks becomes 0.
    const uint32_t* fields = reinterpret_cast<const uint32_t*>(&p);
    const int carTypeField = int(offsetof(DriverProfile, carType) / 4);
    for (int k = 0; k < int(driverProfileSize / 4); ++k) {
        const uint8_t* b = data + 4 + 4 * k;
        uint32_t stored = uint32_t(b[0]) | uint32_t(b[1]) << 8 | uint32_t(b[2]) << 16 | uint32_t(b[3]) << 24;
        uint32_t expected = k == carTypeField && stored >= uint32_t(game.modelCount > 0 ? game.modelCount : 0) ? 0 : stored;
        if (fields[k] != expected) std::abort();
    }
    return 0;
}
