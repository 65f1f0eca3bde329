#pragma once

// tools/bench measures what each piece of work done beside the start gains, by starting the program with
// it left out. Only a benchmark build reads the list of what to leave out (the environment variable
// QV_BENCH_LEAVE_OUT, names separated by commas); in every other build nothing is left out and the
// question compiles away.
#ifdef QV_BENCH_SWITCHES
#include <cstdlib>
#include <string_view>

inline bool benchLeavesOut(std::string_view device) {
    const char* list = std::getenv("QV_BENCH_LEAVE_OUT");
    if (!list) return false;
    std::string_view rest(list);
    while (!rest.empty()) {
        const size_t comma = rest.find(',');
        if (rest.substr(0, comma) == device) return true;
        if (comma == std::string_view::npos) break;
        rest.remove_prefix(comma + 1);
    }
    return false;
}
#else
#include <string_view>

constexpr bool benchLeavesOut(std::string_view) {
    return false;
}
#endif
