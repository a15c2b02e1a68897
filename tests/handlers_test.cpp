// Errors of a control's handler: shown when the user clicked, handed back when
// code clicked.

#include "platform/Dialogs.h"
#include "platform/Exception.h"
#include "platform/Handlers.h"
#include "support/testdatabase.h"
#include "support/testsupport.h"

#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace {

struct Window {
    QPushButton failing{QStringLiteral("Грешка")};
    QPushButton outer{QStringLiteral("Външен")};
    int runs = 0;
    void Fail() {
        ++runs;
        throw platform::Exception(QStringLiteral("Няма връзка със сървъра!"));
    }
    Window() {
        QObject::connect(&failing, &QPushButton::clicked, platform::Handler(this, &Window::Fail));
        // A handler that clicks another window's button in code and lets its error go on.
        QObject::connect(&outer, &QPushButton::clicked, platform::Handler([this] { platform::Click(&failing); }));
    }
};

TEST(Handlers, AnErrorOfAUsersClickIsShownButAClickInCodeHandsItBack) {
    testsupport::EnsureApplication();
    platform::ScriptedDialogs dialogs;
    Window w;
    w.failing.show();
    w.outer.show();
    QTest::mouseClick(&w.failing, Qt::LeftButton);
    ASSERT_EQ(dialogs.Shown().size(), 1u);
    EXPECT_EQ(dialogs.Shown()[0].kind, platform::DialogKind::Exception);
    EXPECT_EQ(dialogs.Shown()[0].text, "Няма връзка със сървъра!");
    QTest::mouseClick(&w.failing, Qt::LeftButton);  // and the program goes on
    EXPECT_EQ(w.runs, 2);
    EXPECT_EQ(dialogs.Shown().size(), 2u);

    EXPECT_THROW(platform::Click(&w.failing), platform::Exception);
    EXPECT_EQ(dialogs.Shown().size(), 2u);
    // The user's click on a button whose handler clicks another: shown once.
    QTest::mouseClick(&w.outer, Qt::LeftButton);
    EXPECT_EQ(dialogs.Shown().size(), 3u);
    // And code clicking that button gets the inner error back.
    EXPECT_THROW(platform::Click(&w.outer), platform::Exception);
    EXPECT_EQ(dialogs.Shown().size(), 3u);
}

}  // namespace
