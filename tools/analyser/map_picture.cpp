#include "map_picture.h"

#include "byte_reader.h"
#include "game_folder.h"
#include "jpeg_writer.h"
#include "saved_game_reader.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <strings.h>

// Picture palette index of each ground code, code 0 first.
static const uint8_t codeColour[16] = {23, 26, 42, 154, 59, 83, 89, 104, 100, 242, 245, 244, 9, 0, 0, 0};
constexpr int backgroundIndex = 240;
constexpr Rgb pathColour{0xFF, 0x00, 0x00};
constexpr Rgb finishColour{0xFF, 0xFF, 0xFF};
constexpr Rgb textColour{0xFF, 0xFF, 0xFF};
constexpr Rgb textBackground{0x20, 0x20, 0x20};

constexpr int glyphCount = 160, glyphWidth = 10, glyphHeight = 20;

static void builtInColours(Rgb* p)
{
    // The default palette's colours for the indices the map uses.
    struct Entry {
        int index;
        Rgb colour;
    };
    static const Entry entries[] = {
        {0, {0, 0, 0}},          {9, {62, 62, 62}},       {23, {158, 158, 158}},   {26, {179, 179, 179}},
        {42, {145, 202, 91}},    {59, {160, 135, 110}},   {83, {211, 172, 158}},   {89, {250, 220, 210}},
        {100, {220, 230, 239}},  {104, {245, 250, 255}},  {154, {170, 60, 40}},    {240, {0, 100, 150}},
        {242, {255, 255, 255}},  {244, {255, 0, 0}},      {245, {255, 255, 0}},
    };
    for (const Entry& e : entries) p[e.index] = e.colour;
}

static std::string paletteFileName(const std::string& gameFolder)
{
    std::string ini = resolveInFolder(gameFolder, "tm.ini");
    std::vector<uint8_t> text;
    if (ini.empty() || !readWholeFile(ini, text, 1 << 20)) return "tm.pal";
    // The PaletteFile line of tm.ini; a value after "=" up to a comment or the line's end.
    std::string s(text.begin(), text.end());
    size_t at = 0;
    while (at < s.size()) {
        size_t end = s.find('\n', at);
        if (end == std::string::npos) end = s.size();
        std::string line = s.substr(at, end - at);
        at = end + 1;
        size_t eq = line.find('=');
        if (eq == std::string::npos) continue;
        std::string key = line.substr(0, eq);
        while (!key.empty() && (key.back() == ' ' || key.back() == '\t')) key.pop_back();
        while (!key.empty() && (key.front() == ' ' || key.front() == '\t')) key.erase(key.begin());
        if (key != "PaletteFile") continue;
        std::string value = line.substr(eq + 1);
        size_t semi = value.find(';');
        if (semi != std::string::npos) value.resize(semi);
        while (!value.empty() && (value.back() == ' ' || value.back() == '\r' || value.back() == '\t')) value.pop_back();
        while (!value.empty() && (value.front() == ' ' || value.front() == '\t')) value.erase(value.begin());
        // The palette lies in the game folder; anything leading out of it is not followed.
        if (!value.empty() && safeTrackName(value) && value[0] != '\\' && value[0] != '/') return value;
        return "tm.pal";
    }
    return "tm.pal";
}

static void loadGlyphs(const std::string& gameFolder, std::vector<uint8_t>& glyphs)
{
    glyphs.clear();
    std::string path = resolveInFolder(gameFolder, "font.bmp");
    std::vector<uint8_t> file;
    if (path.empty() || !readWholeFile(path, file, 1 << 20)) return;
    ByteView v{file.data(), file.size()};
    const int rowBytes = glyphCount * 20 / 8, rows = 40;
    uint32_t pixels = v.u32(10);
    if (v.u32(34) != uint32_t(rowBytes * rows) || !v.holds(pixels, uint64_t(rowBytes) * rows)) return;
    // Half size: a pixel is ink when any of its four source pixels is.
    glyphs.assign(size_t(glyphCount) * glyphWidth * glyphHeight, 0);
    const int width = glyphCount * glyphWidth;
    for (int y = 0; y < rows; ++y) {
        const uint8_t* row = file.data() + pixels + size_t(rows - 1 - y) * rowBytes;  // bottom-up
        for (int x = 0; x < glyphCount * 20; ++x) {
            if (row[x / 8] & (0x80 >> (x % 8))) glyphs[size_t(y / 2) * width + x / 2] = 1;
        }
    }
}

PictureLook loadPictureLook(const std::string& gameFolder)
{
    PictureLook look;
    builtInColours(look.palette);
    std::string path = resolveInFolder(gameFolder, paletteFileName(gameFolder));
    std::vector<uint8_t> file;
    if (!path.empty() && readWholeFile(path, file, 1 << 20) && file.size() >= 24 + 1024) {
        for (int i = 0; i < 256; ++i) {
            const uint8_t* e = file.data() + 24 + 4 * i;
            look.palette[i] = Rgb{e[0], e[1], e[2]};
        }
    }
    loadGlyphs(gameFolder, look.glyphs);
    return look;
}

