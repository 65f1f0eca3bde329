#pragma once

// Reads and writes element texts by XPath and moves old items into the archive.
class XML {
public:
    XML() = default;
};
