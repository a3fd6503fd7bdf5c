// options.set may be any file at all: it must load into sane options and save as 78 bytes.
#include "fuzz_folder.h"
#include "files/options_file.h"

#include <cstring>
#include <sys/stat.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzFolder folder;
    {
        ServedInput input("options.set", data, size);
        loadOptions();
    }
    const OptionsRecord& o = game.options;
    if (o.stepRate != 100 || o.language[22] || o.soundSet[22]) std::abort();
    int32_t w, h;
    screenSizeFor(o.resolution, w, h);
    if (w != game.screenWidth || h != game.screenHeight || w < 320 || h < 240) std::abort();
    OptionsRecord loaded = o;
    if (!saveOptions()) std::abort();
    struct stat st;
    if (stat("options.set", &st) != 0 || st.st_size != optionsFileSize) std::abort();
    loadOptions();
    // What was saved reads back the same, names compared as strings.
    if (std::strcmp(loaded.language, o.language) || std::strcmp(loaded.soundSet, o.soundSet)) std::abort();
    if (std::memcmp(&loaded, &o, offsetof(OptionsRecord, language))) std::abort();
    return 0;
}