static void put(Picture& p, int x, int y, Rgb c)
{
    if (x < 0 || y < 0 || x >= p.width || y >= p.height) return;
    uint8_t* d = p.rgb.data() + (size_t(y) * p.width + x) * 3;
    d[0] = c.r;
    d[1] = c.g;
    d[2] = c.b;
}

// North up, as the race view shows the track: the map's first row (z = 0) is the picture's
// bottom one.
static float pictureRow(float mapRow) { return mapSize - 1 - mapRow; }

static bool onMap(float x, float y) { return x >= 1 && x <= 510 && y >= 1 && y <= 510; }

static void line(Picture& p, float x0, float y0, float x1, float y1, Rgb c)
{
    float steps = std::ceil(std::max(std::fabs(x1 - x0), std::fabs(y1 - y0)));
    // Replay frames are at most a few cells apart; a long jump is a cut in the replay.
    if (steps > 64) steps = 0;
    for (int i = 0; i <= int(steps); ++i) {
        float t = steps > 0 ? i / steps : 0;
        float x = x0 + (x1 - x0) * t, y = y0 + (y1 - y0) * t;
        if (onMap(x, y)) put(p, int(std::lround(x)), int(std::lround(y)), c);
    }
}

static void drawText(Picture& p, int x, int y, const std::string& text, const PictureLook& look)
{
    if (look.glyphs.empty()) return;
    const int width = glyphCount * glyphWidth;
    for (unsigned char ch : text) {
        // The game's glyph order: printable ASCII, then the upper 64 codes.
        int g = ch >= 33 && ch < 128 ? ch - 32 : (ch >= 0xC0 ? ch - 96 : 0);
        for (int j = 0; j < glyphHeight; ++j)
            for (int i = 0; i < glyphWidth; ++i)
                if (look.glyphs[size_t(j) * width + g * glyphWidth + i]) put(p, x + i, y + j, textColour);
        x += glyphWidth;
    }
}

void drawMapPicture(Picture& out, const TrackInfo* track, const LapAnalysis& laps, int selectedLap,
                    const std::vector<std::string>& textLines, const PictureLook& look)
{
    out.width = pictureWidth;
    out.height = pictureHeight;
    out.rgb.assign(size_t(out.width) * out.height * 3, 0);
    for (int y = 0; y < out.height; ++y)
        for (int x = 0; x < out.width; ++x)
            put(out, x, y, y < mapSize ? look.palette[backgroundIndex] : textBackground);
    if (track && track->surface.size() == size_t(mapSize) * mapSize) {
        for (int y = 0; y < mapSize; ++y)
            for (int x = 0; x < mapSize; ++x) {
                uint8_t code = track->surface[size_t(y) * mapSize + x];
                if (code < 16) put(out, x, int(pictureRow(float(y))), look.palette[codeColour[code]]);
            }
        if (track->hasFinish)
            line(out, track->finish[0], pictureRow(track->finish[1]), track->finish[2], pictureRow(track->finish[3]),
                 finishColour);
    }

    int first = 0, last = int(laps.points.size()) - 1;
    if (selectedLap > 0 && selectedLap <= int(laps.laps.size())) {
        first = laps.laps[size_t(selectedLap - 1)].firstFrame;
        last = laps.laps[size_t(selectedLap - 1)].lastFrame;
    } else if (selectedLap > 0) {
        last = -1;  // a lap the path does not hold
    }
    for (int i = first; i <= last; ++i) {
        MapPoint q = laps.points[size_t(i)];
        q.y = pictureRow(q.y);
        if (i == first) {
            for (int dy = -1; dy <= 1; ++dy)
                for (int dx = -1; dx <= 1; ++dx)
                    if (onMap(q.x + dx, q.y + dy)) put(out, int(std::lround(q.x)) + dx, int(std::lround(q.y)) + dy, pathColour);
        } else {
            const MapPoint& p = laps.points[size_t(i - 1)];
            line(out, p.x, pictureRow(p.y), q.x, q.y, pathColour);
        }
    }
    int y = mapSize + 3;
    for (const std::string& t : textLines) {
        if (y + glyphHeight > out.height) break;
        drawText(out, 4, y, t, look);
        y += glyphHeight + 2;
    }
}

bool isJpegName(const std::string& path)
{
    auto endsWith = [&](const char* ext) {
        size_t n = std::strlen(ext);
        return path.size() > n && strcasecmp(path.c_str() + path.size() - n, ext) == 0;
    };
    return endsWith(".jpg") || endsWith(".jpeg");
}

bool writeJpeg(const Picture& picture, const std::string& path, int quality, std::string& why)
{
    std::vector<uint8_t> jpeg;
    if (!encodeRgbJpeg(picture.rgb.data(), picture.rgb.size(), picture.width, picture.height, quality, jpeg))
        return why = "no picture", false;
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return why = "cannot write " + path, false;
    bool ok = std::fwrite(jpeg.data(), 1, jpeg.size(), f) == jpeg.size();
    ok = std::fflush(f) == 0 && !std::ferror(f) && ok;
    ok = std::fclose(f) == 0 && ok;
    if (!ok) {
        // A cut picture would pass for a whole one.
        std::remove(path.c_str());
        return why = "cannot write " + path, false;
    }
    return true;
}
