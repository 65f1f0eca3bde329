// What the orbin's face shows: the tasks of the chosen period and day in the sixteen slots, the mark under
// the chosen period's button, and the day's meetings round the rim like the hours of a clock, each label
// placed where it covers nothing else. A redraw asked for while redraws are held waits until they are let go.

#include "orbin/frmFloater.h"

#include "core/ErrorReport.h"
#include "core/File.h"
#include "core/Game.h"
#include "core/GameControls.h"
#include "core/Globals.h"
#include "core/Items.h"
#include "core/MeetingTimes.h"
#include "orbin/FloaterLook.h"
#include "orbin/MeetingLabel.h"
#include "platform/Clock.h"
#include "platform/NumberText.h"
#include "platform/Twips.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <algorithm>
#include <cmath>

using floaterlook::setForeColor;
using floaterlook::setUnderline;

namespace {

const QString Error = QStringLiteral(" Error");

// The rim itself first, then rings inside it for a day the rim cannot hold.
constexpr double MeetingRings[] = {1.0, 0.85, 0.7, 0.55};

// The point of the clock's ellipse (scaled by ring, 1 for the rim itself) at angle, in twips.
QPointF meetingPoint(double angle, double ring) {
    return {std::cos(angle * frmFloater::Pi / 180) * ring * frmFloater::MeetingEllipseWidth / 2 +
                frmFloater::MeetingCentreX,
            std::sin(angle * frmFloater::Pi / 180) * ring * frmFloater::MeetingEllipseHeight / 2 +
                frmFloater::MeetingCentreY};
}

// A label at its point of the ellipse: its text hangs right of and below the point on the right half of the
// dial; on the left half it ends where a box of the template's width from the point ends, so that it stands
// outside the face like the hours of a clock.
QRect meetingLabelRect(const MeetingLabel* label, double angle, double ring, Qt::Alignment* alignment) {
    const QPointF at = meetingPoint(angle, ring);
    // The right half runs from twelve to before six.
    const bool rightHalf = std::fmod(std::fmod(angle + 90, 360) + 360, 360) < 180;
    if (alignment) *alignment = (rightHalf ? Qt::AlignLeft : Qt::AlignRight) | Qt::AlignTop;
    const QSize size = label->textSize();
    const int x = rightHalf ? twips::toPixels(at.x())
                            : twips::toPixels(at.x() + frmFloater::MeetingBoxWidth) - size.width();
    return {QPoint(x, twips::toPixels(at.y())), size};
}

void placeMeetingLabel(MeetingLabel* label, double angle, double ring) {
    Qt::Alignment alignment;
    label->setGeometry(meetingLabelRect(label, angle, ring, &alignment));
    label->setAlignment(alignment);
    const QPointF at = meetingPoint(angle, ring);
    label->setProperty("LeftTwips", at.x());
    label->setProperty("TopTwips", at.y());
}

} // namespace

void frmFloater::updateInfo() {
    if (!gItems || !gGame) return; // the objects are gone once the program has quit
    if (m_redrawsHeld) {
        m_redrawPending = true;
        return;
    }
    redrawNow();
}

void frmFloater::redrawNow() {
    m_redrawPending = false;
    OrbinRedrawScope scope;
    trapped(QStringLiteral(" - frmFloater.updateInfo: "), Error, [&] { drawFace(); });
    if (m_meetingsHeld) {
        m_meetingsHeld = false;
        ignoringFailures([&] { layoutMeetingLabels(); });
    }
}

void frmFloater::holdRedraws(bool hold) {
    m_redrawsHeld = hold;
    if (!hold && m_redrawPending) updateInfo();
}

