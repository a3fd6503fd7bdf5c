#include "race/car_models.h"

#include "platform/exe_folder.h"
#include "platform/game_path.h"
#include "track/car_model_file.h"
#include "state/game_state.h"
#include "files/folder_list.h"

#include <cmath>
#include <cstring>

const SurfaceGrips& surfaceGrips(int car)
{
    struct Kept {
        float table[14];
        int carCount = -1;
        SurfaceGrips grips;
    };
    static Kept kept[maxCars];
    Kept& k = kept[car];
    const CarModel& m = game.carModels[car];
    if (k.carCount != game.carCount || std::memcmp(k.table, m.gripTable, sizeof k.table) != 0) {
        std::memcpy(k.table, m.gripTable, sizeof k.table);
        k.carCount = game.carCount;
        for (int s = 0; s < 256; ++s) k.grips.grip[s] = gripAt(m, s, game.carCount);
        ++k.grips.version;
    }
    return k.grips;
}

float surfaceBandValue(const float t[14], int s, int carCount)
{
    if (carCount == 1) {
        if (s <= 0) return t[0];
        if (s <= 7) return t[2];
        if (s <= 15) return t[4];
        if (s <= 19) return t[6];
        if (s <= 23) return t[8];
        if (s <= 27) return t[10];
        if (s <= 39) return t[12];
        return t[6];
    }
    auto lerp = [](float low, float high, int step, int steps) { return low + (high - low) * step / steps; };
    if (s <= 0) return t[0];
    if (s <= 7) return lerp(t[1], t[2], s - 1, 6);
    if (s <= 15) return lerp(t[3], t[4], s - 8, 7);
    if (s <= 19) return lerp(t[5], t[6], s - 16, 3);
    if (s <= 23) return lerp(t[7], t[8], s - 20, 3);
    if (s <= 27) return lerp(t[9], t[10], s - 24, 3);
    if (s <= 39) return lerp(t[11], t[12], (s - 28) % 4, 3);
    return t[13];
}

void computeVertexNormals(CarModel& m)
{
    Vec3 sum[30];
    eachModelFace(m, [&](int, int ia, int ib, int ic) {
        Vec3 a = m.vertices[ia], b = m.vertices[ib], c = m.vertices[ic];
        Vec3 n = cross(c - a, b - a);
        sum[ia] = sum[ia] + n;
        sum[ib] = sum[ib] + n;
        sum[ic] = sum[ic] + n;
    });
    for (int v = 0; v < modelVertexCount(m); ++v) {
        float length = std::sqrt(dot(sum[v], sum[v]));
        m.normals[v] = length < 0.0001f ? Vec3{0, 1, 0} : sum[v] * (1.0f / length);
    }
}

