#include "dialogs/dlgFormList.h"
#include "tests/dialogs/SettingsWorld.h"

#include <QFontMetrics>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionButton>

namespace {

class FormList : public SettingsWorld {
protected:
    static QStringList captions(const dlgFormList* list) {
        QStringList out;
        for (const QPushButton* b : list->btnForm())
            out << b->text();
        return out;
    }
    static QStringList loadedNames() {
        QStringList out;
        for (const FormPort* f : forms::loaded())
            out << f->formName();
        return out;
    }
    // Every caption can be read whole: none is wider than the inside of its button.
    static bool captionsFit(const dlgFormList* list) {
        for (const QPushButton* b : list->btnForm()) {
            QStyleOptionButton option;
            option.initFrom(b);
            const int room = b->style()->subElementRect(QStyle::SE_PushButtonContents, &option, b).width();
            if (QFontMetrics(b->font()).horizontalAdvance(b->text()) > room) return false;
        }
        return true;
    }
    static bool stacked(const dlgFormList* list) {
        const QList<QPushButton*>& b = list->btnForm();
        for (qsizetype i = 1; i < b.size(); ++i)
            if (b[i]->y() != b[i - 1]->y() + b[i - 1]->height() || b[i]->x() != b[0]->x()) return false;
        return true;
    }
};

} // namespace

TEST_F(FormList, OneButtonPerLoadedFormStaleUntilRefresh) {
    LoadedFakeForm a(QStringLiteral("frmReminder"));
    auto* b = new LoadedFakeForm(QStringLiteral("dlgNewMeetingDetails"));
    LoadedFakeForm c(QStringLiteral("dlgNewMeetingDetails"));
    LoadedFakeForm d(QStringLiteral("dlgEditMeetingDetails"));
    const QStringList before = loadedNames();
    dlgFormList* list = dlgFormList::instance();
    EXPECT_EQ(list->windowTitle(), QStringLiteral("debug Formlist"));
    EXPECT_EQ(captions(list), before + QStringList{QStringLiteral("dlgFormList")});
    EXPECT_TRUE(stacked(list));
    EXPECT_TRUE(captionsFit(list));
    EXPECT_TRUE(orbin.calls.contains(QStringLiteral("shrink")));
    EXPECT_EQ(dlgFormList::instance(), list); // Ctrl+L again only shows it

    // Stale after a form goes, until Refresh.
    b->unloadForm();
    delete b;
    EXPECT_EQ(captions(list).count(QStringLiteral("dlgNewMeetingDetails")), 2);
    list->Command1_Click();
    EXPECT_EQ(captions(list), loadedNames());
    EXPECT_EQ(captions(list).count(QStringLiteral("dlgNewMeetingDetails")), 1);
    EXPECT_TRUE(stacked(list));
    EXPECT_TRUE(prompter.boxes.isEmpty());
}

TEST_F(FormList, AButtonShowsEveryFormOfItsNameHiddenOnesToo) {
    LoadedFakeForm one(QStringLiteral("frmReminder"));
    LoadedFakeForm two(QStringLiteral("frmReminder"));
    LoadedFakeForm other(QStringLiteral("frmAbout"));
    one.visible = two.visible = other.visible = false;
    dlgFormList* list = dlgFormList::instance();
    const int at = static_cast<int>(captions(list).indexOf(QStringLiteral("frmReminder")));
    ASSERT_GE(at, 0);
    list->btnForm().at(at)->click();
    EXPECT_TRUE(one.visible);
    EXPECT_TRUE(two.visible);
    EXPECT_FALSE(other.visible);
}
