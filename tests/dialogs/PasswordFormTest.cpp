#include "core/PasswordScramble.h"
#include "dialogs/frmPassword.h"
#include "tests/dialogs/SettingsWorld.h"

#include <QApplication>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QStyle>
#include <QTest>

namespace {

class PasswordForm : public SettingsWorld {
protected:
    void storePassword(const QString& clear) {
        ASSERT_TRUE(gSettings->putMySetting(QStringLiteral("password"), scramblePassword(clear),
                                            QStringLiteral("General")));
    }
    std::optional<QString> storedClear() const {
        const std::optional<QString> s = stored("General", "password");
        return s ? std::optional<QString>(unscramblePassword(*s)) : std::nullopt;
    }
    // Types over the box's text (as the keyboard would put it there, whatever the script).
    static void type(QLineEdit* box, const QString& text) {
        box->selectAll();
        box->insert(text);
    }
    static void ok(frmPassword* form) { form->findChild<QPushButton*>(QStringLiteral("cmdOK"))->click(); }
};

} // namespace

TEST_F(PasswordForm, OpensWithTheStoredPasswordAndOkStoresItAgain) {
    storePassword(QStringLiteral("Open Sesame9"));
    QPointer<frmPassword> form = new frmPassword();
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Quorvane password"));
    EXPECT_EQ(form->txtPassword1()->text(), QStringLiteral("Open Sesame9"));
    EXPECT_EQ(form->txtPassword2()->text(), QStringLiteral("Open Sesame9"));
    EXPECT_EQ(form->txtPassword1()->echoMode(), QLineEdit::Password);
    EXPECT_EQ(form->txtPassword2()->echoMode(), QLineEdit::Password);
    QTest::keyClick(form->txtPassword2(), Qt::Key_Return);
    EXPECT_FALSE(forms::isLoaded(QStringLiteral("frmPassword")));
    EXPECT_EQ(stored("General", "password"), scramblePassword(QStringLiteral("Open Sesame9")));
    EXPECT_TRUE(prompter.boxes.isEmpty());
}

// Each box shows a star per character, and one that gets the focus, by the tab key or by a click, has its
// text selected, so that typing replaces the password shown rather than adding to it.
TEST_F(PasswordForm, ABoxThatGetsTheFocusIsTypedOverAndShowsStars) {
    storePassword(QStringLiteral("Open Sesame9"));
    QPointer<frmPassword> form = new frmPassword();
    form->show();
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form));
    for (QLineEdit* box : {form->txtPassword1(), form->txtPassword2()})
        EXPECT_EQ(box->style()->styleHint(QStyle::SH_LineEdit_PasswordCharacter, nullptr, box), '*');
    EXPECT_EQ(QApplication::focusWidget(), form->txtPassword1());
    EXPECT_EQ(form->txtPassword1()->selectedText(), QStringLiteral("Open Sesame9"));
    QTest::keyClicks(form->txtPassword1(), QStringLiteral("Ab1"));
    QTest::mouseClick(form->txtPassword2(), Qt::LeftButton);
    QCoreApplication::processEvents();
    QTest::keyClicks(form->txtPassword2(), QStringLiteral("Ab1"));
    QTest::keyClick(form->txtPassword2(), Qt::Key_Return);
    EXPECT_FALSE(forms::isLoaded(QStringLiteral("frmPassword")));
    EXPECT_TRUE(prompter.boxes.isEmpty());
    EXPECT_EQ(storedClear(), QStringLiteral("Ab1"));
}

