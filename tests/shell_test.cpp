#include "platform/Shell.h"
#include "support/testsupport.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>
#include <QThread>
#include <gtest/gtest.h>

namespace {

using namespace platform;

TEST(Shell, OpenStartsAnExecutableOpensAnythingElseAsADocumentAndTheRecorderKeepsEveryCall) {
    testsupport::TempFolder folder;
    const QString program = folder.File("quillane");
    testsupport::WriteFile(program, "#!/bin/sh\nexit 0\n");
    QFile(program).setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const QString manual = folder.File("Help.pdf");
    testsupport::WriteFile(manual, "%PDF-1.4\n");

    RecordedShell shell;
    EXPECT_TRUE(ShellOpen(program));
    EXPECT_TRUE(ShellOpen(manual));
    EXPECT_TRUE(ShellOpen(folder.Path()));
    shell.SetResult(false);
    EXPECT_FALSE(ShellOpen(folder.File("missing.exe")));

    shell.SetResult(true);
    EXPECT_TRUE(StartProgram("/opt/firebird/install", {"--quiet"}, "/tmp"));
    EXPECT_TRUE(OpenDocument("http://127.0.0.1:8080/TOVELSOFT3/Quillane2013.txt"));

    using K = ShellCall::Kind;
    QStringList seen;
    for (const ShellCall& call : shell.Calls())
        seen << QStringList{call.kind == K::StartProgram ? "start" : "open", call.target, call.arguments.join(' '),
                            call.workingFolder}.join('|');
    EXPECT_EQ(seen, QStringList({"start|" + program + "||", "open|" + manual + "||", "open|" + folder.Path() + "||",
                                 "open|" + folder.File("missing.exe") + "||", "start|/opt/firebird/install|--quiet|/tmp",
                                 "open|http://127.0.0.1:8080/TOVELSOFT3/Quillane2013.txt||"}));
}

TEST(Shell, AProgramReallyStartsWithoutTheCallerWaitingForIt) {
    int argc = 1;
    char* argv[] = {const_cast<char*>("t"), nullptr};
    QCoreApplication app(argc, argv);
    testsupport::TempFolder folder;
    const QString marker = folder.File("started");
    ASSERT_TRUE(StartProgram("/bin/sh", {"-c", "echo пуснат > started"}, folder.Path()));
    const QDeadlineTimer deadline(30000);
    while (!QFileInfo::exists(marker) && !deadline.hasExpired()) QThread::msleep(20);
    ASSERT_TRUE(QFileInfo::exists(marker));
    EXPECT_FALSE(StartProgram(folder.File("no-such-program")));
}

}  // namespace
