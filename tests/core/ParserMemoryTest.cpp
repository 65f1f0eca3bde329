// A document parsed in memory made ready beside the parse must read, change and go away as any other,
// after that memory has ended and from another thread, also when it outgrew the memory.
#include "ParserMemory.h"

#include <atomic>
#include <gtest/gtest.h>
#include <pugixml.hpp>
#include <sstream>
#include <string>
#include <thread>

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

// Blocks of the heap that another thread frees while parse memory is set up and taken down are handed
// back to the heap, never taken for blocks of that memory.
TEST(ParserMemory, OtherThreadsFreeTheirOwnBlocksWhileParseMemoryComesAndGoes) {
    ParserMemory::install();
    std::atomic<bool> done{false};
    std::thread elsewhere([&] {
        while (!done.load()) {
            void* block = pugi::get_memory_allocation_function()(32);
            pugi::get_memory_deallocation_function()(block);
        }
    });
    for (int i = 0; i < 20000; ++i) {
        const ParserMemory memory(4096, 0);
        void* block = pugi::get_memory_allocation_function()(64);
        pugi::get_memory_deallocation_function()(block);
    }
    done = true;
    elsewhere.join();
}
