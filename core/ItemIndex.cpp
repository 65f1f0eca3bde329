#include "ItemIndex.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <iterator>
#include <limits>

namespace xpathvalue {

pugi::xml_node firstChild(const pugi::xml_node& parent, const char* name) {
    for (pugi::xml_node child = parent.first_child(); child; child = child.next_sibling())
        if (isElement(child, name)) return child;
    return {};
}

namespace {

bool isText(const pugi::xml_node& node) {
    return node.type() == pugi::node_pcdata || node.type() == pugi::node_cdata;
}

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

} // namespace

std::string_view text(const pugi::xml_node& node, std::string& scratch) {
    if (isText(node)) return node.value();
    if (node.type() != pugi::node_element) return node.value();
    const pugi::xml_node first = node.first_child();
    if (!first) return {};
    if (isText(first) && !first.next_sibling()) return first.value();
    // Every text below the element, depth first, without recursion.
    scratch.clear();
    pugi::xml_node n = first;
    while (n) {
        if (isText(n)) scratch += n.value();
        if (n.first_child()) {
            n = n.first_child();
            continue;
        }
        while (n != node && !n.next_sibling())
            n = n.parent();
        if (n == node) break;
        n = n.next_sibling();
    }
    return scratch;
}

double number(std::string_view s) {
    // The same test as the XPath engine's, then the same conversion (strtod).
    size_t i = 0;
    while (i < s.size() && isBlank(s[i]))
        ++i;
    const size_t start = i;
    if (i < s.size() && s[i] == '-') ++i;
    if (i >= s.size()) return std::numeric_limits<double>::quiet_NaN();
    if (!isDigit(s[i]) && (s[i] != '.' || i + 1 >= s.size() || !isDigit(s[i + 1])))
        return std::numeric_limits<double>::quiet_NaN();
    while (i < s.size() && isDigit(s[i]))
        ++i;
    if (i < s.size() && s[i] == '.') {
        ++i;
        while (i < s.size() && isDigit(s[i]))
            ++i;
    }
    const size_t end = i;
    while (i < s.size() && isBlank(s[i]))
        ++i;
    if (i != s.size()) return std::numeric_limits<double>::quiet_NaN();
    const std::string_view number = s.substr(start, end - start);
    // A whole number of up to fifteen digits is exact as a double: no conversion can read it otherwise.
    const bool negative = number.front() == '-';
    const std::string_view digits = negative ? number.substr(1) : number;
    if (digits.size() <= 15 && digits.find('.') == std::string_view::npos) {
        long long whole = 0;
        for (const char c : digits)
            whole = whole * 10 + (c - '0');
        return negative ? -static_cast<double>(whole) : static_cast<double>(whole);
    }
    return std::strtod(std::string(number).c_str(), nullptr);
}

} // namespace xpathvalue

namespace {

using xpathvalue::isElement;

// Whether an id counts for the list queries: its first child is a text and its text is not empty.
bool listed(const pugi::xml_node& id, std::string_view value) {
    const pugi::xml_node first = id.first_child();
    return first && (first.type() == pugi::node_pcdata || first.type() == pugi::node_cdata) && !value.empty();
}

// A whole number of 16 bits written as the store writes one: no blanks, no sign but "-", no leading zero.
std::optional<int> plainNumber(std::string_view text) {
    if (text.empty() || text.size() > 6) return std::nullopt;
    const bool negative = text.front() == '-';
    const std::string_view digits = negative ? text.substr(1) : text;
    if (digits.empty() || (digits.size() > 1 && digits.front() == '0') || (negative && digits == "0"))
        return std::nullopt;
    int value = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (error != std::errc() || end != digits.data() + digits.size()) return std::nullopt;
    if (negative) value = -value;
    if (value < -32768 || value > 32767) return std::nullopt;
    return value;
}

// Whether the elements below node (node itself not counted) leave a document plain.
bool plainBelow(const pugi::xml_node& node) {
    pugi::xml_node n = node.first_child();
    while (n) {
        if (isElement(n, "root") || isElement(n, "item")) return false;
        if (n.first_child()) {
            n = n.first_child();
            continue;
        }
        while (n != node && !n.next_sibling())
            n = n.parent();
        if (n == node) break;
        n = n.next_sibling();
    }
    return true;
}

} // namespace

// --- Entry ---

const char* ItemIndex::Entry::name(Key key) {
    static const char* const Names[] = {"id",   "date", "title",       "period",
                                        "done", "type", "meetingtime", "project"};
    static_assert(std::size(Names) == static_cast<size_t>(Key::Count));
    return Names[index(key)];
}

ItemIndex::Entry::Entry(const pugi::xml_node& item) : m_item(item) {
    for (pugi::xml_node child = item.first_child(); child; child = child.next_sibling()) {
        if (child.type() != pugi::node_element) continue;
        for (size_t k = 0; k < m_first.size(); ++k) {
            if (std::strcmp(child.name(), name(static_cast<Key>(k))) != 0) continue;
            if (m_first[k])
                m_repeated = true;
            else
                m_first[k] = child;
            break;
        }
    }
}

