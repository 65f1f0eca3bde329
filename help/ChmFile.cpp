#include "help/ChmFile.h"

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

quint64 qwordAt(const QByteArray& data, qsizetype at) {
    if (at < 0 || at + 8 > data.size()) return 0;
    return qFromLittleEndian<quint64>(data.constData() + at);
}

// The tables of the compressed section, and how large the section is once expanded.
const char* const ControlDataFile = "::DataSpace/Storage/MSCompressed/ControlData";
const char* const ResetTableFile = "::DataSpace/Storage/MSCompressed/Transform/"
                                   "{7FC28940-9D31-11D0-9B27-00A0C91E9C7C}/InstanceData/ResetTable";
const char* const ContentFile = "::DataSpace/Storage/MSCompressed/Content";
constexpr quint64 FrameSize = 0x8000; // every compressed block expands to one frame
constexpr quint64 FrameSlack = 6144;  // how much larger than its frame a compressed block may be
constexpr quint64 MostTableBytes = 1 << 24;

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
    if (!file->compressedSectionHolds()) return nullptr;
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

// The reader expands the compressed section as its tables say, without checking them: a damaged control
// block or reset table sends it out of its buffers. So they are checked here, once, before anything of
// that section is read; a file whose tables do not hold together is treated as no help file.
bool ChmFile::compressedSectionHolds() {
    chmUnitInfo control{}, resets{}, content{};
    if (chm_resolve_object(m_handle, ControlDataFile, &control) != CHM_RESOLVE_SUCCESS ||
        chm_resolve_object(m_handle, ResetTableFile, &resets) != CHM_RESOLVE_SUCCESS ||
        chm_resolve_object(m_handle, ContentFile, &content) != CHM_RESOLVE_SUCCESS ||
        control.space != CHM_UNCOMPRESSED || resets.space != CHM_UNCOMPRESSED ||
        content.space != CHM_UNCOMPRESSED)
        return true; // no compressed section: the reader reads none
    const auto raw = [&](chmUnitInfo& ui) -> std::optional<QByteArray> {
        if (ui.length > MostTableBytes) return std::nullopt;
        QByteArray data(static_cast<qsizetype>(ui.length), Qt::Uninitialized);
        const LONGINT64 got =
            chm_retrieve_object(m_handle, &ui, reinterpret_cast<unsigned char*>(data.data()), 0,
                                static_cast<LONGINT64>(ui.length));
        if (got != static_cast<LONGINT64>(ui.length)) return std::nullopt;
        return data;
    };

    // The control block: the window the blocks are expanded in, and how often the expansion starts afresh.
    const std::optional<QByteArray> ctl = raw(control);
    if (!ctl || ctl->size() < 0x18 || !ctl->mid(4, 4).startsWith("LZXC")) return false;
    const quint32 version = dwordAt(*ctl, 8);
    quint32 resetInterval = dwordAt(*ctl, 0x0c);
    quint32 window = dwordAt(*ctl, 0x10);
    const quint32 windowsPerReset = dwordAt(*ctl, 0x14);
    if (version == 2) {
        // Counted in frames; the reader multiplies in 32 bits, and so does this check.
        resetInterval *= 0x8000u;
        window *= 0x8000u;
    } else if (version != 1) {
        return false;
    }
    if (window < (1u << 15) || window > (1u << 21) || (window & (window - 1)) != 0) return false;
    if (resetInterval == 0 || resetInterval % (window / 2) != 0 || windowsPerReset == 0) return false;
    if (resetInterval / (window / 2) * windowsPerReset == 0) return false;

    // The reset table: where each compressed block begins in the content, in order, none too large.
    const std::optional<QByteArray> table = raw(resets);
    if (!table || table->size() < 0x28 || dwordAt(*table, 0) != 2) return false;
    const quint64 blocks = dwordAt(*table, 4);
    const quint64 tableAt = dwordAt(*table, 0x0c);
    const quint64 expanded = qwordAt(*table, 0x10);
    const quint64 compressed = qwordAt(*table, 0x18);
    if (qwordAt(*table, 0x20) != FrameSize) return false;
    if (tableAt + blocks * 8 > quint64(table->size()) || compressed > content.length) return false;
    if (expanded > blocks * FrameSize) return false;
    for (quint64 i = 0; i < blocks; ++i) {
        const quint64 start = qwordAt(*table, qsizetype(tableAt + i * 8));
        const quint64 end = i + 1 < blocks ? qwordAt(*table, qsizetype(tableAt + (i + 1) * 8)) : compressed;
        if ((i == 0 && start != 0) || start > end || end > compressed || end - start > FrameSize + FrameSlack)
            return false;
    }
    m_expandedLength = expanded;
    return true;
}

std::optional<QByteArray> ChmFile::read(const QString& inner, qint64 most) const {
    const QString p = inner.startsWith(u'#') || inner.startsWith(u'$') ? u'/' + inner : normalPath(inner);
    chmUnitInfo ui{};
    if (chm_resolve_object(m_handle, p.toUtf8().constData(), &ui) != CHM_RESOLVE_SUCCESS) return std::nullopt;
    if (ui.length > 64u * 1024 * 1024) return std::nullopt; // no page or picture of a help file is this big
    // A file said to lie beyond the end of the compressed section would have the reader look for blocks
    // the reset table does not have.
    if (ui.space == CHM_COMPRESSED &&
        (ui.start > m_expandedLength || ui.length > m_expandedLength - ui.start))
        return std::nullopt;
    const quint64 length = most >= 0 ? std::min<quint64>(ui.length, quint64(most)) : ui.length;
    QByteArray data(static_cast<qsizetype>(length), Qt::Uninitialized);
    const LONGINT64 got = chm_retrieve_object(m_handle, &ui, reinterpret_cast<unsigned char*>(data.data()), 0,
                                              static_cast<LONGINT64>(length));
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
