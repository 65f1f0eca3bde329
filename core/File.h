#pragma once

#include "platform/FileIdentity.h"

#include <QByteArray>
#include <QString>
#include <optional>
#include <pugixml.hpp>

// How reading an XML file or text went. code 0 means it loaded; a missing file has its own code,
// FileNotFoundCode; every other failure carries the parser's status number (1 and up).
struct XmlParseError {
    static constexpr qint32 FileNotFoundCode = static_cast<qint32>(0x800C0005u);

    qint32 code = 0;
    QString reason;     // the parser's reason text
    qint64 line = 0;    // 1-based line of the fault (0 when there is no place)
    qint64 linePos = 0; // 1-based position in that line
    qint64 filePos = 0; // 1-based position in the file (characters of the raw bytes)
    QString srcText;    // the line holding the fault

    bool ok() const { return code == 0; }
    bool fileNotFound() const { return code == FileNotFoundCode; }
};

// Loads and saves the XML documents, keeps the settings folder and writes the log.
//
// Documents are read keeping every text node (the line breaks between records included, CR LF as they
// stand) and written back exactly as they are held: no declaration added, empty elements as "<name/>",
// characters that XML cannot hold left out. A save goes to a temporary file that replaces the old one
// only when it is complete.
class File {
public:
    File() = default;

    // The settings folder: setting "Settings Path" of section "Settings"; always ends in "/". A relative
    // one lies in the program folder. With none (or an empty one) it is the data folder, or the program
    // folder while only that holds "stats.xml".
    QString Path() const;
    // Stores a new settings folder ("/" added when missing, to the caller's text too, unless it is empty).
    // Failures are ignored.
    void setPath(QString& folder);

    // Loads the file at path. When it fails and showErrors is set, the failure is shown in a box; in every
    // failed case the document comes back empty. The outcome goes to *error when given.
    // Reported (" - File.loadXMLFromDisk: ") for failures other than the parse itself.
    pugi::xml_document loadXMLFromDisk(const QString& path, bool showErrors, XmlParseError* error = nullptr,
                                       std::optional<FileIdentity>* identity = nullptr);
    // Saves the document to path. Reported (" - File.saveXMLToDisk: "); false when it failed.
    bool saveXMLToDisk(const pugi::xml_node& document, const QString& path);
    // Development aid: walks the child nodes of parent depth first and writes one line per text to the
    // debug log (category "quorvane.xml", off unless enabled).
    void displayNode(const pugi::xml_node& parent, int indent);
    // loadXMLFromDisk(path, true), then displayNode on the document's child nodes; true.
    bool loadAndDisplayXMLTree(const QString& path);
    // Appends "<date and time>: <text>" and CR LF to "msglog.txt" in the data folder. With the
    // error-handling switch on a failure loses the entry and gives false; with it off it raises.
    bool writeToLog(const QString& text);

    // --- the building blocks, shared by the stores; they report nothing and raise a Failure instead ---

    // Reads path into document (emptied first). No box, no failure: the outcome is returned, and the file
    // read as it stood to *identity when given (nullopt when none was read).
    static XmlParseError readXMLFile(pugi::xml_document& document, const QString& path,
                                     std::optional<FileIdentity>* identity = nullptr);
    // Reads an XML text into document (emptied first), with the same options as files.
    static XmlParseError readXMLText(pugi::xml_document& document, const QByteArray& text);
    // The same for a text of valid UTF-8 held in a buffer from pugixml's allocation function, which the
    // document takes over and reads where it stands. False, telling nothing more, for any other text or one
    // that does not load: such a text is for readXMLText.
    static bool readXMLInPlace(pugi::xml_document& document, void* buffer, size_t size);
    // The text a document (or any node) is written as. pugixml's writer writes it where its rules give
    // the same bytes as xmlTextByWalk, which is every store of valid UTF-8 with nothing odd in it.
    static QByteArray xmlText(const pugi::xml_node& node);
    // The same text, made by walking the tree node by node: for any document whatever it holds (the
    // characters XML cannot hold left out, what would end a comment, section or instruction early broken
    // up, names as they were read).
    static QByteArray xmlTextByWalk(const pugi::xml_node& node);
    // Writes the document to path through a temporary file and an atomic rename, creating the folder
    // when missing. Raises a Failure when the file could not be written whole. Returns the file as written
    // (nullopt when that could not be told).
    static std::optional<FileIdentity> writeXMLFile(const pugi::xml_node& document, const QString& path);
    // Moves a file that could not be read out of the way, to "<path>.damaged-<yyyyMMdd-hhmmss>" (with
    // "-2", "-3"... added when that name is taken). Returns the new path; an empty text when there was no
    // file at path. Raises a Failure when the file is there but could not be moved.
    static QString setAsideDamaged(const QString& path);
    // Keeps the file at path as it stands under a new name beside it, "<path>.outside-<yyyyMMdd-hhmmss>"
    // (with "-2", "-3"... added when that name is taken), leaving the file itself where it is. Returns the
    // new path. Raises a Failure when it could not be kept.
    static QString keepBeside(const QString& path);
    // The text of the box that shows a failed load.
    static QString loadFailureText(const QString& path, const XmlParseError& error);
};

// What a store knows of its file: the file as the store last read or wrote it, so that one changed on disk
// meanwhile by something else (a hand edit, a sync tool) is told from the program's own saves.
class StoreFile {
public:
    // noun names the store's file for the user: "items", "projects".
    explicit StoreFile(QString noun) : m_noun(std::move(noun)) {}

    // After a load: the file as read, or nullopt when there was none.
    void read(const std::optional<FileIdentity>& identity) {
        m_known = true;
        m_identity = identity;
    }
    // After a load that failed: what stands on disk is not the store's (it is kept aside otherwise).
    void forget() { m_known = false; }
    // Before a save to path: when a file stands there that is not the one read or written last, or was
    // written since (a new mode or name alone is no change), it is kept beside (File::keepBeside) and the
    // user is told once, in a box (none while the program is being ended from outside) and in the log.
    // Only a stat when nothing changed. Raises a Failure when the file could not be kept: the save must
    // then not write over it.
    void keepOutsideChange(const QString& path);
    // After a save: the file as written.
    void written(const std::optional<FileIdentity>& identity) {
        m_known = identity.has_value();
        m_identity = identity;
    }

private:
    QString m_noun;
    bool m_known = false;
    std::optional<FileIdentity> m_identity;
};