bool ItemIndex::Entry::equals(Key key, std::string_view value) const {
    return any(key, [&](std::string_view text) { return text == value; });
}

bool ItemIndex::Entry::differs(Key key, std::string_view value) const {
    return any(key, [&](std::string_view text) { return text != value; });
}

// --- the index ---

void ItemIndex::invalidate() noexcept {
    m_plain = false;
    m_entries.clear();
    m_byId.clear();
    m_numbers.clear();
    m_otherIds = 0;
}

void ItemIndex::rebuild() noexcept {
    invalidate();
    try {
        read();
    } catch (...) {
        invalidate(); // out of memory: the XPath answers instead
    }
}

void ItemIndex::read() {
    // Plain when every item stands directly in a root element at the top, and every root element at the
    // top: counted by the XPath engine, which walks the document faster than node by node from here.
    static const pugi::xpath_query allItems("count(//item)");
    static const pugi::xpath_query listItems("count(/root/item)");
    static const pugi::xpath_query allRoots("count(//root)");
    static const pugi::xpath_query topRoots("count(/root)");
    const pugi::xml_node document = m_document;
    m_plain = allItems.evaluate_number(document) == listItems.evaluate_number(document) &&
              allRoots.evaluate_number(document) == topRoots.evaluate_number(document);
    if (!m_plain) return;
    for (pugi::xml_node root = m_document.first_child(); root; root = root.next_sibling()) {
        if (!isElement(root, "root")) continue;
        for (pugi::xml_node item = root.first_child(); item; item = item.next_sibling())
            if (isElement(item, "item")) add(item);
    }
}

void ItemIndex::add(const pugi::xml_node& item) {
    m_entries.emplace_back(item);
    std::string scratch;
    for (pugi::xml_node id = item.first_child(); id; id = id.next_sibling()) {
        if (!isElement(id, "id")) continue;
        const std::string_view value = xpathvalue::text(id, scratch);
        std::vector<pugi::xml_node>& items = m_byId[std::string(value)];
        if (items.empty() || items.back() != item) items.push_back(item);
        if (!listed(id, value)) continue;
        if (const std::optional<int> n = plainNumber(value))
            ++m_numbers[*n];
        else
            ++m_otherIds;
    }
}

void ItemIndex::appended(const pugi::xml_node& item) noexcept {
    if (!m_plain) return;
    // Last in the file only when its root is the last element at the top.
    const pugi::xml_node root = item.parent();
    bool last = isElement(root, "root") && root.parent() == m_document;
    for (pugi::xml_node after = root.next_sibling(); last && after; after = after.next_sibling())
        if (after.type() == pugi::node_element) last = false;
    if (!last || !plainBelow(item)) {
        rebuild();
        return;
    }
    try {
        add(item);
    } catch (...) {
        invalidate();
    }
}

void ItemIndex::removing(const pugi::xml_node& item) noexcept {
    if (!m_plain) return;
    try {
        remove(item);
    } catch (...) {
        invalidate();
    }
}

void ItemIndex::remove(const pugi::xml_node& item) {
    for (auto entry = m_entries.rbegin(); entry != m_entries.rend(); ++entry) {
        if (entry->item() == item) {
            m_entries.erase(std::next(entry).base());
            break;
        }
    }
    std::string scratch;
    for (pugi::xml_node id = item.first_child(); id; id = id.next_sibling()) {
        if (!isElement(id, "id")) continue;
        const std::string_view value = xpathvalue::text(id, scratch);
        if (const auto found = m_byId.find(std::string(value)); found != m_byId.end()) {
            std::vector<pugi::xml_node>& items = found->second;
            items.erase(std::remove(items.begin(), items.end(), item), items.end());
            if (items.empty()) m_byId.erase(found);
        }
        if (!listed(id, value)) continue;
        if (const std::optional<int> n = plainNumber(value)) {
            if (const auto count = m_numbers.find(*n); count != m_numbers.end() && --count->second == 0)
                m_numbers.erase(count);
        } else {
            --m_otherIds;
        }
    }
}

pugi::xml_node ItemIndex::field(std::string_view id, const char* name) const {
    const auto found = m_byId.find(std::string(id));
    if (found == m_byId.end()) return {};
    for (const pugi::xml_node& item : found->second)
        if (const pugi::xml_node f = xpathvalue::firstChild(item, name)) return f;
    return {};
}

pugi::xml_node ItemIndex::item(std::string_view id) const {
    const auto found = m_byId.find(std::string(id));
    return found == m_byId.end() ? pugi::xml_node() : found->second.front();
}

bool ItemIndex::largestId(std::optional<int>* largest) const {
    if (m_otherIds > 0) return false;
    *largest = m_numbers.empty() ? std::nullopt : std::optional<int>(m_numbers.rbegin()->first);
    return true;
}
