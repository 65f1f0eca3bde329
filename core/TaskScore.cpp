#include "core/TaskScore.h"

#include "platform/NumberText.h"

TaskScore TaskScore::of(Integer est, Integer actual) {
    return {pointsFor(est), timingBonus(est, actual)};
}

Integer TaskScore::pointsFor(Integer est) {
    return numtext::toInteger(est.value() / 5.0);
}

Integer TaskScore::timingBonus(Integer est, Integer actual) {
    const double e = est.value();
    const double a = actual.value();
    const bool tiny = a < 6.5 && est == Integer(5);
    const bool window = 0.7 * e < a && a < 1.3 * e;
    if (!tiny && !window) return Integer(0);
    if (e < 15) return Integer(1);
    if (e < 30) return Integer(2);
    return Integer(3);
}
