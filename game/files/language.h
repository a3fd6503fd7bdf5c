#pragma once
// The interface texts: a built-in English table that a language file lang\<name>.lng can
// replace entry by entry.
#include <string>

extern const char* const englishStrings[];  // uiStringCount entries

// Entry index of the loaded language, or the English given while none is loaded.
std::string uiText(int index, const char* english);

// The help box's lines on the menus' keys, each within the box's 39 characters.
constexpr int firstKeyHelpText = 170, keyHelpTextCount = 9;

// game.uiStrings from lang\<name>.lng; 0 when the file was read, -1 when it could not be
// opened or its name is not one a file may have (all texts are then English).
int loadLanguage(const std::string& name);

// The translation of entry index in a language file's text, or false when the file has none:
// after the first "#nnnn#" tag, the text between the next two double quotes.
bool findTranslation(const std::string& file, int index, std::string& text);