TEST_F(PasswordForm, DifferentTextsAreToldAndKeepTheFormOpen) {
    storePassword(QStringLiteral("old"));
    QPointer<frmPassword> form = new frmPassword();
    type(form->txtPassword1(), QStringLiteral("Secret"));
    type(form->txtPassword2(), QStringLiteral("secret"));
    ok(form);
    ASSERT_EQ(prompter.boxes.size(), 1);
    EXPECT_EQ(prompter.boxes[0].text, QStringLiteral("Passwords doesn't match!Please retry or cancel."));
    EXPECT_EQ(prompter.boxes[0].title, QStringLiteral("Quorvane"));
    EXPECT_EQ(prompter.boxes[0].icon, Prompter::Icon::None);
    EXPECT_TRUE(orbin.calls.contains(QStringLiteral("shrink")));
    EXPECT_TRUE(forms::isLoaded(QStringLiteral("frmPassword")));
    EXPECT_EQ(form->txtPassword1()->text(), QStringLiteral("Secret"));
    EXPECT_EQ(form->txtPassword2()->text(), QStringLiteral("secret"));
    EXPECT_EQ(storedClear(), QStringLiteral("old"));
}

TEST_F(PasswordForm, EmptyBoxesCancelAndEscStoreNothing) {
    storePassword(QStringLiteral("keep me"));
    const QList<std::function<void(frmPassword*)>> leave = {
        [](frmPassword* f) {
            f->txtPassword1()->clear();
            f->txtPassword2()->clear();
            ok(f);
        },
        [](frmPassword* f) {
            type(f->txtPassword1(), QStringLiteral("other"));
            type(f->txtPassword2(), QStringLiteral("other"));
            f->findChild<QPushButton*>(QStringLiteral("cmdCancel"))->click();
        },
        [](frmPassword* f) {
            type(f->txtPassword1(), QStringLiteral("other"));
            type(f->txtPassword2(), QStringLiteral("other"));
            QTest::keyClick(f->txtPassword2(), Qt::Key_Escape);
        },
    };
    for (const auto& act : leave) {
        act(new frmPassword());
        EXPECT_FALSE(forms::isLoaded(QStringLiteral("frmPassword")));
        EXPECT_EQ(storedClear(), QStringLiteral("keep me"));
    }
    EXPECT_TRUE(prompter.boxes.isEmpty());
}

// A password is stored only when it reads back as typed: otherwise the next start would refuse it.
TEST_F(PasswordForm, OnlyPasswordsThatReadBackAsTypedAreStored) {
    storePassword(QStringLiteral("old"));
    const QString refused[] = {QStringLiteral("caf\u00e9"), QStringLiteral("\u00c0bc"),
                               QStringLiteral("\u043f\u0430\u0440\u043e\u043b\u044c"),
                               QStringLiteral("key\U0001F511")};
    for (const QString& text : refused) {
        prompter.boxes.clear();
        QPointer<frmPassword> form = new frmPassword();
        type(form->txtPassword1(), text);
        type(form->txtPassword2(), text);
        ok(form);
        ASSERT_EQ(prompter.boxes.size(), 1) << text;
        EXPECT_EQ(prompter.boxes[0].icon, Prompter::Icon::Exclamation);
        EXPECT_TRUE(prompter.boxes[0].text.contains(firstUnstorablePasswordCharacter(text)));
        EXPECT_TRUE(prompter.boxes[0].text.contains(QStringLiteral("cannot hold the character")));
        EXPECT_TRUE(forms::isLoaded(QStringLiteral("frmPassword")));
        EXPECT_EQ(storedClear(), QStringLiteral("old"));
        form->unloadForm();
    }
    EXPECT_EQ(firstUnstorablePasswordCharacter(QStringLiteral("key\U0001F511")),
              QStringLiteral("\U0001F511"));

    // Everything a keyboard without accents types comes back, and so do the other single-byte signs.
    const QString accepted = QStringLiteral("Zz09 !\"#$%&'()*+,-./:;<=>?@[\\]^_`{|}~\u00a3\u00a7\u00fe");
    QPointer<frmPassword> form = new frmPassword();
    type(form->txtPassword1(), accepted);
    type(form->txtPassword2(), accepted);
    ok(form);
    EXPECT_FALSE(forms::isLoaded(QStringLiteral("frmPassword")));
    EXPECT_EQ(storedClear(), accepted);
}
