// The panels read back through the font, at the smallest common and at a wide screen size.
#include "render/font.h"
#include "render/number_format.h"
#include "render/race_panels.h"
#include "pictures.h"
#include "render_fixture.h"
#include "text_reader.h"

#include <set>
#include <string>

namespace {

constexpr uint8_t white = 242, yellow = 245, red = 244, background = 12;

class Panels : public ::testing::TestWithParam<std::pair<int, int>> {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(screen.ok);
        // Reading back needs the shipped font: the stand-in one draws every glyph alike.
        ASSERT_TRUE(std::filesystem::exists(buildFolder() / "tarmacade" / "font.bmp")) << "build the game folder first";
        folder.provideFont();
        ASSERT_EQ(loadFont(), 0);
        ASSERT_TRUE(glyphsDiffer("0123456789:.+-spTRa"));
        game.guiOriginX = (width() - 80.0f * game.guiScale) * 0.5f;
        game.guiOriginY = (height() - 60.0f * game.guiScale) * 0.5f;
        for (std::string& s : game.uiStrings) s.clear();
        fillRect(nullptr, background);
        ASSERT_TRUE(lockDraw());
    }
    void TearDown() override { freeFont(); }
    int width() const { return GetParam().first; }
    int height() const { return GetParam().second; }
    std::string size() const { return std::to_string(width()) + "x" + std::to_string(height()); }

    static bool glyphsDiffer(const std::string& chars)
    {
        std::set<std::string> seen;
        int s = game.guiScale;
        for (char c : chars) {
            std::string ink;
            for (int j = 0; j < 2 * s; ++j)
                ink.append(reinterpret_cast<const char*>(game.glyphStrip) + size_t(j) * fontGlyphCount * s + size_t(glyphIndex(c)) * s, size_t(s));
            if (!seen.insert(ink).second) return false;
        }
        return true;
    }
    // The one place where the text shows; a failure names it when it shows nowhere or twice.
    static textreader::Place one(const std::string& text, uint8_t colour = white)
    {
        std::vector<textreader::Place> at = textreader::find(text, colour);
        EXPECT_EQ(at.size(), 1u) << '"' << text << '"';
        return at.empty() ? textreader::Place{-1, -1} : at[0];
    }
    // The topmost place where the text shows.
    static textreader::Place first(const std::string& text, uint8_t colour = white)
    {
        std::vector<textreader::Place> at = textreader::find(text, colour);
        EXPECT_FALSE(at.empty()) << '"' << text << '"';
        return at.empty() ? textreader::Place{-1, -1} : at[0];
    }
    // The one place on the row at y, left of x, where the text shows.
    static textreader::Place on(const std::string& text, int y, uint8_t colour = white, int beforeX = 1 << 30)
    {
        std::vector<textreader::Place> row;
        for (const textreader::Place& p : textreader::find(text, colour))
            if (p.y == y && p.x < beforeX) row.push_back(p);
        EXPECT_EQ(row.size(), 1u) << '"' << text << "\" on row " << y;
        return row.empty() ? textreader::Place{-1, -1} : row[0];
    }
    static bool absent(const std::string& text, uint8_t colour = white) { return textreader::find(text, colour).empty(); }

    TempGameFolder folder;
    Screen screen{GetParam().first, GetParam().second};
};

ResultLine line(const char* name, int32_t total, int32_t gap, int32_t lapsBehind, int32_t bestLap, int32_t laps)
{
    ResultLine l;
    l.name = name;
    l.totalTime = total, l.gap = gap, l.lapsBehind = lapsBehind, l.bestLap = bestLap, l.laps = laps;
    return l;
}

// A race of more than 100 s whose texts must all be read back whole: the winner's 3:03.45
// once printed as "83.45s".
RaceResults longRace()
{
    RaceResults r;
    r.lapLength = 1234;
    r.lines = {line("Alice", 18345, 0, 0, 3512, 5), line("Bob", 18776, 431, 0, 3549, 5),
               line("Chandra", 29575, 11230, 0, 3601, 5), line("Dmitri", 19002, 0, 1, 3640, 4),
               line("Eva", 372345, 353000, 0, 5999, 5), line("Farouk", 21000, 0, 2, 3700, 3)};
    r.fastestLapTime = 3512;
    r.fastestLapHolder = "Alice";
    r.fastestLapRank = 0;
    return r;
}

std::string trimmed(const std::string& s) { return s.substr(s.find_first_not_of(' ')); }

}  // namespace

