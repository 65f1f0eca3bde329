#include "platform/IniStore.h"

#include "platform/AtomicFile.h"
#include "platform/TextDecoding.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <algorithm>
#include <iterator>

namespace {

bool sameName(const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

bool needsQuotes(const QString& v) {
    if (v.isEmpty()) return false;
    if (v.front().isSpace() || v.back().isSpace() || v.front() == u'"') return true;
    for (QChar c : v)
        if (c.unicode() < 0x20 || c.unicode() == 0x7f) return true;
    return false;
}

// The escapes of a quoted value: each character written as a backslash and a letter, both ways.
struct Escape {
    char16_t character;
    char16_t letter;
};
constexpr Escape Escapes[] = {{u'\\', u'\\'}, {u'"', u'"'}, {u'\n', u'n'}, {u'\r', u'r'}, {u'\t', u't'}};

} // namespace

IniStore::IniStore(QString path) : m_path(std::move(path)) {}

QString IniStore::defaultPath() {
    const QString overridden = qEnvironmentVariable("QUORVANE_SETTINGS_FILE");
    if (!overridden.isEmpty()) return overridden;
    QString base = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (base.isEmpty() || !QDir::isAbsolutePath(base)) base = QDir::homePath() + QStringLiteral("/.config");
    return base + QStringLiteral("/Quorvane/Quorvane.ini");
}

QString IniStore::machineSettingsPath() {
    const QString overridden = qEnvironmentVariable("QUORVANE_MACHINE_SETTINGS_FILE");
    if (!overridden.isEmpty()) return overridden;
    return QFileInfo(defaultPath()).absolutePath() + QStringLiteral("/Machine.ini");
}

QString IniStore::encodeValue(const QString& value) {
    if (!needsQuotes(value)) return value;
    QString out = QStringLiteral("\"");
    for (QChar c : value) {
        const auto escape = std::find_if(std::begin(Escapes), std::end(Escapes),
                                         [c](const Escape& e) { return e.character == c.unicode(); });
        if (escape != std::end(Escapes)) {
            out += u'\\';
            out += QChar(escape->letter);
        } else if (c.unicode() < 0x20 || c.unicode() == 0x7f) {
            out += QStringLiteral("\\x%1").arg(c.unicode(), 2, 16, QLatin1Char('0'));
        } else {
            out += c;
        }
    }
    out += u'"';
    return out;
}

QString IniStore::decodeValue(const QString& stored) {
    const QString t = stored.trimmed();
    if (t.size() < 2 || t.front() != u'"' || t.back() != u'"') return t;
    QString out;
    const qsizetype end = t.size() - 1; // the closing quote
    for (qsizetype i = 1; i < end; ++i) {
        const QChar c = t[i];
        if (c == u'"') return t; // an unescaped quote inside: not ours, keep the text as it stands
        if (c != u'\\' || i + 1 >= end) {
            out += c;
            continue;
        }
        // A backslash that starts no escape of ours (a folder written by hand, "C:\Users\me") stays.
        const char16_t letter = t[i + 1].unicode();
        const auto escape = std::find_if(std::begin(Escapes), std::end(Escapes),
                                         [letter](const Escape& e) { return e.letter == letter; });
        if (escape != std::end(Escapes)) {
            out += QChar(escape->character);
            ++i;
            continue;
        }
        bool ok = false;
        const int code = letter == u'x' && i + 3 < end ? t.mid(i + 2, 2).toInt(&ok, 16) : 0;
        if (!ok) {
            out += c;
            continue;
        }
        out += QChar(code);
        i += 3;
    }
    return out;
}

IniStore::Line IniStore::parseLine(const QByteArray& raw) {
    Line line;
    line.raw = raw;
    QByteArray bytes = raw;
    if (bytes.endsWith('\r')) bytes.chop(1);
    const QString text = QString::fromUtf8(textdecoding::toValidUtf8(bytes));
    const QString t = text.trimmed();
    if (t.startsWith(u'[')) {
        const qsizetype close = t.indexOf(u']');
        if (close > 0) {
            line.kind = Line::Section;
            line.section = t.mid(1, close - 1).trimmed();
        }
        return line;
    }
    if (t.startsWith(u';') || t.startsWith(u'#')) return line;
    const qsizetype eq = text.indexOf(u'=');
    if (eq < 0) return line;
    const QString name = text.left(eq).trimmed();
    if (name.isEmpty()) return line;
    line.kind = Line::Entry;
    line.name = name;
    line.value = decodeValue(text.mid(eq + 1));
    return line;
}

std::optional<QList<IniStore::Line>> IniStore::readLines() const {
    QList<Line> lines;
    QFile f(m_path);
    if (!f.exists()) return lines;
    if (!f.open(QIODevice::ReadOnly)) return std::nullopt;
    const QByteArray all = f.readAll();
    if (all.isEmpty()) return lines;
    qsizetype start = 0;
    while (start < all.size()) {
        qsizetype nl = all.indexOf('\n', start);
        if (nl < 0) nl = all.size();
        lines.append(parseLine(all.mid(start, nl - start)));
        start = nl + 1;
    }
    return lines;
}

std::optional<QString> IniStore::value(const QString& section, const QString& name) const {
    bool inSection = false;
    for (const Line& l : readLines().value_or(QList<Line>())) {
        if (l.kind == Line::Section)
            inSection = sameName(l.section, section);
        else if (inSection && l.kind == Line::Entry && sameName(l.name, name))
            return l.value;
    }
    return std::nullopt;
}

QList<QPair<QString, QString>> IniStore::sectionValues(const QString& section) const {
    QList<QPair<QString, QString>> out;
    bool inSection = false;
    for (const Line& l : readLines().value_or(QList<Line>())) {
        if (l.kind == Line::Section) {
            inSection = sameName(l.section, section);
        } else if (inSection && l.kind == Line::Entry) {
            const bool seen = std::any_of(out.cbegin(), out.cend(),
                                          [&](const auto& p) { return sameName(p.first, l.name); });
            if (!seen) out.append({l.name, l.value});
        }
    }
    return out;
}

bool IniStore::setValue(const QString& section, const QString& name, const QString& value) {
    auto badName = [](const QString& n, bool isSection) {
        if (n.isEmpty() || n.trimmed() != n) return true;
        if (n.contains(u'\n') || n.contains(u'\r')) return true;
        if (isSection) return n.contains(u']');
        return n.contains(u'=') || n.startsWith(u'[') || n.startsWith(u';') || n.startsWith(u'#');
    };
    if (badName(section, true) || badName(name, false)) return false;

    // A store that is there but cannot be read is never written over with the one value.
    const std::optional<QList<Line>> read = readLines();
    if (!read) return false;
    QList<Line> lines = *read;
    const QByteArray newEntry = (name + u'=' + encodeValue(value)).toUtf8();
    qsizetype sectionHeader = -1; // first header of the section
    qsizetype lastOfSection = -1; // last non-blank line of the section's first block
    bool inSection = false;
    bool inFirstBlock = false;
    bool done = false;
    for (qsizetype i = 0; i < lines.size() && !done; ++i) {
        Line& l = lines[i];
        if (l.kind == Line::Section) {
            inSection = sameName(l.section, section);
            inFirstBlock = inSection && sectionHeader < 0;
            if (inFirstBlock) sectionHeader = lastOfSection = i;
            continue;
        }
        if (!inSection) continue;
        if (l.kind == Line::Entry && sameName(l.name, name)) {
            const bool crlf = l.raw.endsWith('\r');
            l.raw = (l.name + u'=' + encodeValue(value)).toUtf8() + (crlf ? "\r" : "");
            l.value = value;
            done = true;
        } else if (inFirstBlock && !l.raw.trimmed().isEmpty()) {
            lastOfSection = i;
        }
    }
    if (!done) {
        Line entry;
        entry.raw = newEntry;
        entry.kind = Line::Entry;
        entry.name = name;
        entry.value = value;
        if (sectionHeader >= 0) {
            lines.insert(lastOfSection + 1, entry);
        } else {
            if (!lines.isEmpty() && !lines.back().raw.trimmed().isEmpty()) lines.append(Line{});
            Line header;
            header.raw = '[' + section.toUtf8() + ']';
            header.kind = Line::Section;
            header.section = section;
            lines.append(header);
            lines.append(entry);
        }
    }

    return writeLines(lines);
}

bool IniStore::removeValue(const QString& section, const QString& name) {
    const std::optional<QList<Line>> read = readLines();
    if (!read) return false;
    QList<Line> lines;
    bool inSection = false;
    for (const Line& l : *read) {
        if (l.kind == Line::Section) inSection = sameName(l.section, section);
        if (!(inSection && l.kind == Line::Entry && sameName(l.name, name))) lines.append(l);
    }
    if (lines.size() == read->size()) return true;
    return writeLines(lines);
}

QStringList IniStore::sectionNames() const {
    QStringList out;
    for (const Line& l : readLines().value_or(QList<Line>()))
        if (l.kind == Line::Section && !out.contains(l.section, Qt::CaseInsensitive)) out.append(l.section);
    return out;
}

bool IniStore::hasSection(const QString& section) const {
    return sectionNames().contains(section, Qt::CaseInsensitive);
}

bool IniStore::writeLines(const QList<Line>& lines) {
    QByteArray out;
    // A store that holds the start-up password is the user's alone, whatever mode it was given.
    bool password = false;
    bool inGeneral = false;
    for (const Line& l : lines) {
        out += l.raw;
        out += '\n';
        if (l.kind == Line::Section) inGeneral = sameName(l.section, QStringLiteral("General"));
        if (inGeneral && l.kind == Line::Entry && sameName(l.name, QStringLiteral("password")) &&
            !l.value.isEmpty())
            password = true;
    }
    try {
        atomicfile::write(m_path, out, password ? atomicfile::Access::Private : atomicfile::Access::Kept);
    } catch (const std::exception&) {
        return false;
    }
    return true;
}

bool IniStore::isReadable() const {
    return readLines().has_value();
}

bool IniStore::removeAll() {
    if (!QFile::exists(m_path)) return true;
    return QFile::remove(m_path);
}