void frmFloater::drawFace() {
    const QDate d = shownDate();
    markSelectedPeriod();
    clearTodoText();
    removeAllMeetingsFromTheorbin();

    const int sel = gItems->SelectedPeriod().value();
    const int cur = gGame->CurrentPeriod().value();
    const bool periodRunning = gGame->PeriodRunning();
    const bool running = gGame->Running();
    const bool inPlay = (sel == cur + 1 && running && !periodRunning) || (sel == cur && periodRunning) ||
                        (!running && sel == 1);
    const qint64 base = d == appClock().today() && inPlay ? OpenTaskColor : GreyColor;

    // An item whose id is no whole number is left off the face (logged once), not the whole redraw.
    auto readId = [this](const QString& text) -> std::optional<Integer> {
        try {
            return numtext::toInteger(text);
        } catch (const std::exception&) {
            if (!m_unreadableIds.contains(text)) {
                m_unreadableIds.insert(text);
                ignoringFailures([&] {
                    gFile->writeToLog(
                        QStringLiteral("Item \"%1\" left off the orbin: its id is no whole number")
                            .arg(text));
                });
            }
            return std::nullopt;
        }
    };

    const QStringList ids = gItems->getMatchingIDs(Integer(sel), d);
    QList<Integer> tasks;
    if (!ids.isEmpty() && !ids.first().isEmpty())
        for (const QString& text : ids)
            if (const std::optional<Integer> id = readId(text)) tasks << *id;
    // More tasks than slots: the last slot counts the rest and lists them on a click, so that no task of the
    // period is out of reach.
    const qsizetype shown = tasks.size() > SlotCount ? SlotCount - 1 : tasks.size();
    for (qsizetype i = 0; i < shown; ++i) {
        const Integer id = tasks.at(i);
        const qint64 colour = gItems->getStatus(id) == QStringLiteral("done") ? GreyColor : base;
        putTodoText(gItems->Title(id), static_cast<int>(i) + 1, id.value(), colour);
    }
    if (shown < tasks.size()) putMoreText(tasks.mid(shown), base);

    const QStringList meetings = gItems->getMatchingMeetingIDs(d);
    // The labels find their places together, once all of them are there (redrawNow).
    m_meetingsHeld = true;
    if (!meetings.isEmpty() && !meetings.first().isEmpty()) {
        for (const QString& text : meetings) {
            const std::optional<Integer> readable = readId(text);
            if (!readable) continue;
            const Integer id = *readable;
            const QString stored = gItems->MeetingTime(id);
            const std::optional<QTime> time = readMeetingTime(stored);
            if (!time) {
                // A time that cannot be read leaves this meeting off the face (logged once), not the redraw.
                const QString key = text + QLatin1Char('|') + stored;
                if (!m_unreadableMeetings.contains(key)) {
                    m_unreadableMeetings.insert(key);
                    ignoringFailures([&] {
                        gFile->writeToLog(
                            QStringLiteral("Meeting %1 left off the orbin: its time \"%2\" cannot be read")
                                .arg(text, stored));
                    });
                }
                continue;
            }
            bool done = false;
            try {
                done = numtext::toBoolean(gItems->Done(id));
            } catch (const std::exception&) {
                done = false; // a flag that is no Boolean counts as not done
            }
            addMeetingToTheOrbin(id.value(), *time, gItems->Title(id), done);
        }
    }

    m_butReturnToPeriodInPlay->setVisible(gGame->PeriodRunning() &&
                                          gItems->SelectedPeriod().value() != gGame->CurrentPeriod().value());
    m_btnEndperiod->setVisible(gGame->PeriodRunning() && !gGame->TaskRunning());

    const QString score = gGame->controls().labTodayScore.caption;
    m_lblStats->setText(numtext::leadingNumber(score) <= 99 ? score + QStringLiteral("  ") : score);
}

void frmFloater::markSelectedPeriod() {
    for (QFrame* line : m_shaCurrentPeriod)
        ignoringFailures([&] { line->hide(); });
    ignoringFailures([&] {
        const int p = gItems->SelectedPeriod().value();
        for (const int index : {2 * (p - 1), 2 * (p - 1) + 1})
            if (index >= 0 && index < m_shaCurrentPeriod.size()) m_shaCurrentPeriod.at(index)->show();
    });
}

