#include "render/car_view.h"

#include "state/game_state.h"
#include "render/palette.h"
#include "render/raster.h"
#include "track/ghost_lap.h"
#include "track/terrain_height.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int maxFaces = maxCars * 40;
constexpr int crewDiscs = 4;
constexpr int maxDiscs = maxCars * 5 + maxPitBoxes * pitCrewSize * crewDiscs;
constexpr float shadowDiscRadius = 0.5f;
constexpr float headRadius = 0.3f;
constexpr uint8_t wheelSlot = 169, wheelWaterSlot = 171;
constexpr uint8_t freeCrewSlot = 25;  // a box nobody owns: a grey cap

// A crew member's stack, bottom first: height above its position, radius, slot (0: the
// owning car's colour).
struct CrewDisc {
    float height, radius;
    uint8_t slot;
};
constexpr CrewDisc crewStack[crewDiscs] = {{-0.2f, 0.5f, 168}, {0.15f, 0.5f, 169}, {0.5f, 0.4f, 170}, {0.8f, 0.3f, 0}};

struct Face {
    ScreenPoint a, b, c;
    float depth;      // as drawTriangle takes it: the mean of the three
    uint8_t colour;
    bool drawn;
};

struct Disc {
    ScreenPoint p;
    float radius;
    uint8_t colour;
    int16_t owner;    // car index, or maxCars + crew member for the fixed order
    int16_t order;    // place in its owner's fixed order
};

// Scratch of one frame; the race frame allocates nothing.
struct Scene {
    Face faces[maxFaces];
    int faceCount;
    int firstFace[maxCars + 1];  // faces of car k: firstFace[k] .. firstFace[k + 1] - 1
    Disc discs[maxDiscs];
    int discCount;
} scene;

bool project(const Vec3& p, ScreenPoint& out)
{
    return projectPoint(game.cameraPosition, game.cameraMatrix, p, out);
}

struct Frame {
    Vec3 position, right, up, forward;
    Vec3 apply(const Vec3& v) const { return position + right * v.x + up * v.y + forward * v.z; }
};

Frame carFrame(const CarState& s) { return {s.positionVector, s.rightAxis, s.upAxis, s.forwardAxis}; }

// Projects every vertex of the model placed by frame; place(v) may move a world vertex first.
template <class Place>
void projectVertices(const CarModel& m, const Frame& frame, Place place, ScreenPoint points[30], bool seen[30])
{
    for (int i = 0; i < modelVertexCount(m); ++i) seen[i] = project(place(frame.apply(m.vertices[i])), points[i]);
}

// Calls face(f, a, b, c) for each face whose three corners lie in front of the camera.
template <class Each>
void eachFace(const CarModel& m, const ScreenPoint points[30], const bool seen[30], Each face)
{
    eachModelFace(m, [&](int f, int a, int b, int c) {
        if (seen[a] && seen[b] && seen[c]) face(f, points[a], points[b], points[c]);
    });
}

// The ghost: the car's silhouette in a dark tone inside a light rim, with a light nose, so it
// shows on pale sand as on dark asphalt and a player can tell which way it heads.
constexpr uint8_t ghostBody = 1, ghostRim = 242;
constexpr float ghostNoseRadius = 0.6f;

ScreenPoint shifted(const ScreenPoint& p, float dx, float dy, float nearer)
{
    return {p.x + dx, p.y + dy, p.z - nearer};
}

void drawGhost()
{
    if (game.racePhase == Replay || game.carCount != 1 || !game.options.ghostCar) return;
    GhostSample s;
    if (!ghostSample(game.raceClock - game.cars[0].lastCrossing, s)) return;
    const CarModel& m = game.carModels[0];
    ScreenPoint points[30];
    bool seen[30];
    Frame frame{s.position, s.right, s.up, s.forward};
    projectVertices(m, frame, [](const Vec3& v) { return v; }, points, seen);
    // A unit nearer than the body, as shadows are, so the ground under it never hides it.
    const float offsets[9][3] = {{-1, -1, 1}, {0, -1, 1}, {1, -1, 1}, {-1, 0, 1},   {1, 0, 1},
                                 {-1, 1, 1},  {0, 1, 1},  {1, 1, 1},  {0, 0, 1.01f}};
    for (const auto& o : offsets) {
        uint8_t colour = o[0] == 0 && o[1] == 0 ? ghostBody : ghostRim;
        eachFace(m, points, seen, [&](int, const ScreenPoint& a, const ScreenPoint& b, const ScreenPoint& c) {
            ScreenPoint pa = shifted(a, o[0], o[1], o[2]), pb = shifted(b, o[0], o[1], o[2]), pc = shifted(c, o[0], o[1], o[2]);
            // Every face counts for the outline, whichever way it faces.
            float area = (pb.x - pa.x) * (pc.y - pa.y) - (pc.x - pa.x) * (pb.y - pa.y);
            if (area > 0) std::swap(pb, pc);
            drawTriangle(pa, pb, pc, colour, false);
        });
    }
    float front = 0;
    for (int i = 0; i < modelVertexCount(m); ++i) front = std::max(front, m.vertices[i].z);
    ScreenPoint nose;
    if (project(frame.apply({0, 0, front * 0.75f}), nose)) drawDisc(nose.x, nose.y, nose.z - 1.02f, ghostNoseRadius, ghostRim, false);
}

