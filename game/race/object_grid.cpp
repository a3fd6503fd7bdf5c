#include "race/object_grid.h"

#include "race/object_shapes.h"
#include "state/game_state.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

constexpr int gridSide = 32;
constexpr float carMargin = 8;  // a car's bounding radius and how far its contacts push it

struct ObjectGrid {
    const TrackObject* objects = nullptr;  // what it was built from
    uint16_t objectCount = 0;
    uint32_t generation = 0;
    float trackSize = 0;
    float cell = 1;
    std::vector<uint16_t> cells[gridSide * gridSide];
};

ObjectGrid grid;

int cellIndex(float v)
{
    float c = std::floor(v / grid.cell);
    if (!(c >= 0)) return 0;  // NaN too
    return c >= gridSide - 1 ? gridSide - 1 : int(c);
}

}  // namespace

void buildObjectGrid()
{
    for (auto& c : grid.cells) c.clear();
    grid.objects = game.trackObjects;
    grid.objectCount = game.trackObjects ? game.objectCount : 0;
    grid.generation = game.trackGeneration;
    grid.trackSize = game.trackSize;
    grid.cell = game.trackSize > 0 ? game.trackSize / gridSide : 1;
    for (int i = maxCars; i < grid.objectCount; ++i) {
        const TrackObject& o = game.trackObjects[i];
        float r = objectReach(o.kind) + carMargin;
        if (!std::isfinite(o.position.x) || !std::isfinite(o.position.z) || !std::isfinite(r)) continue;
        int x0 = cellIndex(o.position.x - r), x1 = cellIndex(o.position.x + r);
        int z0 = cellIndex(o.position.z - r), z1 = cellIndex(o.position.z + r);
        for (int z = z0; z <= z1; ++z)
            for (int x = x0; x <= x1; ++x) grid.cells[z * gridSide + x].push_back(uint16_t(i));
    }
}

bool objectsNear(float x, float z, float radius, const uint16_t*& list, int& count)
{
    if (grid.objects != game.trackObjects || grid.objectCount != game.objectCount ||
        grid.generation != game.trackGeneration || grid.trackSize != game.trackSize || !(radius <= carMargin - 2))
        return false;
    const std::vector<uint16_t>& c = grid.cells[cellIndex(z) * gridSide + cellIndex(x)];
    list = c.data();
    count = int(c.size());
    return true;
}
