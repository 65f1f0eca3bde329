#pragma once

#include "Integer.h"

#include <pugixml.hpp>

// Owns the statistics file "stats.xml" in the settings folder. The document is loaded when the object is
// made and kept for the run; nothing records into it or writes it yet.
class Statistics {
public:
    // Loads the file; a missing or unreadable one gives an empty document, silently.
    Statistics();

    // Records nothing; True.
    bool addTask(Integer id);

    const pugi::xml_document& document() const { return m_document; }

private:
    pugi::xml_document m_document;
};
