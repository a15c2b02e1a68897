#include "platform/Shell.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QProcess>
#include <QUrl>
#include <utility>

namespace platform {
namespace {

ShellRecorder& Recorder() {
    static ShellRecorder recorder;
    return recorder;
}

bool Run(const ShellCall& call) {
    if (Recorder()) return Recorder()(call);
    if (call.kind == ShellCall::Kind::StartProgram)
        return QProcess::startDetached(call.target, call.arguments, call.workingFolder);
    const QUrl url = QFileInfo::exists(call.target) ? QUrl::fromLocalFile(QFileInfo(call.target).absoluteFilePath())
                                                    : QUrl::fromUserInput(call.target);
    return QDesktopServices::openUrl(url);
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
