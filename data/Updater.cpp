#include "data/Updater.h"

#include "app/MainWindow.h"
#include "app/Splash.h"
#include "data/ProgramUpdate.h"
#include "platform/Dialogs.h"
#include "platform/Handlers.h"
#include "platform/Http.h"
#include "platform/Paths.h"
#include "platform/Shell.h"

#include <QCoreApplication>
#include <QThread>

TUpdateI* UpdateI = nullptr;

namespace {

// At start-up the message loop has not begun, so closing the main window
// cannot end it; it ends as soon as it runs.
void EndLoopOnceItRuns() {
    QMetaObject::invokeMethod(
        qApp,
        [] {
            if (QThread::currentThread()->loopLevel() > 0)
                QCoreApplication::exit(1);
            else
                EndLoopOnceItRuns();
        },
        Qt::QueuedConnection);
}

}  // namespace

TUpdateI::TUpdateI(QWidget* parent) : platform::Form(parent) {
    setupUi(this);
    setFixedSize(295, 74);
    Edit1->setText(platform::UpdateAddress(QStringLiteral("/TOVELSOFT3/Quillane2013.exe")));
    connect(SpeedButton1, &QToolButton::clicked, this, platform::Handler(this, &TUpdateI::SpeedButton1Click));
    connect(SpeedButton2, &QToolButton::clicked, this, platform::Handler(this, &TUpdateI::SpeedButton2Click));
}

namespace {

QString VersionFileAddress() { return platform::UpdateAddress(QStringLiteral("/TOVELSOFT3/Quillane2013.txt")); }

}  // namespace

void TUpdateI::DownloadVersionText() { RemoteVersionText = data::DownloadText(VersionFileAddress()); }

void TUpdateI::CheckRemoteVersion() {
    DownloadVersionText();
    const int local = data::InstalledVersionNumber(Main->Caption());
    if (RemoteVersionText.isEmpty()) {
        VersionState = -1;
        RemoteVersionText = QString::number(local);
    } else {
        VersionState = data::VersionNumber(RemoteVersionText, VersionFileAddress()) <= local ? 0 : 1;
    }
}

void TUpdateI::SpeedButton1Click() {
    if (VersionState != 1) return;
    using platform::Path;
    using platform::PathKind;
    const data::ProgramFiles files{Path(PathKind::OwnExecutable), Path(PathKind::OldExecutable)};
    data::DownloadProgress progress;
    progress.started = [](qint64 length) {
        if (SplashForm) SplashForm->CGauge1->setMaximum(int(qMin<qint64>(length, INT_MAX)));
    };
    progress.piece = [this](qint64 written, qint64 length) {
        if (SplashForm) SplashForm->CGauge1->setValue(int(qMin<qint64>(written, INT_MAX)));
        SetCaption(data::DownloadPercentText(written, length));
        // Repainted as they change; the user's input waits until the download ends.
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    };
    const bool installed = data::InstallNewProgram(Edit1->text(), files, progress);
    // The new program starts from the path this one was started from.
    if (installed && platform::ShellOpen(files.running)) {
        Main->Close();
        if (QThread::currentThread()->loopLevel() == 0) EndLoopOnceItRuns();
        return;
    }
    if (installed) data::PutBackOldProgram(files);
    platform::ShowMessageBox(QStringLiteral("Обновяването на програмата не може да бъде извършено!"), QString(),
                             platform::DialogIcon::Error, this);
}

void TUpdateI::SpeedButton2Click() { Close(); }
