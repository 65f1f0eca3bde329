#include "ChmFile.h"

#include <QFile>
#include <QtEndian>
#include <chm_lib.h>

namespace {

// The system file's record codes.
constexpr quint16 SysContents = 0;
constexpr quint16 SysIndex = 1;
constexpr quint16 SysDefaultTopic = 2;
constexpr quint16 SysTitle = 3;
constexpr quint16 SysDefaultWindow = 5;

// Where the fields of a window definition lie in its record.
constexpr int WinName = 0x08;
constexpr int WinCaption = 0x14;
constexpr int WinPlace = 0x20;
constexpr int WinFile = 0x68;
constexpr int WinHome = 0x6c;

quint32 dwordAt(const QByteArray& data, qsizetype at) {
    if (at < 0 || at + 4 > data.size()) return 0;
    return qFromLittleEndian<quint32>(data.constData() + at);
}

quint16 wordAt(const QByteArray& data, qsizetype at) {
    if (at < 0 || at + 2 > data.size()) return 0;
    return qFromLittleEndian<quint16>(data.constData() + at);
}

QString textOf(const QByteArray& bytes) {
    const qsizetype nul = bytes.indexOf('\0');
    return QString::fromUtf8(nul < 0 ? bytes : bytes.left(nul));
}

int listFile(chmFile*, chmUnitInfo* ui, void* context) {
    const QString path = QString::fromUtf8(ui->path);
    const QString name = path.mid(path.lastIndexOf(u'/') + 1);
    if (!path.startsWith(QStringLiteral("::")) && !name.isEmpty() && !name.startsWith(u'#') &&
        !name.startsWith(u'$') && !path.startsWith(QStringLiteral("/$")))
        static_cast<QStringList*>(context)->append(path);
    return CHM_ENUMERATOR_CONTINUE;
}

} // namespace

std::unique_ptr<ChmFile> ChmFile::open(const QString& path) {
    ::chmFile* handle = chm_open(QFile::encodeName(path).constData());
    if (!handle) return nullptr;
    std::unique_ptr<ChmFile> file(new ChmFile);
    file->m_path = path;
    file->m_handle = handle;
    chm_enumerate(handle, CHM_ENUMERATE_NORMAL | CHM_ENUMERATE_FILES, listFile, &file->m_files);
    file->m_strings = file->read(QStringLiteral("/#STRINGS")).value_or(QByteArray());
    file->readSystem();
    file->readWindows();
    file->readContextIds();
    return file;
}

ChmFile::~ChmFile() {
    if (m_handle) chm_close(m_handle);
}

QString ChmFile::normalPath(const QString& inner) {
    QString p = inner;
    p.replace(u'\\', u'/');
    QStringList out;
    for (const QString& part : p.split(u'/', Qt::SkipEmptyParts)) {
        if (part == QStringLiteral(".")) continue;
        if (part == QStringLiteral("..")) {
            if (!out.isEmpty()) out.removeLast();
            continue;
        }
        out.append(part);
    }
    return u'/' + out.join(u'/');
}

std::optional<QByteArray> ChmFile::read(const QString& inner) const {
    const QString p = inner.startsWith(u'#') || inner.startsWith(u'$') ? u'/' + inner : normalPath(inner);
    chmUnitInfo ui{};
    if (chm_resolve_object(m_handle, p.toUtf8().constData(), &ui) != CHM_RESOLVE_SUCCESS) return std::nullopt;
    if (ui.length > 64u * 1024 * 1024) return std::nullopt; // no page or picture of a help file is this big
    QByteArray data(static_cast<qsizetype>(ui.length), Qt::Uninitialized);
    const LONGINT64 got = chm_retrieve_object(m_handle, &ui, reinterpret_cast<unsigned char*>(data.data()), 0,
                                              static_cast<LONGINT64>(ui.length));
    if (got < 0) return std::nullopt;
    data.truncate(static_cast<qsizetype>(got));
    return data;
}

bool ChmFile::contains(const QString& inner) const {
    chmUnitInfo ui{};
    return chm_resolve_object(m_handle, normalPath(inner).toUtf8().constData(), &ui) == CHM_RESOLVE_SUCCESS;
}

