// hueswap: pick the game's palette. Run from the game folder; with no options it opens the
// dialog, with --list, --set NAME or --default it works for scripts without a window.
#include "hueswap_core.h"
#include "platform/player_folder.h"

#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Check_Button.H>
#include <FL/Fl_Hold_Browser.H>
#include <FL/Fl_Menu_Bar.H>
#include <FL/Fl_Window.H>
#include <FL/fl_ask.H>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

static std::vector<std::string> palettes;
static Fl_Window* window;
static Fl_Hold_Browser* paletteList;
static Fl_Check_Button* runBox;

static void showError(const char* title, const char* text)
{
    fl_message_title(title);
    fl_alert("%s", text);
}

static void finish(WriteResult result)
{
    OutcomeMessage m = outcomeMessage(result);
    if (result != WriteResult::Changed) {
        showError(m.title, m.text);
        // Without tm.ini this is not the game folder: nothing here can work.
        if (result == WriteResult::IniMissing) {
            window->hide();
        }
        return;
    }
    if (runBox->value()) {
        std::string folder = ownFolder();
        std::string reason = "its folder is unknown";
        if (folder.empty() || !startDetached(folder + "/tarmacade", reason)) {
            std::string text = "Changed!\nBut tarmacade could not be started: " + reason;
            showError("Error!", text.c_str());
            return;
        }
        window->hide();
        return;
    }
    fl_message_title(m.title);
    fl_message("%s", m.text);
}

static void changeCb(Fl_Widget*, void*)
{
    finish(changePalette(".", palettes, paletteList->value() - 1));
}

static void defaultCb(Fl_Widget*, void*)
{
    finish(writePaletteValue(".", defaultPaletteValue));
}

static void listCb(Fl_Widget*, void*)
{
    // A double-click on a name is "Change Palette!".
    if (Fl::event() == FL_RELEASE && Fl::event_clicks() > 0 && paletteList->value() > 0) {
        Fl::event_clicks(0);  // a third click is not another double-click
        changeCb(nullptr, nullptr);
    }
}

static void aboutCb(Fl_Widget*, void*)
{
    fl_message_title("About Hueswap");
    fl_message("Hueswap Version 1.1");
}

static void quitCb(Fl_Widget*, void*)
{
    window->hide();
}

static int runDialog(int argc, char** argv)
{
    palettes = listPalettes(".");
    static char countText[64];
    snprintf(countText, sizeof countText, "%d palettes found", int(palettes.size()));

    window = new Fl_Window(320, 330, "Hueswap");
    Fl_Menu_Bar* menu = new Fl_Menu_Bar(0, 0, 320, 25);
    menu->add("&Hueswap/&About hueswap...", 0, aboutCb);
    menu->add("&Hueswap/&Quit", FL_CTRL + 'q', quitCb);
    new Fl_Box(10, 35, 300, 20, countText);
    paletteList = new Fl_Hold_Browser(10, 60, 300, 180);
    paletteList->format_char(0);  // names are shown as they are, "@" included
    paletteList->when(FL_WHEN_CHANGED | FL_WHEN_NOT_CHANGED);
    paletteList->callback(listCb);
    for (const std::string& p : palettes) {
        paletteList->add(p.c_str());
    }
    Fl_Button* change = new Fl_Button(10, 250, 145, 30, "Change Palette!");
    change->callback(changeCb);
    Fl_Button* restore = new Fl_Button(165, 250, 145, 30, "Restore to Default");
    restore->callback(defaultCb);
    runBox = new Fl_Check_Button(10, 290, 300, 25, "Run TM when done");
    runBox->value(1);
    window->end();
    window->show(argc, argv);
    return Fl::run();
}

static int report(WriteResult result)
{
    OutcomeMessage m = outcomeMessage(result);
    if (result == WriteResult::Changed) {
        printf("%s\n", m.text);
        return 0;
    }
    fprintf(stderr, "%s\n%s\n", m.title, m.text);
    return 1;
}

static int usage(FILE* to)
{
    fprintf(to,
            "usage: hueswap                 open the dialog\n"
            "       hueswap --list          print the palettes of the folder palettes\n"
            "       hueswap --set NAME      make palettes\\NAME the game's palette\n"
            "       hueswap --default       make tm.pal the game's palette\n"
            "Run it from the game folder. Installed (in /usr/games), it works on the player's folder\n"
            "~/.local/share/tarmacade.\n");
    return to == stdout ? 0 : 2;
}

// A portable hueswap works on the folder it is started from; an installed one on the player's
// folder, whatever the desktop started it in.
static bool enterGameFolder()
{
    std::string entered, why;
    if (!enterPlayerFolder(ownFolder(), entered, why)) {
        fprintf(stderr, "hueswap: %s\n", why.c_str());
        return false;
    }
    return true;
}

int main(int argc, char** argv)
{
    if (!enterGameFolder()) {
        return 1;
    }
    if (argc < 2 || strncmp(argv[1], "--", 2) != 0) {
        return runDialog(argc, argv);  // FLTK's own options such as -display pass through
    }
    std::string option = argv[1];
    if (option == "--help" && argc == 2) {
        return usage(stdout);
    }
    if (option == "--list" && argc == 2) {
        std::vector<std::string> found = listPalettes(".");
        printf("%d palettes found\n", int(found.size()));
        for (const std::string& p : found) {
            printf("%s\n", p.c_str());
        }
        return 0;
    }
    if (option == "--default" && argc == 2) {
        return report(writePaletteValue(".", defaultPaletteValue));
    }
    if (option == "--set" && argc == 3) {
        // Without tm.ini the folder is wrong, whatever the name.
        if (findIniFile(".").empty()) {
            return report(WriteResult::IniMissing);
        }
        std::string name = findPalette(listPalettes("."), argv[2]);
        if (name.empty()) {
            OutcomeMessage m = outcomeMessage(WriteResult::NotAPalette);
            fprintf(stderr, "%s\n%s: %s (see hueswap --list)\n", m.title, argv[2], m.text);
            return 1;
        }
        return report(writePaletteValue(".", paletteValue(name)));
    }
    return usage(stderr);
}
