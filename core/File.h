#pragma once

// Loads and saves the XML documents, keeps the settings folder and writes the log.
// (Grows with the item store; start-up only needs the object to exist.)
class File {
public:
    File() = default;
};