TEST_P(Panels, ResultsShowEveryTotalTimeAndLongGapsInFull)
{
    RaceResults r = longRace();
    drawRaceResults(r);
    ASSERT_TRUE(savePicture("results_" + size() + ".bmp"));
    EXPECT_GE(one("Official standings", yellow).y, 0);
    EXPECT_GT(one("Press a key to go on").y, one("Fastest lap").y);

    // Each row: place, name, total time, gap or laps behind, best lap, average speed, in
    // that order from left to right.
    const char* totals[] = {"3:03.45", "3:07.76", "4:55.75", "3:10.02", "1:02:03.45", "3:30.00"};
    const char* behind[] = {nullptr, "+4.31s", "+1:52.30", "-1 lap", "+58:50.00", "-2 laps"};
    for (size_t i = 0; i < r.lines.size(); ++i) {
        const ResultLine& l = r.lines[i];
        SCOPED_TRACE(l.name);
        textreader::Place name = first(l.name);
        on(std::to_string(i + 1) + ".", name.y, white, name.x);
        textreader::Place total = on(totals[i], name.y);
        EXPECT_LT(name.x, total.x);
        int right = total.x;
        if (behind[i]) {
            textreader::Place b = on(behind[i], name.y);
            EXPECT_LT(total.x, b.x);
            right = b.x;
        }
        if (l.bestLap < 6000) {
            textreader::Place lap = on(trimmed(formatLapTime(l.bestLap)), name.y);
            EXPECT_LT(right, lap.x);
            right = lap.x;
        }
        std::string speedText = trimmed(formatAverageSpeed(l.laps, r.lapLength, l.totalTime));
        textreader::Place speed = on(speedText, name.y);
        EXPECT_LT(right, speed.x);
        // Everything stays inside the panel of 76 units.
        EXPECT_LE(speed.x + int(speedText.size()) * game.guiScale, int(game.guiOriginX) + 78 * game.guiScale);
    }
    // The lap-time form drops whole hundreds of seconds: none of it may stand for a total.
    EXPECT_TRUE(absent("83.45s"));
    EXPECT_TRUE(absent("3.45s"));

    // The fastest lap keeps the lap form, with the new record marked beside it.
    textreader::Place fastest = one("Fastest lap");
    EXPECT_EQ(one("35.12s Alice").y, fastest.y);
    EXPECT_EQ(one("TR", red).y, fastest.y);
}

TEST_P(Panels, TimeTrialResultsListTheBestTimes)
{
    RaceResults r;
    r.timeTrial = true;
    r.lapLength = 800;
    r.lines = {line("Alice", 10321, 0, 0, 3211, 3)};
    r.fastestLapTime = 3211;
    r.fastestLapHolder = "Alice";
    r.fastestLapRank = 2;
    r.bestTimes = {{"Bob", 3105}, {"Alice", 3211}, {"nobody", 6000}};
    drawRaceResults(r);
    EXPECT_GE(one("Time trial results", yellow).y, 0);
    EXPECT_GE(one("1:43.21").y, 0);
    EXPECT_TRUE(absent("+0.00s"));  // a lone car is behind nobody
    EXPECT_EQ(one("2.", red).y, one("Fastest lap").y);
    textreader::Place best = one("Best times");
    textreader::Place bob = one("Bob");
    EXPECT_GT(bob.y, best.y);
    on("31.05s", bob.y);
    EXPECT_TRUE(absent("nobody"));  // an empty time lists no one
    EXPECT_GT(one("Press a key to go on").y, bob.y);
}

TEST_P(Panels, InformationPointsLoadingAndStandings)
{
    RaceInformation info;
    info.distanceMetres = 6170;
    info.laps = 5;
    info.recordTime = 4712;
    info.recordHolder = "Alice";
    info.trackName = "forest";
    drawRaceInformation(info);
    ASSERT_TRUE(savePicture("information_" + size() + ".bmp"));
    // The track's name heads the panel; the last line says how to go on.
    EXPECT_LT(one("forest", yellow).y, one("Race distance").y);
    EXPECT_GT(one("Press a key to go on").y, one("Track record").y);
    EXPECT_EQ(one("6.170 km  5 laps").y, one("Race distance").y);
    EXPECT_EQ(one("47.12s Alice").y, one("Track record").y);
    EXPECT_TRUE(absent("Best time"));

    PointsTable t;
    t.race = 2, t.races = 5;
    t.lines = {{"Alice", 19, false}, {"Bob", 12, false}, {"Eva", 12, true}};
    fillRect(nullptr, background);
    drawChampionshipPoints(t);
    ASSERT_TRUE(savePicture("points_" + size() + ".bmp"));
    EXPECT_GE(one("Championship points", yellow).y, 0);
    EXPECT_GE(one("after race 2/5").y, 0);
    EXPECT_EQ(one("19 p").y, one("Alice").y);
    on("1.", one("Alice").y, white, one("Alice").x);
    on("2.", one("Bob").y, white, one("Bob").x);
    EXPECT_EQ(textreader::find("12 p", white).size(), 2u);
    EXPECT_TRUE(absent("3."));  // Eva shares second place
    EXPECT_GT(one("Press a key to go on").y, one("Eva").y);

    fillRect(nullptr, background);
    drawSeasonStandings(t);
    ASSERT_TRUE(savePicture("standings_" + size() + ".bmp"));
    EXPECT_LT(one("Tarmacade").y, one("Official championship", yellow).y);
    EXPECT_LT(one("Official championship", yellow).y, one("standings", yellow).y);
    EXPECT_LT(one("standings", yellow).y, one("Alice").y);
    EXPECT_GT(one("Press a key to go on").y, one("Eva").y);

    drawLoadingScreen();
    EXPECT_GE(one("LOADING...").y, 0);
    EXPECT_TRUE(absent("Alice"));  // the loading screen covers everything
}

INSTANTIATE_TEST_SUITE_P(Screens, Panels, ::testing::Values(std::make_pair(640, 480), std::make_pair(1920, 1080)),
                         [](const auto& info) { return std::to_string(info.param.first) + "x" + std::to_string(info.param.second); });
