// A language file is hand-written text: any bytes must give every text, none longer than the file.
#include "fuzz_folder.h"
#include "files/language.h"


extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzFolder folder;
    ServedInput input("lang\\Fuzz.lng", data, size);
    if (loadLanguage("Fuzz") != 0) std::abort();
    for (const std::string& s : game.uiStrings)
        if (s.size() > size && s.size() > 64) std::abort();
    std::string text(reinterpret_cast<const char*>(data), size);
    std::string out;
    for (int i = 0; i < uiStringCount; ++i)
        if (findTranslation(text, i, out) && out.size() >= size) std::abort();
    return 0;
}
