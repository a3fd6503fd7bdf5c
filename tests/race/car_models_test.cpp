#include "track/car_model_file.h"
#include "race/car_models.h"
#include "state/game_state.h"
#include "shell/build_tree.h"
#include "support/harness.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <set>

static CarModel namedModel(const char* name)
{
    CarModel m = generalCarModel();
    std::memset(m.name, 0, sizeof m.name);
    std::strncpy(m.name, name, 11);
    return m;
}

static std::string u32(uint32_t v)
{
    return std::string{char(v), char(v >> 8), char(v >> 16), char(v >> 24)};
}

TEST(SurfaceBands, InterpolatedInsideEachBandWithTwoOrMoreCars)
{
    float t[14];
    for (int i = 0; i < 14; ++i) t[i] = float(i * 10);
    EXPECT_FLOAT_EQ(surfaceBandValue(t, 0, 2), 0);
    EXPECT_FLOAT_EQ(surfaceBandValue(t, 1, 2), 10);
    EXPECT_FLOAT_EQ(surfaceBandValue(t, 4, 2), 15);
    EXPECT_FLOAT_EQ(surfaceBandValue(t, 7, 2), 20);
    EXPECT_FLOAT_EQ(surfaceBandValue(t, 8, 6), 30);
    EXPECT_FLOAT_EQ(surfaceBandValue(t, 15, 6), 40);
    EXPECT_FLOAT_EQ(surfaceBandValue(t, 17, 3), 50 + 10.0f / 3);
    EXPECT_FLOAT_EQ(surfaceBandValue(t, 23, 3), 80);
    EXPECT_FLOAT_EQ(surfaceBandValue(t, 24, 3), 90);
    // The three sub-bands of 28..39 each run from entry 11 to entry 12.
    for (int start : {28, 32, 36}) {
        EXPECT_FLOAT_EQ(surfaceBandValue(t, start, 2), 110);
        EXPECT_FLOAT_EQ(surfaceBandValue(t, start + 3, 2), 120);
    }
    EXPECT_FLOAT_EQ(surfaceBandValue(t, 40, 2), 130);
    EXPECT_FLOAT_EQ(surfaceBandValue(t, 255, 2), 130);
}

TEST(SurfaceBands, SteppedWithOneCar)
{
    float t[14];
    for (int i = 0; i < 14; ++i) t[i] = float(i);
    const std::map<int, float> expected = {{0, 0},  {1, 2},   {7, 2},   {8, 4},  {15, 4},  {16, 6}, {19, 6},
                                           {20, 8}, {24, 10}, {28, 12}, {39, 12}, {40, 6}, {255, 6}};
    for (auto [s, v] : expected) EXPECT_FLOAT_EQ(surfaceBandValue(t, s, 1), v) << "surface " << s;
    CarModel m = generalCarModel();
    EXPECT_FLOAT_EQ(gripAt(m, 3, 1), 2.25f);
    EXPECT_FLOAT_EQ(contactAt(m, 20, 4), 1.4f);
}

TEST(SurfaceBands, EachCarsKeptGripsFollowItsTableAndTheCarCount)
{
    // One car's table changed in one entry, then the count of cars (stepped with one): the kept
    // grips are gripAt's, bit for bit, each time, and the other cars' stay as they were.
    auto same = [](int car) {
        for (int s = 0; s < 256; ++s) {
            float kept = surfaceGrips(car).grip[s], fresh = gripAt(game.carModels[car], s, game.carCount);
            if (std::memcmp(&kept, &fresh, sizeof kept) != 0) return false;
        }
        return true;
    };
    int count = game.carCount;
    game.carCount = 3;
    for (int car = 0; car < maxCars; ++car) game.carModels[car] = generalCarModel();
    EXPECT_TRUE(same(0) && same(1));
    uint32_t version = surfaceGrips(1).version;
    for (int entry : {0, 5, 13}) {
        game.carModels[0].gripTable[entry] += 0.5f;
        EXPECT_TRUE(same(0)) << entry;
    }
    game.carModels[0].gripTable[13] = NAN;
    EXPECT_TRUE(same(0));
    game.carCount = 1;
    EXPECT_TRUE(same(0) && same(1));
    EXPECT_NE(surfaceGrips(1).version, version);
    game.carCount = count;
}