// The ground plane through the mean of the wheel contact points, its normal across the
// diagonals; height(x, z) drops a point vertically onto it.
struct GroundPlane {
    Vec3 centre, normal;
    bool flat;
    float height(float x, float z) const
    {
        if (flat) return centre.y;
        return centre.y - (normal.x * (x - centre.x) + normal.z * (z - centre.z)) / normal.y;
    }
};

GroundPlane groundUnder(const CarState& s)
{
    const Vec3* w = s.wheelPoints;
    GroundPlane g;
    g.centre = (w[0] + w[1] + w[2] + w[3]) * 0.25f;
    g.normal = cross(w[0] - w[3], w[1] - w[2]);
    float length = std::sqrt(dot(g.normal, g.normal));
    // Wheel points on a line (or a wall) give no usable slope: the shadow lies level.
    g.flat = !(std::fabs(g.normal.y) > 0.05f * length);
    return g;
}

void drawShadows()
{
    for (int k = 0; k < game.carCount && k < maxCars; ++k) {
        const CarState& s = game.cars[k];
        const CarModel& m = game.carModels[k];
        GroundPlane g = groundUnder(s);
        ScreenPoint points[30];
        bool seen[30];
        projectVertices(m, carFrame(s), [&](const Vec3& v) { return Vec3{v.x, g.height(v.x, v.z), v.z}; }, points, seen);
        eachFace(m, points, seen,
                 [](int, const ScreenPoint& a, const ScreenPoint& b, const ScreenPoint& c) { drawShadowTriangle(a, b, c); });
        for (const Vec3& w : s.wheelPoints) {
            ScreenPoint p;
            if (project(w, p)) drawShadowDisc(p.x, p.y, p.z, shadowDiscRadius);
        }
    }
    for (int b = 0; game.pitBoxes && b < game.pitBoxCount && b < maxPitBoxes; ++b)
        for (const PitCrewMember& c : game.pitBoxes[b].crew) {
            ScreenPoint p;
            Vec3 ground{c.position.x, terrainHeight(c.position.x, c.position.z), c.position.z};
            if (project(ground, p)) drawShadowDisc(p.x, p.y, p.z, shadowDiscRadius);
        }
}

void addDisc(const Vec3& centre, float radius, uint8_t colour, int owner, int order)
{
    ScreenPoint p;
    if (scene.discCount >= maxDiscs || !project(centre, p)) return;
    scene.discs[scene.discCount++] = {p, radius, colour, int16_t(owner), int16_t(order)};
}

