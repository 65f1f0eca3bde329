#include "dialogs/dlgProject.h"

#include "core/DateTexts.h"
#include "core/ErrorReport.h"
#include "core/Globals.h"
#include "core/Items.h"
#include "core/OrbinWindow.h"
#include "core/Projects.h"
#include "core/Settings.h"
#include "dialogs/DialogControls.h"
#include "dialogs/DialogPicture.h"
#include "dialogs/ItemOpeners.h"
#include "dialogs/dlgNewMeetingDetails.h"
#include "dialogs/dlgNewTaskDetails.h"
#include "platform/NumberText.h"
#include "platform/Prompter.h"
#include "platform/Twips.h"
#include "platform/gui/WindowProcs.h"

#include <QComboBox>
#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QSignalBlocker>
#include <cmath>
#include <optional>

using namespace dialogcontrols;

namespace {

const QString ErrorLower = QStringLiteral(" error");
// The colour table's entry for the form's design colour.
constexpr int DesignColorIndex = 6;

// Places of the item rows inside the list, in twips.
constexpr double PictureLeft = 45, PictureWidth = 255, TitleLeft = 360, DateWidth = 1170, RightMargin = 60;

// An id text as a whole number; nothing for a text that is none (a hand-edited file).
std::optional<Integer> wholeNumber(const QString& text) {
    const std::optional<double> n = numtext::parseNumber(text);
    if (!n || *n != std::floor(*n) || *n < Integer::Min || *n > Integer::Max) return std::nullopt;
    return Integer(static_cast<long long>(*n));
}

void setUnderline(QWidget* w, bool on) {
    QFont f = w->font();
    f.setUnderline(on);
    w->setFont(f);
}

} // namespace

dlgProject::dlgProject(QWidget* parent)
    : FormWidget(QStringLiteral("dlgProject"), parent,
                 Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint) {
    designForm(this, QStringLiteral("Project"), DesignWidth, DesignHeight);
    setFixedSize(size());

    m_Label4 = label(this, "Label4", QStringLiteral("Title"), 150, 135, 1500, 240);
    m_cmbProjects = new QComboBox(this);
    m_cmbProjects->setObjectName(QStringLiteral("cmbProjects"));
    placeTwips(m_cmbProjects, 150, 390, 4560, 360);
    m_btnAddProject = button(this, "btnAddProject", QStringLiteral("+"), 4785, 390, 495, 360);
    m_btnAddProject->setToolTip(QStringLiteral("Click here to create a new project"));

    m_txtProjectBody = new QPlainTextEdit(this);
    m_txtProjectBody->setObjectName(QStringLiteral("txtProjectBody"));
    m_txtProjectBody->setTabChangesFocus(true);
    placeTwips(m_txtProjectBody, 150, 870, 5130, 2025);

    m_Frame1 = frame(this, "Frame1", QStringLiteral("Add"), 150, 3000, 3165, 975);
    m_butNewTask = button(m_Frame1, "butNewTask", QStringLiteral("&Task"), 135, 345, 1380, 435);
    m_butNewMeeting = button(m_Frame1, "butNewMeeting", QStringLiteral("&Meeting"), 1650, 345, 1380, 435);

    // The item rows scroll, so that every item of a long project can be reached. Row 0 starts at 4245.
    m_itemList = new QScrollArea(this);
    m_itemList->setObjectName(QStringLiteral("itemList"));
    m_itemList->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_itemList->setWidgetResizable(true);
    m_itemList->setBackgroundRole(QPalette::Base);
    placeTwips(m_itemList, 150, 4230, 5130, 2700);
    m_rowsHost = new QWidget();
    m_rowsHost->setObjectName(QStringLiteral("rows"));
    m_rowsHost->setBackgroundRole(QPalette::Base);
    m_itemList->setWidget(m_rowsHost);
    m_rowsHost->installEventFilter(this);

    m_btnClose = button(this, "btnClose", QStringLiteral("&OK"), 4080, 7080, 1200, 405);

    connect(m_btnAddProject, &QPushButton::clicked, this, &dlgProject::btnAddProject_Click);
    connect(m_btnClose, &QPushButton::clicked, this, &dlgProject::btnClose_Click);
    connect(m_butNewTask, &QPushButton::clicked, this, &dlgProject::butNewTask_Click);
    connect(m_butNewMeeting, &QPushButton::clicked, this, &dlgProject::butNewMeeting_Click);
    connect(m_cmbProjects, &QComboBox::currentIndexChanged, this, &dlgProject::cmbProjects_Click);

    // The form sees the keys before its controls (Esc unloads it), and the description box's loss of the
    // focus.
    unloadOnEscape(this);
    m_txtProjectBody->installEventFilter(this);

    loadRow(0);
    m_butNewTask->setEnabled(false);
    m_butNewMeeting->setEnabled(false);
    // Nothing typed here could be stored before a project is chosen.
    m_txtProjectBody->setEnabled(false);

    // Load.
    if (gSettings) {
        gSettings->setColors(this, DesignBackColor, DesignColorIndex);
        if (gSettings->onTop()) windowprocs::setTopMost(this, true);
        // The dialog opens where it was last closed.
        gSettings->positionForm(this, true, false);
    }
    refreshList();
}