TEST(GeneralModel, AClosedBodyInsideItsEllipsoidWithOutwardNormals)
{
    CarModel m = generalCarModel();
    EXPECT_STREQ(m.name, "General");
    ASSERT_EQ(m.vertexCount, 10);
    ASSERT_EQ(m.triangleIndexCount % 3, 0);
    Vec3 centre;
    for (int v = 0; v < 10; ++v) {
        Vec3 p = m.vertices[v];
        EXPECT_LT(p.x * p.x / 2.25f + p.y * p.y / 0.36f + p.z * p.z / 3.24f, 1.0f) << "vertex " << v;
        centre = centre + p * 0.1f;
    }
    // Closed: every edge is walked once in each direction.
    std::map<std::pair<int, int>, int> edges;
    for (int i = 0; i < m.triangleIndexCount; i += 3)
        for (int k = 0; k < 3; ++k) ++edges[{m.triangles[i + k], m.triangles[i + (k + 1) % 3]}];
    for (auto& [e, n] : edges) {
        EXPECT_EQ(n, 1);
        EXPECT_EQ(edges.count({e.second, e.first}), 1u) << e.first << "-" << e.second;
    }
    for (int v = 0; v < 10; ++v) {
        Vec3 n = m.normals[v];
        EXPECT_NEAR(dot(n, n), 1.0f, 1e-5f);
        EXPECT_GT(dot(n, m.vertices[v] - centre), 0.0f) << "vertex " << v;
    }
    for (int t = 0; t < m.triangleIndexCount / 3; ++t)
        EXPECT_TRUE(m.triangleColours[t] == 0 || m.triangleColours[t] == 4);
    ASSERT_EQ(m.collisionPointCount, 5);
    EXPECT_FLOAT_EQ(m.collisionPoints[0].z, 2.0f);
    EXPECT_FLOAT_EQ(m.collisionPoints[4].y, 1.0f);
    EXPECT_EQ(m.collisionIndexCount, 12);
    EXPECT_NEAR(m.topSpeed, 52.777779f, 1e-5f);
}

TEST(VertexNormals, AnUnusedVertexPointsUp)
{
    CarModel m{};
    m.vertexCount = 4;
    m.vertices[1] = {1, 0, 0};
    m.vertices[2] = {0, 0, 1};
    m.triangleIndexCount = 3;
    m.triangles[0] = 0, m.triangles[1] = 1, m.triangles[2] = 2;
    computeVertexNormals(m);
    EXPECT_FLOAT_EQ(m.normals[0].y, 1.0f);  // (c - a) x (b - a) = z x x = +y
    EXPECT_FLOAT_EQ(m.normals[3].y, 1.0f);
    EXPECT_FLOAT_EQ(m.normals[3].x, 0.0f);
}

TEST(CarRecord, FieldsLieAtTheirOffsetsAndATwelveCharacterNameReadsBackWhole)
{
    TempGameFolder dir;
    CarModel m = generalCarModel();
    std::memcpy(m.name, "ABCDEFGHIJKL", 12);  // no room left for the NUL in the file
    m.noHead = 1;
    ASSERT_TRUE(writeCarFile("one.car", &m, 1));
    std::string b = dir.read("one.car");
    ASSERT_EQ(b.size(), 8u + 1344u);
    EXPECT_EQ(b.substr(0, 8), u32(1344) + u32(1));
    std::string r = b.substr(8);
    EXPECT_EQ(r.substr(0, 12), "ABCDEFGHIJKL");
    EXPECT_EQ(r.substr(12, 4), std::string(4, '\0'));
    float f;
    std::memcpy(&f, &r[16], 4);
    EXPECT_FLOAT_EQ(f, 1.5f);
    std::memcpy(&f, &r[168], 4);
    EXPECT_NEAR(f, 52.777779f, 1e-5f);
    EXPECT_EQ(r[188], 10);
    EXPECT_EQ(r[189], 5);
    EXPECT_EQ(r[191], 12);
    EXPECT_EQ(r[192], 1);
    EXPECT_EQ(r[353 + 2], 4);
    EXPECT_EQ(r[383], 0);
    std::memcpy(&f, &r[1332 + 4], 4);
    EXPECT_FLOAT_EQ(f, 0.6f);

    std::vector<CarModel> list;
    ASSERT_TRUE(readCarFile("one.car", list));
    ASSERT_EQ(list.size(), 1u);
    EXPECT_STREQ(list[0].name, "ABCDEFGHIJKL");  // the reserved zeros end it
    EXPECT_EQ(std::memcmp(list[0].vertices, m.vertices, sizeof m.vertices), 0);
    EXPECT_EQ(std::memcmp(list[0].normals, m.normals, sizeof m.normals), 0);
}

TEST(CarRecord, CountsAndIndicesFromAFileStayInsideTheArrays)
{
    TempGameFolder dir;
    CarModel m = generalCarModel();
    m.vertexCount = 200;
    m.triangleIndexCount = 250;
    m.collisionPointCount = 40;
    m.collisionIndexCount = 31;
    m.triangles[0] = 99;
    ASSERT_TRUE(writeCarFile("bad.car", &m, 1));
    std::vector<CarModel> list;
    ASSERT_TRUE(readCarFile("bad.car", list));
    EXPECT_EQ(list[0].vertexCount, 30);
    EXPECT_EQ(list[0].triangleIndexCount, 120);
    EXPECT_EQ(list[0].collisionPointCount, 15);
    EXPECT_EQ(list[0].collisionIndexCount, 30);
    EXPECT_LT(list[0].triangles[0], 30);
}

