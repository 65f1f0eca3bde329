#include "orbin/frmWelcome.h"

#include "dialogs/DialogControls.h"
#include "orbin/OrbinDuties.h"
#include "platform/Twips.h"

#include <QFontMetrics>
#include <QKeyEvent>
#include <QLabel>
#include <QPointer>
#include <QPushButton>

namespace {

const char* const Headings[] = {"Creating a task", "Starting a task", "Completing a task"};

struct Step {
    int heading; // the heading the step stands under
    const char* text;
};
const Step Steps[] = {
    {0, "Click \"New -> Task\" on the floater."},
    {0, "Give the task a name. Let's call it \"Make a cup of tea\". "},
    {0, "Estimate the task to take less than 5 minutes by clicking the button called \"< 5 min\""},
    {0, "Click on the button called \"Start Task\""},
    {1, "Now click on the text on the orbin \"Make a cup of tea\". This will open your task."},
    {1, "Start the task by clicking on the \"Start\" button."},
    {1, "Click on the long button that now has the name \"Make a cup of tea\". This will open your active "
        "task."},
    {2, "Click \"Done\""},
    {2, "You will now have received points for completing the task. If you did it within 5 minutes you will "
        "have received a bonus point as well."},
};

// Layout of the card, in twips.
constexpr double Margin = 360;
constexpr double GuideTop = 1290;
constexpr double StepIndent = 390;
constexpr double HeadingGap = 330;
constexpr double StepGap = 105;
const QColor Ink(0x1d, 0x3f, 0x66); // the orbin's dark blue

} // namespace

frmWelcome::frmWelcome(QWidget* parent) : FormWidget(QStringLiteral("frmWelcome"), parent, Qt::Dialog) {
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setWindowTitle(QStringLiteral("Click on the button called \"Start Task\""));
    const double width = DesignWidth - 2 * Margin;

    auto label = [&](const QString& name, const QString& text, double left, double top, double w) {
        auto* lab = new QLabel(text, this);
        lab->setObjectName(name);
        lab->setTextFormat(Qt::PlainText);
        lab->setWordWrap(true);
        lab->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        // As high as its text needs at that width.
        const int px = twips::toPixels(w);
        const int h =
            QFontMetrics(lab->font()).boundingRect(QRect(0, 0, px, 10000), Qt::TextWordWrap, text).height();
        placeTwips(lab, left, top, w, twips::fromPixels(h));
        return lab;
    };

    QLabel* label1 = label(QStringLiteral("Label1"), QString(), Margin, 240, width);
    QFont big = label1->font();
    big.setPixelSize(18);
    big.setBold(true);
    label1->setFont(big);
    label1->setText(QStringLiteral("Getting started"));
    QPalette ink = label1->palette();
    ink.setColor(QPalette::WindowText, Ink);
    label1->setPalette(ink);
    placeTwips(label1, Margin, 180, width, 405);
    label(QStringLiteral("Label2"),
          QStringLiteral("To help you get going quickly, please let us guide you through the full cycle of "
                         "creating a task, starting it and then completing it."),
          Margin, 630, width);

    m_btnYes = new QPushButton(QStringLiteral("Yes, please"), this);
    m_btnYes->setObjectName(QStringLiteral("btnYes"));
    m_btnYes->setDefault(true);
    placeTwips(m_btnYes, DesignWidth - Margin - 1500 - 120 - 1500, 1290, 1500, 390);
    m_btnNo = new QPushButton(QStringLiteral("No, thanks"), this);
    m_btnNo->setObjectName(QStringLiteral("btnNo"));
    placeTwips(m_btnNo, DesignWidth - Margin - 1500, 1290, 1500, 390);
    connect(m_btnYes, &QPushButton::clicked, this, &frmWelcome::btnYes_Click);
    connect(m_btnNo, &QPushButton::clicked, this, &frmWelcome::btnNo_Click);

    // The guide, hidden until Yes: each heading with its steps below it.
    double top = GuideTop;
    int index = 0;
    for (int h = 0; h < 3; ++h) {
        QLabel* heading = label(QStringLiteral("Label3"), QString::fromUtf8(Headings[h]), Margin, top, width);
        QFont bold = heading->font();
        bold.setBold(true);
        heading->setFont(bold);
        heading->setPalette(ink);
        heading->setProperty("Index", h);
        heading->hide();
        m_Label3 << heading;
        top += twips::fromPixels(heading->height()) + StepGap;
        for (const Step& step : Steps) {
            if (step.heading != h) continue;
            QLabel* s = label(QStringLiteral("Label4"), QString::fromUtf8(step.text), Margin + StepIndent,
                              top, width - StepIndent);
            s->setProperty("Index", index++);
            s->hide();
            m_Label4 << s;
            // The step's number beside it, shown with it.
            QLabel* number = label(QStringLiteral("lblStepNumber"), QStringLiteral("%1.").arg(index), Margin,
                                   top, StepIndent - 60);
            number->setAlignment(Qt::AlignRight | Qt::AlignTop);
            number->setPalette(ink);
            number->hide();
            m_numbers << number;
            top += twips::fromPixels(s->height()) + StepGap;
        }
        top += HeadingGap;
    }

    Form_Load();
}

frmWelcome* frmWelcome::instance() {
    static QPointer<frmWelcome> form;
    // Owned by the orbin, so that it comes up over it and not hidden behind it.
    return sharedForm(form, orbinduties::companionOwner);
}

void frmWelcome::Form_Load() {
    setHeightTwips(FoldedHeight);
}

void frmWelcome::setHeightTwips(double height) {
    // The height counts the title bar and borders, as the heights of the dialogs do.
    setFixedSize(twips::toPixels(DesignWidth), twips::toPixels(height - dialogcontrols::CaptionAllowance));
}

void frmWelcome::btnNo_Click() {
    unloadForm();
}

void frmWelcome::btnYes_Click() {
    m_btnYes->hide();
    m_btnNo->hide();
    setHeightTwips(UnfoldedHeight);
    for (QLabel* heading : m_Label3)
        heading->show();
    for (QLabel* step : m_Label4)
        step->show();
    for (QLabel* number : m_numbers)
        number->show();
}

void frmWelcome::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        unloadForm();
        return;
    }
    FormWidget::keyPressEvent(event);
}
