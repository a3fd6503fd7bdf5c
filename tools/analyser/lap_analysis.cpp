// Lap cutting: a lap ends each time the path's segment between two frames crosses the finish line.
#include "lap_analysis.h"

#include <cmath>
#include <cstdio>

static float cross(float ax, float ay, float bx, float by) { return ax * by - ay * bx; }

// Whether the segment p -> q crosses the finish line. A point lying on the line counts on the
// far side, so a frame that lands exactly on it closes one lap, not two.
static bool crossesFinish(const MapPoint& p, const MapPoint& q, const float* f)
{
    float lx = f[2] - f[0], ly = f[3] - f[1];
    float sp = cross(lx, ly, p.x - f[0], p.y - f[1]);
    float sq = cross(lx, ly, q.x - f[0], q.y - f[1]);
    if ((sp < 0) == (sq < 0)) return false;
    float mx = q.x - p.x, my = q.y - p.y;
    float d0 = cross(mx, my, f[0] - p.x, f[1] - p.y);
    float d1 = cross(mx, my, f[2] - p.x, f[3] - p.y);
    return (d0 <= 0 && d1 >= 0) || (d0 >= 0 && d1 <= 0);
}

LapAnalysis analyseLaps(const std::vector<PathPoint>& path, const TrackInfo& track)
{
    LapAnalysis a;
    if (track.sizeByte <= 0) return a;
    // Frames hold metres x 150 and a map cell is sizeByte / 512 metres.
    float scale = track.sizeByte * 150.0f / mapSize;
    a.points.reserve(path.size());
    for (const PathPoint& p : path) a.points.push_back(MapPoint{p.x / scale, p.z / scale});
    if (!track.hasFinish) return a;

    int lapStart = -1;
    for (size_t i = 1; i < a.points.size(); ++i) {
        if (!crossesFinish(a.points[i - 1], a.points[i], track.finish)) continue;
        if (lapStart >= 0) {
            Lap lap;
            lap.firstFrame = lapStart;
            lap.lastFrame = int(i);
            lap.hundredths = (int(i) - lapStart) * 100 / replayFramesPerSecond;
            a.laps.push_back(lap);
        } else {
            a.firstCrossing = int(i);
        }
        lapStart = int(i);
    }
    for (size_t k = 0; k < a.laps.size(); ++k) {
        int t = a.laps[k].hundredths;
        // A lap of a minute or more is the empty lap time, never the fastest.
        if (t > 0 && t < 6000 && (a.fastest < 0 || t < a.laps[size_t(a.fastest)].hundredths)) a.fastest = int(k);
        if (a.slowest < 0 || t > a.laps[size_t(a.slowest)].hundredths) a.slowest = int(k);
    }
    return a;
}

std::string hundredthsText(int hundredths)
{
    // In 64 bits: a file's most negative i32 has no 32-bit magnitude.
    long long h = std::llabs(static_cast<long long>(hundredths));
    char s[32];
    std::snprintf(s, sizeof s, "%s%lld.%02lld", hundredths < 0 ? "-" : "", h / 100, h % 100);
    return s;
}

std::string averageSpeedText(int laps, uint32_t lapLength, long long steps)
{
    if (steps <= 0) return "0 kmh";
    // k L m in t steps of 10 ms is k L 360 / t km/h; kept in thousandths, then rounded to hundredths.
    double thousandths = double(laps) * lapLength * 360000.0 / double(steps);
    // Kept in doubles: a lying file's values would overflow any integer.
    double hundredths = std::round(thousandths / 10.0);
    char s[64];
    std::snprintf(s, sizeof s, "%.2f kmh", hundredths / 100.0);
    return s;
}