void frmFloater::clearTodoText() {
    for (QLabel* slot : m_txtTodo)
        ignoringFailures([&] { slot->setText(QString()); });
    for (QLabel* slot : m_txtTodo)
        ignoringFailures([&] {
            QFont f = slot->font();
            f.setUnderline(false);
            f.setItalic(false);
            slot->setFont(f);
        });
    for (std::optional<int>& item : m_slotItem)
        item.reset();
    m_moreTasks.clear();
}

bool frmFloater::putTodoText(const QString& title, int slot, int id, qint64 colour) {
    if (slot - 1 < 0 || slot - 1 > SlotCount - 1) return false;
    QLabel* label = m_txtTodo[slot - 1];
    m_slotItem[slot - 1] = id;
    ignoringFailures([&] {
        // A task without a title still shows in its slot, and can be clicked.
        QFont f = label->font();
        f.setItalic(title.isEmpty());
        label->setFont(f);
        label->setText(title.isEmpty() ? NoTitle : title);
        label->setProperty("Tag", QString::number(id));
        setForeColor(label, colour);
        if (gItems->Done(Integer(id)) == QStringLiteral("true")) setUnderline(label, true);
    });
    return true;
}

void frmFloater::putMoreText(const QList<Integer>& tasks, qint64 colour) {
    QLabel* label = m_txtTodo[SlotCount - 1];
    m_slotItem[SlotCount - 1].reset();
    m_moreTasks = tasks;
    ignoringFailures([&] {
        QFont f = label->font();
        f.setItalic(true);
        label->setFont(f);
        label->setText(QStringLiteral("+ %1 more\u2026").arg(tasks.size()));
        setForeColor(label, colour);
    });
}

void frmFloater::removeAllMeetingsFromTheorbin() {
    m_pendingMeetings.clear();
    const qsizetype n = m_lblMeeting.size();
    // Gone later rather than now: a label may be removed from inside its own click.
    for (qsizetype i = 1; i < n; ++i) {
        ignoringFailures([&] {
            m_lblMeeting.at(i)->hide();
            m_lblMeeting.at(i)->deleteLater();
        });
    }
    m_lblMeeting.resize(1);
}

void frmFloater::addMeetingToTheOrbin(int id, const QTime& time, const QString& title, bool done) {
    // A redraw's meetings get their labels from the layout, which makes only those the face has room for.
    m_pendingMeetings.append({id, time, title, done});
    if (!m_meetingsHeld) layoutMeetingLabels();
}

// A label for the meeting, hidden until the layout has found it a place; none when it cannot be made.
MeetingLabel* frmFloater::makeMeetingLabel(const PendingMeeting& meeting) {
    MeetingLabel* made = nullptr;
    trapped(QStringLiteral(" - frmFloater.addMeetingToTheOrbin: "), Error, [&] {
        const QTime& time = meeting.time;
        const double h = time.hour() % 12 + time.minute() / 60.0;
        const double angle = h / 12 * 360 - 90;
        const QLabel* templ = m_lblMeeting.first();
        auto* label = new MeetingLabel(this);
        label->setObjectName(QStringLiteral("lblMeeting"));
        label->setProperty("Index", static_cast<int>(m_lblMeeting.size()));
        label->setFont(templ->font());
        label->setPalette(templ->palette());
        label->setProperty("ForeColor", templ->property("ForeColor"));
        label->setProperty("BackColor", templ->property("BackColor"));
        label->setAutoFillBackground(templ->autoFillBackground());
        label->setCursor(Qt::PointingHandCursor);
        label->installEventFilter(this);
        label->hide();
        m_lblMeeting << label;
        label->setProperty("Tag", QString::number(meeting.id));
        label->setProperty("ClockAngle", angle);
        label->setProperty("MinuteOfDay", time.hour() * 60 + time.minute());
        setUnderline(label, meeting.done);
        label->setMeeting(time, meeting.title, twips::toPixels(MeetingBoxWidth));
        placeMeetingLabel(label, angle, 1);
        made = label;
    });
    return made;
}

