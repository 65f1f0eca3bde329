#pragma once

// Owns the statistics file. (Start-up's least.)
class Statistics {
public:
    Statistics() = default;
};
