// A libFuzzer target: each generated input is one file of the program (which one is fixed when the target
// is built), run through a start and a quit of the program.
#include "fuzz/FuzzRun.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QString fault =
        fuzzrun::run(QStringLiteral(QV_FUZZ_TARGET),
                     QByteArrayView(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));
    if (!fault.isEmpty()) {
        std::fprintf(stderr, "%s\n", qPrintable(fault));
        std::abort();
    }
    return 0;
}
