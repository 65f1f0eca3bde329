#include "core/XmlLayout.h"

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
        if (!nodes(open, layout) || open.size() != 1) return std::nullopt;
        if (!misc() || m_at != m_text.size()) return std::nullopt;
        return layout;
    }

    // The text read as what stands between the start and end tags of a root element.
    std::optional<Layout> content() {
        if (m_text.contains('\0')) return std::nullopt;
        Layout layout;
        layout.rootContent = 0;
        std::vector<QByteArrayView> open{QByteArrayView("root")};
        if (!nodes(open, layout) || open.size() != 1 || layout.rootEnd != -1) return std::nullopt;
        return layout;
    }

private:
    // Reads nodes until the root element is closed (rootEnd set, the root's name still in open), or, when
    // the root was open at the start, until the text ends with it still open.
    bool nodes(std::vector<QByteArrayView>& open, Layout& layout) {
        const bool inRoot = !open.empty();
        qsizetype childStart = -1; // where the current element directly in the root started
        const auto elementEnds = [&](QByteArrayView name, qsizetype end) {
            if (open.size() == 1 && name == "item") layout.items.append({childStart, end - childStart});
        };
        do {
            if (!open.empty()) {
                // Text up to the next tag.
                const qsizetype lt = m_text.indexOf('<', m_at);
                if (lt < 0) {
                    m_at = m_text.size();
                    return inRoot && open.size() == 1;
                }
                m_at = lt;
            }
            if (!ahead("<")) return false;
            if (ahead("<!--")) {
                if (open.empty() || !skipPast("-->", 4)) return false;
            } else if (ahead("<![CDATA[")) {
                if (open.empty() || !skipPast("]]>", 9)) return false;
            } else if (ahead("<?")) {
                if (open.empty() || !instruction()) return false;
            } else if (ahead("</")) {
                const qsizetype start = m_at;
                m_at += 2;
                const QByteArrayView name = this->name();
                blanks();
                if (open.empty() || name != open.back() || !skip(">")) return false;
                if (open.size() == 1) {
                    layout.rootEnd = start;
                    return true;
                }
                open.pop_back();
                elementEnds(name, m_at);
            } else {
                const qsizetype start = m_at;
                ++m_at;
                const QByteArrayView name = this->name();
                if (name.isEmpty() || !attributes()) return false;
                if (open.size() == 1) childStart = start;
                if (skip("/>")) {
                    if (open.empty()) return false; // a root with nothing in it is for the parser
                    elementEnds(name, m_at);
                } else if (skip(">")) {
                    if (open.empty()) layout.rootContent = m_at;
                    open.push_back(name);
                } else {
                    return false;
                }
            }
        } while (!open.empty());
        return false;
    }

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

bool nameStart(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' || c == ':';
}

bool nameChar(char c) {
    return nameStart(c) || (c >= '0' && c <= '9') || c == '.' || c == '-';
}

// The length of the character at i when it may stand in a text as written (valid UTF-8, no U+FFFE or
// U+FFFF, no control character but tab, line feed and carriage return), else 0.
qsizetype textChar(QByteArrayView t, qsizetype i) {
    const auto at = [&](qsizetype k) { return k < t.size() ? static_cast<unsigned char>(t[k]) : 0; };
    const auto cont = [&](qsizetype k) { return (at(k) & 0xC0) == 0x80; };
    const unsigned char b = at(i);
    if (b < 0x80) return b >= 0x20 || b == '\t' || b == '\n' || b == '\r' ? 1 : 0;
    if (b >= 0xC2 && b <= 0xDF) return cont(i + 1) ? 2 : 0;
    if (b >= 0xE0 && b <= 0xEF) {
        if (!cont(i + 1) || !cont(i + 2)) return 0;
        if ((b == 0xE0 && at(i + 1) < 0xA0) || (b == 0xED && at(i + 1) > 0x9F)) return 0;
        if (b == 0xEF && at(i + 1) == 0xBF && (at(i + 2) == 0xBE || at(i + 2) == 0xBF)) return 0;
        return 3;
    }
    if (b >= 0xF0 && b <= 0xF4) {
        if (!cont(i + 1) || !cont(i + 2) || !cont(i + 3)) return 0;
        if ((b == 0xF0 && at(i + 1) < 0x90) || (b == 0xF4 && at(i + 1) > 0x8F)) return 0;
        return 4;
    }
    return 0;
}

