#pragma once
// Comparison of names as the user's locale sorts them, without regard to letter case.
#include <string>

// Takes the user's collation and date conventions from the environment. Numbers keep the
// C conventions, so decimal points in files never depend on the user.
void initPlatformLocale();

// Negative, zero or positive as a sorts before, with or after b.
int compareNamesNoCase(const std::string& a, const std::string& b);

// A key whose bytewise order is the order of compareNamesNoCase: sorting many names by their
// keys folds and collates each name once instead of at every comparison.
std::string nameSortKey(const std::string& name);

// ASCII case-insensitive equality, for names in files and folders.
bool equalNoCase(const std::string& a, const std::string& b);

// The name in ASCII lower case: equal keys are names that equalNoCase finds equal, for looking
// names up in sets.
std::string noCaseKey(const std::string& name);
