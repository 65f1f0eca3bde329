#include "core/File.h"

#include "core/ErrorReport.h"
#include "core/Globals.h"
#include "core/Settings.h"
#include "core/XML.h"
#include "platform/AppPaths.h"
#include "platform/AtomicFile.h"
#include "platform/Clock.h"
#include "platform/Failure.h"
#include "platform/Prompter.h"
#include "platform/TextDecoding.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

Q_LOGGING_CATEGORY(lcXmlTree, "quorvane.xml", QtWarningMsg)

namespace {

// Every text node is kept (the line breaks between records too) and line ends stay as they are, so that
// a file read and written again comes out the same.
constexpr unsigned ParseOptions = pugi::parse_cdata | pugi::parse_escapes | pugi::parse_wconv_attribute |
                                  pugi::parse_ws_pcdata | pugi::parse_comments | pugi::parse_pi |
                                  pugi::parse_declaration | pugi::parse_doctype;

using textdecoding::utf8Text;

// UTF-16 and UTF-32 files (told by their byte order mark or by how "<" is spelled) are read by the parser
// itself; every other file is made valid UTF-8 first, byte by byte, whatever its declaration says.
bool wideEncoding(QByteArrayView b) {
    static const QByteArray marks[] = {QByteArrayLiteral("\xFE\xFF"),     QByteArrayLiteral("\xFF\xFE"),
                                       QByteArray("\x00\x00\xFE\xFF", 4), QByteArray("\x00\x00\x00\x3C", 4),
                                       QByteArray("\x3C\x00\x00\x00", 4), QByteArray("\x00\x3C\x00\x3F", 4),
                                       QByteArray("\x3C\x00\x3F\x00", 4)};
    for (const QByteArray& mark : marks)
        if (b.startsWith(mark)) return true;
    return false;
}

XmlParseError parseBuffer(pugi::xml_document& document, const QByteArray& raw) {
    document.reset();
    const bool wide = wideEncoding(raw);
    const QByteArray bytes = wide || textdecoding::isValidUtf8(raw) ? raw : textdecoding::toValidUtf8(raw);
    // Parsed in a buffer the document takes over, so that the parser makes no copy of its own.
    const auto size = static_cast<size_t>(bytes.size());
    void* buffer = pugi::get_memory_allocation_function()(size > 0 ? size : 1);
    if (!buffer) throw Failure(err::OutOfMemory);
    std::memcpy(buffer, bytes.constData(), size);
    const pugi::xml_parse_result result = document.load_buffer_inplace_own(
        buffer, size, ParseOptions, wide ? pugi::encoding_auto : pugi::encoding_utf8);
    XmlParseError error;
    if (result) return error;
    document.reset();
    error.code = static_cast<qint32>(result.status);
    error.reason = QString::fromUtf8(result.description());
    const qsizetype offset = qBound<qsizetype>(0, static_cast<qsizetype>(result.offset), bytes.size());
    const qsizetype lineStart = bytes.lastIndexOf('\n', offset - 1) + 1;
    qsizetype lineEnd = bytes.indexOf('\n', offset);
    if (lineEnd < 0) lineEnd = bytes.size();
    error.line = bytes.left(offset).count('\n') + 1;
    error.linePos = QString::fromUtf8(bytes.mid(lineStart, offset - lineStart)).size() + 1;
    error.filePos = QString::fromUtf8(bytes.left(offset)).size() + 1;
    QByteArray source = bytes.mid(lineStart, lineEnd - lineStart);
    if (source.endsWith('\r')) source.chop(1);
    error.srcText = QString::fromUtf8(source);
    return error;
}

// --- the writer ---
//
// What is written always reads back as the same document: characters XML cannot hold are left out of
// every text, and what would end a comment, a section or an instruction early is broken up. Names are
// written as the parser read them. The tree is walked without recursion, so that no nesting, however
// deep, can exhaust the stack.

void appendEscaped(QByteArray& out, const char* value, bool attribute) {
    QString text;
    for (const QChar c : XML::xmlSafe(utf8Text(value))) {
        switch (c.unicode()) {
        case '&':
            text += QLatin1String("&amp;");
            break;
        case '<':
            text += QLatin1String("&lt;");
            break;
        case '>':
            text += QLatin1String("&gt;");
            break;
        case '"':
            if (attribute)
                text += QLatin1String("&quot;");
            else
                text += c;
            break;
        case '\t':
        case '\n':
        case '\r':
            // In an attribute a raw line break would be read back as a blank.
            if (attribute)
                text += QStringLiteral("&#%1;").arg(c.unicode());
            else
                text += c;
            break;
        default:
            text += c;
        }
    }
    out += text.toUtf8();
}

void appendAttributes(QByteArray& out, const pugi::xml_node& node, bool declaration) {
    for (const pugi::xml_attribute& a : node.attributes()) {
        out += ' ';
        out += a.name();
        out += "=\"";
        // The file is always written in UTF-8, whatever a hand-written declaration said.
        if (declaration && qstricmp(a.name(), "encoding") == 0)
            out += "UTF-8";
        else
            appendEscaped(out, a.value(), true);
        out += '"';
    }
}

// Text made only of characters that are left out, so that it writes nothing.
bool silentText(const char* s) {
    for (; *s; ++s) {
        const auto b = static_cast<unsigned char>(*s);
        if (b == '\t' || b == '\n' || b == '\r') return false;
        if (b < 0x20) continue;
        // U+FFFE and U+FFFF
        if (b == 0xEF && s[1] == '\xBF' && (s[2] == '\xBE' || s[2] == '\xBF')) {
            s += 2;
            continue;
        }
        return false;
    }
    return true;
}

// Whether an element has a child that writes anything; one without is written "<name/>".
bool hasWrittenChild(const pugi::xml_node& element) {
    for (const pugi::xml_node& child : element.children())
        if (child.type() != pugi::node_pcdata || !silentText(child.value())) return true;
    return false;
}

// The text of value with every occurrence of what would end its construct early broken up.
QByteArray brokenUp(const char* value, QLatin1String closing, QLatin1String replacement) {
    QString text = XML::xmlSafe(utf8Text(value));
    while (text.contains(closing))
        text.replace(closing, replacement);
    return text.toUtf8();
}

// Writes the node, or for an element its start tag alone when its children follow; true in that case.
bool writeStart(QByteArray& out, const pugi::xml_node& node) {
    switch (node.type()) {
    case pugi::node_element:
        out += '<';
        out += node.name();
        appendAttributes(out, node, false);
        if (!hasWrittenChild(node)) {
            out += "/>";
            return false;
        }
        out += '>';
        return true;
    case pugi::node_pcdata:
        appendEscaped(out, node.value(), false);
        break;
    case pugi::node_cdata: {
        // "]]>" cannot stand inside a section: it is split over two.
        QString value = XML::xmlSafe(utf8Text(node.value()));
        value.replace(QLatin1String("]]>"), QLatin1String("]]]]><![CDATA[>"));
        out += "<![CDATA[" + value.toUtf8() + "]]>";
        break;
    }
    case pugi::node_comment: {
        QByteArray value = brokenUp(node.value(), QLatin1String("--"), QLatin1String("- -"));
        if (value.endsWith('-')) value += ' ';
        out += "<!--" + value + "-->";
        break;
    }
    case pugi::node_pi: {
        out += "<?";
        out += node.name();
        const QByteArray value = brokenUp(node.value(), QLatin1String("?>"), QLatin1String("? >"));
        if (!value.isEmpty()) out += ' ' + value;
        out += "?>";
        break;
    }
    case pugi::node_declaration:
        out += "<?";
        out += node.name();
        appendAttributes(out, node, true);
        out += "?>";
        break;
    case pugi::node_doctype:
        out += "<!DOCTYPE ";
        out += node.value();
        out += '>';
        break;
    case pugi::node_document:
    case pugi::node_null:
        break;
    }
    return false;
}

void writeEnd(QByteArray& out, const pugi::xml_node& element) {
    out += "</";
    out += element.name();
    out += '>';
}

void writeTree(QByteArray& out, const pugi::xml_node& top) {
    pugi::xml_node node = top;
    for (;;) {
        if (writeStart(out, node)) {
            node = node.first_child();
            continue;
        }
        // Done with node: on to its next sibling, closing every element whose last child it was.
        while (node != top && !node.next_sibling()) {
            node = node.parent();
            writeEnd(out, node);
        }
        if (node == top) return;
        node = node.next_sibling();
    }
}

// --- pugixml's writer ---
//
// pugixml writes most documents exactly as the walk above does, and much faster. A node goes to it when
// nothing in it needs the walk's care: every text is valid UTF-8 without a character XML cannot hold,
// no comment or instruction holds what would end it early, no text is empty, no name is missing, and no
// attribute holds a line break, a tab or a ">" (which pugixml writes differently).

// Whether the bytes are valid UTF-8 without U+FFFE and U+FFFF, and without control characters other than
// tab, line feed and carriage return (none at all in an attribute).
bool cleanText(const char* s, bool attribute) {
    const auto* p = reinterpret_cast<const unsigned char*>(s);
    for (;;) {
        // Printable ASCII, most of any text, a byte at a time without further question.
        if (attribute) {
            while (*p >= 0x20 && *p < 0x80 && *p != '>')
                ++p;
        } else {
            while (*p >= 0x20 && *p < 0x80)
                ++p;
        }
        const unsigned char b = *p;
        if (!b) return true;
        if (b < 0x80) {
            if (attribute || (b != '\t' && b != '\n' && b != '\r')) return false;
            ++p;
            continue;
        }
        const auto cont = [&](int k) { return (p[k] & 0xC0) == 0x80; };
        if (b >= 0xC2 && b <= 0xDF && cont(1)) {
            p += 2;
        } else if (b >= 0xE0 && b <= 0xEF && cont(1) && cont(2)) {
            if (b == 0xE0 && p[1] < 0xA0) return false;                                    // overlong
            if (b == 0xED && p[1] > 0x9F) return false;                                    // a surrogate
            if (b == 0xEF && p[1] == 0xBF && (p[2] == 0xBE || p[2] == 0xBF)) return false; // U+FFFE, U+FFFF
            p += 3;
        } else if (b >= 0xF0 && b <= 0xF4 && cont(1) && cont(2) && cont(3)) {
            if (b == 0xF0 && p[1] < 0x90) return false; // overlong
            if (b == 0xF4 && p[1] > 0x8F) return false; // beyond U+10FFFF
            p += 4;
        } else {
            return false;
        }
    }
}

bool printable(const pugi::xml_node& node) {
    switch (node.type()) {
    case pugi::node_element:
        if (!*node.name()) return false;
        for (pugi::xml_attribute a = node.first_attribute(); a; a = a.next_attribute())
            if (!*a.name() || !cleanText(a.value(), true)) return false;
        return true;
    case pugi::node_pcdata:
        return *node.value() && cleanText(node.value(), false);
    case pugi::node_cdata:
        return cleanText(node.value(), false);
    case pugi::node_comment: {
        const char* v = node.value();
        const size_t n = std::strlen(v);
        return cleanText(v, false) && !std::strstr(v, "--") && (n == 0 || v[n - 1] != '-');
    }
    case pugi::node_pi:
        return *node.name() && cleanText(node.value(), false) && !std::strstr(node.value(), "?>");
    default:
        return false; // declarations and document types stand at the top, where the walk writes them
    }
}

bool printableTree(const pugi::xml_node& top) {
    pugi::xml_node node = top;
    for (;;) {
        if (!printable(node)) return false;
        if (const pugi::xml_node child = node.first_child()) {
            node = child;
            continue;
        }
        for (;;) {
            if (node == top) return true;
            if (const pugi::xml_node next = node.next_sibling()) {
                node = next;
                break;
            }
            node = node.parent();
        }
    }
}

class ByteWriter : public pugi::xml_writer {
public:
    explicit ByteWriter(QByteArray& out) : m_out(out) {}
    void write(const void* data, size_t size) override {
        m_out.append(static_cast<const char*>(data), static_cast<qsizetype>(size));
    }

private:
    QByteArray& m_out;
};

// The text of one node: pugixml's writer where it writes what the walk would, else the walk.
void writeNode(QByteArray& out, const pugi::xml_node& node) {
    if (printableTree(node)) {
        ByteWriter writer(out);
        node.print(writer, "", pugi::format_raw, pugi::encoding_utf8);
    } else {
        writeTree(out, node);
    }
}

// Both writers: each node at the top of a document on a line of its own.
template <class Write> QByteArray documentText(const pugi::xml_node& node, Write&& write) {
    QByteArray out;
    if (node.type() != pugi::node_document) {
        write(out, node);
        return out;
    }
    // The reader keeps no line breaks between a declaration or comment and the root element; each of
    // them gets its own line again.
    for (const pugi::xml_node& child : node.children()) {
        if (child != node.first_child()) out += "\r\n";
        write(out, child);
    }
    return out;
}

void displayLines(const pugi::xml_node& parent, int indent) {
    // Depth first, without recursion; each level below parent indents by two more.
    pugi::xml_node node = parent.first_child();
    int depth = 0;
    while (node) {
        if (node.type() == pugi::node_pcdata || node.type() == pugi::node_cdata) {
            qCDebug(lcXmlTree).noquote() << QString(indent + 2 * depth + 2, QLatin1Char(' ')) +
                                                utf8Text(node.parent().name()) + QLatin1Char(' ') +
                                                utf8Text(node.value());
        }
        if (node.first_child()) {
            node = node.first_child();
            ++depth;
            continue;
        }
        while (node && !node.next_sibling() && node.parent() != parent) {
            node = node.parent();
            --depth;
        }
        node = node.next_sibling();
    }
}

int failureNumberFor(QFileDevice::FileError error) {
    switch (error) {
    case QFileDevice::ResourceError:
        return err::DiskFull;
    case QFileDevice::PermissionsError:
        return err::PermissionDenied;
    default:
        return err::PathFileAccess;
    }
}

} // namespace