// No meeting label covers another, the date or a task. The labels are placed in the order of their times,
// the earliest first, each at its hour on the rim. A label whose place is taken moves along the rim to the
// first free place: away from the labels in its way, to the later side of the clock when they stand at
// earlier or the same hours (so that a crowd of meetings keeps the order of the clock) and to the earlier
// side when they stand at later ones; where only the date or a task is in the way, or labels on both
// sides, to the nearer side. Only when the whole rim is full does a label go to a smaller ring inside it,
// and when those are full to the free place nearest its hour. Everything stays inside the window, below
// the period buttons. A day of more meetings than that holds (some fifty: a hand-made or damaged file)
// shows the earliest that fit; the first label that finds no place and every later one are left off the
// face, where Search still finds their meetings.
//
// The work stays bounded however many meetings a day holds: a ring found full for a label is not searched
// again for one no smaller, the search of the window skips past what stands in the way, and once the face
// is full nothing is searched and no label is made. When every label searched the whole window, a redraw
// of a day of 150 meetings tried 4.2 million places and took 0.3 s, one of 1,000 meetings 39 million and
// 2.7 s; now either tries 22,000 and takes 5 ms, and a day of 40 meetings 2 ms instead of 10 (offscreen,
// one after the other on one machine).
void frmFloater::layoutMeetingLabels() {
    // The labels made and the meetings waiting for theirs, by minute of the day, in the order they came.
    struct Entry {
        int minute;
        MeetingLabel* label;
        qsizetype pending; // the meeting's place in m_pendingMeetings, when it has no label yet
    };
    QList<Entry> entries;
    for (QLabel* l : meetingLabels())
        if (auto* m = qobject_cast<MeetingLabel*>(l))
            entries.append({m->property("MinuteOfDay").toInt(), m, -1});
    for (qsizetype i = 0; i < m_pendingMeetings.size(); ++i) {
        const QTime& t = m_pendingMeetings.at(i).time;
        entries.append({t.hour() * 60 + t.minute(), nullptr, i});
    }
    std::stable_sort(entries.begin(), entries.end(),
                     [](const Entry& a, const Entry& b) { return a.minute < b.minute; });
    const QList<PendingMeeting> pending = std::exchange(m_pendingMeetings, {});
    const QRect area(0, twips::toPixels(MeetingTopLimit), twips::toPixels(DesignWidth),
                     twips::toPixels(ExpandedHeight) - twips::toPixels(MeetingTopLimit));
    // What stands on the face already, with the clock angle of a label's meeting (none for the date, the
    // tasks and the link at the foot of the window, of which only their words count).
    struct Taken {
        QRect rect;
        std::optional<double> angle;
    };
    auto words = [](const QLabel* l) {
        const int width = QFontMetrics(l->font()).horizontalAdvance(l->text());
        const QRect g = l->geometry();
        return l->alignment() & Qt::AlignRight ? QRect(g.right() + 1 - width, g.top(), width, g.height())
                                               : QRect(g.left(), g.top(), width, g.height());
    };
    QList<Taken> taken{{m_lblDate->geometry(), std::nullopt}, {words(m_Label1), std::nullopt}};
    for (const QLabel* slot : m_txtTodo)
        if (!slot->text().isEmpty()) taken.append({words(slot), std::nullopt});
    // A little apart from everything placed, side by side a little more than one above the other.
    constexpr int ApartX = 3, ApartY = 1;
    auto inTheWay = [](const Taken& t, const QRect& r) {
        return t.rect.intersects(r.adjusted(-ApartX, -ApartY, ApartX, ApartY));
    };
    m_meetingPlacesTried = 0;
    // What stands in the way of a place inside the window, or none when it is free.
    auto inTheWayOf = [&](const QRect& r) -> const Taken* {
        ++m_meetingPlacesTried;
        for (const Taken& t : taken)
            if (inTheWay(t, r)) return &t;
        return nullptr;
    };
    auto isFree = [&](const QRect& r) { return area.contains(r) && !inTheWayOf(r); };
    // The rings found full for a label of a size, for hours on whole or on half degrees (a label tries
    // every whole degree from its hour): no larger label finds a place there either.
    struct FullRing {
        double ring;
        bool halfDegree;
        QSize size;
    };
    QList<FullRing> fullRings;
    bool faceFull = false;
    for (const Entry& entry : entries) {
        if (faceFull) {
            // Left off the face; a meeting waiting for its label gets none.
            if (entry.label) entry.label->hide();
            continue;
        }
        MeetingLabel* const label = entry.label ? entry.label : makeMeetingLabel(pending.at(entry.pending));
        if (!label) continue;
        const double own = label->property("ClockAngle").toDouble();
        const bool halfDegree = std::llround(own * 2) % 2 != 0;
        const QSize size = label->textSize();
        // The first free place from the label's hour in whole degrees one way round, or none.
        auto firstFree = [&](double ring, int direction) -> std::optional<int> {
            for (int offset = 1; offset < 360; ++offset)
                if (isFree(meetingLabelRect(label, own + direction * offset, ring, nullptr)))
                    return direction * offset;
            return std::nullopt;
        };
        bool placed = false;
        for (const double ring : MeetingRings) {
            if (std::any_of(fullRings.cbegin(), fullRings.cend(), [&](const FullRing& f) {
                    return f.ring == ring && f.halfDegree == halfDegree && f.size.width() <= size.width() &&
                           f.size.height() <= size.height();
                }))
                continue;
            const QRect home = meetingLabelRect(label, own, ring, nullptr);
            if (isFree(home)) {
                placeMeetingLabel(label, own, ring);
                placed = true;
                break;
            }
            bool earlierInTheWay = false, laterInTheWay = false;
            for (const Taken& t : taken) {
                if (!t.angle || !inTheWay(t, home)) continue;
                // How far round the clock the other label's hour lies, -180 to 180 degrees.
                const double apart = std::remainder(*t.angle - own, 360.0);
                (apart > 0 ? laterInTheWay : earlierInTheWay) = true;
            }
            // Labels on one side only send it the other way; otherwise the nearer free place wins.
            const bool bothWays = earlierInTheWay == laterInTheWay;
            std::optional<int> later = bothWays || earlierInTheWay ? firstFree(ring, 1) : std::nullopt;
            std::optional<int> earlier = bothWays || laterInTheWay ? firstFree(ring, -1) : std::nullopt;
            if (!later && !earlier) {
                // Nothing free that way round: the other way.
                later = firstFree(ring, 1);
                earlier = firstFree(ring, -1);
            }
            std::optional<int> offset = later;
            if (earlier && (!later || -*earlier < *later)) offset = earlier;
            if (!offset) {
                fullRings.append({ring, halfDegree, size});
                continue;
            }
            placeMeetingLabel(label, own + *offset, ring);
            placed = true;
            break;
        }
        // The rings are full: the free place nearest to the label's hour, wherever it is on the window
        // (places two pixels apart; of two as near, the higher, then the one further left).
        if (!placed) {
            const QRect home = meetingLabelRect(label, own, 1, nullptr);
            std::optional<QRect> nearest;
            qint64 best = 0;
            for (int y = area.top(); y + size.height() <= area.bottom() + 1; y += 2)
                for (int x = area.left(); x + size.width() <= area.right() + 1; x += 2) {
                    const QRect r(QPoint(x, y), size);
                    const QPoint d = r.center() - home.center();
                    const qint64 distance = qint64(d.x()) * d.x() + qint64(d.y()) * d.y();
                    if (nearest && distance >= best) continue;
                    if (const Taken* t = inTheWayOf(r)) {
                        // So is every place of the row up to the far side of it.
                        const int pastIt = t->rect.right() + ApartX + 1;
                        while (x + 2 < pastIt)
                            x += 2;
                        continue;
                    }
                    nearest = r;
                    best = distance;
                }
            if (!nearest) {
                faceFull = true;
                label->hide();
                continue;
            }
            label->setGeometry(*nearest);
            label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
            label->setProperty("LeftTwips", twips::fromPixels(nearest->left()));
            label->setProperty("TopTwips", twips::fromPixels(nearest->top()));
        }
        taken.append({label->geometry(), own});
        label->raise();
        label->show();
    }
}
