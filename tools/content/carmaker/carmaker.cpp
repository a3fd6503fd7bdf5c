// Makes one .car file from a car description (JSON): handling figures, colours and a body
// given as cross-sections from the nose back. Refuses bodies that would draw wrongly.
#include "race/car_models.h"

#include <nlohmann/json.hpp>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <map>
#include <string>

using nlohmann::json;

static bool fail(const std::string& what)
{
    std::fprintf(stderr, "tmcarmaker: %s\n", what.c_str());
    return false;
}

static Vec3 vec(const json& j)
{
    return {j.at(0).get<float>(), j.at(1).get<float>(), j.at(2).get<float>()};
}

static bool readTable(const json& j, const char* key, float* table)
{
    if (!j.contains(key)) return true;
    const json& t = j.at(key);
    if (!t.is_array() || t.size() != 14) return fail(std::string(key) + " needs 14 values");
    for (int i = 0; i < 14; ++i) table[i] = t.at(i).get<float>();
    return true;
}

// Each section is [z, y of the floor, y of the top, half width at the floor, half width at the
// top]; neighbouring sections are joined by floor, flanks and top, the first and last are capped.
static bool buildBody(const json& body, CarModel& m)
{
    const json& sections = body.at("sections");
    int n = static_cast<int>(sections.size());
    if (n < 2 || n * 4 > 30) return fail("a body needs 2 to 7 sections");
    if ((n - 1) * 8 + 4 > 40) return fail("too many faces: at most 5 sections");
    for (int s = 0; s < n; ++s) {
        const json& c = sections.at(s);
        float z = c.at(0), yb = c.at(1), yt = c.at(2), wb = c.at(3), wt = c.at(4);
        if (yt <= yb || wb <= 0 || wt <= 0) return fail("section " + std::to_string(s) + " is flat");
        if (s > 0 && z >= sections.at(s - 1).at(0).get<float>()) return fail("sections must run nose to tail");
        m.vertices[4 * s + 0] = {-wb, yb, z};
        m.vertices[4 * s + 1] = {wb, yb, z};
        m.vertices[4 * s + 2] = {wt, yt, z};
        m.vertices[4 * s + 3] = {-wt, yt, z};
    }
    m.vertexCount = static_cast<uint8_t>(4 * n);
    const json& colours = body.at("colours");
    // Shades 3 and 7 of a car's eight slots are its water tints: the race view turns faces
    // under water into them, so a face seen on land must use another.
    for (const char* part : {"floor", "sides", "tops", "nose", "tail"}) {
        const json& c = colours.at(part);
        for (const json& v : c.is_array() ? c : json::array({c})) {
            int colour = v.get<int>();
            if (colour < 0 || colour > 255) return fail(std::string(part) + " colour is not a palette slot");
            if (colour == 3 || colour == 7) return fail(std::string(part) + " uses a water tint (3 or 7)");
        }
    }
    int faces = 0;
    auto quad = [&](int a, int b, int c, int d, int colour) {
        const int tri[6] = {a, b, c, a, c, d};
        for (int i = 0; i < 6; ++i) m.triangles[faces * 3 + i] = static_cast<uint8_t>(tri[i]);
        m.triangleColours[faces] = m.triangleColours[faces + 1] = static_cast<uint8_t>(colour);
        faces += 2;
    };
    for (int s = 0; s + 1 < n; ++s) {
        int f = 4 * s, r = 4 * (s + 1);
        int top = colours.at("tops").at(s), side = colours.at("sides").at(s), floor = colours.at("floor");
        quad(f + 0, f + 1, r + 1, r + 0, floor);
        quad(f + 1, f + 2, r + 2, r + 1, side);
        quad(f + 3, f + 0, r + 0, r + 3, side);
        quad(f + 2, f + 3, r + 3, r + 2, top);
    }
    quad(0, 3, 2, 1, colours.at("nose"));
    int t = 4 * (n - 1);
    quad(t + 0, t + 1, t + 2, t + 3, colours.at("tail"));
    m.triangleIndexCount = static_cast<uint8_t>(faces * 3);

    // Wind every face so that (c - a) x (b - a) points away from the body's middle.
    Vec3 middle;
    for (int v = 0; v < m.vertexCount; ++v) middle = middle + m.vertices[v] * (1.0f / m.vertexCount);
    for (int i = 0; i < m.triangleIndexCount; i += 3) {
        Vec3 a = m.vertices[m.triangles[i]], b = m.vertices[m.triangles[i + 1]], c = m.vertices[m.triangles[i + 2]];
        Vec3 centre = (a + b + c) * (1.0f / 3);
        if (dot(cross(c - a, b - a), centre - middle) < 0) std::swap(m.triangles[i + 1], m.triangles[i + 2]);
    }
    return true;
}

