// tmzipper: packs a competition entry. Run from the game folder; with no options it opens the
// window, --list and --make work for scripts without one.
#include "zipper_entry.h"
#include "zipper_picture.h"
#include "platform/player_folder.h"

#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Check_Button.H>
#include <FL/Fl_Input.H>
#include <FL/Fl_RGB_Image.H>
#include <FL/Fl_Window.H>
#include <FL/fl_ask.H>

#include <climits>
#include <cstdio>
#include <cstring>
#include <string>
#include <unistd.h>

static const char* const noSavesTitle = "Finde \\Saves nicht";
static const char* const noSavesText = "Programm muß im TM-Verzeichnis stehen";

static CompetitionEntry entry;
static Fl_Check_Button* trackBox;
static Fl_Check_Button* gameBox;
static Fl_Check_Button* screenBox;
static Fl_Check_Button* jpgBox;
static Fl_Input* nameField;
static Fl_Button* makeButton;
static std::string lastMade;  // the name of the archive the field reports

static std::string profileFolder = ".";  // beside the program, or the player's folder when installed

// A portable zipper works on the folder it is started from; an installed one on the player's
// folder, whatever the desktop started it in.
static bool findGameFolder()
{
    char buf[PATH_MAX];
    ssize_t len = readlink("/proc/self/exe", buf, sizeof buf - 1);
    std::string path = len > 0 ? std::string(buf, size_t(len)) : std::string();
    size_t slash = path.rfind('/');
    std::string own = slash == std::string::npos ? std::string() : path.substr(0, slash);
    std::string entered, why;
    if (!enterPlayerFolder(own, entered, why)) {
        fprintf(stderr, "tmzipper: %s\n", why.c_str());
        return false;
    }
    profileFolder = entered.empty() ? (own.empty() ? "." : own) : entered;
    return true;
}

static std::string profilePath()
{
    return profileFolder + "/comp_zipper.prf";
}

static std::string trackLine()
{
    if (!entry.hasGame) {
        return "";
    }
    if (!entry.gameReadable) {
        return entry.gameProblem;
    }
    if (!entry.hasTrack) {
        return entry.trackShown + ": " + entry.trackProblem;
    }
    return entry.trackShown;
}

static void makeCb(Fl_Widget*, void*)
{
    makeButton->label(" Wait");
    makeButton->deactivate();
    Fl::flush();
    PackChoice choice;
    choice.track = trackBox->value();
    choice.game = gameBox->value();
    choice.screen = screenBox->value();
    choice.jpg = jpgBox->value();
    std::string name = nameField->value();
    // The field shows the result after a make; pressing again means the same name.
    if (!lastMade.empty() && name == madeText(lastMade)) {
        name = lastMade;
    }
    MakeResult result = makeArchive(".", entry, choice, name, false);
    if (result == MakeResult::Exists) {
        fl_message_title("Make Zip");
        std::string question = "zip\\" + name + ".zip gibt es schon. Überschreiben?";
        if (fl_choice("%s", "Nein", "Ja", nullptr, question.c_str()) == 1) {
            result = makeArchive(".", entry, choice, name, true);
        }
    }
    if (result == MakeResult::Made) {
        lastMade = name;
        nameField->value(madeText(name).c_str());
    } else if (result != MakeResult::Exists) {
        fprintf(stderr, "tmzipper: %s\n", makeMessage(result));
        nameField->value("Error");
    }
    makeButton->label("Make Zip");
    makeButton->activate();
}

static int runWindow(int argc, char** argv)
{
    ZipperProfile profile = loadProfile(profilePath());
    if (!gatherEntry(".", entry)) {
        fl_message_title(noSavesTitle);
        fl_alert("%s", noSavesText);
        return 1;
    }
    static std::string trackText = trackLine();
    static std::string gameText = entry.gameShown;
    static std::string screenText = entry.screenShown;

    Fl_Window* window = new Fl_Window(10, 10, 840, 710, "TM Competition Zipper");
    Fl_Box* picture = new Fl_Box(20, 5, 800, 600);
    picture->box(FL_DOWN_BOX);
    Picture shot;
    if (entry.hasScreen && decodeBmp(entry.screenData.data(), entry.screenData.size(), shot)) {
        Fl_RGB_Image full(shot.rgb.data(), shot.width, shot.height, 3);
        picture->image(full.copy(800, 600));  // the preview only; the archive gets the full size
    }
    trackBox = new Fl_Check_Button(20, 620, 70, 24, "Track");
    gameBox = new Fl_Check_Button(20, 650, 70, 24, "Game");
    screenBox = new Fl_Check_Button(20, 680, 70, 24, "Screen");
    jpgBox = new Fl_Check_Button(320, 680, 60, 24, " jpg");
    trackBox->value(profile.track);
    gameBox->value(profile.game);
    screenBox->value(profile.screen);
    jpgBox->value(profile.jpg);
    Fl_Box* texts[3] = {new Fl_Box(100, 625, 300, 24, trackText.c_str()),
                        new Fl_Box(100, 655, 300, 24, gameText.c_str()),
                        new Fl_Box(100, 685, 200, 24, screenText.c_str())};
    for (Fl_Box* t : texts) {
        t->align(FL_ALIGN_LEFT | FL_ALIGN_INSIDE | FL_ALIGN_CLIP);
    }
    new Fl_Box(410, 625, 38, 24, "Zip:");
    nameField = new Fl_Input(450, 620, 350, 24);
    nameField->value(suggestedArchiveName(profile, entry).c_str());
    makeButton = new Fl_Button(450, 660, 80, 30, "Make Zip");
    makeButton->callback(makeCb);
    window->end();
    window->show(argc, argv);
    return Fl::run();
}