QString File::Path() const {
    QString folder;
    if (gSettings)
        folder =
            gSettings->getMySetting(QStringLiteral("Settings Path"), QStringLiteral("Settings"), QString())
                .toString();
    // An empty folder would be the root of the file system: it stands for the default.
    if (!folder.trimmed().isEmpty()) return withTrailingSlash(inProgramFolder(folder));
    // By default the data folder, as the program's own folder is read-only once installed; a statistics
    // file that earlier versions kept beside the program serves while the data folder holds none.
    const QString data = gSettings ? gSettings->sDataDir() : Settings::dataDirectoryFor(QString());
    return folderInUse(data, programFolder(), QStringLiteral("stats.xml"));
}

void File::setPath(QString& folder) {
    if (!folder.isEmpty()) folder = withTrailingSlash(folder);
    const QString value = folder;
    ignoringFailures([&] {
        if (gSettings)
            gSettings->putMySetting(QStringLiteral("Settings Path"), value, QStringLiteral("Settings"));
    });
}

XmlParseError File::readXMLFile(pugi::xml_document& document, const QString& path,
                                std::optional<FileIdentity>* identity) {
    document.reset();
    if (identity) identity->reset();
    XmlParseError error;
    QFile file(path);
    if (!QFileInfo::exists(path)) {
        error.code = XmlParseError::FileNotFoundCode;
        error.reason = QStringLiteral("The file could not be found.");
        return error;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        error.code = static_cast<qint32>(pugi::status_io_error);
        error.reason = QStringLiteral("Error reading from file/stream: ") + file.errorString();
        return error;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        error.code = static_cast<qint32>(pugi::status_io_error);
        error.reason = QStringLiteral("Error reading from file/stream: ") + file.errorString();
        return error;
    }
    struct stat read {};
    if (identity && ::fstat(file.handle(), &read) == 0 && S_ISREG(read.st_mode))
        *identity = FileIdentity(read);
    return parseBuffer(document, bytes);
}

