#include "support/testserver.h"

#include "support/testsupport.h"

#include <QProcess>
#include <QThread>

#include <signal.h>

namespace testsupport {

namespace {
const QString kServerScript = QStringLiteral(QUILLANE_SCRIPTS_DIR "/firebird-server.sh");
}

QString ServerPidFile() { return qEnvironmentVariable("QUILLANE_TEST_SERVER_PID_FILE"); }

QString ServerPid() { return QString::fromLatin1(ReadFile(ServerPidFile())).trimmed(); }

bool StopServer() { return QProcess::execute(kServerScript, {"stop", ServerPid()}) == 0; }

bool KillServer() {
    const pid_t pid = static_cast<pid_t>(ServerPid().toLongLong());
    if (pid <= 0 || ::kill(pid, SIGKILL) != 0) return false;
    // Gone once the system has taken it away.
    for (int i = 0; i < 200 && ::kill(pid, 0) == 0; ++i) QThread::msleep(25);
    return true;
}

void StartServerAgain() {
    QProcess start;
    start.start(kServerScript, {"start"});
    if (!start.waitForFinished(30000)) {
        ADD_FAILURE() << "the Firebird server did not start again";
        return;
    }
    const QByteArray pid = start.readAllStandardOutput().trimmed();
    if (!pid.isEmpty()) WriteFile(ServerPidFile(), pid + '\n');
}

}  // namespace testsupport
