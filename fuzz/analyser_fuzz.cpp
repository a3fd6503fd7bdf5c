// Saved games and tracks reach the analyser from anywhere: any bytes, read as either, must be
// shown or refused without reading outside them, through the text and JSON reports too.
#include "analysis.h"
#include "analysis_text.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Analysis a;
    std::string why;
    // The same bytes as the saved game and as its track: each reader sees every input.
    if (analyseBytes(data, size, data, size, a, why)) {
        addMessage(a, why);
        reportText(a);
        reportJson(a);
        for (int lap = 0; lap <= int(a.laps.laps.size()); ++lap) lapSummaryLines(a, lap);
    } else {
        TrackInfo track;
        if (readTrack(data, size, track, why)) bestTimeText(track);
    }
    return 0;
}