// Faces, wheels and heads of every car and the crews' discs, projected.
void buildScene()
{
    scene.faceCount = 0;
    scene.discCount = 0;
    for (int k = 0; k < maxCars; ++k) {
        scene.firstFace[k] = scene.faceCount;
        if (k >= game.carCount) continue;
        const CarState& s = game.cars[k];
        const CarModel& m = game.carModels[k];
        Frame frame = carFrame(s);
        ScreenPoint points[30];
        bool seen[30];
        projectVertices(m, frame, [](const Vec3& v) { return v; }, points, seen);
        eachFace(m, points, seen, [&](int f, const ScreenPoint& a, const ScreenPoint& b, const ScreenPoint& c) {
            scene.faces[scene.faceCount++] = {a, b, c, (a.z + b.z + c.z) / 3, carFaceSlot(k, m.triangleColours[f]), false};
        });
        for (int w = 0; w < 4; ++w) {
            Vec3 centre = frame.apply(m.wheelPositions[w]);
            addDisc(centre, m.wheelRadius[w], centre.y < game.waterLevel ? wheelWaterSlot : wheelSlot, k, 0);
        }
        if (m.noHead == 0) {
            Vec3 centre = frame.apply(m.headPosition);
            addDisc(centre, headRadius, carSlot(k, centre.y < game.waterLevel ? 7 : 5), k, 2);
        }
    }
    scene.firstFace[maxCars] = scene.faceCount;
    for (int b = 0; game.pitBoxes && b < game.pitBoxCount && b < maxPitBoxes; ++b) {
        const PitBox& box = game.pitBoxes[b];
        uint8_t cap = box.owner < maxCars ? carSlot(box.owner, 5) : freeCrewSlot;
        for (int i = 0; i < pitCrewSize; ++i)
            for (int d = 0; d < crewDiscs; ++d) {
                const CrewDisc& c = crewStack[d];
                Vec3 centre = box.crew[i].position + Vec3{0, c.height, 0};
                addDisc(centre, c.radius, c.slot ? c.slot : cap, maxCars + b * pitCrewSize + i, d);
            }
    }
}

void drawFace(Face& f)
{
    drawTriangle(f.a, f.b, f.c, f.colour, false);
    f.drawn = true;
}

void drawSceneDisc(const Disc& d) { drawDisc(d.p.x, d.p.y, d.p.z, d.radius, d.colour, false); }

void drawBodiesSorted()
{
    Disc* discs = scene.discs;
    // Equal depths go by owner, then by place in the owner's order: a crew stack bottom first.
    std::sort(discs, discs + scene.discCount, [&](const Disc& a, const Disc& b) {
        if (a.p.z != b.p.z) return a.p.z > b.p.z;
        if (a.owner != b.owner) return a.owner < b.owner;
        return a.order < b.order;
    });
    for (int d = 0; d < scene.discCount; ++d) {
        for (int f = 0; f < scene.faceCount; ++f)
            if (!scene.faces[f].drawn && scene.faces[f].depth >= discs[d].p.z) drawFace(scene.faces[f]);
        drawSceneDisc(discs[d]);
    }
    for (int f = 0; f < scene.faceCount; ++f)
        if (!scene.faces[f].drawn) drawFace(scene.faces[f]);
}

void drawBodiesFixed()
{
    // One entry per car and per crew member, at the depth of its centre.
    struct Thing {
        float depth;
        int owner;
    };
    Thing things[maxCars + maxPitBoxes * pitCrewSize];
    int count = 0;
    for (int k = 0; k < game.carCount && k < maxCars; ++k) {
        ScreenPoint p;
        if (project(game.cars[k].positionVector, p)) things[count++] = {p.z, k};
    }
    for (int d = 0; d < scene.discCount; ++d)
        if (scene.discs[d].owner >= maxCars && scene.discs[d].order == 0)
            things[count++] = {scene.discs[d].p.z, scene.discs[d].owner};
    std::sort(things, things + count, [](const Thing& a, const Thing& b) {
        return a.depth != b.depth ? a.depth > b.depth : a.owner < b.owner;
    });
    for (int t = 0; t < count; ++t) {
        int owner = things[t].owner;
        // Discs were added in each owner's fixed order: wheels, then the head; a stack bottom first.
        for (int d = 0; d < scene.discCount; ++d)
            if (scene.discs[d].owner == owner && scene.discs[d].order < 2) drawSceneDisc(scene.discs[d]);
        if (owner < maxCars)
            for (int f = scene.firstFace[owner]; f < scene.firstFace[owner + 1]; ++f) drawFace(scene.faces[f]);
        for (int d = 0; d < scene.discCount; ++d)
            if (scene.discs[d].owner == owner && scene.discs[d].order >= 2) drawSceneDisc(scene.discs[d]);
    }
}

}  // namespace

void drawCarsSorted()
{
    drawGhost();
    drawShadows();
    buildScene();
    drawBodiesSorted();
}

void drawCarsFixed()
{
    drawGhost();
    drawShadows();
    buildScene();
    drawBodiesFixed();
}

void selectCarView(int tyreAutoSort)
{
    game.raceView = tyreAutoSort ? drawCarsSorted : drawCarsFixed;
}

void drawCars()
{
    if (game.raceView) game.raceView();
    else drawCarsSorted();
}
