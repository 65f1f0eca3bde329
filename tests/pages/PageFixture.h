#pragma once

#include "pagechain/PageChain.h"
#include "pagechain/PageWidgets.h"
#include "platform/FormPort.h"
#include "tests/support/FakePrompter.h"
#include "tests/support/QtPrinters.h"

#include <QCoreApplication>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

// Runs one chain of pages from the content built into the test program, and clicks through it as a
// person would.
class Pages : public ::testing::Test {
protected:
    void TearDown() override {
        modFunctions::endTour();
        flush();
    }

    PageForm* start(const QString& chainName, bool maximized = false) {
        m_chain = std::make_unique<PageChain>(loadChain(QStringLiteral(":/%1/pages.xml").arg(chainName)));
        m_chain->setMaximized(maximized);
        QObject::connect(m_chain.get(), &PageChain::ended, [this] { ++ended; });
        return m_chain->start();
    }

    // The loaded pages, in load order.
    static QList<PageForm*> loaded() {
        QList<PageForm*> pages;
        for (FormPort* f : forms::loaded())
            if (auto* p = dynamic_cast<PageForm*>(f)) pages << p;
        return pages;
    }

    // The one page that is up; fails the test when there is not exactly one.
    static PageForm* page() {
        const QList<PageForm*> pages = loaded();
        EXPECT_EQ(pages.size(), 1);
        return pages.isEmpty() ? nullptr : pages.back();
    }

    static QString text(PageForm* p, const char* label) {
        auto* l = p ? p->findChild<QLabel*>(QString::fromLatin1(label)) : nullptr;
        return l ? l->text() : QStringLiteral("<no %1>").arg(QString::fromLatin1(label));
    }

    // Clicks a button, a topic or a picture of the page that is up.
    static void click(const char* control) {
        PageForm* p = page();
        ASSERT_NE(p, nullptr);
        QWidget* w = p->findChild<QWidget*>(QString::fromLatin1(control));
        ASSERT_NE(w, nullptr) << p->objectName() << " has no " << control;
        if (auto* picture = qobject_cast<PagePictureBox*>(w))
            QTest::mouseClick(w, Qt::LeftButton, {}, picture->pictureRect().center());
        else
            QTest::mouseClick(w, Qt::LeftButton);
        flush();
    }

    static void flush() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

    FakePrompter prompter;
    std::unique_ptr<PageChain> m_chain;
    int ended = 0;
};
