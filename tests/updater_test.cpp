// The updater against a web server of the test's own on 127.0.0.1.

#include "app/MainWindow.h"
#include "app/Splash.h"
#include "data/Updater.h"
#include "platform/Dialogs.h"
#include "platform/Exception.h"
#include "platform/Paths.h"
#include "platform/Shell.h"
#include "support/testsupport.h"

#include <QDir>
#include <QProcess>
#include <QTimer>
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <map>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace {

using namespace platform;

QByteArray Ok(const QByteArray& body) {
    return "HTTP/1.1 200 OK\r\nContent-Length: " + QByteArray::number(body.size()) + "\r\n\r\n" + body;
}

TEST(Updater, ChecksTheVersionAndPutsTheNewProgramInPlaceOnlyWhenItArrivedWholeAndStarts) {
    // The server answers each request with the bytes given for its path (else a 404) and closes.
    std::map<std::string, QByteArray> answers;
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{AF_INET, 0, {htonl(INADDR_LOOPBACK)}, {}};
    socklen_t n = sizeof a;
    bind(fd, reinterpret_cast<sockaddr*>(&a), n), listen(fd, 8), getsockname(fd, reinterpret_cast<sockaddr*>(&a), &n);
    const QByteArray host = "http://127.0.0.1:" + QByteArray::number(ntohs(a.sin_port));
    std::thread server([&] {
        for (int c; (c = accept(fd, nullptr, nullptr)) >= 0; close(c)) {
            std::string request(8192, '\0');
            request.resize(size_t(std::max<ssize_t>(recv(c, request.data(), request.size(), 0), 0)));
            const auto it = answers.find(request.substr(4, request.find(' ', 4) - 4));
            const QByteArray b = it != answers.end() ? it->second : "HTTP/1.1 404 Not Found\r\nContent-Length: 0\r\n\r\n";
            send(c, b.constData(), size_t(b.size()), MSG_NOSIGNAL);
        }
    });
    testsupport::TempFolder folder;
    const QString own = folder.File("quillane"), old = own + "old", failed = "Обновяването на програмата не може да бъде извършено!";
    SetPathOverride(PathKind::OwnExecutable, own);
    qputenv("QUILLANE_UPDATE_HOST", host);
    CreateForm(Main), CreateForm(UpdateI), CreateForm(SplashForm);
    QStringList captions;
    QObject::connect(UpdateI, &QWidget::windowTitleChanged, [&](const QString& c) { captions << c; });

    const QByteArray script = "#!/bin/sh\necho new\nexit 0\n", newer = Ok("37309");
    const QString current = "Вашата версия на програмата е актуална!", none = "Няма връзка със сървъра!";
    const struct {
        QByteArray version, program;
        int mode, state;
        QString message, caption = QString();  // caption: one of those on the way
        bool starts = true;
        QByteArray host = {};
    } cases[] = {
        {Ok("37308"), "", 1, 0, current}, {Ok("37307"), "", 1, 0, current}, {Ok("37308"), "", 0, 0, ""},
        {"HTTP/1.1 404 Not Found\r\nContent-Length: 5\r\n\r\n37309", "", 1, -1, none},
        {"HTTP/1.1 200 OK\r\nContent-Length: 5\r\n\r\n373", "", 1, -1, none},  // cut short
        {"HTTP/1.1 200 OK\r\n\r\n37309", "", 1, -1, none},                       // no length
        {"HTTP/1.1 301 Moved\r\nLocation: /moved.txt\r\nContent-Length: 0\r\n\r\n", "", 1, 0, current},
        {newer, "", 1, -1, none, "", true, "http://127.0.0.1:1"}, {newer, "", 0, -1, "", "", true, "http://127.0.0.1:1"},
        {newer, "", 0, 1, failed},  // the program: a 404
        {newer, Ok(""), 1, 1, failed},  // an empty program: nothing arrived
        {newer, "HTTP/1.1 200 OK\r\nContent-Length: 3000\r\n\r\n" + QByteArray(1000, '#'), 1, 1, failed, "0.0000%"},
        {newer, Ok(testsupport::ReadFile("/bin/echo")), 0, 1, "", "100.0000%"},
        {newer, Ok(script.leftJustified(3000000, '#')), 1, 1, "", "50.0000%"},
        {newer, Ok(script), 0, 1, "", "100.0000%"},  // under a kilobyte
        {newer, Ok(script), 0, 1, failed, "100.0000%", false},
    };
    answers["/moved.txt"] = Ok("37308");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.version.toStdString() + c.program.left(40).toStdString());
        qputenv("QUILLANE_UPDATE_HOST", c.host.isEmpty() ? host : c.host);
        answers["/TOVELSOFT3/Quillane2013.txt"] = c.version, answers["/TOVELSOFT3/Quillane2013.exe"] = c.program;
        QFile::remove(own), QFile::copy("/bin/true", own), UpdateI->SetCaption({}), captions.clear();
        ScriptedDialogs dialogs;
        RecordedShell shell;
        shell.SetResult(c.starts);
        Main->CheckForUpdate(c.mode);
        EXPECT_EQ(UpdateI->VersionState, c.state);
        EXPECT_EQ(dialogs.Shown().empty() ? "" : dialogs.Shown().back().text, c.message);
        EXPECT_TRUE(c.caption.isEmpty() || captions.contains(c.caption));
        const bool installed = c.state == 1 && c.message.isEmpty();
        EXPECT_EQ(QDir(folder.Path()).entryList(QDir::Files), installed ? QStringList({"quillane", "quillaneold"}) : QStringList{"quillane"});
        EXPECT_EQ(testsupport::ReadFile(installed ? old : own), testsupport::ReadFile("/bin/true"));
        EXPECT_EQ(shell.Calls().size(), installed || !c.starts ? 1u : 0u);
        QProcess run;
        run.start(own, {"new"}), run.waitForFinished();
        EXPECT_EQ(run.readAllStandardOutput(), installed ? "new\n" : "");
    }
    EXPECT_TRUE(!SplashForm->CGauge1->isHidden() && SplashForm->Label1->text() == "Обновяване..." &&
                SplashForm->CGauge1->maximum() == script.size());
    QTimer::singleShot(20000, [] { QCoreApplication::exit(0); });
    EXPECT_EQ(QCoreApplication::exec(), 1);  // an update at start-up ends the loop as soon as it begins
    // A version text that is no number is told as the update check's, with its
    // address, and quoted by its first 100 characters at most.
    for (const QByteArray& text : {QByteArray("37309\n"), QByteArray(30 << 20, '7') + "<"}) {
        answers["/TOVELSOFT3/Quillane2013.txt"] = Ok(text);
        QString told;
        try {
            Main->CheckForUpdate(0);
        } catch (const EConvertError& e) {
            told = e.Message();
        }
        EXPECT_TRUE(told.startsWith("Проверката за нова версия") && told.contains(host + "/TOVELSOFT3/Quillane2013.txt"))
            << told.toStdString();
        EXPECT_TRUE(told.contains("„" + text.left(100) + (text.size() > 100 ? "…“" : "“"))) << told.left(300).toStdString();
        EXPECT_LT(told.size(), 300);
    }
    shutdown(fd, SHUT_RDWR), close(fd), server.join();
    DestroyCreatedForms(), ClearPathOverrides(), qunsetenv("QUILLANE_UPDATE_HOST");
}

}  // namespace
