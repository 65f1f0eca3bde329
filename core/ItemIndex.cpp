#include "core/ItemIndex.h"

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

pugi::xml_node nextBelow(pugi::xml_node node, const pugi::xml_node& top) {
    if (const pugi::xml_node child = node.first_child()) return child;
    while (node != top && !node.next_sibling())
        node = node.parent();
    return node == top ? pugi::xml_node() : node.next_sibling();
}

std::string_view text(const pugi::xml_node& node, std::string& scratch) {
    if (isText(node)) return node.value();
    if (node.type() != pugi::node_element) return node.value();
    const pugi::xml_node first = node.first_child();
    if (!first) return {};
    if (isText(first) && !first.next_sibling()) return first.value();
    // Every text below the element, depth first.
    scratch.clear();
    for (pugi::xml_node n = first; n; n = nextBelow(n, node))
        if (isText(n)) scratch += n.value();
    return scratch;
}

double number(std::string_view s) {
    // Most texts are plain whole numbers (days, periods, ids): exact as they stand.
    if (!s.empty() && s.size() <= 15) {
        long long whole = 0;
        bool digits = true;
        for (const char c : s) {
            digits = digits && isDigit(c);
            whole = whole * 10 + (c - '0');
        }
        if (digits) return static_cast<double>(whole);
    }
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
    for (pugi::xml_node n = node.first_child(); n; n = xpathvalue::nextBelow(n, node))
        if (isElement(n, "root") || isElement(n, "item")) return false;
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

ItemIndex::Key ItemIndex::keyOf(const char* name) {
    const auto is = [&](const char* n, Key key) { return std::strcmp(name, n) == 0 ? key : Key::Count; };
    // The first letter, then the second where two names share it: never past the name's end.
    switch (name[0]) {
    case 'i':
        return is("id", Key::Id);
    case 'd':
        return name[1] == 'a' ? is("date", Key::Date) : is("done", Key::Done);
    case 't':
        return name[1] == 'i' ? is("title", Key::Title) : is("type", Key::Type);
    case 'p':
        return name[1] == 'e' ? is("period", Key::Period) : is("project", Key::Project);
    case 'm':
        return is("meetingtime", Key::MeetingTime);
    default:
        return Key::Count;
    }
}

ItemIndex::Entry::Entry(const pugi::xml_node& item, bool* plain) : m_item(item) {
    for (pugi::xml_node child = item.first_child(); child; child = child.next_sibling()) {
        // Texts have no name; an instruction may carry a field's name, and is no field.
        const char* childName = child.name();
        if (!*childName) continue;
        const Key key = keyOf(childName);
        if (!plain && key == Key::Count) continue;
        if (child.type() != pugi::node_element) continue;
        if (plain) {
            if ((childName[0] == 'i' && std::strcmp(childName, "item") == 0) ||
                (childName[0] == 'r' && std::strcmp(childName, "root") == 0))
                *plain = false;
            // A field holds its text; one that holds elements is looked through.
            for (pugi::xml_node inner = child.first_child(); inner; inner = inner.next_sibling()) {
                if (inner.type() == pugi::node_element) {
                    if (!plainBelow(child)) *plain = false;
                    break;
                }
            }
        }
        if (key == Key::Count) continue;
        if (m_first[index(key)])
            m_repeated = true;
        else
            m_first[index(key)] = child;
    }
    reread();
}

void ItemIndex::Entry::reread() {
    m_day = -1;
    const pugi::xml_node date = m_first[index(Key::Date)];
    if (m_repeated || !date) return;
    std::string scratch;
    const std::string_view text = xpathvalue::text(date, scratch);
    if (text.size() != 8) return;
    long long day = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') return;
        day = day * 10 + (c - '0');
    }
    m_day = day;
}

bool ItemIndex::Entry::equals(Key key, std::string_view value) const {
    if (key == Key::Date && m_day >= 0) {
        // Eight digits equal eight digits when they read as the same number.
        if (value.size() != 8) return false;
        long long day = 0;
        for (const char c : value) {
            if (c < '0' || c > '9') return false;
            day = day * 10 + (c - '0');
        }
        return day == m_day;
    }
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
    m_largest = 0;
    m_numbered = 0;
    m_otherIds = 0;
}

