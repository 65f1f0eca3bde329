#pragma once
#include <cstddef>
#include <memory>

// Memory made ready for one large parse, beside it.
//
// A page of fresh memory costs a fault when it is first written, and for a document of several megabytes
// those faults take longer than the parse itself. While a ParserMemory lives on a thread, what the parser
// asks for there (the text, its nodes) comes from one mapping whose pages helper threads touch ahead of
// it, in parallel. Everything else, on that thread and on every other, is allocated as before.
//
// What it handed out stays valid after it ends; the mapping goes back when the last of that is freed,
// and pages it never handed out go back when it ends. install() must have been called, once, before the
// parser allocated anything.
class ParserMemory {
public:
    // Routes the parser's allocations through here (they go to the C heap unless a ParserMemory lives on
    // the thread).
    static void install();

    // A mapping of at least bytes for the calling thread, with that many helper threads making it ready
    // (with none, the parse faults its pages in itself). Beyond it the parser gets the heap.
    ParserMemory(size_t bytes, int helpers);
    ~ParserMemory();
    ParserMemory(const ParserMemory&) = delete;
    ParserMemory& operator=(const ParserMemory&) = delete;

    // How many mappings this process has made: for the checks that a large file took this way.
    static size_t mappingsMade();

    struct Region;

private:
    Region* m_region = nullptr;
};