static int usage(FILE* to)
{
    fprintf(to,
            "usage: tmzipper                      open the window\n"
            "       tmzipper --list               print what the archive would hold\n"
            "       tmzipper --make [NAME]        write zip\\NAME.zip (NAME: the built name)\n"
            "       tmzipper --make [NAME] --force  the same, replacing an existing archive\n"
            "Run it from the game folder; comp_zipper.prf beside the program chooses what is packed.\n"
            "Installed (in /usr/games), it works on the player's folder ~/.local/share/tarmacade.\n");
    return to == stdout ? 0 : 2;
}

// For the command line: the entry must be complete in what the profile ticks.
static bool gatherForScript(const ZipperProfile& profile)
{
    if (!gatherEntry(".", entry)) {
        fprintf(stderr, "tmzipper: %s: %s\n", noSavesTitle, noSavesText);
        return false;
    }
    if (entry.hasGame && !entry.gameReadable) {
        fprintf(stderr, "tmzipper: %s: %s\n", entry.gameShown.c_str(), entry.gameProblem.c_str());
        return false;
    }
    if (profile.track && entry.gameReadable && !entry.hasTrack) {
        fprintf(stderr, "tmzipper: %s: %s\n", entry.trackShown.c_str(), entry.trackProblem.c_str());
        return false;
    }
    return true;
}

static int list(const ZipperProfile& profile)
{
    if (!gatherForScript(profile)) {
        return 1;
    }
    std::string name = suggestedArchiveName(profile, entry);
    printf("Archiv:   zip\\%s.zip\n", name.c_str());
    if (profile.screen) {
        printf("Bild:     %s -> %s.%s\n", entry.hasScreen ? entry.screenShown.c_str() : "(keins)", name.c_str(),
               profile.jpg ? "jpg" : "bmp");
    }
    if (profile.game) {
        printf("Spiel:    %s -> %s.gam\n", entry.hasGame ? entry.gameShown.c_str() : "(keins)", name.c_str());
    }
    if (profile.track) {
        printf("Strecke:  %s\n", entry.hasTrack ? entry.trackShown.c_str() : "(keine)");
    }
    if (entry.gameReadable) {
        const SavedGameValues& g = entry.gameValues;
        printf("Fahrer:   %s\n", g.driverName.c_str());
        if (g.raceLaps > 0) {
            printf("Rennen:   %d %s, %d Wagen, Zeit %s", g.raceLaps, g.raceLaps == 1 ? "Runde" : "Runden",
                   g.carCount, formatRaceTime(g.raceTime).c_str());
        } else {
            printf("Rennen:   %d %s, %d Wagen, Zeit %s", g.raceLength, g.distanceUnit == 1 ? "km" : "Runden",
                   g.carCount, formatRaceTime(g.raceTime).c_str());
        }
        int kmh = averageSpeed(entry);
        if (kmh > 0) {
            printf(", %d km/h", kmh);
        }
        printf("\n");
    }
    if (entry.hasTrack && entry.trackValues.hasRecord && entry.trackValues.recordTime < 6000) {
        printf("Rekord:   %s %s\n", formatRaceTime(entry.trackValues.recordTime).c_str(),
               entry.trackValues.recordHolder.c_str());
    }
    return 0;
}

static int make(const ZipperProfile& profile, const char* given, bool force)
{
    if (!gatherForScript(profile)) {
        return 1;
    }
    std::string name = given ? given : suggestedArchiveName(profile, entry);
    PackChoice choice;
    choice.track = profile.track;
    choice.game = profile.game;
    choice.screen = profile.screen;
    choice.jpg = profile.jpg;
    MakeResult result = makeArchive(".", entry, choice, name, force);
    if (result != MakeResult::Made) {
        fprintf(stderr, "tmzipper: zip\\%s.zip: %s\n", name.c_str(), makeMessage(result));
        return 1;
    }
    printf("%s\n", madeText(name).c_str());
    return 0;
}

int main(int argc, char** argv)
{
    if (!findGameFolder()) {
        return 1;
    }
    if (argc < 2 || strncmp(argv[1], "--", 2) != 0) {
        return runWindow(argc, argv);  // FLTK's own options such as -display pass through
    }
    std::string option = argv[1];
    if (option == "--help" && argc == 2) {
        return usage(stdout);
    }
    if (option == "--list" && argc == 2) {
        return list(loadProfile(profilePath()));
    }
    if (option == "--make" && argc <= 4) {
        const char* name = nullptr;
        bool force = false;
        for (int i = 2; i < argc; i++) {
            if (strcmp(argv[i], "--force") == 0 && !force) {
                force = true;
            } else if (strncmp(argv[i], "--", 2) != 0 && !name) {
                name = argv[i];
            } else {
                fprintf(stderr, "tmzipper: unexpected argument %s\n", argv[i]);
                return 2;
            }
        }
        return make(loadProfile(profilePath()), name, force);
    }
    fprintf(stderr, "tmzipper: unknown option %s (see tmzipper --help)\n", argv[1]);
    return 2;
}
