#pragma once

#include <array>
#include <cstring>
#include <optional>
#include <pugixml.hpp>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

// XPath's reading of the document, for answers that must match what an expression gives.
namespace xpathvalue {

// Whether node is an element called name (a processing instruction can carry a name too).
inline bool isElement(const pugi::xml_node& node, const char* name) {
    return node.type() == pugi::node_element && std::strcmp(node.name(), name) == 0;
}
// The first child element called name; empty when none.
pugi::xml_node firstChild(const pugi::xml_node& parent, const char* name);
// The node after node in document order below top, or an empty node at the end: a walk through a tree
// that no depth can take the stack from.
pugi::xml_node nextBelow(pugi::xml_node node, const pugi::xml_node& top);
// The string-value of a node: for an element all its text and CDATA in document order. The view lives as
// long as the node and scratch.
std::string_view text(const pugi::xml_node& node, std::string& scratch);
// A text as XPath's number() reads it: blanks around a decimal number with an optional minus sign;
// anything else is NaN.
double number(std::string_view text);

} // namespace xpathvalue

// An index kept beside the items document, so that a field is found without searching the document and a
// query is answered by one pass over the items.
//
// It serves the shape every items file has: each "root" element stands at the top of the document and
// each "item" element directly in one of them. There "//root/item", "/root/item" and "//item" all select
// the same elements, in the order of the file, and the index answers as those expressions do: an item's
// ids are the texts of all its "id" children, compared as text, and the first item in the file is the one
// a field is read from. A document of another shape (an item inside another item's note, say) is not
// indexed: plain() is false and the store asks its XPath instead.
//
// The store tells the index of every item it adds or removes; a change the index cannot follow by itself
// is followed by a rebuild().
class ItemIndex {
public:
    // The children of an item that the queries compare.
    enum class Key { Id, Date, Title, Period, Done, Type, MeetingTime, Project, Count };
    // The key of a child's name, or Key::Count for a name no query compares.
    static Key keyOf(const char* name);

    // An item of the list, with where its compared children stand. A comparison is true when any child of
    // the key's name satisfies it, as a node-set compares in XPath.
    class Entry {
    public:
        // *plain, when given, is cleared when the item holds an element called "root" or "item", at any
        // depth.
        Entry(const pugi::xml_node& item, bool* plain);
        const pugi::xml_node& item() const { return m_item; }
        bool equals(Key key, std::string_view value) const;
        bool differs(Key key, std::string_view value) const;
        template <class Compare> bool number(Key key, Compare&& compare) const {
            if (key == Key::Date && m_day >= 0) return compare(static_cast<double>(m_day));
            return any(key, [&](std::string_view text) { return compare(xpathvalue::number(text)); });
        }
        // Reads again what the entry keeps of the item's texts, after one of them changed.
        void reread();
        // Calls visit with every child of the key's name, in order.
        template <class Visit> void children(Key key, Visit&& visit) const {
            if (!m_repeated) {
                if (m_first[index(key)]) visit(m_first[index(key)]);
                return;
            }
            for (pugi::xml_node child = m_item.first_child(); child; child = child.next_sibling())
                if (xpathvalue::isElement(child, name(key))) visit(child);
        }

        // Whether test accepts the text of any child of the key's name.
        template <class Test> bool any(Key key, Test&& test) const {
            std::string scratch;
            bool found = false;
            children(key, [&](const pugi::xml_node& child) {
                found = found || test(xpathvalue::text(child, scratch));
            });
            return found;
        }

    private:
        static size_t index(Key key) { return static_cast<size_t>(key); }
        static const char* name(Key key);

        pugi::xml_node m_item;
        std::array<pugi::xml_node, static_cast<size_t>(Key::Count)> m_first;
        bool m_repeated = false; // a compared name stands on more than one child: all are looked at
        // The day, when the item has one written as the store writes days (eight digits), as the number it
        // reads as; else -1 and its text is read each time. Kept here, every query that starts from the day
        // passes over the items without looking into the document.
        long long m_day = -1;
    };

