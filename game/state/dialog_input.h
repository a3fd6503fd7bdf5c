#pragma once
// The event entry points of the active dialog, as the dispatcher calls them. The GUI fills the
// table in; an entry left empty ignores its event.

struct DialogInput {
    void (*escapeDown)();                          // focus the Cancel button
    void (*enterDown)();                           // focus the default button
    void (*stepFocus)(int delta);                  // -1 previous, +1 next focusable widget (Tab)
    void (*arrowKey)(int dx, int dy);              // Left/Right -1/+1, Up/Down -1/+1
    void (*spaceDown)();                           // a blank in a text field, else a press
    void (*spaceUp)();                             // activates what Space pressed
    void (*character)(int c);                      // text input; 8 is Backspace
    void (*escapeUp)();                            // activate Cancel if pressed
    void (*enterUp)();                             // end or start editing, or activate
    void (*helpUp)();                              // F1: the keys and the credits
    void (*pointerMove)(int x, int y, bool leftHeld);
    void (*leftPress)(int x, int y);
    void (*wheel)(int step);                       // +120 up, -120 down
    void (*leftRelease)(int x, int y);
    void (*rightRelease)(int x, int y);            // the main menu's right-click
    bool (*isParked)();                            // a dialog is parked behind a modal box
};