TEST(LoadCarModels, FilesLoadInListOrderAndGeneralIsNotWritten)
{
    TempGameFolder dir;
    CarModel two[2] = {namedModel("Bravo"), namedModel("Charlie")};
    CarModel one = namedModel("Delta");
    dir.makeFolder("cars");
    ASSERT_TRUE(writeCarFile("cars\\alpha.car", two, 2));
    ASSERT_TRUE(writeCarFile("cars\\Beta.CAR", &one, 1));
    loadCarModels();
    ASSERT_EQ(game.modelCount, 3);
    EXPECT_STREQ(game.models[0].name, "Bravo");
    EXPECT_STREQ(game.models[1].name, "Charlie");
    EXPECT_STREQ(game.models[2].name, "Delta");
    EXPECT_EQ(game.models[3].name[0], 0);  // the spare record
    EXPECT_FALSE(dir.exists("cars/general.car"));
    freeCarModels();
    EXPECT_EQ(game.models, nullptr);
    EXPECT_EQ(game.modelCount, 0);
}

TEST(LoadCarModels, DamagedFilesAreSkippedAndNothingLeftGivesGeneralOnDisk)
{
    TempGameFolder dir;
    CarModel m = namedModel("Echo");
    dir.makeFolder("cars");
    ASSERT_TRUE(writeCarFile("cars\\echo.car", &m, 1));
    std::string good = dir.read("cars/echo.car");
    dir.write("cars/size1340.car", u32(1340) + good.substr(4));
    dir.write("cars/none.car", u32(1344) + u32(0) + good.substr(8));
    dir.write("cars/claims.car", u32(1344) + u32(0xFFFFFFF0u) + good.substr(8));
    dir.write("cars/twoclaimed.car", u32(1344) + u32(2) + good.substr(8));
    dir.write("cars/short.car", good.substr(0, 8 + 1000));
    std::filesystem::remove(dir.path("cars/echo.car"));
    loadCarModels();
    ASSERT_EQ(game.modelCount, 1);
    EXPECT_STREQ(game.models[0].name, "General");
    std::string written = dir.read("cars/general.car");
    ASSERT_EQ(written.size(), 8u + 1344u);
    EXPECT_EQ(written.substr(0, 8), u32(1344) + u32(1));
    EXPECT_EQ(written.substr(8, 8), std::string("General\0", 8));
    freeCarModels();
}

TEST(LoadCarModels, AMissingCarsFolderIsCreated)
{
    TempGameFolder dir;
    loadCarModels();
    EXPECT_TRUE(std::filesystem::is_directory(dir.path("cars")));
    EXPECT_EQ(game.modelCount, 1);
    EXPECT_EQ(dir.read("cars/general.car").size(), 8u + 1344u);
    freeCarModels();
}

// The cars shipped in the game folder load, each its own, and the choice between them matters.
TEST(ShippedCars, LoadWithTheirOwnNamesBodiesAndHandling)
{
    std::filesystem::path build = buildTree();
    ASSERT_FALSE(build.empty()) << "no built game folder";
    TempGameFolder dir;
    std::filesystem::copy(std::filesystem::path(build) / "tarmacade" / "cars", dir.path("cars"));
    loadCarModels();
    ASSERT_GE(game.modelCount, 4);
    EXPECT_FALSE(dir.exists("cars/general.car"));
    std::set<std::string> names;
    std::set<float> tops, masses, powers, gravelGrips;
    for (int i = 0; i < game.modelCount; ++i) {
        const CarModel& m = game.models[i];
        SCOPED_TRACE(m.name);
        names.insert(m.name);
        EXPECT_GT(m.vertexCount, 4);
        EXPECT_EQ(m.triangleIndexCount % 3, 0);
        for (int v = 0; v < m.vertexCount; ++v) {
            Vec3 p = m.vertices[v], e = m.ellipsoid;
            EXPECT_LT(p.x * p.x / (e.x * e.x) + p.y * p.y / (e.y * e.y) + p.z * p.z / (e.z * e.z), 1.0f);
            EXPECT_NEAR(dot(m.normals[v], m.normals[v]), 1.0f, 1e-4f);
        }
        tops.insert(m.topSpeed);
        masses.insert(m.mass);
        powers.insert(m.enginePower);
        gravelGrips.insert(gripAt(m, 12, 2));
    }
    EXPECT_EQ(names.size(), size_t(game.modelCount));
    EXPECT_EQ(tops.size(), names.size());
    EXPECT_EQ(masses.size(), names.size());
    EXPECT_EQ(powers.size(), names.size());
    EXPECT_GT(gravelGrips.size(), 2u);
    freeCarModels();
}
