#pragma once

#include <QByteArray>
#include <QFile>
#include <QList>
#include <QString>
#include <QtEndian>
#include <utility>

// Writes a compiled help file with the given files (paths without the leading "/"), stored uncompressed:
// enough for the viewer to open, list and read them. A contents file "contents.hhc" among them is found
// by its kind, as in a file whose system file says nothing.
class HelpFileMaker {
public:
    void add(const QString& path, const QByteArray& bytes) { m_files.append({path, bytes}); }

    bool write(const QString& to) const {
        QByteArray content;
        QByteArray entries;
        for (const auto& [path, bytes] : m_files) {
            const QByteArray name = '/' + path.toUtf8();
            entries += encint(quint64(name.size())) + name + encint(0) + encint(quint64(content.size())) +
                       encint(quint64(bytes.size()));
            content += bytes;
        }
        const quint32 blockLength = quint32(std::max<qsizetype>(4096, entries.size() + 0x14));
        QByteArray listing = "PMGL" + dword(quint32(blockLength - 0x14 - entries.size())) + dword(0) +
                             dword(quint32(-1)) + dword(quint32(-1)) + entries;
        listing.append(QByteArray(blockLength - listing.size(), '\0'));

        QByteArray directory = "ITSP" + dword(1) + dword(0x54) + dword(0x0a) + dword(blockLength) + dword(2) +
                               dword(1) + dword(quint32(-1)) + dword(0) + dword(quint32(-1)) + dword(1) +
                               dword(0) + dword(0x409) + QByteArray(32, '\0');
        directory += listing;

        const quint64 sectionAt = 0x60, sectionLength = 0x18, directoryAt = sectionAt + sectionLength;
        const quint64 contentAt = directoryAt + quint64(directory.size());
        QByteArray file = "ITSF" + dword(3) + dword(0x60) + dword(1) + dword(0) + dword(0x409) +
                          QByteArray(32, '\0') + qword(sectionAt) + qword(sectionLength) +
                          qword(directoryAt) + qword(quint64(directory.size())) + qword(contentAt);
        file += dword(0x01fe) + dword(0) + qword(contentAt + quint64(content.size())) + dword(0) + dword(0);
        file += directory + content;

        QFile out(to);
        return out.open(QIODevice::WriteOnly | QIODevice::Truncate) && out.write(file) == file.size();
    }

private:
    static QByteArray dword(quint32 v) {
        QByteArray b(4, '\0');
        qToLittleEndian(v, b.data());
        return b;
    }
    static QByteArray qword(quint64 v) {
        QByteArray b(8, '\0');
        qToLittleEndian(v, b.data());
        return b;
    }
    // A whole number in sevens of bits, the highest first, each but the last with its top bit set.
    static QByteArray encint(quint64 v) {
        QByteArray b(1, char(v & 0x7f));
        for (v >>= 7; v; v >>= 7)
            b.prepend(char(0x80 | (v & 0x7f)));
        return b;
    }

    QList<std::pair<QString, QByteArray>> m_files;
};
