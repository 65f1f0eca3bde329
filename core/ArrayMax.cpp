#include "core/ArrayMax.h"

#include "core/ErrorReport.h"
#include "platform/NumberText.h"

namespace {

double entryValue(const QString& entry) {
    return entry.isEmpty() ? 0.0 : numtext::toDouble(entry);
}

} // namespace

std::optional<Integer> arrayMax(const QStringList& list) {
    if (list.isEmpty()) return std::nullopt;
    double running = Integer::Min;
    for (const QString& entry : list) {
        ignoringFailures([&] {
            const double value = entryValue(entry);
            if (value > running) running = numtext::toInteger(value).value();
        });
    }
    if (running == Integer::Min) {
        bool firstIsMin = false;
        ignoringFailures([&] { firstIsMin = entryValue(list.first()) == Integer::Min; });
        if (!firstIsMin) return std::nullopt;
    }
    return Integer(static_cast<long long>(running));
}
