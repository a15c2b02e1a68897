#pragma once
// The Firebird server on 127.0.0.1 that the tests may stop and start again:
// scripts/quillane.sh test starts it and names the file holding its process
// id in QUILLANE_TEST_SERVER_PID_FILE.

#include "data/DataModule.h"
#include "data/WorkPlace.h"

#include <QString>

namespace testsupport {

// A data module on a database of the server, opened as the work place
// "IP address" opens it, with a work-place window of its own.
struct ServerWorkPlace {
    explicit ServerWorkPlace(const QString& database) {
        Form8 = &form;
        form.RadioButton3->setChecked(true);
        dm.OpenDatabaseLocation(database);
    }
    ~ServerWorkPlace() { Form8 = nullptr; }
    TForm8 form;
    TDataModule1 dm;
};

// The file holding the process id of a server the tests may stop, or the empty text.
QString ServerPidFile();
// The server's process id as the file holds it.
QString ServerPid();
// Stops the server (TERM, then KILL); true when it has stopped.
bool StopServer();
// Kills the server at once, as a power cut would.
bool KillServer();
// Starts the server again, where none answers, and writes its process id into the file.
void StartServerAgain();

// Starts the server again when it goes, whatever happened meanwhile.
struct ServerRunsAtEnd {
    ~ServerRunsAtEnd() { StartServerAgain(); }
};

}  // namespace testsupport

#define SKIP_WITHOUT_OWN_SERVER()                                                                                \
    if (testsupport::ServerPidFile().isEmpty())                                                                 \
    GTEST_SKIP() << "no server of the tests' own to restart: QUILLANE_TEST_SERVER_PID_FILE names the file "     \
                    "holding its process id (scripts/quillane.sh test sets it when it starts the server)"
