#pragma once

#include "platform/Integer.h"

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
    // Lays out one record of the item in the document, its fields in this order: ID, now, date, title,
    // period, estimate, done, done_date, done_period, done_time, points, type, meeting_time, timing_bonus,
    // project. Nothing calls it yet and nothing saves the document.
    void writeTaskRecord(Integer id);

    pugi::xml_document m_document;
};
