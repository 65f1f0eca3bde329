#pragma once

#include "platform/Integer.h"

// The score of a finished task: a point for every five minutes of the estimate, and a timing bonus of 1 to 3
// when the minutes actually taken came close to the estimate.
struct TaskScore {
    Integer points;
    Integer bonus;

    // est and actual in whole minutes.
    static TaskScore of(Integer est, Integer actual);
    // est / 5, rounded to the nearest whole number.
    static Integer pointsFor(Integer est);
    // 1, 2 or 3 (by the size of the estimate) when a five-minute task took six minutes or fewer, or when
    // actual lies strictly between 70 % and 130 % of est; otherwise 0.
    static Integer timingBonus(Integer est, Integer actual);
};