dlgProject* dlgProject::instance() {
    static QPointer<dlgProject> form;
    return sharedForm(form);
}

void dlgProject::showDialog() {
    dlgProject* dialog = instance();
    dialog->show();
    dialog->raise();
    dialog->activateWindow();
}

Integer dlgProject::chosenProject() const {
    const int index = m_cmbProjects->currentIndex();
    if (index < 0) return 0;
    return wholeNumber(m_cmbProjects->itemData(index).toString()).value_or(Integer(0));
}

void dlgProject::refreshList() {
    const QSignalBlocker quiet(m_cmbProjects);
    const QStringList ids = gProjects->getProjectList();
    m_cmbProjects->clear();
    for (const QString& text : ids) {
        const std::optional<Integer> id = wholeNumber(text);
        if (!id) continue; // the one empty entry of a store without projects
        m_cmbProjects->addItem(gProjects->Title(*id), text);
    }
    m_cmbProjects->setCurrentIndex(-1);
}

void dlgProject::updateItems() {
    trapped(QStringLiteral(" - dlgProject.updateItems: "), ErrorLower, [&] {
        // What was typed reaches the store before the box is filled again.
        txtProjectBody_LostFocus();

        for (const Row& row : m_rows) {
            row.lblItem->hide();
            row.lblDate->hide();
            row.imgTask->hide();
            row.imgMeeting->hide();
        }
        m_shownRows = 0;
        fitRows();
        m_butNewTask->setEnabled(false);
        m_butNewMeeting->setEnabled(false);

        const Integer project = chosenProject();
        if (project < Integer(1)) {
            m_bodyProject = 0;
            m_txtProjectBody->setEnabled(false);
            return;
        }
        m_butNewTask->setEnabled(true);
        m_butNewMeeting->setEnabled(true);

        const QString body = gProjects->Body(project);
        // The same text is not set again: the cursor stays where the user left it.
        if (m_txtProjectBody->toPlainText() != body) m_txtProjectBody->setPlainText(body);
        m_bodyProject = project;
        m_txtProjectBody->setEnabled(true);

        const QStringList ids = gItems->getProjectMatchingIDs(project);
        if (numtext::leadingNumber(ids.value(0)) <= 0) return;
        int i = 0;
        for (const QString& text : ids) {
            const std::optional<Integer> id = wholeNumber(text);
            if (!id) continue; // an id that is no number cannot be opened: no row for it
            if (i >= m_rows.size()) loadRow(i);
            const Row& row = m_rows.at(i);
            row.lblItem->setText(gItems->Title(*id));
            row.lblItem->setProperty("Tag", text);
            row.lblItem->show();
            setUnderline(row.lblItem, gItems->Done(*id).toLower() == QStringLiteral("true"));
            const QString type = gItems->Type_(*id).toLower();
            if (type == QStringLiteral("meeting")) row.imgMeeting->show();
            if (type == QStringLiteral("task")) row.imgTask->show();
            row.lblDate->move(row.lblDate->x(), row.lblItem->y());
            row.lblDate->setText(shortDateText(gItems->Date_(*id)));
            row.lblDate->show();
            m_shownRows = ++i;
        }
        fitRows();
    });
}

// Row 0 starts the list; every later row sits directly below the task picture of the row before.
void dlgProject::loadRow(int index) {
    int top = 0;
    if (index > 0) {
        const DialogPicture* above = m_rows.at(index - 1).imgTask;
        top = above->y() + above->height();
    }
    const int height = twips::toPixels(RowHeight);
    Row row;
    row.imgTask = new DialogPicture(DialogPicture::Kind::Task, QStringLiteral("imgTask"), m_rowsHost);
    row.imgMeeting =
        new DialogPicture(DialogPicture::Kind::Meeting, QStringLiteral("imgMeeting"), m_rowsHost);
    row.lblItem = new QLabel(m_rowsHost);
    row.lblItem->setObjectName(QStringLiteral("lblItem"));
    row.lblItem->setTextFormat(Qt::PlainText); // titles are shown as typed, never as markup
    row.lblItem->setCursor(Qt::PointingHandCursor);
    row.lblItem->installEventFilter(this);
    row.lblDate = new QLabel(m_rowsHost);
    row.lblDate->setObjectName(QStringLiteral("lblDate"));
    row.lblDate->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    for (QWidget* picture : {static_cast<QWidget*>(row.imgTask), static_cast<QWidget*>(row.imgMeeting)})
        picture->setGeometry(twips::toPixels(PictureLeft), top, twips::toPixels(PictureWidth), height);
    row.lblItem->setGeometry(twips::toPixels(TitleLeft), top, 1, height);
    row.lblDate->setGeometry(0, top, twips::toPixels(DateWidth), height);
    for (QWidget* w : {static_cast<QWidget*>(row.imgTask), static_cast<QWidget*>(row.imgMeeting),
                       static_cast<QWidget*>(row.lblItem), static_cast<QWidget*>(row.lblDate)}) {
        w->setProperty("Index", index);
        w->hide();
    }
    m_rows << row;
    fitRows();
}

