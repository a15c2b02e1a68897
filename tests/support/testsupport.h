#pragma once
// Shared helpers of the test programs.

#include <QString>
#include <QTemporaryDir>
#include <memory>

namespace testsupport {

// A temporary folder that lives as long as the object.
class TempFolder {
public:
    TempFolder();
    QString Path() const { return dir_->path(); }
    QString File(const QString& name) const { return dir_->filePath(name); }

private:
    std::unique_ptr<QTemporaryDir> dir_;
};

// Writes bytes to a file, creating folders as needed.
void WriteFile(const QString& path, const QByteArray& bytes);
QByteArray ReadFile(const QString& path);

}  // namespace testsupport
