#pragma once
// Input to the active dialog, as the dispatcher hands it over: pointer, wheel and keys.

void pointerMove(int x, int y, bool leftHeld);
void leftPress(int x, int y);
void leftRelease(int x, int y);
void wheelStep(int step);   // +120 a notch up, -120 down
void enterDown();
void enterUp();
void escapeDown();
void escapeUp();
void stepFocus(int delta);  // +1 next, -1 previous focusable widget
// An arrow key (dx Left -1, Right +1; dy Up -1, Down +1): a focused slider steps with Left and
// Right, a focused list moves its cursor; everything else moves the focus.
void arrowKey(int dx, int dy);
// Space types a blank into a text field; on a button or a list it acts as Enter does on release.
void spaceDown();
void spaceUp();
void typeCharacter(int c);  // 32..126, or 8 for Backspace

// The text field takes the focus in edit mode, so that what is typed first goes into it.
void focusForTyping(int index);
// The widget takes the keyboard's focus, as the arrow keys give it.
void focusWidget(int index);

// The widget under a pixel of the active dialog, -1 none.
int hitWidget(int x, int y);

// Fills game.dialogInput with the entry points above; F1 and the right button stay with the
// screens.
void connectDialogInput();
