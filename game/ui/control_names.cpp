#include "ui/control_names.h"

#include <cstdio>
#include <cstring>

namespace {

struct NamedKey {
    int symbol;
    const char* name;
};

// The keys not named "c" and their number, nor by the character they type.
constexpr NamedKey namedKeys[] = {
    {8, "backspace"}, {9, "tab"}, {12, "clear"}, {13, "enter"}, {19, "pause"}, {27, "escape"},
    {32, "space"}, {44, "comma"}, {46, "period"}, {95, "undersc"}, {96, "backqt"}, {127, "delete"},
    {266, "KP period"}, {267, "KP divide"}, {268, "KP mult"}, {269, "KP minus"}, {270, "KP plus"},
    {271, "KP enter"}, {272, "KP equals"}, {273, "up"}, {274, "down"}, {275, "right"}, {276, "left"},
    {277, "insert"}, {278, "home"}, {279, "end"}, {280, "page up"}, {281, "page down"},
    {300, "num lock"}, {301, "caps lock"}, {302, "scrl lock"}, {303, "R shift"}, {304, "L shift"},
    {305, "R ctrl"}, {306, "L ctrl"}, {307, "R alt"}, {308, "L alt"}, {309, "R meta"}, {310, "L meta"},
    {311, "L super"}, {312, "R super"}, {313, "Alt Gr"}, {314, "compose"}, {315, "help"},
    {316, "print"}, {317, "sys req"}, {318, "break"}, {319, "menu"}, {320, "power"}, {321, "euro"},
    {322, "undo"},
};

constexpr const char* directionNames[16] = {
    "-X", "+X", "-Y", "+Y", "-Z", "+Z", "-Rx", "+Rx", "-Ry", "+Ry", "-Rz", "+Rz", "-SL1", "+SL1", "-SL2", "+SL2",
};

// Keys whose name is the character they type.
bool typesItself(int s)
{
    return (s >= 33 && s <= 36) || (s >= 38 && s <= 43) || s == 45 || (s >= 47 && s <= 64) || (s >= 91 && s <= 94);
}

using KeyNameTable = char[keyNameCount][keyNameLength];

void fillTable(KeyNameTable& t)
{
    for (int s = 0; s < keyNameCount; ++s) {
        char* e = t[s];
        if (typesItself(s)) e[0] = char(s), e[1] = '\0';
        else if (s >= 65 && s <= 90) e[0] = char(s), e[1] = '\0';
        else if (s >= 97 && s <= 122) e[0] = char(s - 32), e[1] = '\0';  // both cases read as capitals
        else if (s >= 256 && s <= 265) std::snprintf(e, keyNameLength, "KP %d", s - 256);
        else if (s >= 282 && s <= 296) std::snprintf(e, keyNameLength, "F%d", s - 281);
        // The one numbered entry that does not carry its own number.
        else if (s == 18) std::snprintf(e, keyNameLength, "c19");
        else std::snprintf(e, keyNameLength, "c%d", s);
    }
    for (const NamedKey& k : namedKeys) std::snprintf(t[k.symbol], keyNameLength, "%s", k.name);
}

const KeyNameTable& table()
{
    static KeyNameTable t;
    static bool filled = (fillTable(t), true);
    (void)filled;
    return t;
}

}  // namespace

const char* keyName(int symbol)
{
    if (symbol < 0 || symbol >= keyNameCount) return "";
    return table()[symbol];
}

std::string controlName(uint32_t code)
{
    if (code < uint32_t(keyNameCount)) return keyName(int(code));
    std::string name = "joy " + std::to_string((code >> 10) & 63) + ": ";
    uint32_t button = (code >> 16) & 255;
    uint32_t direction = code >> 24;
    // The same reading as in a race: a button field below 32 wins over the direction.
    if (button < 32) name += "B" + std::to_string(button + 1);
    else if (direction >= 1 && direction <= 16) name += directionNames[direction - 1];
    return name;
}