CarModel generalCarModel()
{
    CarModel m{};
    std::strcpy(m.name, "General");
    m.ellipsoid = {1.5f, 0.6f, 1.8f};
    for (float& r : m.wheelRadius) r = 0.5f;
    const float grip[14] = {0.9f, 2.05f, 2.25f, 1.2f, 1.6f, 1.6f, 1.8f, 1.6f, 1.8f, 0.9f, 1.0f, 1.85f, 2.05f, 0.5f};
    const float contact[14] = {0.1f, 0.1f, 0.1f, 0.3f, 0.3f, 0.2f, 0.2f, 1.4f, 0.7f, 1.4f, 0.2f, 0.1f, 0.1f, 0.3f};
    std::memcpy(m.gripTable, grip, sizeof grip);
    std::memcpy(m.contactTable, contact, sizeof contact);
    m.airDrag = 4.0f;
    m.downforce = 60.0f;
    m.enginePower = 700.0f;
    m.topSpeed = 190.0f / 3.6f;
    m.slipStiffness = 0.5f;
    m.mass = 500.0f;
    m.corneringFactor = 1.05f;
    m.lookAhead = 3.7f;

    // A wedge: flat floor, low nose, cockpit roof; every vertex well inside the ellipsoid.
    const Vec3 body[10] = {
        {-0.8f, -0.2f, 1.3f},  {0.8f, -0.2f, 1.3f},  {0.8f, -0.2f, -1.3f}, {-0.8f, -0.2f, -1.3f},  // floor
        {-0.7f, 0.05f, 1.4f},  {0.7f, 0.05f, 1.4f},                                                 // nose
        {-0.55f, 0.35f, 0.3f}, {0.55f, 0.35f, 0.3f}, {0.55f, 0.35f, -0.9f}, {-0.55f, 0.35f, -0.9f}, // roof
    };
    // Wound so that (c - a) x (b - a) points out of the body.
    const uint8_t tris[48] = {
        0, 1, 2, 0, 2, 3,           // floor
        0, 5, 1, 0, 4, 5,           // front
        4, 7, 5, 4, 6, 7,           // bonnet
        6, 8, 7, 6, 9, 8,           // roof
        3, 8, 9, 3, 2, 8,           // rear
        0, 6, 4, 0, 9, 6, 0, 3, 9,  // left flank
        1, 5, 7, 1, 7, 8, 1, 8, 2,  // right flank
    };
    const uint8_t colours[16] = {0, 0, 0, 0, 4, 4, 4, 4, 0, 0, 0, 0, 0, 0, 0, 0};
    m.vertexCount = 10;
    std::memcpy(m.vertices, body, sizeof body);
    m.triangleIndexCount = sizeof tris;
    std::memcpy(m.triangles, tris, sizeof tris);
    std::memcpy(m.triangleColours, colours, sizeof colours);
    computeVertexNormals(m);

    const Vec3 points[5] = {{0, 0.2f, 2}, {1, 0, 0}, {-1, 0, 0}, {0, 0.2f, -1.5f}, {0, 1, -0.3f}};
    const uint8_t pointTris[12] = {0, 1, 4, 0, 2, 4, 3, 1, 4, 3, 2, 4};
    m.collisionPointCount = 5;
    std::memcpy(m.collisionPoints, points, sizeof points);
    m.collisionIndexCount = sizeof pointTris;
    std::memcpy(m.collisionTriangles, pointTris, sizeof pointTris);
    m.noHead = 0;
    const Vec3 wheels[4] = {{1, -0.2f, 1}, {-1, -0.2f, 1}, {1, -0.2f, -1}, {-1, -0.2f, -1}};
    std::memcpy(m.wheelPositions, wheels, sizeof wheels);
    m.headPosition = {0, 0.6f, -0.05f};
    return m;
}

bool writeCarModels(TrackFile& f, const CarModel* models, int count)
{
    bool ok = true;
    for (int i = 0; i < count && ok; ++i) ok = writeCarModel(f, models[i]);
    return ok;
}

bool writeCarFile(const std::string& gamePath, const CarModel* models, int count)
{
    TrackFile f;
    if (!f.open(gamePath, trackFileWrite | trackFileReplace)) return false;
    bool ok = f.writeU32(carModelFileSize) && f.writeU32(static_cast<uint32_t>(count));
    ok = ok && writeCarModels(f, models, count);
    return f.close() && ok;
}

bool readCarFile(const std::string& gamePath, std::vector<CarModel>& list)
{
    TrackFile f;
    if (!f.open(gamePath, trackFileRead)) return false;
    uint32_t recordSize = 0, count = 0;
    if (!f.readU32(recordSize) || !f.readU32(count)) return false;
    if (recordSize != carModelFileSize || count == 0) return false;
    // A count the file cannot hold is a damaged file, not a reason to allocate for it.
    long size = f.size();
    if (size < 8 || static_cast<uint64_t>(count) > static_cast<uint64_t>(size - 8) / carModelFileSize) return false;
    std::vector<CarModel> read(count);
    for (CarModel& m : read)
        if (!readCarModel(f, m)) return false;
    list.insert(list.end(), read.begin(), read.end());
    return true;
}

void freeCarModels()
{
    delete[] game.models;
    game.models = nullptr;
    game.modelCount = 0;
}

static void setModelList(const std::vector<CarModel>& list)
{
    freeCarModels();
    // One spare record past the end, zeroed, as every model list has.
    game.models = new CarModel[list.size() + 1]();
    std::memcpy(static_cast<void*>(game.models), list.data(), sizeof(CarModel) * list.size());
    game.modelCount = static_cast<int32_t>(list.size());
}

void loadCarModels()
{
    changeToFolder(game.exeFolder);
    makeGameFolder("cars");
    std::vector<std::string> names;
    listFolder(names, "cars", "car", listFiles, 0);
    std::vector<CarModel> list;
    for (const std::string& name : names) readCarFile("cars\\" + name + ".car", list);
    if (list.empty()) {
        list.push_back(generalCarModel());
        writeCarFile("cars\\general.car", list.data(), 1);
    }
    setModelList(list);
}
