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

    const auto& calls = shell.Calls();
    ASSERT_EQ(calls.size(), 6u);
    EXPECT_EQ(calls[0].kind, ShellCall::Kind::StartProgram);
    EXPECT_EQ(calls[0].target, program);
    EXPECT_TRUE(calls[0].arguments.isEmpty());
    EXPECT_EQ(calls[1].kind, ShellCall::Kind::OpenDocument);
    EXPECT_EQ(calls[1].target, manual);
    EXPECT_EQ(calls[2].kind, ShellCall::Kind::OpenDocument);
    EXPECT_EQ(calls[3].kind, ShellCall::Kind::OpenDocument);
    EXPECT_EQ(calls[4].arguments, QStringList({"--quiet"}));
    EXPECT_EQ(calls[4].workingFolder, "/tmp");
    EXPECT_EQ(calls[5].target, "http://127.0.0.1:8080/TOVELSOFT3/Quillane2013.txt");
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
