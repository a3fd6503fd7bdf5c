#pragma once
// The race slots: carCount participants, each a name and a profile of the driver list.
struct DriverProfile;

// Puts the profile (when one is given) into race slot 0..5, with its name when the driver list
// holds it, and gives that car the driver's colours in the palette.
void assignParticipant(int slot, DriverProfile* profile = nullptr);

// Every slot matched again by name against the driver list: a participant no longer in the
// list is dropped, the rest close up in order, carCount shrinks, and the freed slots are
// cleared.
void matchRaceSlots();

// Names compared as driver names are: letter case ignored, Latin-1 letters included.
bool sameDriverName(const char* a, const char* b);
