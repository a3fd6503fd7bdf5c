#pragma once
// The message box shown when the game cannot start.

// Writes "caption: text" to standard error and shows it in a desktop dialog when one can be
// shown; returns when the player has closed it.
void showStartupFailure(const char* text, const char* caption);
