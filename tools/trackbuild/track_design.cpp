#include "track_design.h"

#include "gate_reach.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <map>
#include <vector>

using nlohmann::json;

namespace {

constexpr int side = 512;
constexpr double pi = 3.14159265358979323846;

struct P2 {
    double x = 0, z = 0;
};
P2 operator+(P2 a, P2 b) { return {a.x + b.x, a.z + b.z}; }
P2 operator-(P2 a, P2 b) { return {a.x - b.x, a.z - b.z}; }
P2 operator*(P2 a, double s) { return {a.x * s, a.z * s}; }
double len(P2 a) { return std::sqrt(a.x * a.x + a.z * a.z); }
P2 unit(P2 a) { double l = len(a); return l > 0 ? a * (1 / l) : P2{1, 0}; }
P2 leftOf(P2 t) { return {t.z, -t.x}; }  // x east, z south: the left hand when driving along t

// Deterministic so that a description always builds the same file.
struct Rng {
    uint32_t s;
    explicit Rng(uint32_t seed) : s(seed * 2654435761u + 12345) {}
    double next() { s = s * 1664525u + 1013904223u; return (s >> 8) / 16777216.0; }
};

// A closed line resampled at equal steps, with arc length, for the road and the pit lane.
struct Path {
    std::vector<P2> p;
    double step = 0.5;
    double length = 0;
    bool closed = true;

