#include "run/stoplines.h"

namespace corvane {

bool HoldsBreakMarker(std::string_view line) {
    constexpr std::string_view marker = "<BREAK>";
    const auto upper = [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; };
    for (std::size_t at = line.find('<'); at != std::string_view::npos;
         at = line.find('<', at + 1)) {
        if (line.size() - at < marker.size()) return false;
        std::size_t i = 1;
        while (i < marker.size() && upper(line[at + i]) == marker[i])
            ++i;
        if (i == marker.size()) return true;
    }
    return false;
}

void MarkBreakLines(std::string_view machineText, TStopLines& stops) {
    int lines = 1;
    for (std::size_t at = machineText.find("\r\n"); at != std::string_view::npos;
         at = machineText.find("\r\n", at + 2))
        ++lines;
    stops.Reset(lines);
    int index = 0;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = machineText.find("\r\n", start);
        const std::string_view line = machineText.substr(start, end - start);
        if (HoldsBreakMarker(line)) stops.Set(index, true);
        if (end == std::string_view::npos) break;
        start = end + 2;
        ++index;
    }
}

} // namespace corvane