XmlParseError File::readXMLText(pugi::xml_document& document, const QByteArray& text) {
    return parseBuffer(document, text);
}

bool File::readXMLInPlace(pugi::xml_document& document, void* buffer, size_t size) {
    document.reset();
    const QByteArrayView bytes(static_cast<const char*>(buffer), static_cast<qsizetype>(size));
    if (wideEncoding(bytes) || !textdecoding::isValidUtf8(bytes)) {
        pugi::get_memory_deallocation_function()(buffer);
        return false;
    }
    // As parseBuffer reads such a text, without the copy.
    if (document.load_buffer_inplace_own(buffer, size, ParseOptions, pugi::encoding_utf8)) return true;
    document.reset();
    return false;
}

QByteArray File::xmlText(const pugi::xml_node& node) {
    return documentText(node, writeNode);
}

QByteArray File::xmlTextByWalk(const pugi::xml_node& node) {
    return documentText(node, writeTree);
}

std::optional<FileIdentity> File::writeXMLFile(const pugi::xml_node& document, const QString& path) {
    return atomicfile::write(path, xmlText(document));
}

namespace {

// A free name beside path for a file kept aside: "<path><mark><yyyyMMdd-hhmmss>", with "-2", "-3"... added
// when that name is taken.
QString asideName(const QString& path, const QString& mark) {
    const QString base = path + mark + appClock().now().toString(QStringLiteral("yyyyMMdd-hhmmss"));
    QString target = base;
    for (int n = 2; QFileInfo::exists(target) || QFileInfo(target).isSymLink(); ++n)
        target = base + QStringLiteral("-%1").arg(n);
    return target;
}

} // namespace

