// A .car file may come from anyone: it loads or is skipped, and what loads stays in bounds.
#include "fuzz_folder.h"
#include "race/car_models.h"

#include <cstdlib>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    ServedInput input("cars\\fuzz.car", data, size);
    std::vector<CarModel> list;
    bool read = readCarFile("cars\\fuzz.car", list);
    if (read != !list.empty()) std::abort();
    if (uint64_t(list.size()) * carModelFileSize + 8 > size && read) std::abort();
    for (size_t i = 0; i < list.size(); ++i) {
        const CarModel& m = list[i];
        if (m.name[carNameLength] || m.vertexCount > 30 || m.collisionPointCount > 15) std::abort();
        if (m.triangleIndexCount > 120 || m.triangleIndexCount % 3 || m.collisionIndexCount > 30) std::abort();
        for (int k = 0; k < m.triangleIndexCount; ++k)
            if (m.vertexCount && m.triangles[k] >= m.vertexCount) std::abort();
        gripAt(m, size ? data[0] : 0, 1 + int(i % 2));
    }
    return 0;
}
