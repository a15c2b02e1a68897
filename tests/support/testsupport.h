#pragma once
// Shared helpers of the test programs.

#include "platform/Dialogs.h"

#include <QString>
#include <gtest/gtest.h>
#include <QStringList>
#include <QTemporaryDir>
#include <memory>
#include <ostream>

// Test failures show texts as text.
inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }
inline void PrintTo(const QStringList& l, std::ostream* os) {
    *os << '{';
    for (const QString& s : l) *os << " \"" << s.toStdString() << '"';
    *os << " }";
}

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

// While it lives: decimal comma, two money decimals, dd.MM.yyyy dates; after
// it, the system's own.
class BulgarianLocale {
public:
    BulgarianLocale();
    ~BulgarianLocale();
};

// The same expectation written for "," and for ".": "#" in pattern stands for
// the separator.
inline QString With(QChar separator, const char* pattern) { return QString::fromUtf8(pattern).replace(u'#', separator); }

// Writes bytes to a file, creating folders as needed.
void WriteFile(const QString& path, const QByteArray& bytes);
QByteArray ReadFile(const QString& path);

// Types text key by key into whatever has the focus (else into first), as a
// keyboard does, letters of any alphabet included.
void TypeKeys(QWidget* first, const QString& text);

// The text of the one dialog shown; a test failure, and no text, when none or
// several were shown.
QString ShownText(const platform::ScriptedDialogs& dialogs);
// Passes when one dialog was shown and its text holds part.
::testing::AssertionResult ShownOnceWith(const platform::ScriptedDialogs& dialogs, const QString& part);

}  // namespace testsupport