QString File::setAsideDamaged(const QString& path) {
    if (!QFileInfo::exists(path)) return {};
    const QString target = asideName(path, QStringLiteral(".damaged-"));
    QFile file(path);
    if (!file.rename(target)) {
        throw Failure(
            err::PathFileAccess,
            QStringLiteral("Could not move the unreadable file %1 aside: %2").arg(path, file.errorString()));
    }
    return target;
}

QString File::keepBeside(const QString& path) {
    const QString target = asideName(path, QStringLiteral(".outside-"));
    // A second name for the same file: the file keeps its place until the save puts the new one there, so
    // that no moment goes by without it.
    const QByteArray from = QFile::encodeName(path);
    const QByteArray to = QFile::encodeName(target);
    if (::linkat(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), AT_SYMLINK_FOLLOW) == 0) return target;
    // A file system without such names gets a copy.
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw Failure(err::PathFileAccess,
                      QStringLiteral("Could not keep %1 aside: %2").arg(path, file.errorString()));
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw Failure(err::PathFileAccess,
                      QStringLiteral("Could not keep %1 aside: %2").arg(path, file.errorString()));
    atomicfile::write(target, bytes);
    return target;
}

void StoreFile::keepOutsideChange(const QString& path) {
    if (!m_known) return;
    const std::optional<FileIdentity> standing = FileIdentity::of(path);
    // Gone, or still what the store read or wrote, whatever else was done to it.
    if (!standing || (m_identity && standing->sameContent(*m_identity))) return;
    const QString kept = File::keepBeside(path);
    // The new name changed the file's change time: what stands there now is known, and is not kept again.
    m_identity = FileIdentity::of(path);
    const QString name = QFileInfo(path).fileName();
    const QString text =
        QStringLiteral(
            "The %1 file was changed outside Quorvane while it ran, so that version has been kept as "
            "\"%2\". Quorvane's %1 are saved in \"%3\".")
            .arg(m_noun, QFileInfo(kept).fileName(), name);
    logLine(text);
    if (boxesCanBeAnswered()) {
        prompter().messageBox(text, Prompter::Buttons::OK, Prompter::Icon::Information,
                              QStringLiteral("Quorvane"));
    }
}

