#pragma once
// The driver list: every driver of drivers\, read at start-up, grown by "Create driver" and
// shrunk by "Delete driver". It owns the profiles the race slots point to.
#include <string>

// Why a typed name cannot become a new driver.
enum DriverNameCheck {
    driverNameOk,
    driverNameEmpty,       // "Driver needs a name."
    driverNameTaken,       // "Driver already exists.", also when only the letter case differs
    driverNameTooLong,     // more than 12 characters
    driverNameNotAllowed,  // not a file name: a separator, "..", a leading dot, a forbidden character
};

// The uiStrings index of a refusal's message, or -1 when the interface texts have none.
int driverNameMessageIndex(int check);
// The text of a refusal's message, for the message box.
std::string driverNameMessage(int check);

// The check of a name typed for a new driver, against the list and the files of drivers\.
int checkNewDriverName(const std::string& name);

// Appends a driver with the new-driver defaults when the name passes the check, and returns
// the check. Its file is written when the options dialog closes.
int createDriver(const std::string& name, bool human);

// "Really delete '<name>'?"
std::string deleteDriverQuestion(const std::string& name);
// Frees the entry's profile, removes its file and its entry. A race slot that raced it is
// dropped at once, so no slot points at a freed profile.
void deleteDriverEntry(int index);

// The entry of a name, compared without regard to case; -1 when there is none.
int findDriver(const std::string& name);

// The driver list from the .drv files of drivers\ in listing order. A file that cannot be
// read is listed with the defaults of a new computer driver. Race slots are matched again.
void loadDriverList();
// Writes every driver of the list under its name (the options dialog closes).
void writeAllDrivers();
// Empties the list and the race slots that pointed into it.
void freeDriverList();

// What closing the options dialog does to the drivers once any edits are applied: every
// driver written, then the race slots matched again.
void storeDriversAndMatchSlots();
