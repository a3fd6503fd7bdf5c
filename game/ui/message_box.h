#pragma once
// Modal boxes: a message with OK or Yes and No, and a prompt for a short text. Each parks the
// active dialog and runs the main loop's pump until a button closes it.
#include <string>
#include <vector>

constexpr int messageBoxOk = 1;
constexpr int messageBoxYesNo = 2;
constexpr int messageLineLength = 39;
constexpr int messageMaxLines = 20;
constexpr int promptMaxLength = 20;

// The lines a message is shown in: a newline ends a line, else a line is cut after its last
// blank, "!", ",", "-" or "." within 39 characters, or at 40 characters when there is none.
// At most 20 lines; the rest is not shown. Other texts break the same way at their own width.
std::vector<std::string> breakMessageLines(const std::string& message, int width = messageLineLength,
                                           int maxLines = messageMaxLines);

// 1 for OK or Yes, 0 for No or when the program must end (the quit goes back into the queue).
// afterClose, when given, redraws the screen behind the box.
int messageBox(int kind, const std::string& message, const std::string& title, void (*afterClose)() = nullptr);

// True with the text when OK was pressed. afterClose redraws the screen behind, as for
// messageBox.
bool textPrompt(const std::string& message, const std::string& title, std::string& text,
                void (*afterClose)() = nullptr);

// A box's own loop is running: screens must not open another one over it.
bool modalBoxRunning();

// The widgets of the two boxes, made on first use.
void freeModalBoxes();