void ItemIndex::rebuild(const Tags* tags) noexcept {
    invalidate();
    try {
        if (tags) readCounting(*tags);
        if (!m_plain) {
            invalidate();
            read();
        }
    } catch (...) {
        m_plain = false;
    }
    if (!m_plain) invalidate(); // the XPath answers instead
}

void ItemIndex::read() {
    m_plain = true;
    for (pugi::xml_node top = m_document.first_child(); top && m_plain; top = top.next_sibling()) {
        if (top.type() != pugi::node_element) continue;
        if (!isElement(top, "root")) {
            m_plain = !isElement(top, "item") && plainBelow(top);
            continue;
        }
        for (pugi::xml_node child = top.first_child(); child && m_plain; child = child.next_sibling()) {
            if (child.type() != pugi::node_element) continue;
            if (isElement(child, "item"))
                m_plain = add(child, true);
            else
                m_plain = !isElement(child, "root") && plainBelow(child);
        }
    }
}

ItemIndex::Tags ItemIndex::countTags(std::string_view text) {
    Tags tags;
    const char* at = text.data();
    const char* const end = text.data() + text.size();
    while ((at = static_cast<const char*>(std::memchr(at, '<', static_cast<size_t>(end - at)))) != nullptr) {
        ++at;
        if (end - at < 5) break;
        const char c = at[4];
        if (c != '>' && c != '/' && c != ' ' && c != '\t' && c != '\r' && c != '\n') continue;
        if (std::memcmp(at, "item", 4) == 0)
            ++tags.items;
        else if (std::memcmp(at, "root", 4) == 0)
            ++tags.roots;
    }
    return tags;
}

void ItemIndex::readCounting(const Tags& tags) {
    // Every element of the document has its start tag in the text: when there are as many "<item" tags as
    // items in the list, and as many "<root" tags as root elements at the top, no item or root stands
    // anywhere else. (A tag written inside a comment or a section only makes the count too high, and the
    // document is then looked through.)
    std::vector<pugi::xml_node> items;
    items.reserve(tags.items);
    size_t roots = 0;
    for (pugi::xml_node top = m_document.first_child(); top; top = top.next_sibling()) {
        if (!isElement(top, "root")) continue;
        ++roots;
        for (pugi::xml_node child = top.first_child(); child; child = child.next_sibling())
            if (isElement(child, "item")) items.push_back(child);
    }
    m_plain = tags.roots == roots && tags.items == items.size();
    if (!m_plain) return;
    m_entries = entriesOf(items);
    for (size_t position = 0; position < m_entries.size(); ++position)
        addIds(position);
}

std::vector<ItemIndex::Entry> ItemIndex::entriesOf(const std::vector<pugi::xml_node>& items) {
    std::vector<Entry> entries;
    entries.reserve(items.size());
    for (const pugi::xml_node& item : items)
        entries.emplace_back(item, nullptr);
    return entries;
}

void ItemIndex::count(std::string_view id, int change) {
    // Ids below 0 are as rare as any other odd id, and are read as those are.
    const std::optional<int> n = plainNumber(id);
    if (!n || *n < 0) {
        m_otherIds += change;
        return;
    }
    const auto at = static_cast<size_t>(*n);
    if (at >= m_numbers.size()) m_numbers.resize(at + 1, 0);
    int& counted = m_numbers[at];
    counted += change;
    m_numbered += change;
    if (change > 0 && (m_numbered == 1 || *n > m_largest)) m_largest = *n;
    // The largest gone: the next one down.
    if (change < 0 && counted == 0 && *n == m_largest && m_numbered > 0) {
        size_t k = at;
        while (k > 0 && m_numbers[k] == 0)
            --k;
        m_largest = static_cast<int>(k);
    }
}

bool ItemIndex::add(const pugi::xml_node& item, bool check) {
    bool plain = true;
    m_entries.emplace_back(item, check ? &plain : nullptr);
    if (!plain) {
        m_entries.pop_back();
        return false;
    }
    addIds(m_entries.size() - 1);
    return true;
}

void ItemIndex::addIds(size_t position) {
    std::string scratch;
    m_entries[position].children(Key::Id, [&](const pugi::xml_node& id) {
        const std::string_view value = xpathvalue::text(id, scratch);
        bool added = false;
        Carriers& carriers = m_byId.obtain(value, &added);
        if (added)
            carriers.first = position;
        else if ((carriers.more.empty() ? carriers.first : carriers.more.back()) != position)
            carriers.more.push_back(position);
        if (listed(id, value)) count(value, 1);
    });
}

