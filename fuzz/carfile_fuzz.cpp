// A .car file may come from anyone: it loads or is skipped, and what loads stays in bounds.
#include "fuzz_folder.h"
#include "race/car_models.h"

#include <sys/stat.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzFolder folder;
    mkdir("cars", 0755);
    unlink("cars/general.car");
    writeFuzzFile("cars/fuzz.car", data, size);
    loadCarModels();
    if (!game.models || game.modelCount < 1) std::abort();
    if (uint64_t(game.modelCount) * carModelFileSize + 8 > size && game.modelCount > 1) std::abort();
    for (int i = 0; i < game.modelCount; ++i) {
        const CarModel& m = game.models[i];
        if (m.name[carNameLength] || m.vertexCount > 30 || m.collisionPointCount > 15) std::abort();
        if (m.triangleIndexCount > 120 || m.triangleIndexCount % 3 || m.collisionIndexCount > 30) std::abort();
        for (int k = 0; k < m.triangleIndexCount; ++k)
            if (m.vertexCount && m.triangles[k] >= m.vertexCount) std::abort();
        gripAt(m, size ? data[0] : 0, 1 + i % 2);
    }
    freeCarModels();
    return 0;
}