QString File::loadFailureText(const QString& path, const XmlParseError& error) {
    const QString crlf = QStringLiteral("\r\n");
    return QStringLiteral("The XML Document failed to load!") + crlf + QStringLiteral("File: ") + path +
           crlf + QStringLiteral("Error: ") + QString::number(error.code) + QStringLiteral(": ") +
           error.reason + QStringLiteral(" Line #: ") + QString::number(error.line) + crlf +
           QStringLiteral("Line Position: ") + QString::number(error.linePos) + crlf +
           QStringLiteral("Position In File: ") + QString::number(error.filePos) + crlf +
           QStringLiteral("Source Text: ") + error.srcText + crlf;
}

pugi::xml_document File::loadXMLFromDisk(const QString& path, bool showErrors, XmlParseError* error,
                                         std::optional<FileIdentity>* identity) {
    pugi::xml_document document;
    XmlParseError outcome;
    if (identity) identity->reset();
    trapped(
        QStringLiteral(" - File.loadXMLFromDisk: "), QStringLiteral(" Error"),
        [&] {
            outcome = readXMLFile(document, path, identity);
            if (!outcome.ok()) {
                if (showErrors) {
                    prompter().messageBox(loadFailureText(path, outcome), Prompter::Buttons::OK,
                                          Prompter::Icon::Exclamation, QStringLiteral("Quorvane"));
                }
                document.reset();
            }
        },
        false);
    if (error) *error = outcome;
    return document;
}

