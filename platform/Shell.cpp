#include "platform/Shell.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>
#include <optional>
#include <utility>

namespace platform {
namespace {

ShellRecorder& Recorder() {
    static ShellRecorder recorder;
    return recorder;
}

// The desktop's program for a local file, asked of xdg-mime: its name, an
// empty text when the desktop has none for the file's kind, or nothing when
// the desktop's tools are not there to ask.
std::optional<QString> DesktopProgramFor(const QString& path) {
    const QString xdgMime = QStandardPaths::findExecutable(QStringLiteral("xdg-mime"));
    if (xdgMime.isEmpty() || QStandardPaths::findExecutable(QStringLiteral("xdg-open")).isEmpty()) return std::nullopt;
    QProcess query;
    query.start(xdgMime, {QStringLiteral("query"), QStringLiteral("default"),
                          QMimeDatabase().mimeTypeForFile(path).name()});
    if (!query.waitForFinished(10000)) {
        query.kill();
        query.waitForFinished(1000);
        return std::nullopt;
    }
    if (query.exitStatus() != QProcess::NormalExit) return std::nullopt;
    return QString::fromLocal8Bit(query.readAllStandardOutput()).trimmed();
}

bool Run(const ShellCall& call) {
    if (Recorder()) return Recorder()(call);
    if (call.kind == ShellCall::Kind::StartProgram)
        return QProcess::startDetached(call.target, call.arguments, call.workingFolder);
    if (QFileInfo::exists(call.target)) {
        // A local file is handed to the program the desktop names for its
        // kind; with none, nothing would open it, so the call fails.
        const QString path = QFileInfo(call.target).absoluteFilePath();
        if (const std::optional<QString> program = DesktopProgramFor(path)) {
            if (program->isEmpty()) return false;
            return QProcess::startDetached(QStandardPaths::findExecutable(QStringLiteral("xdg-open")), {path});
        }
        return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
    }
    return QDesktopServices::openUrl(QUrl::fromUserInput(call.target));
}

}  // namespace

bool OpenDocument(const QString& pathOrUrl) {
    ShellCall call;
    call.kind = ShellCall::Kind::OpenDocument;
    call.target = pathOrUrl;
    return Run(call);
}

bool StartProgram(const QString& program, const QStringList& arguments, const QString& workingFolder) {
    ShellCall call;
    call.kind = ShellCall::Kind::StartProgram;
    call.target = program;
    call.arguments = arguments;
    call.workingFolder = workingFolder;
    return Run(call);
}

bool ShellOpen(const QString& path) {
    const QFileInfo info(path);
    if (info.isFile() && info.isExecutable()) return StartProgram(path);
    return OpenDocument(path);
}

ShellRecorder ShellGate::SetRecorder(ShellRecorder recorder) { return std::exchange(Recorder(), std::move(recorder)); }

RecordedShell::RecordedShell() {
    previous_ = ShellGate::SetRecorder([this](const ShellCall& call) {
        calls_.push_back(call);
        return result_;
    });
}

RecordedShell::~RecordedShell() { ShellGate::SetRecorder(std::move(previous_)); }

}  // namespace platform
