// The test programs' main: every test runs offscreen on the test program's
// own screen, whatever platform the environment names, with a database lock
// folder of its own run (shared with the processes it starts) and an
// installation folder of its own, and never touches the
// computer's database server alias file unless a test points at it. The
// application object exists before the first test.

#include "documents/RememberedChoices.h"
#include "support/testdatabase.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cstdlib>

namespace {

void SetDefault(const char* name, const QByteArray& value) {
    if (!qEnvironmentVariableIsSet(name)) qputenv(name, value);
}

// The screen the windows are shown on: 1366 x 768, the size the windows are
// looked at, unless a test program is built for a smaller one (with the
// frame a window manager would put around each window).
#ifndef QUILLANE_TEST_SCREEN
#define QUILLANE_TEST_SCREEN 1366, 768, false
#endif
struct TestScreen {
    int width, height;
    bool frames;
};

QByteArray OffscreenPlatform(const QTemporaryDir& folder) {
    const TestScreen screen{QUILLANE_TEST_SCREEN};
    const QString file = folder.filePath(QStringLiteral("screen.json"));
    QFile out(file);
    if (!out.open(QIODevice::WriteOnly)) return "offscreen";
    out.write(QStringLiteral("{\"windowFrameMargins\": %1, \"screens\": [{\"name\": \"test\", \"x\": 0, \"y\": 0, "
                             "\"width\": %2, \"height\": %3, \"logicalDpi\": 96}]}")
                  .arg(screen.frames ? QStringLiteral("true") : QStringLiteral("false"))
                  .arg(screen.width)
                  .arg(screen.height)
                  .toUtf8());
    return "offscreen:configfile=" + file.toLocal8Bit();
}

}  // namespace

int main(int argc, char** argv) {
    const QByteArray temp = QDir::tempPath().toLocal8Bit();
    // Number texts follow the locale unless a test sets the separator itself.
    // A test of another locale runs a test program of its own under it.
    qputenv("LC_ALL", qgetenv("QUILLANE_TEST_LC_ALL").isEmpty() ? QByteArray("C.UTF-8") : qgetenv("QUILLANE_TEST_LC_ALL"));
    // The screen is the test program's, not the environment's: a test of the
    // windows' fit needs its own size (plain "offscreen" would be 800 x 800).
    const QTemporaryDir screenDir;
    qputenv("QT_QPA_PLATFORM", OffscreenPlatform(screenDir));
    // A process killed inside the embedded engine can leave that engine's
    // shared lock memory held for good, so no two test programs share one lock
    // folder; the processes a test starts inherit their program's.
    const QTemporaryDir lockDir(QDir::tempPath() + QStringLiteral("/quillane-test-lock-XXXXXX"));
    SetDefault("FIREBIRD_LOCK", lockDir.path().toLocal8Bit());
    SetDefault("QUILLANE_FIREBIRD_ALIASES", temp + "/quillane-test-no-aliases/databases.conf");
    SetDefault("QUILLANE_HOME", temp + "/quillane-test-no-home");
    // mem.txt and payment.txt are read from and written to a folder of the run's own.
    const QTemporaryDir startupDir;
    StartupDir() = startupDir.path();
    ::testing::InitGoogleTest(&argc, argv);
    testsupport::EnsureApplication();
    return RUN_ALL_TESTS();
}