    P2 at(double s) const {
        int n = int(p.size());
        if (closed) { s = std::fmod(s, length); if (s < 0) s += length; }
        else s = std::clamp(s, 0.0, length);
        double f = s / step;
        int i = int(f);
        double t = f - i;
        P2 a = p[closed ? i % n : std::min(i, n - 1)], b = p[closed ? (i + 1) % n : std::min(i + 1, n - 1)];
        return a + (b - a) * t;
    }
    P2 tangent(double s) const { return unit(at(s + 1.0) - at(s - 1.0)); }
    // Signed turn in radians per metre, positive to the left.
    double curvature(double s) const {
        P2 a = tangent(s - 4), b = tangent(s + 4);
        double cr = a.x * b.z - a.z * b.x;
        return -std::asin(std::clamp(cr, -1.0, 1.0)) / 8.0;
    }
};

Path closedSpline(const std::vector<P2>& c)
{
    std::vector<P2> fine;
    int n = int(c.size());
    for (int i = 0; i < n; ++i) {
        P2 p0 = c[(i + n - 1) % n], p1 = c[i], p2 = c[(i + 1) % n], p3 = c[(i + 2) % n];
        for (int k = 0; k < 64; ++k) {
            double t = k / 64.0, t2 = t * t, t3 = t2 * t;
            fine.push_back((p1 * 2 + (p2 - p0) * t + (p0 * 2 - p1 * 5 + p2 * 4 - p3) * t2 + (p1 * 3 - p0 - p2 * 3 + p3) * t3) * 0.5);
        }
    }
    // Resample by arc length.
    Path out;
    double total = 0;
    std::vector<double> acc(fine.size() + 1, 0);
    for (size_t i = 0; i < fine.size(); ++i) acc[i + 1] = total += len(fine[(i + 1) % fine.size()] - fine[i]);
    int count = std::max(8, int(total / out.step));
    out.step = total / count;
    size_t j = 0;
    for (int k = 0; k < count; ++k) {
        double s = k * out.step;
        while (j + 1 < fine.size() && acc[j + 1] < s) ++j;
        double seg = acc[j + 1] - acc[j];
        double t = seg > 0 ? (s - acc[j]) / seg : 0;
        out.p.push_back(fine[j] + (fine[(j + 1) % fine.size()] - fine[j]) * t);
    }
    out.length = total;
    return out;
}

// Per cell: distance to a path, the arc position of the nearest point and the signed side.
struct Field {
    std::vector<float> d, s, lat;
    Field() : d(side * side, 1e9f), s(side * side, 0), lat(side * side, 0) {}
};

void distanceField(const Path& path, double reach, double cell, Field& f)
{
    int n = int(path.p.size());
    int segs = path.closed ? n : n - 1;
    for (int i = 0; i < segs; ++i) {
        P2 a = path.p[i], b = path.p[(i + 1) % n], ab = b - a;
        double l2 = ab.x * ab.x + ab.z * ab.z;
        int x0 = std::max(0, int((std::min(a.x, b.x) - reach) / cell)), x1 = std::min(side - 1, int((std::max(a.x, b.x) + reach) / cell));
        int z0 = std::max(0, int((std::min(a.z, b.z) - reach) / cell)), z1 = std::min(side - 1, int((std::max(a.z, b.z) + reach) / cell));
        for (int z = z0; z <= z1; ++z)
            for (int x = x0; x <= x1; ++x) {
                P2 c{(x + 0.5) * cell, (z + 0.5) * cell};
                double t = l2 > 0 ? std::clamp(((c.x - a.x) * ab.x + (c.z - a.z) * ab.z) / l2, 0.0, 1.0) : 0;
                P2 q = a + ab * t, dq = c - q;
                double d = len(dq);
                int k = z * side + x;
                if (d < f.d[k]) {
                    f.d[k] = float(d);
                    f.s[k] = float((i + t) * path.step);
                    P2 left = leftOf(unit(ab));
                    f.lat[k] = float(dq.x * left.x + dq.z * left.z);
                }
            }
    }
}

int surfaceCode(const std::string& name)
{
    static const std::map<std::string, int> codes = {
        {"asphalt", 0}, {"asphalt-light", 1}, {"grass", 2}, {"earth", 3}, {"sand", 3}, {"dirt", 4},
        {"marks", 5}, {"gravel", 6}, {"snow", 7}, {"ice", 8}, {"white", 9}, {"yellow", 10},
        {"red", 11}, {"dark", 12}};
    auto it = codes.find(name);
    return it == codes.end() ? -1 : it->second;
}

P2 pt(const json& j) { return {j.at(0).get<double>(), j.at(1).get<double>()}; }

double profile(double t)  // 1 at the centre, 0 at the rim, smooth at both
{
    return t >= 1 ? 0 : 0.5 + 0.5 * std::cos(pi * t);
}

double segmentDistance(P2 c, P2 a, P2 b)
{
    P2 ab = b - a;
    double l2 = ab.x * ab.x + ab.z * ab.z;
    double t = l2 > 0 ? std::clamp(((c.x - a.x) * ab.x + (c.z - a.z) * ab.z) / l2, 0.0, 1.0) : 0;
    return len(c - (a + ab * t));
}

bool insidePolygon(P2 c, const std::vector<P2>& poly)
{
    bool in = false;
    for (size_t i = 0, j = poly.size() - 1; i < poly.size(); j = i++)
        if ((poly[i].z > c.z) != (poly[j].z > c.z) &&
            c.x < (poly[j].x - poly[i].x) * (c.z - poly[i].z) / (poly[j].z - poly[i].z) + poly[i].x)
            in = !in;
    return in;
}

struct Design {
    double size = 240, cell = 240.0 / 512, water = 0;
    std::vector<double> heights = std::vector<double>(64 * 64, 0);
    std::vector<int> code = std::vector<int>(side * side, 3);
    Path road;
    double halfWidth = 6, kerbWidth = 1.2, start = 0;
    Path pit;
    bool hasPit = false;
    int pitSide = 1;  // +1 left, -1 right
    double pitOffset = 0, pitHalfWidth = 4.5, pitFrom = 0, pitTo = 0;
    std::vector<P2> boxes;
    std::vector<P2> boxDirs;
    Field roadField, pitField;
    TrackImage image;

