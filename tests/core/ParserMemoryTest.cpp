// A document parsed in memory made ready beside the parse must read, change and go away as any other,
// after that memory has ended and from another thread, also when it outgrew the memory.
#include "core/ParserMemory.h"

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstring>
#include <gtest/gtest.h>
#include <pugixml.hpp>
#include <sstream>
#include <string>
#include <sys/mman.h>
#include <thread>
#include <unistd.h>

namespace {

std::string storeText(int items) {
    std::string text = "<root>";
    for (int i = 1; i <= items; ++i)
        text += "<item><id>" + std::to_string(i) + "</id><title>Task " + std::to_string(i) +
                " &amp; more</title><note><![CDATA[a < b]]></note></item>";
    return text + "</root>";
}

std::string written(const pugi::xml_document& document) {
    std::ostringstream out;
    document.save(out, "", pugi::format_raw | pugi::format_no_declaration);
    return out.str();
}

} // namespace

TEST(ParserMemory, WhatWasParsedInItOutlivesItWhereverItIsChangedAndFreed) {
    ParserMemory::install();
    const std::string text = storeText(8000);
    // Room for all of it; and far too little, so that the heap takes over mid-parse.
    for (const size_t room : {text.size() * 6, size_t(4096)}) {
        SCOPED_TRACE(room);
        pugi::xml_document document;
        std::thread([&] {
            const ParserMemory memory(room, 2);
            ASSERT_TRUE(document.load_buffer(text.data(), text.size()));
        }).join();
        EXPECT_EQ(written(document), text);

        pugi::xml_node root = document.child("root");
        for (int i = 0; i < 4000; ++i)
            root.remove_child(root.first_child());
        for (int i = 0; i < 1000; ++i)
            root.append_child("item").append_child("id").text().set(i);
        EXPECT_EQ(std::distance(root.begin(), root.end()), 5000);
        EXPECT_STREQ(root.first_child().child_value("id"), "4001");
        document.reset();
        EXPECT_FALSE(document.first_child());
    }
}

namespace {

// Whether the page of address is mapped into the process.
bool mapped(const void* address) {
    const auto page = static_cast<std::uintptr_t>(::sysconf(_SC_PAGESIZE));
    unsigned char resident = 0;
    return ::mincore(reinterpret_cast<void*>(reinterpret_cast<std::uintptr_t>(address) & ~(page - 1)), 1,
                     &resident) == 0;
}

} // namespace

// Blocks of the heap that another thread frees while parse memory is set up and taken down are handed
// back to the heap, never counted against that memory: each mapping stays while a block of it is out and
// goes back with the last one.
TEST(ParserMemory, OtherThreadsFreeTheirOwnBlocksWhileParseMemoryComesAndGoes) {
    ParserMemory::install();
    std::atomic<bool> done{false};
    std::atomic<long> freedElsewhere{0};
    std::atomic<long> spoiled{0};
    std::thread elsewhere([&] {
        while (!done.load()) {
            auto* block = static_cast<unsigned char*>(pugi::get_memory_allocation_function()(32));
            std::memset(block, 0x5a, 32);
            if (std::count(block, block + 32, 0x5a) != 32) ++spoiled;
            pugi::get_memory_deallocation_function()(block);
            ++freedElsewhere;
        }
    });
    while (freedElsewhere.load() == 0)
        std::this_thread::yield();
    int keptWhileOut = 0;
    int goneWithTheLast = 0;
    constexpr int Rounds = 20000;
    for (int i = 0; i < Rounds; ++i) {
        void* first = nullptr;
        void* second = nullptr;
        {
            const ParserMemory memory(4096, 0);
            first = pugi::get_memory_allocation_function()(64);
            second = pugi::get_memory_allocation_function()(64);
            std::memset(first, 1, 64);
            std::memset(second, 2, 64);
        }
        // Gone too early: nothing to give back.
        if (!mapped(first) || static_cast<unsigned char*>(first)[63] != 1) continue;
        pugi::get_memory_deallocation_function()(first);
        if (!mapped(second) || static_cast<unsigned char*>(second)[63] != 2) continue;
        ++keptWhileOut;
        pugi::get_memory_deallocation_function()(second);
        goneWithTheLast += !mapped(second);
    }
    done = true;
    elsewhere.join();
    EXPECT_GT(freedElsewhere.load(), 0);
    EXPECT_EQ(spoiled.load(), 0);
    EXPECT_EQ(keptWhileOut, Rounds);
    EXPECT_EQ(goneWithTheLast, Rounds);
}
