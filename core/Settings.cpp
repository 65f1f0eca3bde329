#include "core/Settings.h"

#include "core/ErrorReport.h"
#include "platform/AppPaths.h"
#include "platform/Failure.h"
#include "platform/FormPort.h"
#include "platform/NumberText.h"

#include <cmath>

namespace {

const QString General = QStringLiteral("General");
const QString WindowPos = QStringLiteral("WindowPos");
const QString Colors = QStringLiteral("Colors");
const QString Articles = QStringLiteral("Articles");

// Runs one loading step; a step that fails leaves its member as it was, whatever the switch says (the
// switch itself is among what is read).
template <class Step> void tryStep(Step&& step) {
    underErrorSwitch(true, step, skipFailure);
}

} // namespace

const QStringList& Settings::defaultColors() {
    static const QStringList colors = {
        QStringLiteral("255"),      QStringLiteral("0"),        QStringLiteral("192"),
        QStringLiteral("16777215"), QStringLiteral("128"),      QStringLiteral("-2147483634"),
        QStringLiteral("14737632"), QStringLiteral("16777215"), QStringLiteral("-2147483643")};
    return colors;
}

QString Settings::defaultStartTime(int period) {
    switch (period) {
    case 2:
        return QStringLiteral("11:00");
    case 3:
        return QStringLiteral("14:00");
    case 4:
        return QStringLiteral("18:00");
    default:
        return {};
    }
}

Settings::Settings(const QString& storePath) : m_store(storePath) {
    setVariables();
}

void Settings::setVariables() {
    auto readBool = [&](const char* name, bool def, bool& member) {
        tryStep([&] { member = numtext::toBoolean(getMySetting(QString::fromLatin1(name), General, def)); });
    };
    auto readInt = [&](const char* name, int def, Integer& member) {
        tryStep([&] { member = numtext::toInteger(getMySetting(QString::fromLatin1(name), General, def)); });
    };
    readBool("ErrorHandling", true, m_bErrorHandling);
    readInt("PeriodLength", 45, m_iPeriodLength);
    readInt("DisplayLength", 5, m_iDisplayLength);
    readBool("BossKey", true, m_bBossKey);
    readInt("SaveInterval", 5, m_iSaveInterval);
    readBool("onTop", true, m_onTop);
    readInt("meetingReminderAdvance", 5, m_meetingReminderMinutes);
    readBool("confirmExit", true, m_confirmExit);

    const QString period = QStringLiteral("Period");
    tryStep([&] {
        m_startTimePeriod2 =
            getMySetting(QStringLiteral("StartTimePeriod2"), period, defaultStartTime(2)).toString();
    });
    tryStep([&] {
        m_startTimePeriod3 =
            getMySetting(QStringLiteral("StartTimePeriod3"), period, defaultStartTime(3)).toString();
    });
    tryStep([&] {
        m_startTimePeriod4 =
            getMySetting(QStringLiteral("StartTimePeriod4"), period, defaultStartTime(4)).toString();
    });

    m_settingsRemoved = false;
    m_stopApplication = false;

    tryStep([&] { loadColors(); });

    tryStep([&] { m_sDataDir = dataDirectory(m_store); });
}

QString Settings::dataDirectory(const IniStore& store) {
    return dataDirectoryFor(store.value(General, QStringLiteral("DataDirectory")).value_or(QString()));
}

QString Settings::dataDirectoryFor(const QString& setting) {
    // An empty folder would be the root of the file system: it stands for the default.
    if (!setting.trimmed().isEmpty()) return withTrailingSlash(inProgramFolder(setting));
    // The store that earlier versions kept beside the program serves until the desktop's folder holds one.
    return folderInUse(desktopDataFolder(), programFolder() + QStringLiteral("cvc/"),
                       QStringLiteral("items.xml"));
}

bool Settings::loadColors() {
    const QList<QPair<QString, QString>> pairs = m_store.sectionValues(Colors);
    const qsizetype size = pairs.size() < 11 ? 11 : pairs.size();
    m_colors = QStringList(size, QString());
    const QStringList& defaults = defaultColors();
    for (qsizetype i = 0; i < defaults.size() && i < m_colors.size(); ++i)
        m_colors[i] = defaults[i];
    for (const auto& [name, value] : pairs) {
        if (value.isEmpty()) continue;
        const std::optional<double> n = numtext::parseNumber(name);
        if (!n) return false;
        const double index = std::floor(*n);
        if (index < 0 || index >= static_cast<double>(m_colors.size())) return false;
        m_colors[static_cast<qsizetype>(index)] = value;
    }
    return true;
}

QString Settings::Color(int index) const {
    if (index < 0 || index >= m_colors.size()) return {};
    return m_colors.at(index);
}

void Settings::setColor(int index, const QString& value) {
    if (index < 0 || index >= m_colors.size()) return;
    m_colors[index] = value;
}

QString Settings::ArticlePath() const {
    return withTrailingSlash(programFolder()) + QStringLiteral("Articles/");
}

Integer Settings::LastArticleRead() const {
    return numtext::toInteger(getMySetting(QStringLiteral("LastRead"), Articles, 0));
}

void Settings::setLastArticleRead(Integer v) {
    putMySetting(QStringLiteral("LastRead"), QString::number(v.value()), Articles);
}

