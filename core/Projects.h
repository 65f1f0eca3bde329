#pragma once

// The store of projects. (Start-up's least: the project store proper replaces this.)
class Projects {
public:
    Projects() = default;
    bool saveItemXML() { return true; }
};
