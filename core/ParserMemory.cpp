#include "core/ParserMemory.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <mutex>
#include <pugixml.hpp>
#include <sys/mman.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

// Helpers make the mapping ready a piece at a time; the parse takes pieces in order, each once it is.
constexpr size_t PieceSize = 256 * 1024;
constexpr size_t Alignment = 16; // as malloc's

enum Piece : unsigned char { Untouched, BeingTouched, Ready };

size_t pageSize() {
    static const size_t size = [] {
        const long page = ::sysconf(_SC_PAGESIZE);
        return page > 0 ? static_cast<size_t>(page) : size_t(4096);
    }();
    return size;
}

// Where the mappings stand, for the free of a block to find its own. Kept apart from the regions, so that
// a free that looks here never reads a region another thread is taking down.
//
// A span changes only while its region has no block out (before the first, after the last), so a free
// reads it as a whole or passes over it: the version is odd while it changes, and a span whose version
// moved under the reading is not the one of the block being freed.
struct Span {
    std::atomic<bool> claimed{false}; // by one mapping, from before it is made until it goes
    std::atomic<size_t> version{0};
    std::atomic<std::uintptr_t> begin{0};
    std::atomic<std::uintptr_t> end{0};
    std::atomic<ParserMemory::Region*> region{nullptr};

    void set(std::uintptr_t from, std::uintptr_t to, ParserMemory::Region* holder) {
        version.fetch_add(1);
        begin.store(from);
        end.store(to);
        region.store(holder);
        version.fetch_add(1);
    }
};
constexpr size_t SpanCount = 8;
std::array<Span, SpanCount> spans;

thread_local ParserMemory::Region* current = nullptr;
std::atomic<size_t> mappings{0};

} // namespace

struct ParserMemory::Region {
    char* base = nullptr;
    size_t length = 0;
    size_t used = 0;  // by the owning thread only
    size_t taken = 0; // pieces below this are the owner's
    Span* span = nullptr;
    // One for each block handed out, and one while the region is open for the parse.
    std::atomic<long> references{1};
    std::unique_ptr<std::atomic<unsigned char>[]> pieces;
    size_t pieceCount = 0;
    std::atomic<size_t> nextForHelpers{0};
    std::atomic<bool> stop{false};
    std::vector<std::thread> helpers;

    void touch(size_t piece) {
        const size_t step = pageSize();
        volatile char* const at = base + piece * PieceSize;
        for (size_t offset = 0; offset < PieceSize; offset += step)
            at[offset] = 0;
    }

    void help() {
        while (!stop.load(std::memory_order_relaxed)) {
            const size_t piece = nextForHelpers.fetch_add(1, std::memory_order_relaxed);
            if (piece >= pieceCount) return;
            unsigned char expected = Untouched;
            if (!pieces[piece].compare_exchange_strong(expected, BeingTouched, std::memory_order_acq_rel))
                continue; // the parse has it already
            touch(piece);
            pieces[piece].store(Ready, std::memory_order_release);
        }
    }

    // The pieces up to end become the owner's: ready, or being made so by a helper (waited for), or
    // untouched (the parse touches them as it writes).
    void takeUpTo(size_t end) {
        while (taken * PieceSize < end) {
            unsigned char expected = Untouched;
            if (!pieces[taken].compare_exchange_strong(expected, Ready, std::memory_order_acq_rel))
                while (pieces[taken].load(std::memory_order_acquire) != Ready)
                    std::this_thread::yield();
            ++taken;
        }
    }

    void* take(size_t size) {
        const size_t rounded = (size + Alignment - 1) & ~(Alignment - 1);
        if (rounded < size || rounded > length - used) return nullptr;
        takeUpTo(used + rounded);
        void* const block = base + used;
        used += rounded;
        references.fetch_add(1, std::memory_order_relaxed);
        return block;
    }

    void release() {
        if (references.fetch_sub(1, std::memory_order_acq_rel) != 1) return;
        span->set(0, 0, nullptr);
        span->claimed.store(false);
        ::munmap(base, length);
        delete this;
    }
};

namespace {

ParserMemory::Region* regionHolding(const void* block) {
    const auto at = reinterpret_cast<std::uintptr_t>(block);
    for (Span& span : spans) {
        const size_t version = span.version.load();
        if (version % 2 != 0) continue;
        const std::uintptr_t begin = span.begin.load();
        const std::uintptr_t end = span.end.load();
        ParserMemory::Region* const region = span.region.load();
        if (span.version.load() != version) continue;
        // A block of this region is still out, so the region stands.
        if (region && at >= begin && at < end) return region;
    }
    return nullptr;
}

void* allocate(size_t size) {
    if (current)
        if (void* block = current->take(size)) return block;
    return std::malloc(size);
}

void deallocate(void* block) {
    if (ParserMemory::Region* region = regionHolding(block))
        region->release();
    else
        std::free(block);
}

} // namespace

size_t ParserMemory::mappingsMade() {
    return mappings.load(std::memory_order_relaxed);
}

void ParserMemory::install() {
    static std::once_flag once;
    std::call_once(once, [] { pugi::set_memory_management_functions(allocate, deallocate); });
}

ParserMemory::ParserMemory(size_t bytes, int helpers) {
    if (current || bytes == 0) return; // one at a time on a thread; the heap serves the rest
    const size_t pieceCount = (bytes + PieceSize - 1) / PieceSize;
    const size_t length = pieceCount * PieceSize;
    Span* free = nullptr;
    for (Span& span : spans) {
        if (!span.claimed.exchange(true)) {
            free = &span;
            break;
        }
    }
    if (!free) return;
    void* const base = ::mmap(nullptr, length, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (base == MAP_FAILED) {
        free->claimed.store(false);
        return;
    }
    mappings.fetch_add(1, std::memory_order_relaxed);
    auto* region = new Region;
    region->base = static_cast<char*>(base);
    region->length = length;
    region->span = free;
    region->pieceCount = pieceCount;
    region->pieces = std::make_unique<std::atomic<unsigned char>[]>(pieceCount);
    free->set(reinterpret_cast<std::uintptr_t>(base), reinterpret_cast<std::uintptr_t>(base) + length,
              region);
    m_region = region;
    current = region;
    try {
        for (int i = 0; i < helpers; ++i)
            region->helpers.emplace_back([region] { region->help(); });
    } catch (...) {
        // Fewer helpers, or none: the parse touches the rest itself.
    }
}

ParserMemory::~ParserMemory() {
    if (!m_region) return;
    Region* const region = m_region;
    region->stop.store(true, std::memory_order_relaxed);
    for (std::thread& helper : region->helpers)
        helper.join();
    current = nullptr;
    // What the parse did not use goes back now.
    const size_t step = pageSize();
    const size_t kept = (region->used + step - 1) / step * step;
    if (kept < region->length) ::madvise(region->base + kept, region->length - kept, MADV_DONTNEED);
    region->release();
}
