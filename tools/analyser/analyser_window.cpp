#include "analyser_window.h"

#include "analysis.h"
#include "analysis_text.h"
#include "game_folder.h"
#include "map_picture.h"

#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Double_Window.H>
#include <FL/Fl_File_Chooser.H>
#include <FL/Fl_Slider.H>
#include <FL/fl_draw.H>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <strings.h>

constexpr Fl_Font tableFont = FL_COURIER;
constexpr int tableSize = 12;
constexpr Fl_Font labelFont = FL_HELVETICA;
constexpr int labelSize = 10;
constexpr int minimumLaps = 20;  // the slider's range at least

static std::string gameFolder;
static std::string openFolder;  // where the last saved game came from
static Analysis analysis;
static bool loaded = false;
static int selectedLap = 0;
static PictureLook look;
static Picture picture;

static Fl_Double_Window* window;
static Fl_Box* lapNumber;
static Fl_Slider* lapSlider;

static void panelBackground(int x, int y, int w, int h)
{
    fl_color(FL_WHITE);
    fl_rectf(x, y, w, h);
    fl_color(FL_DARK3);
    fl_rect(x, y, w, h);
}

static void drawLines(const std::vector<std::string>& lines, int x, int y, int lineHeight, int bottom)
{
    fl_color(FL_BLACK);
    for (const std::string& s : lines) {
        if (y + lineHeight > bottom) break;
        fl_draw(s.c_str(), x, y + lineHeight - fl_descent());
        y += lineHeight;
    }
}

struct MapView : Fl_Widget {
    MapView(int x, int y, int w, int h) : Fl_Widget(x, y, w, h) {}
    void draw() override
    {
        if (picture.rgb.size() == size_t(picture.width) * picture.height * 3)
            fl_draw_image(picture.rgb.data(), x(), y(), picture.width, picture.height, 3);
        if (!look.glyphs.empty() || !loaded) return;
        // Without the game's font.bmp the picture has no text; the window still shows it.
        fl_font(tableFont, tableSize + 2);
        fl_color(FL_WHITE);
        int row = y() + mapSize + 3;
        for (const std::string& s : pictureLines(analysis, selectedLap)) {
            fl_draw(s.c_str(), x() + 4, row + 16);
            row += 22;
        }
    }
};

struct CarTable : Fl_Widget {
    CarTable(int x, int y, int w, int h) : Fl_Widget(x, y, w, h) {}
    void draw() override
    {
        panelBackground(x(), y(), w(), h());
        if (!loaded) return;
        // Two lines a car: six cars fill the panel in a size smaller than the other tables.
        fl_font(tableFont, tableSize - 2);
        fl_push_clip(x(), y(), w(), h());
        drawLines(carTableLines(analysis), x() + 4, y() + 3, 11, y() + h());
        fl_pop_clip();
    }
};

struct GaugePanel : Fl_Widget {
    GaugePanel(int x, int y, int w, int h) : Fl_Widget(x, y, w, h) {}
    void draw() override
    {
        panelBackground(x(), y(), w(), h());
        if (!loaded) return;
        fl_push_clip(x(), y(), w(), h());
        int row = y() + 6;
        for (const Gauge& g : gauges(analysis.game)) {
            fl_font(labelFont, labelSize);
            fl_color(FL_BLACK);
            fl_draw(g.label, x() + 6, row + 13);
            int barX = x() + 90, barW = 300, barH = 16;
            fl_color(FL_GRAY);
            fl_rectf(barX, row, barW, barH);
            int filled = std::clamp(g.value, 0, g.maximum) * barW / g.maximum;
            fl_color(fl_rgb_color(40, 110, 180));
            fl_rectf(barX, row, filled, barH);
            fl_color(FL_BLACK);
            fl_rect(barX, row, barW, barH);
            char value[32];
            snprintf(value, sizeof value, "%d%s", g.value, g.unit);
            fl_draw(value, barX + barW + 10, row + 13);
            row += 26;
        }
        fl_pop_clip();
    }
};

struct LapPanel : Fl_Widget {
    LapPanel(int x, int y, int w, int h) : Fl_Widget(x, y, w, h) {}
    void draw() override
    {
        panelBackground(x(), y(), w(), h());
        if (!loaded) return;
        fl_push_clip(x(), y(), w(), h());
        fl_font(tableFont, tableSize);
        std::vector<std::string> summary = lapSummaryLines(analysis, selectedLap);
        drawLines(summary, x() + 6, y() + 4, 22, y() + h());
        // The lap list: 22 pixels a line, in columns 78 pixels apart.
        fl_font(labelFont, labelSize);
        int top = y() + 4 + 22 * int(summary.size()) + 4;
        int rows = std::max(1, (y() + h() - top) / 22);
        std::vector<std::string> entries = lapListEntries(analysis);
        for (size_t k = 0; k < entries.size(); ++k) {
            int col = int(k) / rows, row = int(k) % rows;
            fl_color(int(k) + 1 == selectedLap ? FL_RED : FL_BLACK);
            fl_draw(entries[k].c_str(), x() + 6 + 78 * col, top + 22 * row + 15);
        }
        fl_pop_clip();
    }
};

