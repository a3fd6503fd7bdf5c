#include "platform/safe_name.h"

#include <gtest/gtest.h>

TEST(SafeFileName, TakesOrdinaryNamesAndRefusesEveryWayOutOfItsFolder)
{
    for (const char* good : {"English", "Nederlands", "My driver 2", "a..b", "x.y.z", "name~1", "caf\xc3\xa9",
                             "CONSOLE", "com10", "LPT0", "nul_track"})
        EXPECT_TRUE(isSafeFileName(good)) << good;
    const std::string bad[] = {
        "",        ".",          "..",        "../../evil", "..\\evil", "a/b",      "a\\b",     "/abs",
        "C:",      "tab\there",  "new\nline", "bell\x07",   "del\x7f",  "<x>",      "a|b",      "why?",
        "star*",   "\"quoted\"", ".hidden",   "trailing.",  "trail ",   "CON",      "con.lng",  "Nul",
        "aux.txt", "PRN",        "COM1",      "lpt9.x",     "clock$",   std::string("nul\0byte", 8),
    };
    for (const std::string& name : bad) EXPECT_FALSE(isSafeFileName(name)) << name;
    EXPECT_TRUE(isSafeFileName(std::string(255, 'a')));
    EXPECT_FALSE(isSafeFileName(std::string(256, 'a')));
    EXPECT_TRUE(isSafeFileName("twelve_chars", 12));
    EXPECT_FALSE(isSafeFileName("thirteenchars", 12));
    EXPECT_FALSE(isSafeFileName("a", 0));
}