    // How many "<root" and "<item" start tags a text holds.
    struct Tags {
        size_t roots = 0;
        size_t items = 0;
    };
    static Tags countTags(std::string_view text);

    explicit ItemIndex(const pugi::xml_document& document) : m_document(document) {}
    ItemIndex(const ItemIndex&) = delete;
    ItemIndex& operator=(const ItemIndex&) = delete;

    // Reads the whole document afresh; tags, when given, are those of the text it was just read from.
    // When that fails the index stands aside (plain() is false).
    void rebuild(const Tags* tags = nullptr) noexcept;
    // Stands aside until the next rebuild, for a change of the document it does not follow: it then holds
    // no node of the document.
    void invalidate() noexcept;
    bool plain() const { return m_plain; }

    // An item just appended as the last child of its parent.
    void appended(const pugi::xml_node& item) noexcept;
    // An item about to leave the document.
    void removing(const pugi::xml_node& item) noexcept;
    // A text of the item with the id text id has been written (into field, one of its elements).
    void written(std::string_view id, const pugi::xml_node& field) noexcept;

    // The first element called name of the first item with the id text id that has one; empty when none.
    pugi::xml_node field(std::string_view id, const char* name) const;
    // The first item with the id text id; empty when none.
    pugi::xml_node item(std::string_view id) const;

    // Calls visit with every item, in the order of the file, until it returns false.
    template <class Visit> void forEachItem(Visit&& visit) const {
        for (const Entry& entry : m_entries)
            if (!visit(entry)) return;
    }

    // The largest of the ids that the list queries give (an id whose first child is a text, and whose text
    // is not empty), into *largest (nullopt when there is none). False, and nothing said, when one of them
    // is not a whole number written as the store writes it: the caller reads them itself then.
    bool largestId(std::optional<int>* largest) const;

private:
    // The items that carry an id, in the order of the file, by where they stand among the entries.
    struct Carriers {
        size_t first = 0;
        std::vector<size_t> more;
        template <class Visit> void forEach(Visit&& visit) const {
            visit(first);
            for (const size_t entry : more)
                visit(entry);
        }
    };

    // The carriers of each id text. An id written as the store writes ids (a whole number from 0 to 32767,
    // no sign, no leading zero) is found by its number, every other text by a hash of it.
    class ById {
    public:
        Carriers* find(std::string_view id);
        const Carriers* find(std::string_view id) const { return const_cast<ById*>(this)->find(id); }
        // The carriers of id, made empty when it had none (*added tells).
        Carriers& obtain(std::string_view id, bool* added);
        void erase(std::string_view id);
        void clear();
        template <class Visit> void forEach(Visit&& visit) {
            for (Carriers& carriers : m_numbered)
                if (carriers.first != None) visit(carriers);
            for (auto& [id, carriers] : m_other)
                visit(carriers);
        }

    private:
        static constexpr size_t None = static_cast<size_t>(-1);
        std::vector<Carriers> m_numbered; // first is None where no item has the number
        std::unordered_map<std::string, Carriers> m_other;
    };

    void read();
    void readCounting(const Tags& tags);
    // False when the item leaves the document no longer plain (it is not added then); only looked at
    // with check.
    bool add(const pugi::xml_node& item, bool check);
    // The ids of the entry at position, into the lookup by id and the count.
    void addIds(size_t position);
    // The entries of items, in their order.
    static std::vector<Entry> entriesOf(const std::vector<pugi::xml_node>& items);
    void remove(const pugi::xml_node& item);
    void count(std::string_view id, int change);

    const pugi::xml_document& m_document;
    bool m_plain = false;
    // The items in the order of the file.
    std::vector<Entry> m_entries;
    ById m_byId;
    // How many of the ids the list queries give read as each whole number from 0 to 32767 (written as the
    // store writes them), the largest of them, and how many of the ids read otherwise.
    std::vector<int> m_numbers;
    int m_largest = 0;
    int m_numbered = 0;
    int m_otherIds = 0;
};