// Whether every character of t[from, to) may stand in a text as written.
bool cleanChars(QByteArrayView t, qsizetype from, qsizetype to) {
    for (qsizetype i = from; i < to;) {
        const qsizetype n = textChar(t, i);
        if (n == 0 || i + n > to) return false;
        i += n;
    }
    return true;
}

// Whether t[from, to) is a text as written: in an attribute also without blanks other than " " and
// with "&quot;" for '"'; in content with ">" escaped too.
bool writtenText(QByteArrayView t, qsizetype from, qsizetype to, bool attribute) {
    for (qsizetype i = from; i < to;) {
        const char c = t[i];
        if (c == '&') {
            const QByteArrayView rest = t.sliced(i, to - i);
            qsizetype n = rest.startsWith("&amp;")                             ? 5
                          : rest.startsWith("&lt;") || rest.startsWith("&gt;") ? 4
                                                                               : 0;
            if (attribute && rest.startsWith("&quot;")) n = 6;
            if (n == 0) return false;
            i += n;
            continue;
        }
        if (c == '<' || c == '>' || (attribute && (c == '"' || c == '\t' || c == '\n' || c == '\r')))
            return false;
        const qsizetype n = textChar(t, i);
        if (n == 0 || i + n > to) return false;
        i += n;
    }
    return true;
}

} // namespace

std::optional<Layout> scan(QByteArrayView text) {
    return Scanner(text).layout();
}

std::optional<Layout> scanContent(QByteArrayView content) {
    return Scanner(content).content();
}

bool asWritten(QByteArrayView t) {
    std::vector<QByteArrayView> open;
    qsizetype i = 0;
    const auto name = [&]() {
        const qsizetype start = i;
        if (i < t.size() && nameStart(t[i])) {
            ++i;
            while (i < t.size() && nameChar(t[i]))
                ++i;
        }
        return t.sliced(start, i - start);
    };
    do {
        if (!open.empty() && (i >= t.size() || t[i] != '<')) {
            qsizetype lt = t.indexOf('<', i);
            if (lt < 0) lt = t.size();
            if (!writtenText(t, i, lt, false)) return false;
            i = lt;
            continue;
        }
        if (i >= t.size()) return false;
        const QByteArrayView rest = t.sliced(i);
        if (rest.startsWith("<!--")) {
            const qsizetype end = t.indexOf("-->", i + 4);
            if (open.empty() || end < 0) return false;
            const QByteArrayView body = t.sliced(i + 4, end - i - 4);
            if (body.contains("--") || body.endsWith('-') || !cleanChars(t, i + 4, end)) return false;
            i = end + 3;
        } else if (rest.startsWith("<![CDATA[")) {
            const qsizetype end = t.indexOf("]]>", i + 9);
            if (open.empty() || end < 0 || !cleanChars(t, i + 9, end)) return false;
            i = end + 3;
        } else if (rest.startsWith("</")) {
            i += 2;
            if (open.empty() || name() != open.back() || i >= t.size() || t[i] != '>') return false;
            ++i;
            open.pop_back();
        } else if (rest.startsWith("<") && rest.size() > 1 && nameStart(rest[1])) {
            ++i;
            const QByteArrayView element = name();
            // Attributes: a blank, a name, "=", the value in double quotes.
            while (i + 1 < t.size() && t[i] == ' ' && nameStart(t[i + 1])) {
                ++i;
                name();
                if (i + 1 >= t.size() || t[i] != '=' || t[i + 1] != '"') return false;
                const qsizetype end = t.indexOf('"', i + 2);
                if (end < 0 || !writtenText(t, i + 2, end, true)) return false;
                i = end + 1;
            }
            if (t.sliced(i).startsWith("/>")) {
                i += 2;
                if (open.empty()) return i == t.size();
            } else if (i < t.size() && t[i] == '>') {
                ++i;
                // "<name></name>" is written "<name/>".
                if (t.sliced(i).startsWith("</")) return false;
                open.push_back(element);
            } else {
                return false;
            }
        } else {
            return false; // an instruction, a document type, a "<" alone
        }
    } while (!open.empty());
    return i == t.size();
}

} // namespace xmllayout