    uint16_t unitsOf(double w) const { return uint16_t(std::clamp(std::lround(w * 1024.0 / size), 0L, 65535L)); }
    ImagePoint point(P2 p) const { return {unitsOf(p.x), unitsOf(p.z)}; }
    static uint16_t heading(P2 dir) {
        double a = std::atan2(-dir.z, dir.x);
        if (a < 0) a += 2 * pi;
        return uint16_t(std::clamp(std::lround(a * 10000), 0L, 62831L));
    }
    double heightAt(P2 p) const {  // bilinear, as the game reads it
        double hc = size / 63.0;
        double gx = std::clamp(p.x, 0.0, size - 0.001) / hc, gz = std::clamp(p.z, 0.0, size - 0.001) / hc;
        int i = std::min(62, int(gx)), k = std::min(62, int(gz));
        double fx = gx - i, fz = gz - k;
        auto H = [&](int a, int b) { return image.heights[b * 64 + a] * 0.05; };
        return (1 - fz) * (fx * H(i + 1, k) + (1 - fx) * H(i, k)) + fz * ((1 - fx) * H(i, k + 1) + fx * H(i + 1, k + 1));
    }
    // Signed distance along the road from the start line to s, in [0, length).
    double fromStart(double s) const { double d = std::fmod(s - start, road.length); return d < 0 ? d + road.length : d; }
};

bool buildHeights(const json& j, Design& d, std::string& why)
{
    if (!j.contains("heights")) return true;
    const json& h = j["heights"];
    if (h.contains("grid")) {
        const json& g = h["grid"];
        if (!g.is_array() || g.size() != 64) return why = "heights.grid needs 64 rows", false;
        for (int k = 0; k < 64; ++k) {
            if (!g[k].is_array() || g[k].size() != 64) return why = "heights.grid rows need 64 bytes", false;
            for (int i = 0; i < 64; ++i) d.heights[k * 64 + i] = g[k][i].get<double>() * 0.05;
        }
        return true;
    }
    double base = h.value("base", 1.0);
    for (double& v : d.heights) v = base;
    for (const json& f : h.value("features", json::array())) {
        std::string kind = f.value("kind", "hill");
        double amount = f.value("height", 2.0);
        if (kind == "valley" || kind == "basin") amount = -std::abs(amount);
        for (int k = 0; k < 64; ++k)
            for (int i = 0; i < 64; ++i) {
                P2 c{i * d.size / 63.0, k * d.size / 63.0};
                double t;
                if (kind == "hill" || kind == "basin") t = len(c - pt(f.at("at"))) / f.value("radius", 30.0);
                else if (kind == "ridge" || kind == "valley")
                    t = segmentDistance(c, pt(f.at("from")), pt(f.at("to"))) / (0.5 * f.value("width", 30.0));
                else return why = "unknown height feature " + kind, false;
                d.heights[k * 64 + i] += amount * profile(t);
            }
    }
    return true;
}

void paintPatches(const json& patches, Design& d, bool onRoad)
{
    for (const json& p : patches) {
        if (p.value("onRoad", false) != onRoad) continue;
        int c = surfaceCode(p.value("surface", "sand"));
        if (c < 0) continue;
        std::vector<P2> poly;
        if (p.contains("polygon")) for (const json& q : p["polygon"]) poly.push_back(pt(q));
        for (int z = 0; z < side; ++z)
            for (int x = 0; x < side; ++x) {
                P2 cc{(x + 0.5) * d.cell, (z + 0.5) * d.cell};
                int k = z * side + x;
                bool in = false;
                if (p.contains("circle")) {
                    const json& ci = p["circle"];
                    in = len(cc - P2{ci[0].get<double>(), ci[1].get<double>()}) <= ci[2].get<double>();
                } else if (p.contains("line")) {
                    in = segmentDistance(cc, pt(p["line"][0]), pt(p["line"][1])) <= 0.5 * p.value("width", 1.0);
                } else if (!poly.empty()) {
                    in = insidePolygon(cc, poly);
                } else if (p.contains("along")) {
                    // A band along the road between two distances from the start line.
                    double a = p["along"][0].get<double>(), b = p["along"][1].get<double>();
                    double s = d.fromStart(d.roadField.s[k]);
                    double lat = d.roadField.lat[k] - p.value("offset", 0.0);
                    bool inRange = a <= b ? (s >= a && s <= b) : (s >= a || s <= b);
                    in = d.roadField.d[k] < 40 && inRange && std::abs(lat) <= 0.5 * p.value("width", 4.0);
                }
                if (in && p.contains("belowWater")) in = d.heightAt(cc) < d.water + p["belowWater"].get<double>();
                if (in) d.code[k] = c;
            }
    }
}

bool buildPit(const json& j, Design& d, std::string& why)
{
    if (!j.contains("pit")) return true;
    const json& p = j["pit"];
    d.hasPit = true;
    d.pitSide = p.value("side", "left") == "left" ? 1 : -1;
    d.pitHalfWidth = 0.5 * p.value("width", 9.0);
    d.pitOffset = d.halfWidth + p.value("gap", 2.5) + d.pitHalfWidth;
    d.pitFrom = p.value("from", -80.0);
    d.pitTo = p.value("to", 40.0);
    double ramp = p.value("ramp", 25.0);
    int boxes = std::clamp(p.value("boxes", 6), 0, 6);
    double spacing = p.value("boxSpacing", 12.0);
    double span = d.pitTo - d.pitFrom;
    if (span < 2 * ramp + boxes * spacing) return why = "the pit lane is too short for its ramps and boxes", false;

    // Beside the road at its full offset between the ramps, merging at both ends.
    std::vector<P2> pts;
    for (double u = 0; u <= span + 1e-6; u += 0.5) {
        double s = d.start + d.pitFrom + u;
        double w = std::min(1.0, std::min(u, span - u) / ramp);
        double o = (0.25 * d.halfWidth + (d.pitOffset - 0.25 * d.halfWidth) * profile(1 - w)) * d.pitSide;
        P2 c = d.road.at(s), n = leftOf(d.road.tangent(s));
        pts.push_back(c + n * o);
    }
    d.pit.closed = false;
    d.pit.p = pts;
    d.pit.step = 0.5;
    d.pit.length = 0.5 * (pts.size() - 1);
    double middle = d.pitFrom + ramp + 0.5 * (span - 2 * ramp - (boxes - 1) * spacing);
    for (int b = 0; b < boxes; ++b) {
        double s = d.start + middle + b * spacing;
        P2 c = d.road.at(s), t = d.road.tangent(s), n = leftOf(t);
        d.boxes.push_back(c + n * ((d.pitOffset + 1.0) * d.pitSide));
        d.boxDirs.push_back(t);
    }
    return true;
}

struct KindName {
    const char* name;
    int kind;
};
// The names descriptions may use for object kinds; a number serves for any kind as well.
const KindName kindNames[] = {
    {"grid", 0},       {"block", 1},      {"wall", 2},        {"crate", 3},     {"tree", 4},
    {"smalltree", 5},  {"bush", 6},       {"lamp", 7},        {"flag", 8},      {"rock", 9},
    {"stone", 10},     {"garage", 11},    {"building", 12},   {"shed", 13},     {"stand", 14},
    {"hut", 15},       {"sign", 16},      {"house", 17},      {"tower", 18},    {"pine", 19},
    {"bigtree", 20},   {"barrier", 21},   {"fence", 22},      {"gate", 23},     {"barrel", 24},
    {"tyres", 25},     {"pole", 26},      {"kiosk", 27},      {"cabin", 28},    {"pitwall", 29},
    {"grandstand", 30}, {"marker", 31},   {"container", 32}};

int kindOf(const json& k)
{
    if (k.is_number_integer()) return k.get<int>();
    return k.is_string() ? objectKindByName(k.get<std::string>()) : -1;
}

bool placeObjects(const json& j, Design& d, std::string& why)
{
    std::vector<ImageObject>& out = d.image.objects;
    auto add = [&](int kind, P2 p, P2 dir) { out.push_back({uint8_t(kind), d.unitsOf(p.x), d.unitsOf(p.z), Design::heading(dir)}); };
    auto dirOf = [](double deg) { double a = deg * pi / 180; return P2{std::cos(a), -std::sin(a)}; };
    std::vector<P2> placed;
    for (const json& o : j.value("objects", json::array())) {
        int kind = kindOf(o.value("kind", json("tree")));
        if (kind < 0 || kind > 255) return why = "unknown object kind " + o.value("kind", json()).dump(), false;
        if (o.contains("at")) {
            add(kind, pt(o["at"]), dirOf(o.value("heading", 0.0)));
        } else if (o.contains("along")) {
            const json& a = o["along"];
            double from = a.value("from", 0.0), to = a.value("to", 0.0), every = std::max(1.0, a.value("every", 8.0));
            double offset = a.value("offset", d.halfWidth + 3);
            // Models face their side; "reverse" turns them to the road from its other side.
            double facing = a.value("reverse", false) ? -1.0 : 1.0;
            for (double s = from; s <= to + 1e-6; s += every) {
                double at = d.start + s;
                P2 t = d.road.tangent(at);
                add(kind, d.road.at(at) + leftOf(t) * offset, t * facing);
            }
        } else if (o.contains("scatter")) {
            const json& sc = o["scatter"];
            Rng rng(sc.value("seed", 1));
            std::vector<double> area = sc.value("area", std::vector<double>{0, 0, d.size, d.size});
            double clear = sc.value("clear", 4.0), spacing = sc.value("spacing", 5.0);
            int want = sc.value("count", 20), got = 0;
            for (int tries = 0; got < want && tries < want * 200; ++tries) {
                P2 p{area[0] + rng.next() * (area[2] - area[0]), area[1] + rng.next() * (area[3] - area[1])};
                double heading = rng.next() * 360;
                if (p.x < 3 || p.z < 3 || p.x > d.size - 3 || p.z > d.size - 3) continue;
                int cx = std::clamp(int(p.x / d.cell), 0, side - 1), cz = std::clamp(int(p.z / d.cell), 0, side - 1);
                int k = cz * side + cx;
                if (d.roadField.d[k] < d.halfWidth + d.kerbWidth + clear) continue;
                if (d.hasPit && d.pitField.d[k] < d.pitHalfWidth + clear + 3) continue;
                if (d.heightAt(p) < d.water + 0.3) continue;
                bool near = false;
                for (P2 q : placed) near = near || len(q - p) < spacing;
                if (near) continue;
                placed.push_back(p);
                add(kind, p, dirOf(heading));
                ++got;
            }
        }
    }
    return true;
}

// Gates across the road. A car running wide still has to pass through one, so each reaches over
// the kerbs and the pit lane where it runs beside, and on over the ground beyond to the square's
// edge, deep water or a wall. It runs on through trees, poles and rocks: a car drives round those.
void placeGates(const json& j, Design& d)
{
    DrivableGround ground;
    ground.size = float(d.size);
    ground.water = float(d.water);
    ground.height = [&d](float x, float z) { return float(d.heightAt({x, z})); };
    for (const ImageObject& o : d.image.objects) {
        if (!objectWalls(o.kind)) continue;
        double a = o.heading / 10000.0;
        ground.objects.push_back({o.kind, {float(o.x * d.size / 1024), 0, float(o.z * d.size / 1024)},
                                  {float(std::cos(a)), 0, float(-std::sin(a))}});
    }
    auto reach = [&](P2 c, P2 dir, double from) {
        P2 p = c + dir * from;
        // Short of what stops it, so that rounding to the file's units never carries an end
        // through a thin wall.
        double open = drivableReach(ground, float(p.x), float(p.z), float(dir.x), float(dir.z), float(2 * d.size));
        return from + std::max(0.0, open - 0.3);
    };
    auto inside = [&](P2 p) { return P2{std::clamp(p.x, 0.0, d.size), std::clamp(p.z, 0.0, d.size)}; };
    double gateSpacing = j.value("checkpointSpacing", 60.0);
    int gates = std::clamp(int(std::lround(d.road.length / gateSpacing)), 4, 255);
    for (int g = 1; g <= gates; ++g) {
        double s = d.start + d.road.length * g / gates;
        P2 c = d.road.at(s), n = leftOf(d.road.tangent(s));
        double left = d.halfWidth + d.kerbWidth + 1.5, right = left;
        double off = d.fromStart(s);
        if (off > d.road.length / 2) off -= d.road.length;
        if (d.hasPit && off >= d.pitFrom && off <= d.pitTo) (d.pitSide > 0 ? left : right) = d.pitOffset + d.pitHalfWidth + 1.0;
        left = reach(c, n, left);
        right = reach(c, n * -1, right);
        d.image.checkpoints.push_back({d.point(inside(c + n * left)), d.point(inside(c - n * right))});
    }
}

}  // namespace