QString ChmFile::stringAt(quint32 offset) const {
    if (offset == 0 || offset >= quint32(m_strings.size())) return {};
    return textOf(m_strings.mid(offset));
}

void ChmFile::readSystem() {
    const QByteArray sys = read(QStringLiteral("#SYSTEM")).value_or(QByteArray());
    for (qsizetype at = 4; at + 4 <= sys.size();) {
        const quint16 code = wordAt(sys, at);
        const quint16 length = wordAt(sys, at + 2);
        const QByteArray data = sys.mid(at + 4, length);
        at += 4 + length;
        switch (code) {
        case SysContents:
            m_contents = normalPath(textOf(data));
            break;
        case SysIndex:
            m_index = normalPath(textOf(data));
            break;
        case SysDefaultTopic:
            m_defaultTopic = normalPath(textOf(data));
            break;
        case SysTitle:
            m_title = textOf(data);
            break;
        case SysDefaultWindow:
            m_defaultWindow = textOf(data);
            break;
        default:
            break;
        }
    }
    // Files from compilers that leave the system file short: find the contents and index by their kind.
    for (const QString& f : m_files) {
        if (m_contents == QStringLiteral("/") || m_contents.isEmpty())
            if (f.endsWith(QStringLiteral(".hhc"), Qt::CaseInsensitive)) m_contents = f;
        if (m_index == QStringLiteral("/") || m_index.isEmpty())
            if (f.endsWith(QStringLiteral(".hhk"), Qt::CaseInsensitive)) m_index = f;
    }
    if (m_defaultTopic == QStringLiteral("/")) m_defaultTopic.clear();
}

void ChmFile::readWindows() {
    const QByteArray win = read(QStringLiteral("#WINDOWS")).value_or(QByteArray());
    const quint32 count = dwordAt(win, 0);
    const quint32 size = dwordAt(win, 4);
    if (size < WinHome + 4) return;
    for (quint32 i = 0; i < count; ++i) {
        const qsizetype at = 8 + qsizetype(i) * size;
        if (at + size > win.size()) break;
        WindowDefinition def;
        def.name = stringAt(dwordAt(win, at + WinName));
        def.caption = stringAt(dwordAt(win, at + WinCaption));
        QString home = stringAt(dwordAt(win, at + WinHome));
        if (home.isEmpty()) home = stringAt(dwordAt(win, at + WinFile));
        if (!home.isEmpty()) def.home = normalPath(home);
        const auto edge = [&](int n) { return static_cast<qint32>(dwordAt(win, at + WinPlace + 4 * n)); };
        if (edge(2) > edge(0) && edge(3) > edge(1))
            def.place = QRect(QPoint(edge(0), edge(1)), QPoint(edge(2), edge(3)));
        if (!def.name.isEmpty()) m_windows.append(def);
    }
}

void ChmFile::readContextIds() {
    const QByteArray ivb = read(QStringLiteral("#IVB")).value_or(QByteArray());
    const quint32 size = dwordAt(ivb, 0);
    for (qsizetype at = 4; at + 8 <= ivb.size() && at + 8 <= qsizetype(size) + 4; at += 8) {
        QString topic = stringAt(dwordAt(ivb, at + 4));
        if (topic.isEmpty()) continue;
        // Some compilers write the topic as the path it had on the machine that built the file: keep the
        // longest tail of it that names a file inside.
        topic = normalPath(topic);
        while (!contains(topic) && topic.indexOf(u'/', 1) > 0)
            topic = topic.mid(topic.indexOf(u'/', 1));
        m_contextIds.insert(static_cast<qint32>(dwordAt(ivb, at)), topic);
    }
}

const ChmFile::WindowDefinition* ChmFile::window(const QString& name) const {
    for (const WindowDefinition& w : m_windows)
        if (w.name.compare(name, Qt::CaseInsensitive) == 0) return &w;
    return nullptr;
}

QString ChmFile::topicOfId(qint64 id) const {
    return m_contextIds.value(id);
}