void ItemIndex::appended(const pugi::xml_node& item) noexcept {
    if (!m_plain) return;
    // Last in the file only when its root is the last element at the top.
    const pugi::xml_node root = item.parent();
    bool last = isElement(root, "root") && root.parent() == m_document;
    for (pugi::xml_node after = root.next_sibling(); last && after; after = after.next_sibling())
        if (after.type() == pugi::node_element) last = false;
    try {
        if (last && add(item, true)) return;
    } catch (...) {
        invalidate();
        return;
    }
    rebuild();
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
    auto entry = m_entries.end();
    while (entry != m_entries.begin() && (entry - 1)->item() != item)
        --entry;
    if (entry == m_entries.begin()) return;
    --entry;
    const size_t position = static_cast<size_t>(entry - m_entries.begin());
    std::string scratch;
    entry->children(Key::Id, [&](const pugi::xml_node& id) {
        const std::string_view value = xpathvalue::text(id, scratch);
        if (Carriers* const found = m_byId.find(value)) {
            Carriers& carriers = *found;
            std::erase(carriers.more, position);
            if (carriers.first == position) {
                if (carriers.more.empty()) {
                    m_byId.erase(value);
                } else {
                    carriers.first = carriers.more.front();
                    carriers.more.erase(carriers.more.begin());
                }
            }
        }
        if (listed(id, value)) count(value, -1);
    });
    m_entries.erase(entry);
    // The items after it move up by one.
    m_byId.forEach([&](Carriers& carriers) {
        if (carriers.first > position) --carriers.first;
        for (size_t& p : carriers.more)
            if (p > position) --p;
    });
}

void ItemIndex::written(std::string_view id, const pugi::xml_node& field) noexcept {
    if (!m_plain) return;
    try {
        const Carriers* const found = m_byId.find(id);
        if (!found) return;
        const pugi::xml_node item = field.parent();
        found->forEach([&](size_t entry) {
            if (m_entries[entry].item() == item) m_entries[entry].reread();
        });
    } catch (...) {
        invalidate();
    }
}

pugi::xml_node ItemIndex::field(std::string_view id, const char* name) const {
    const Carriers* const found = m_byId.find(id);
    if (!found) return {};
    pugi::xml_node result;
    found->forEach([&](size_t entry) {
        if (!result) result = xpathvalue::firstChild(m_entries[entry].item(), name);
    });
    return result;
}

pugi::xml_node ItemIndex::item(std::string_view id) const {
    const Carriers* const found = m_byId.find(id);
    return found ? m_entries[found->first].item() : pugi::xml_node();
}

ItemIndex::Carriers* ItemIndex::ById::find(std::string_view id) {
    if (const std::optional<int> n = plainNumber(id); n && *n >= 0) {
        const auto at = static_cast<size_t>(*n);
        return at < m_numbered.size() && m_numbered[at].first != None ? &m_numbered[at] : nullptr;
    }
    const auto found = m_other.find(std::string(id));
    return found == m_other.end() ? nullptr : &found->second;
}

ItemIndex::Carriers& ItemIndex::ById::obtain(std::string_view id, bool* added) {
    if (const std::optional<int> n = plainNumber(id); n && *n >= 0) {
        const auto at = static_cast<size_t>(*n);
        if (at >= m_numbered.size()) m_numbered.resize(at + 1, Carriers{None, {}});
        *added = m_numbered[at].first == None;
        return m_numbered[at];
    }
    const auto [found, made] = m_other.try_emplace(std::string(id));
    *added = made;
    return found->second;
}

void ItemIndex::ById::erase(std::string_view id) {
    if (const std::optional<int> n = plainNumber(id); n && *n >= 0) {
        const auto at = static_cast<size_t>(*n);
        if (at < m_numbered.size()) m_numbered[at] = Carriers{None, {}};
        return;
    }
    m_other.erase(std::string(id));
}

void ItemIndex::ById::clear() {
    m_numbered.clear();
    m_other.clear();
}

bool ItemIndex::largestId(std::optional<int>* largest) const {
    if (m_otherIds > 0) return false;
    *largest = m_numbered > 0 ? std::optional<int>(m_largest) : std::nullopt;
    return true;
}