// The titles take the width the list leaves beside the dates; the list is as tall as its shown rows.
void dlgProject::fitRows() {
    const int width = m_rowsHost->width();
    const int dateWidth = twips::toPixels(DateWidth);
    const int dateLeft = width - dateWidth - twips::toPixels(RightMargin);
    const int titleLeft = twips::toPixels(TitleLeft);
    for (const Row& row : m_rows) {
        row.lblItem->resize(std::max(1, dateLeft - titleLeft - 4), row.lblItem->height());
        row.lblDate->setGeometry(dateLeft, row.lblDate->y(), dateWidth, row.lblDate->height());
    }
    const int bottom = m_shownRows > 0 ? m_rows.at(m_shownRows - 1).lblItem->geometry().bottom() + 1 : 0;
    m_rowsHost->setMinimumHeight(bottom);
}

void dlgProject::cmbProjects_Click() {
    updateItems();
}

void dlgProject::btnAddProject_Click() {
    ignoringFailures([&] {
        const QString title = QStringLiteral("Quorvane") + QStringLiteral("Add new project");
        const Integer id = gProjects->newProject();
        // A store without its template gives an id but no project: that is no new project either.
        if (id == Integer(-1) || !gProjects->getProjectList().contains(QString::number(id.value()))) {
            if (gOrbinWindow) gOrbinWindow->shrinkFloater();
            prompter().messageBox(QStringLiteral("Could not create new project!"), Prompter::Buttons::OK,
                                  Prompter::Icon::None, title);
            return;
        }
        const QString name =
            prompter().inputBox(QStringLiteral("Project Name"), title, QStringLiteral("New project"));
        if (name.isEmpty()) return;
        gProjects->setTitle(name, id);
        refreshList();
        // The new project is the one the user goes on with.
        m_cmbProjects->setCurrentIndex(m_cmbProjects->findData(QString::number(id.value())));
    });
}

void dlgProject::txtProjectBody_LostFocus() {
    if (m_bodyProject < Integer(1) || !gProjects) return;
    // Stored as typed; a description left as it was stays exactly as stored (the box gives its line
    // breaks back in a form of its own).
    if (!m_txtProjectBody->document()->isModified()) return;
    gProjects->setBody(m_txtProjectBody->toPlainText(), m_bodyProject);
    m_txtProjectBody->document()->setModified(false);
}

void dlgProject::butNewTask_Click() {
    const Integer project = chosenProject();
    if (project < Integer(1)) return;
    dlgNewTaskDetails* dialog = openNewTask(QString::number(project.value()));
    dialog->setWindowTitle(dialog->windowTitle() + QStringLiteral(" Project - ") + gProjects->Title(project));
}

void dlgProject::butNewMeeting_Click() {
    ignoringFailures([&] {
        const Integer project = chosenProject();
        if (project < Integer(1)) return;
        dlgNewMeetingDetails* dialog = openNewMeeting(QString::number(project.value()));
        dialog->setWindowTitle(dialog->windowTitle() + QStringLiteral(". Project - ") +
                               gProjects->Title(project));
    });
}

void dlgProject::lblItem_Click(int index) {
    if (index < 0 || index >= m_rows.size()) return;
    trapped(QStringLiteral(" - dlgProject.lblItem_Click: "), ErrorLower, [&] {
        const QString text = m_rows.at(index).lblItem->property("Tag").toString();
        if (numtext::leadingNumber(text) < 1) return;
        const std::optional<Integer> id = wholeNumber(text);
        if (!id) return;
        const QString type = gItems->Type_(*id).toLower();
        if (type == QStringLiteral("task"))
            openEditTask(*id);
        else if (type == QStringLiteral("meeting"))
            openEditMeeting(*id);
    });
}

void dlgProject::btnClose_Click() {
    updateItems();
    gProjects->saveItemXML();
    unloadForm();
}

void dlgProject::Form_Activate() {
    updateItems();
}

void dlgProject::formUnload() {
    txtProjectBody_LostFocus();
    if (gSettings) gSettings->saveFormPosition(this, true, false);
}

void dlgProject::changeEvent(QEvent* event) {
    FormWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow() && !isUnloaded()) Form_Activate();
}

bool dlgProject::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::FocusOut:
        if (watched == m_txtProjectBody) txtProjectBody_LostFocus();
        break;
    case QEvent::MouseButtonRelease:
        if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton &&
            watched->objectName() == QStringLiteral("lblItem"))
            lblItem_Click(watched->property("Index").toInt());
        break;
    case QEvent::Resize:
        if (watched == m_rowsHost) fitRows();
        break;
    default:
        break;
    }
    return FormWidget::eventFilter(watched, event);
}