QDate Settings::LastArticleCreated() const {
    const QString text = getMySetting(QStringLiteral("LastCreatedDate"), Articles, QStringLiteral("1999"))
                             .toString()
                             .trimmed();
    QDate d = QDate::fromString(text, Qt::ISODate);
    // A year alone stands for the first day of that year: the default "1999" is no real today.
    if (!d.isValid() && text.size() == 4) d = QDate::fromString(text + QStringLiteral("-01-01"), Qt::ISODate);
    if (!d.isValid()) throw Failure(err::TypeMismatch);
    return d;
}

void Settings::setLastArticleCreated(const QDate& d) {
    putMySetting(QStringLiteral("LastCreatedDate"), d.toString(Qt::ISODate), Articles);
}

QVariant Settings::getMySetting(const QString& key, const QString& section, const QVariant& def,
                                std::optional<double> minimum) const {
    auto read = [&]() -> QVariant {
        const std::optional<QString> stored = m_store.value(section, key);
        QVariant result = stored ? QVariant(*stored) : def;
        if (minimum && *minimum > numtext::toDouble(result)) result = *minimum;
        return result;
    };
    QVariant result(false); // what a read that fails gives
    const auto readResult = [&] { result = read(); };
    underErrorSwitch(bErrorHandling(), readResult, skipFailure);
    return result;
}

bool Settings::putMySetting(const QString& key, const QString& value, const QString& section) {
    if (m_settingsRemoved) return false;
    if (key.isEmpty()) return false;
    const bool written = m_store.setValue(section, key, value);
    if (!written) m_storeWriteFailed = true;
    if (!written && !bErrorHandling()) throw Failure(err::PathFileAccess);
    return written;
}

void Settings::removeMySettings() {
    m_store.removeAll();
    m_settingsRemoved = true;
}

bool Settings::positionForm(FormPort* form, bool restorePosition, bool restoreSize) {
    if (!form) return false;
    const FormPort::Rect current = form->twipGeometry();
    auto body = [&] {
        const QString n = form->formName();
        // A stored value that cannot be read as a number counts as absent, so that a damaged entry
        // never shrinks a form to nothing.
        auto stored = [&](const QString& name, double def, double minimum) {
            const QVariant v = getMySetting(n + name, WindowPos, def, minimum);
            if (v.typeId() == QMetaType::Bool) return def;
            return numtext::toDouble(v);
        };
        double height = numtext::roundHalfEven(current.height);
        double width = numtext::roundHalfEven(current.width);
        if (restoreSize) {
            height = numtext::roundHalfEven(stored(QStringLiteral("_height"), current.height, 5));
            width = numtext::roundHalfEven(stored(QStringLiteral("_width"), current.width, 5));
        }
        const double screenH = form->screenHeightTwips();
        const double screenW = form->screenWidthTwips();
        double top = current.top;
        double left = current.left;
        if (restorePosition) {
            const double centreTop = std::fabs(std::floor(screenH / 2) - std::floor(current.height / 2));
            const double centreLeft = std::fabs(std::floor(screenW / 2) - std::floor(current.width / 2));
            const bool orbin = n == QStringLiteral("frmFloater");
            top = stored(QStringLiteral("_top"), orbin ? 30.0 : centreTop, 0);
            left = stored(QStringLiteral("_left"), centreLeft, 0);
        }
        if (top + height > screenH) {
            top = screenH - height;
            if (top < 1) top = 1;
        }
        if (left + width > screenW) {
            left = screenW - width;
            if (left < 1) left = 1;
        }
        form->moveTwips(left, top, width, height);
    };
    return underErrorSwitch(bErrorHandling(), body, [&](const std::exception&) {
        form->moveTwips(10, 10, current.width, current.height);
    });
}

bool Settings::saveFormPosition(FormPort* form, bool savePosition, bool saveSize) {
    if (!form) return false;
    const QString n = form->formName();
    const FormPort::Rect r = form->twipGeometry();
    if (savePosition) {
        putMySetting(n + QStringLiteral("_top"), numtext::singleText(r.top), WindowPos);
        putMySetting(n + QStringLiteral("_left"), numtext::singleText(r.left), WindowPos);
    }
    if (saveSize) {
        putMySetting(n + QStringLiteral("_height"), numtext::singleText(r.height), WindowPos);
        putMySetting(n + QStringLiteral("_width"), numtext::singleText(r.width), WindowPos);
    }
    return true;
}

bool Settings::saveColors() {
    for (int i = colorLowerBound(); i <= colorUpperBound(); ++i)
        putMySetting(QString::number(i), m_colors.at(i), Colors);
    return true;
}

bool Settings::setColors(FormPort* form, qint64 oldColour, int index) {
    if (!form) return true;
    const std::optional<double> number = numtext::parseNumber(Color(index));
    if (!number) return true; // an empty or unreadable entry recolours nothing
    const auto newColour = static_cast<qint64>(*number);
    tryStep([&] {
        if (form->formBackColor() == oldColour) form->setFormBackColor(newColour);
    });
    const int count = form->controlCount();
    for (int i = 0; i < count; ++i) {
        tryStep([&] {
            if (form->controlColor(i, FormPort::ColorProperty::Color) == oldColour)
                form->setControlColor(i, FormPort::ColorProperty::Color, newColour);
        });
        tryStep([&] {
            if (form->controlColor(i, FormPort::ColorProperty::BackColor) == oldColour)
                form->setControlColor(i, FormPort::ColorProperty::BackColor, newColour);
        });
    }
    return true;
}
