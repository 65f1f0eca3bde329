#pragma once

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QRect>
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>

struct chmFile;

// A compiled help file, read with chmlib: its pages, pictures and the other files inside it, and what
// its system file says (title, contents and index files, first topic, default window), its window
// definitions and its numbered topics. Paths inside the file begin with "/".
class ChmFile {
public:
    struct WindowDefinition {
        QString name;
        QString caption;
        QString home; // the window's first topic
        QRect place;  // left, top, right and bottom on the screen; empty when the file leaves it open
    };

    // nullptr when the file cannot be opened as a compiled help file.
    static std::unique_ptr<ChmFile> open(const QString& path);
    ~ChmFile();
    ChmFile(const ChmFile&) = delete;
    ChmFile& operator=(const ChmFile&) = delete;

    const QString& path() const { return m_path; }
    // A file inside, by its path (with or without the leading "/"; letter case does not matter), or its
    // first `most` bytes; nullopt when there is none.
    std::optional<QByteArray> read(const QString& inner, qint64 most = -1) const;
    bool contains(const QString& inner) const;
    // The files inside that a reader sees: the pages, pictures, contents and index, not the compiler's
    // own ("#", "$" and "::" files).
    const QStringList& files() const { return m_files; }

    const QString& title() const { return m_title; }
    const QString& contentsFile() const { return m_contents; }
    const QString& indexFile() const { return m_index; }
    const QString& defaultTopic() const { return m_defaultTopic; }
    const QString& defaultWindow() const { return m_defaultWindow; }
    const QList<WindowDefinition>& windows() const { return m_windows; }
    const WindowDefinition* window(const QString& name) const;
    // The topic a number stands for; empty when the file names none.
    QString topicOfId(qint64 id) const;

    // "/a/b.htm" from "a/b.htm", "/a/./b.htm" or "\a\b.htm".
    static QString normalPath(const QString& inner);

private:
    ChmFile() = default;
    bool compressedSectionHolds();
    void readSystem();
    void readWindows();
    void readContextIds();
    QString stringAt(quint32 offset) const;

    QString m_path;
    ::chmFile* m_handle = nullptr;
    QStringList m_files;
    QString m_title;
    QString m_contents;
    QString m_index;
    QString m_defaultTopic;
    QString m_defaultWindow;
    QList<WindowDefinition> m_windows;
    QMap<qint64, QString> m_contextIds;
    QByteArray m_strings;
    quint64 m_expandedLength = 0; // of the compressed section
};