bool File::saveXMLToDisk(const pugi::xml_node& document, const QString& path) {
    bool saved = false;
    trapped(
        QStringLiteral(" - File.saveXMLToDisk: "), QStringLiteral(" Error"),
        [&] {
            writeXMLFile(document, path);
            saved = true;
        },
        false);
    return saved;
}

void File::displayNode(const pugi::xml_node& parent, int indent) {
    displayLines(parent, indent);
}

bool File::loadAndDisplayXMLTree(const QString& path) {
    bool done = false;
    trapped(
        QStringLiteral(" - File.loadAndDisplayXMLTree: "), QStringLiteral(" Error"),
        [&] {
            const pugi::xml_document document = loadXMLFromDisk(path, true);
            displayNode(document, 0);
            done = true;
        },
        false);
    return done;
}

bool File::writeToLog(const QString& text) {
    bool written = false;
    ignoringFailures([&] {
        const QString folder = gSettings ? gSettings->sDataDir() : withTrailingSlash(programFolder());
        atomicfile::makeFolder(folder);
        QFile log(folder + QStringLiteral("msglog.txt"));
        // A new log is the user's alone, like every data file.
        if (!log.open(QIODevice::WriteOnly | QIODevice::Append,
                      QFileDevice::ReadOwner | QFileDevice::WriteOwner)) {
            throw Failure(failureNumberFor(log.error()),
                          QStringLiteral("Could not write %1: %2").arg(log.fileName(), log.errorString()));
        }
        // One entry, one line: line breaks inside the text become blanks.
        QString entry = text;
        entry.replace(QStringLiteral("\r\n"), QStringLiteral(" ")).replace(u'\r', u' ').replace(u'\n', u' ');
        const QByteArray line = (appClock().now().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")) +
                                 QStringLiteral(": ") + entry + QStringLiteral("\r\n"))
                                    .toUtf8();
        if (log.write(line) != line.size() || !log.flush()) {
            throw Failure(failureNumberFor(log.error()),
                          QStringLiteral("Could not write %1: %2").arg(log.fileName(), log.errorString()));
        }
        written = true;
    });
    return written;
}
