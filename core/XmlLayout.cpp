#include "XmlLayout.h"

#include <vector>

namespace xmllayout {
namespace {

class Scanner {
public:
    explicit Scanner(QByteArrayView text) : m_text(text) {}

    std::optional<Layout> layout() {
        if (m_text.contains('\0')) return std::nullopt;
        if (m_text.startsWith("\xEF\xBB\xBF")) m_at = 3;
        // A declaration only as the very first thing.
        if (ahead("<?xml") && (space(m_at + 5) || ahead("?>", m_at + 5))) {
            m_at += 5;
            if (!attributes() || !skip("?>")) return std::nullopt;
        }
        if (!misc()) return std::nullopt;

        Layout layout;
        std::vector<QByteArrayView> open; // the names of the elements open, the root first
        qsizetype childStart = -1;        // where the current element directly in the root started
        const auto elementEnds = [&](QByteArrayView name, qsizetype end) {
            if (open.size() == 1 && name == "item") layout.items.append({childStart, end - childStart});
        };
        do {
            if (!open.empty()) {
                // Text up to the next tag.
                const qsizetype lt = m_text.indexOf('<', m_at);
                if (lt < 0) return std::nullopt;
                m_at = lt;
            }
            if (!ahead("<")) return std::nullopt;
            if (ahead("<!--")) {
                if (open.empty() || !skipPast("-->", 4)) return std::nullopt;
            } else if (ahead("<![CDATA[")) {
                if (open.empty() || !skipPast("]]>", 9)) return std::nullopt;
            } else if (ahead("<?")) {
                if (open.empty() || !instruction()) return std::nullopt;
            } else if (ahead("</")) {
                const qsizetype start = m_at;
                m_at += 2;
                const QByteArrayView name = this->name();
                blanks();
                if (open.empty() || name != open.back() || !skip(">")) return std::nullopt;
                open.pop_back();
                if (open.empty())
                    layout.rootEnd = start;
                else
                    elementEnds(name, m_at);
            } else {
                const qsizetype start = m_at;
                ++m_at;
                const QByteArrayView name = this->name();
                if (name.isEmpty() || !attributes()) return std::nullopt;
                if (open.size() == 1) childStart = start;
                if (skip("/>")) {
                    if (open.empty()) return std::nullopt; // a root with nothing in it is for the parser
                    elementEnds(name, m_at);
                } else if (skip(">")) {
                    open.push_back(name);
                } else {
                    return std::nullopt;
                }
            }
        } while (!open.empty());
        if (!misc() || m_at != m_text.size()) return std::nullopt;
        return layout;
    }

private:
    bool ahead(QByteArrayView what, qsizetype at = -1) const {
        if (at < 0) at = m_at;
        return at <= m_text.size() && m_text.sliced(at).startsWith(what);
    }
    bool space(qsizetype at) const {
        if (at >= m_text.size()) return false;
        const char c = m_text[at];
        return c == ' ' || c == '\t' || c == '\r' || c == '\n';
    }
    void blanks() {
        while (space(m_at))
            ++m_at;
    }
    bool skip(QByteArrayView what) {
        if (!ahead(what)) return false;
        m_at += what.size();
        return true;
    }
    // Past the first end after the opening of length opening.
    bool skipPast(QByteArrayView end, qsizetype opening) {
        const qsizetype found = m_text.indexOf(end, m_at + opening);
        if (found < 0) return false;
        m_at = found + end.size();
        return true;
    }
    // A plain ASCII name: a letter, "_" or ":" first, then letters, digits, ".", "-", "_" or ":".
    QByteArrayView name() {
        const qsizetype start = m_at;
        const auto letter = [](char c) {
            return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' || c == ':';
        };
        if (m_at < m_text.size() && letter(m_text[m_at])) {
            ++m_at;
            while (m_at < m_text.size() &&
                   (letter(m_text[m_at]) || (m_text[m_at] >= '0' && m_text[m_at] <= '9') ||
                    m_text[m_at] == '.' || m_text[m_at] == '-'))
                ++m_at;
        }
        return m_text.sliced(start, m_at - start);
    }
    // Attributes, each after a blank: name="value" or name='value', the value without "<"; then blanks.
    bool attributes() {
        for (;;) {
            const qsizetype before = m_at;
            blanks();
            if (m_at == before || name().isEmpty()) {
                m_at = before;
                blanks();
                return true;
            }
            blanks();
            if (!skip("=")) return false;
            blanks();
            if (m_at >= m_text.size() || (m_text[m_at] != '"' && m_text[m_at] != '\'')) return false;
            const char quote = m_text[m_at++];
            const qsizetype end = m_text.indexOf(quote, m_at);
            if (end < 0 || m_text.sliced(m_at, end - m_at).contains('<')) return false;
            m_at = end + 1;
        }
    }
    // A processing instruction of a plain name other than "xml", then its content.
    bool instruction() {
        m_at += 2;
        const QByteArrayView target = name();
        if (target.isEmpty() || target.compare("xml", Qt::CaseInsensitive) == 0) return false;
        if (!space(m_at) && !ahead("?>")) return false;
        return skipPast("?>", 0);
    }
    // Blanks, comments and instructions outside the root element.
    bool misc() {
        for (;;) {
            blanks();
            if (ahead("<!--")) {
                if (!skipPast("-->", 4)) return false;
            } else if (ahead("<?")) {
                if (!instruction()) return false;
            } else {
                return true;
            }
        }
    }

    QByteArrayView m_text;
    qsizetype m_at = 0;
};

} // namespace

std::optional<Layout> scan(QByteArrayView text) {
    return Scanner(text).layout();
}

} // namespace xmllayout
