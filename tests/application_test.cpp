#include "platform/Application.h"
#include "platform/Dialogs.h"
#include "platform/Exception.h"

#include <QEventLoop>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include "support/testsupport.h"

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>

namespace {

using namespace platform;

class ApplicationTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        Application::SetTitle("Quillane 2013");
    }
};

TEST_F(ApplicationTest, AnExceptionFromAnEventHandlerOrTheStartIsShownAndTheProgramGoesOn) {
    struct Thrower {
        const char* name;
        std::function<void()> toss;
        QString shown;
    };
    const Thrower throwers[] = {
        {"own", [] { throw EConvertError("\"12,5а\" не е число."); }, "\"12,5а\" не е число."},
        {"standard", [] { throw std::runtime_error("сървърът не отговаря"); }, "сървърът не отговаря"},
        {"other", [] { throw 42; }, ""},
    };
    for (const Thrower& thrower : throwers) {
        ScriptedDialogs dialogs;
        QEventLoop loop;
        bool laterEventRan = false;
        QTimer::singleShot(0, thrower.toss);
        QTimer::singleShot(0, [&] {
            laterEventRan = true;
            loop.quit();
        });
        loop.exec();
        EXPECT_TRUE(laterEventRan) << thrower.name;
        // The start's own catch shows it the same way.
        try {
            thrower.toss();
        } catch (...) {
            Application::ShowCurrentException();
        }
        ASSERT_EQ(dialogs.Shown().size(), 2u) << thrower.name;
        for (const DialogRequest& shown : dialogs.Shown()) {
            EXPECT_EQ(shown.kind, DialogKind::Exception);
            EXPECT_EQ(shown.title, "Quillane 2013");
            EXPECT_EQ(shown.icon, DialogIcon::Error);
            EXPECT_EQ(shown.text, thrower.shown) << thrower.name;
        }
    }
    ScriptedDialogs dialogs;
    Application::ShowCurrentException();  // outside a catch: nothing to show
    EXPECT_TRUE(dialogs.Shown().empty());
}

TEST_F(ApplicationTest, AButtonWhoseHandlerFailsStillWorksOnTheNextClick) {
    ScriptedDialogs dialogs;
    QPushButton button("Запиши");
    button.show();
    int clicks = 0;
    QObject::connect(&button, &QPushButton::clicked, [&] {
        ++clicks;
        throw Exception(QStringLiteral("Неуспешен запис %1").arg(clicks));
    });
    QTest::mouseClick(&button, Qt::LeftButton);
    QTest::mouseClick(&button, Qt::LeftButton);
    EXPECT_EQ(clicks, 2);
    ASSERT_EQ(dialogs.Shown().size(), 2u);
    EXPECT_EQ(dialogs.Shown()[0].text, "Неуспешен запис 1");
    EXPECT_EQ(dialogs.Shown()[1].text, "Неуспешен запис 2");
    EXPECT_FALSE(button.isDown());
}

}  // namespace