struct SettingsPanel : Fl_Widget {
    SettingsPanel(int x, int y, int w, int h) : Fl_Widget(x, y, w, h) {}
    void draw() override
    {
        panelBackground(x(), y(), w(), h());
        fl_push_clip(x(), y(), w(), h());
        fl_font(tableFont, tableSize - 1);
        std::vector<std::string> lines;
        if (loaded) lines = settingsLines(analysis);
        for (const std::string& m : analysis.messages) lines.push_back("> " + m);
        drawLines(lines, x() + 6, y() + 3, 13, y() + h());
        fl_pop_clip();
    }
};

static void showLap()
{
    static char text[16];
    snprintf(text, sizeof text, "%d", selectedLap);
    lapNumber->label(text);
    lapSlider->value(selectedLap);
    drawMapPicture(picture, analysis.trackRead ? &analysis.track : nullptr, analysis.laps, selectedLap,
                   pictureLines(analysis, selectedLap), look);
    window->redraw();
}

static void message(const std::string& text)
{
    addMessage(analysis, text);
    window->redraw();
}

static std::string folderOf(const std::string& path)
{
    size_t slash = path.rfind('/');
    return slash == std::string::npos ? "." : path.substr(0, slash + 1);
}

static void openGame(const std::string& path)
{
    std::string why;
    Analysis next;
    next.messages = analysis.messages;
    if (!analyseSavedGame(gameFolder, path, next, why)) {
        message(path.substr(path.rfind('/') + 1) + ": " + why);  // the shown game stays
        return;
    }
    analysis = std::move(next);
    loaded = true;
    openFolder = folderOf(path);
    if (!analysis.trackRead && safeTrackName(analysis.game.trackName)) {
        std::string title = "Open Track: " + analysis.game.trackName;
        std::string tracks = resolveInFolder(gameFolder, "tracks");
        const char* chosen = fl_file_chooser(title.c_str(), "*.trk", (tracks.empty() ? gameFolder : tracks + "/").c_str());
        if (chosen && !useTrackFile(analysis, chosen, why)) addMessage(analysis, why);
    }
    int laps = int(analysis.laps.laps.size());
    lapSlider->maximum(std::max(minimumLaps, laps));
    selectedLap = 0;
    showLap();
}

static void loadCb(Fl_Widget*, void*)
{
    const char* chosen = fl_file_chooser("Open Game", "*.gam", openFolder.c_str());
    if (chosen) openGame(chosen);
}

static void saveCb(Fl_Widget*, void*)
{
    if (!loaded) return;
    std::string base = analysis.gamePath.substr(analysis.gamePath.rfind('/') + 1);
    if (base.size() > 4 && strcasecmp(base.c_str() + base.size() - 4, ".gam") == 0) base.resize(base.size() - 4);
    std::string proposed = openFolder + base + ".jpg";
    const char* chosen = fl_file_chooser("Bild speichern", "*.jpg", proposed.c_str());
    if (!chosen) return;
    std::string path = chosen;
    // Any other name gets ".jpg", so a saved game or track is never written over.
    if (!isJpegName(path)) path += ".jpg";
    std::string why;
    if (writeJpeg(picture, path, 90, why)) message("Bild gespeichert");
    else message(why);
}

static void stepCb(Fl_Widget*, void* delta)
{
    int next = selectedLap + int(reinterpret_cast<intptr_t>(delta));
    selectedLap = std::clamp(next, 0, int(lapSlider->maximum()));
    showLap();
}

static void sliderCb(Fl_Widget*, void*)
{
    selectedLap = int(lapSlider->value());
    showLap();
}

int runAnalyserWindow(const std::string& folder, const std::string& file, int argc, char** argv)
{
    gameFolder = folder;
    std::string saves = resolveInFolder(gameFolder, "saves");
    openFolder = (saves.empty() ? gameFolder : saves) + "/";
    look = loadPictureLook(gameFolder);

    window = new Fl_Double_Window(5, 5, 1010, 720, "TM Game Analyser");
    new MapView(5, 5, 512, 560);
    new CarTable(520, 5, 480, 140);
    new GaugePanel(520, 150, 480, 140);
    new LapPanel(520, 295, 480, 270);
    new SettingsPanel(200, 570, 800, 140);
    Fl_Button* save = new Fl_Button(10, 580, 105, 24, "Save JPEG");
    save->shortcut(FL_CTRL + 's');
    save->callback(saveCb);
    Fl_Button* load = new Fl_Button(120, 580, 60, 24, "Load");
    load->shortcut(FL_CTRL + 'o');
    load->callback(loadCb);
    Fl_Box* lapLabel = new Fl_Box(10, 625, 50, 24, "Lap:");
    lapLabel->align(FL_ALIGN_INSIDE | FL_ALIGN_LEFT);
    lapNumber = new Fl_Box(55, 625, 30, 24, "0");
    lapNumber->align(FL_ALIGN_INSIDE | FL_ALIGN_LEFT);
    Fl_Button* previous = new Fl_Button(120, 620, 25, 24, "<");
    previous->callback(stepCb, reinterpret_cast<void*>(intptr_t(-1)));
    Fl_Button* next = new Fl_Button(155, 620, 25, 24, ">");
    next->callback(stepCb, reinterpret_cast<void*>(intptr_t(1)));
    lapSlider = new Fl_Slider(10, 660, 180, 30);
    lapSlider->type(FL_HOR_NICE_SLIDER);
    lapSlider->bounds(0, minimumLaps);
    lapSlider->step(1);
    lapSlider->callback(sliderCb);
    window->end();
    window->show(argc, argv);

    showLap();
    if (!file.empty()) openGame(file);
    return Fl::run();
}
