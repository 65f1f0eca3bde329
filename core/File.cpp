#include "File.h"

#include "AppPaths.h"
#include "Clock.h"
#include "ErrorReport.h"
#include "Failure.h"
#include "Globals.h"
#include "Prompter.h"
#include "Settings.h"
#include "XML.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QSaveFile>
#include <QStringDecoder>

Q_LOGGING_CATEGORY(lcXmlTree, "quorvane.xml", QtWarningMsg)

namespace {

// Every text node is kept (the line breaks between records too) and line ends stay as they are, so that
// a file read and written again comes out the same.
constexpr unsigned ParseOptions = pugi::parse_cdata | pugi::parse_escapes | pugi::parse_wconv_attribute |
                                  pugi::parse_ws_pcdata | pugi::parse_comments | pugi::parse_pi |
                                  pugi::parse_declaration | pugi::parse_doctype;

QString fromUtf8(const char* text) {
    return QString::fromUtf8(text);
}

// A file that names no encoding (no byte order mark, no encoding in its declaration) is UTF-8 by rule;
// one written by hand in Latin-1 is not valid UTF-8 and is read as Latin-1, so that its accented letters
// survive the next save instead of turning into replacement characters.
pugi::xml_encoding encodingOf(const QByteArray& bytes) {
    if (bytes.startsWith("\xEF\xBB\xBF") || bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF"))
        return pugi::encoding_auto;
    if (bytes.startsWith("<?xml")) {
        const qsizetype end = bytes.indexOf("?>");
        if (end > 0 && bytes.left(end).contains("encoding")) return pugi::encoding_auto;
    }
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString decoded = utf8.decode(bytes); // the conversion runs when the result is taken
    return utf8.hasError() ? pugi::encoding_latin1 : pugi::encoding_auto;
}

XmlParseError parseBuffer(pugi::xml_document& document, const QByteArray& bytes) {
    document.reset();
    const pugi::xml_parse_result result = document.load_buffer(
        bytes.constData(), static_cast<size_t>(bytes.size()), ParseOptions, encodingOf(bytes));
    XmlParseError error;
    if (result) return error;
    document.reset();
    error.code = static_cast<qint32>(result.status);
    error.reason = fromUtf8(result.description());
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

void appendEscaped(QString& out, const QString& text, bool attribute) {
    for (const QChar c : XML::xmlSafe(text)) {
        switch (c.unicode()) {
        case '&':
            out += QLatin1String("&amp;");
            break;
        case '<':
            out += QLatin1String("&lt;");
            break;
        case '>':
            out += QLatin1String("&gt;");
            break;
        case '"':
            if (attribute)
                out += QLatin1String("&quot;");
            else
                out += c;
            break;
        case '\t':
        case '\n':
        case '\r':
            // In an attribute a raw line break would be read back as a blank.
            if (attribute)
                out += QStringLiteral("&#%1;").arg(c.unicode());
            else
                out += c;
            break;
        default:
            out += c;
        }
    }
}

void appendAttributes(QString& out, const pugi::xml_node& node, bool declaration) {
    for (const pugi::xml_attribute& a : node.attributes()) {
        out += QLatin1Char(' ');
        out += fromUtf8(a.name());
        out += QLatin1String("=\"");
        // The file is always written in UTF-8, whatever a hand-written declaration said.
        if (declaration && qstricmp(a.name(), "encoding") == 0)
            out += QLatin1String("UTF-8");
        else
            appendEscaped(out, fromUtf8(a.value()), true);
        out += QLatin1Char('"');
    }
}

void appendNode(QString& out, const pugi::xml_node& node) {
    switch (node.type()) {
    case pugi::node_document:
        // The reader keeps no line breaks between a declaration or comment and the root element; each
        // of them gets its own line again.
        for (const pugi::xml_node& child : node.children()) {
            if (child != node.first_child()) out += QLatin1String("\r\n");
            appendNode(out, child);
        }
        break;
    case pugi::node_element: {
        const QString name = fromUtf8(node.name());
        out += QLatin1Char('<');
        out += name;
        appendAttributes(out, node, false);
        if (!node.first_child()) {
            out += QLatin1String("/>");
            break;
        }
        out += QLatin1Char('>');
        for (const pugi::xml_node& child : node.children())
            appendNode(out, child);
        out += QLatin1String("</");
        out += name;
        out += QLatin1Char('>');
        break;
    }
    case pugi::node_pcdata:
        appendEscaped(out, fromUtf8(node.value()), false);
        break;
    case pugi::node_cdata: {
        // "]]>" cannot stand inside a section: it is split over two.
        QString value = XML::xmlSafe(fromUtf8(node.value()));
        value.replace(QLatin1String("]]>"), QLatin1String("]]]]><![CDATA[>"));
        out += QLatin1String("<![CDATA[") + value + QLatin1String("]]>");
        break;
    }
    case pugi::node_comment: {
        QString value = XML::xmlSafe(fromUtf8(node.value()));
        value.replace(QLatin1String("--"), QLatin1String("- -"));
        if (value.endsWith(QLatin1Char('-'))) value += QLatin1Char(' ');
        out += QLatin1String("<!--") + value + QLatin1String("-->");
        break;
    }
    case pugi::node_pi:
        out += QLatin1String("<?") + fromUtf8(node.name());
        if (*node.value()) out += QLatin1Char(' ') + XML::xmlSafe(fromUtf8(node.value()));
        out += QLatin1String("?>");
        break;
    case pugi::node_declaration:
        out += QLatin1String("<?") + fromUtf8(node.name());
        appendAttributes(out, node, true);
        out += QLatin1String("?>");
        break;
    case pugi::node_doctype:
        out += QLatin1String("<!DOCTYPE ") + fromUtf8(node.value()) + QLatin1Char('>');
        break;
    case pugi::node_null:
        break;
    }
}

void displayLines(const pugi::xml_node& parent, int indent) {
    for (const pugi::xml_node& node : parent.children()) {
        if (node.type() == pugi::node_pcdata || node.type() == pugi::node_cdata) {
            qCDebug(lcXmlTree).noquote() << QString(indent + 2, QLatin1Char(' ')) +
                                                fromUtf8(node.parent().name()) + QLatin1Char(' ') +
                                                fromUtf8(node.value());
        }
        if (node.first_child()) displayLines(node, indent + 2);
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
    if (!gSettings) return withTrailingSlash(programFolder());
    const QString folder =
        gSettings->getMySetting(QStringLiteral("Settings Path"), QStringLiteral("Settings"), programFolder())
            .toString();
    return withTrailingSlash(folder);
}

void File::setPath(QString& folder) {
    folder = withTrailingSlash(folder);
    const QString value = folder;
    ignoringFailures([&] {
        if (gSettings)
            gSettings->putMySetting(QStringLiteral("Settings Path"), value, QStringLiteral("Settings"));
    });
}

XmlParseError File::readXMLFile(pugi::xml_document& document, const QString& path) {
    document.reset();
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
    return parseBuffer(document, bytes);
}

XmlParseError File::readXMLText(pugi::xml_document& document, const QByteArray& text) {
    return parseBuffer(document, text);
}

QByteArray File::xmlText(const pugi::xml_node& node) {
    QString out;
    appendNode(out, node);
    return out.toUtf8();
}

void File::writeXMLFile(const pugi::xml_node& document, const QString& path) {
    const QByteArray bytes = xmlText(document);
    const QFileInfo info(path);
    if (!QDir().mkpath(info.absolutePath())) {
        throw Failure(err::PathNotFound, QStringLiteral("Path not found: ") + info.absolutePath());
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        throw Failure(failureNumberFor(file.error()),
                      QStringLiteral("Could not write %1: %2").arg(path, file.errorString()));
    }
    if (file.write(bytes) != bytes.size() || !file.commit()) {
        const QFileDevice::FileError error = file.error();
        const QString reason = file.errorString();
        file.cancelWriting();
        throw Failure(failureNumberFor(error), QStringLiteral("Could not write %1: %2").arg(path, reason));
    }
}

QString File::setAsideDamaged(const QString& path) {
    if (!QFileInfo::exists(path)) return {};
    const QString base =
        path + QStringLiteral(".damaged-") + appClock().now().toString(QStringLiteral("yyyyMMdd-hhmmss"));
    QString target = base;
    for (int n = 2; QFileInfo::exists(target); ++n)
        target = base + QStringLiteral("-%1").arg(n);
    QFile file(path);
    if (!file.rename(target)) {
        throw Failure(
            err::PathFileAccess,
            QStringLiteral("Could not move the unreadable file %1 aside: %2").arg(path, file.errorString()));
    }
    return target;
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

pugi::xml_document File::loadXMLFromDisk(const QString& path, bool showErrors, XmlParseError* error) {
    pugi::xml_document document;
    XmlParseError outcome;
    trapped(
        QStringLiteral(" - File.loadXMLFromDisk: "), QStringLiteral(" Error"),
        [&] {
            outcome = readXMLFile(document, path);
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
        QDir().mkpath(folder);
        QFile log(folder + QStringLiteral("msglog.txt"));
        if (!log.open(QIODevice::WriteOnly | QIODevice::Append)) {
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
