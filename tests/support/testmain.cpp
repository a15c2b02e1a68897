// The test programs' main: every test runs offscreen, with a database lock
// folder and an installation folder of its own, and never touches the
// computer's database server alias file unless a test points at it. The
// application object exists before the first test.

#include "documents/RememberedChoices.h"
#include "support/testdatabase.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cstdlib>

namespace {

void SetDefault(const char* name, const QByteArray& value) {
    if (!qEnvironmentVariableIsSet(name)) qputenv(name, value);
}

}  // namespace

int main(int argc, char** argv) {
    const QByteArray temp = QDir::tempPath().toLocal8Bit();
    // Number texts follow the locale unless a test sets the separator itself.
    qputenv("LC_ALL", "C.UTF-8");
    SetDefault("QT_QPA_PLATFORM", "offscreen");
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