// The checks that keep a body drawable: closed, inside the collision ellipsoid, normals outward.
static bool checkBody(const CarModel& m)
{
    std::map<std::pair<int, int>, int> edges;
    for (int i = 0; i < m.triangleIndexCount; i += 3)
        for (int k = 0; k < 3; ++k) ++edges[{m.triangles[i + k], m.triangles[i + (k + 1) % 3]}];
    for (auto& [e, count] : edges)
        if (count != 1 || !edges.count({e.second, e.first})) return fail("the body is not closed");
    Vec3 middle;
    for (int v = 0; v < m.vertexCount; ++v) middle = middle + m.vertices[v] * (1.0f / m.vertexCount);
    for (int v = 0; v < m.vertexCount; ++v) {
        Vec3 p = m.vertices[v], e = m.ellipsoid;
        float r = p.x * p.x / (e.x * e.x) + p.y * p.y / (e.y * e.y) + p.z * p.z / (e.z * e.z);
        if (r >= 1.0f) return fail("vertex " + std::to_string(v) + " lies outside the ellipsoid");
        if (dot(m.normals[v], p - middle) <= 0) return fail("vertex " + std::to_string(v) + " has an inward normal");
    }
    return true;
}

static bool makeModel(const json& j, CarModel& m)
{
    m = generalCarModel();
    std::string name = j.at("name");
    if (name.empty() || name.size() > 11) return fail("a name needs 1 to 11 characters: " + name);
    std::memset(m.name, 0, sizeof m.name);
    std::memcpy(m.name, name.data(), name.size());
    Vec3 general = m.ellipsoid;
    if (j.contains("ellipsoid")) m.ellipsoid = vec(j.at("ellipsoid"));
    if (j.contains("wheelRadius"))
        for (float& r : m.wheelRadius) r = j.at("wheelRadius");
    if (!readTable(j, "grip", m.gripTable) || !readTable(j, "contact", m.contactTable)) return false;
    const std::pair<const char*, float*> scalars[] = {
        {"airDrag", &m.airDrag},   {"downforce", &m.downforce},           {"enginePower", &m.enginePower},
        {"slipStiffness", &m.slipStiffness}, {"mass", &m.mass}, {"cornering", &m.corneringFactor},
        {"lookAhead", &m.lookAhead}};
    for (auto& [key, field] : scalars)
        if (j.contains(key)) *field = j.at(key);
    if (j.contains("topSpeedKmh")) m.topSpeed = j.at("topSpeedKmh").get<float>() / 3.6f;
    if (j.contains("wheels")) {
        const json& w = j.at("wheels");  // [half track, y, front z, rear z]
        float x = w.at(0), y = w.at(1), front = w.at(2), rear = w.at(3);
        const Vec3 wheels[4] = {{x, y, front}, {-x, y, front}, {x, y, rear}, {-x, y, rear}};
        std::memcpy(m.wheelPositions, wheels, sizeof wheels);
    }
    if (j.contains("head")) {
        if (j.at("head").is_null()) m.noHead = 1;
        else m.headPosition = vec(j.at("head"));
    }
    // The collision points keep General's layout, stretched to this car's ellipsoid.
    for (int i = 0; i < m.collisionPointCount; ++i) {
        Vec3& p = m.collisionPoints[i];
        p = {p.x * m.ellipsoid.x / general.x, p.y * m.ellipsoid.y / general.y, p.z * m.ellipsoid.z / general.z};
    }
    for (Vec3& v : m.vertices) v = {};
    std::memset(m.triangles, 0, sizeof m.triangles);
    std::memset(m.triangleColours, 0, sizeof m.triangleColours);
    if (!buildBody(j.at("body"), m)) return false;
    computeVertexNormals(m);
    for (int v = m.vertexCount; v < 30; ++v) m.normals[v] = {};
    return checkBody(m);
}

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: tmcarmaker <description.json> <file.car>\n");
        return 2;
    }
    std::ifstream in(argv[1]);
    json description = json::parse(in, nullptr, false);
    if (description.is_discarded()) return fail(std::string(argv[1]) + " is not JSON"), 1;
    CarModel model;
    try {
        if (!makeModel(description, model)) return fail(std::string("in ") + argv[1]), 1;
    } catch (const json::exception& e) {
        return fail(std::string(argv[1]) + ": " + e.what()), 1;
    }
    if (!writeCarFile(argv[2], &model, 1)) return fail(std::string("cannot write ") + argv[2]), 1;
    return 0;
}
