#pragma once
// The shell: opening a document in the application the desktop associates
// with it, and starting a program without waiting for it. A test installs a
// recorder that receives the calls instead (RecordedShell below).

#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

namespace platform {

struct ShellCall {
    enum class Kind { OpenDocument, StartProgram };
    Kind kind = Kind::OpenDocument;
    QString target;  // the document's path or URL, or the program's path
    QStringList arguments;
    QString workingFolder;
};

// A local path or a URL ("http://..."). True when the desktop took it; false
// also for a local file whose kind no program of the desktop opens.
bool OpenDocument(const QString& pathOrUrl);
// Starts the program detached. True when it started.
bool StartProgram(const QString& program, const QStringList& arguments = {}, const QString& workingFolder = {});
// The shell's "open" of a path: an executable file is started as a program,
// anything else is opened as a document.
bool ShellOpen(const QString& path);

using ShellRecorder = std::function<bool(const ShellCall&)>;

class ShellGate {
public:
    // Installs a recorder (empty: the real shell again); returns the one before.
    static ShellRecorder SetRecorder(ShellRecorder recorder);
};

// For tests: records the shell calls while it lives, running none of them;
// each call reports the result given by SetResult (true at first).
class RecordedShell {
public:
    RecordedShell();
    ~RecordedShell();
    RecordedShell(const RecordedShell&) = delete;
    RecordedShell& operator=(const RecordedShell&) = delete;

    const std::vector<ShellCall>& Calls() const { return calls_; }
    void SetResult(bool result) { result_ = result; }

private:
    ShellRecorder previous_;
    std::vector<ShellCall> calls_;
    bool result_ = true;
};

}  // namespace platform