int objectKindByName(const std::string& name)
{
    for (const KindName& k : kindNames)
        if (name == k.name) return k.kind;
    return -1;
}

bool designTrack(const std::string& text, TrackImage& img, std::string& why)
{
    json j = json::parse(text, nullptr, false);
    if (j.is_discarded() || !j.is_object()) return why = "the description is not a JSON object", false;
    try {
        Design d;
        d.size = std::round(j.value("size", 240.0));
        if (d.size < 32 || d.size > 255) return why = "size must be 32 .. 255", false;
        d.cell = d.size / 512;
        d.water = j.value("water", 0.0);
        if (!buildHeights(j, d, why)) return false;
        for (int i = 0; i < 4096; ++i) d.image.heights[i] = uint8_t(std::clamp(std::lround(d.heights[i] * 20), 0L, 255L));
        int ground = surfaceCode(j.value("ground", "grass"));
        if (ground < 0) return why = "unknown ground", false;
        std::fill(d.code.begin(), d.code.end(), ground);

        const json& road = j.at("road");
        std::vector<P2> ctrl;
        for (const json& q : road.at("points")) ctrl.push_back(pt(q));
        if (ctrl.size() < 4) return why = "the road needs at least four points", false;
        d.road = closedSpline(ctrl);
        d.halfWidth = 0.5 * road.value("width", 12.0);
        d.kerbWidth = road.value("kerbWidth", 1.2);
        d.start = road.value("start", 0.0);
        int roadCode = surfaceCode(road.value("surface", "asphalt"));
        std::string kerbs = road.value("kerbs", "corners");
        int kerbA = surfaceCode(road.value("kerbColours", std::vector<std::string>{"red", "white"})[0]);
        int kerbB = surfaceCode(road.value("kerbColours", std::vector<std::string>{"red", "white"})[1]);
        double kerbCurve = road.value("kerbCurvature", 0.02);
        if (roadCode < 0 || kerbA < 0 || kerbB < 0) return why = "unknown road surface", false;

        distanceField(d.road, d.halfWidth + d.kerbWidth + 45, d.cell, d.roadField);
        if (!buildPit(j, d, why)) return false;
        if (d.hasPit) distanceField(d.pit, d.pitHalfWidth + 12, d.cell, d.pitField);

        const json patches = j.value("patches", json::array());
        paintPatches(patches, d, false);
        for (int k = 0; k < side * side; ++k) {
            if (d.hasPit && d.pitField.d[k] <= d.pitHalfWidth) d.code[k] = road.value("pitSurface", "asphalt-light") == "asphalt-light" ? 1 : roadCode;
            float dist = d.roadField.d[k];
            if (dist <= d.halfWidth) d.code[k] = roadCode;
            else if (dist <= d.halfWidth + d.kerbWidth && kerbs != "none") {
                double s = d.roadField.s[k];
                if (kerbs == "all" || std::abs(d.road.curvature(s)) > kerbCurve)
                    d.code[k] = int(std::floor(s / 2.0)) % 2 ? kerbB : kerbA;
            }
        }
        paintPatches(patches, d, true);
        // The finish gate reaches far beyond the road, and the game would paint the start line
        // along all of it: paint it here, on the road and the pit lane only.
        d.image.paintStartLine = 0;
        for (int k = 0; k < side * side; ++k) {
            double along = d.fromStart(d.roadField.s[k]);
            along = std::min(along, d.road.length - along);
            bool onRoad = d.roadField.d[k] <= d.halfWidth + d.kerbWidth || (d.hasPit && d.pitField.d[k] <= d.pitHalfWidth);
            if (onRoad && d.roadField.d[k] < 40 && along <= 1.5 * d.cell) d.code[k] = 9;
        }
        // Box markings: a yellow frame around each stop point.
        for (size_t b = 0; b < d.boxes.size(); ++b) {
            P2 f = d.boxDirs[b], r = leftOf(f);
            for (int z = 0; z < side; ++z)
                for (int x = 0; x < side; ++x) {
                    P2 c = P2{(x + 0.5) * d.cell, (z + 0.5) * d.cell} - d.boxes[b];
                    double u = std::abs(c.x * f.x + c.z * f.z), v = std::abs(c.x * r.x + c.z * r.z);
                    if (u <= 3.4 && v <= 2.4 && (u >= 2.9 || v >= 1.9)) d.code[z * side + x] = 10;
                }
        }

        // Run words, longest runs first.
        std::vector<uint16_t>& words = d.image.runWords;
        for (int k = 0; k < side * side;) {
            int c = d.code[k], n = 1;
            while (k + n < side * side && d.code[k + n] == c && n < 4095) ++n;
            words.push_back(uint16_t((n << 4) | c));
            k += n;
        }

        // The grid: six slots behind the start line in two staggered columns, facing along the road.
        double gridGap = road.value("gridSpacing", 6.0);
        for (int i = 0; i < 6; ++i) {
            double s = d.start - 5.0 - i * gridGap;
            P2 t = d.road.tangent(s), n = leftOf(t);
            P2 p = d.road.at(s) + n * ((i % 2 ? -1 : 1) * 0.28 * 2 * d.halfWidth);
            d.image.objects.push_back({0, d.unitsOf(p.x), d.unitsOf(p.z), Design::heading(t)});
        }
        if (!placeObjects(j, d, why)) return false;

        placeGates(j, d);

        // The driving line from the start line on; kept within 250 points so the pit indices fit a byte.
        double spacing = std::max(j.value("lineSpacing", 4.0), d.road.length / 250.0);
        int points = int(d.road.length / spacing);
        for (int i = 0; i < points; ++i) d.image.drivingLine.push_back(d.point(d.road.at(d.start + d.road.length * i / points)));
        if (d.hasPit) {
            for (double u = 0; u <= d.pit.length + 1e-6; u += 4.0) d.image.pitLane.push_back(d.point(d.pit.at(u)));
            for (size_t b = 0; b < d.boxes.size(); ++b)
                d.image.pitBoxes.push_back({d.unitsOf(d.boxes[b].x), d.unitsOf(d.boxes[b].z), Design::heading(d.boxDirs[b])});
        }

        d.image.size = uint8_t(std::lround(d.size));
        d.image.waterByte = uint8_t(std::clamp(std::lround(d.water * 20), 0L, 255L));
        const json cam = j.value("camera", json::object());
        d.image.viewAngle = int16_t(cam.value("angle", 60));
        d.image.viewRotation = int16_t(cam.value("rotation", 0));
        d.image.zoom = uint8_t(std::clamp(std::lround(cam.value("zoom", 1.0) * 100), 1L, 255L));
        d.image.author = j.value("author", "");
        d.image.info = j.value("info", "");
        d.image.lapLength = uint32_t(std::lround(d.road.length));
        img = d.image;
        return true;
    } catch (const json::exception& e) {
        why = e.what();
        return false;
    }
}
