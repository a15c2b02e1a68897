#pragma once
// The updater's work apart from its window: version numbers, the version
// file's text, and the download of the new program with its swap for the
// running one.

#include <QString>

#include <functional>

namespace data {

// The installed version from the main window's caption "... version 3.7.3.08":
// the text after the last blank, its characters 1, 3, 5 and 7 to 8 joined
// (37308). Throws EConvertError.
int InstalledVersionNumber(const QString& caption);
// The version file's text, read from the address: bare decimal digits and
// nothing else (no blank, no line break). Throws EConvertError, which names the
// update check, the address and at most the first 100 characters of the text.
int VersionNumber(const QString& text, const QString& address);

// The body of a complete answer, read in pieces of 1024 bytes, each taken up
// to its first zero byte; empty when there is no (complete) answer.
QString DownloadText(const QString& address);

// The download's caption: whole per cents of the kilobytes, four decimals and
// "%" (50,0000%). A download under one kilobyte counts by its bytes.
QString DownloadPercentText(qint64 progress, qint64 maximum);

struct ProgramFiles {
    QString running;     // the program's own executable
    QString movedAside;  // where the running one goes while the new one takes its place
};

struct DownloadProgress {
    std::function<void(qint64 length)> started;                 // the announced length
    std::function<void(qint64 written, qint64 length)> piece;  // after each piece written
};

// Downloads the new program beside the running one (named after the address's
// last segment). Only when the whole announced body has arrived, and is not
// empty, does it get the run bit, the running program moves aside and the new
// one takes its place.
// False when any step fails: the running program is then as it was, and no
// download is left behind.
bool InstallNewProgram(const QString& address, const ProgramFiles& files, const DownloadProgress& progress);
// Undoes an install: the moved-aside program back in its place.
bool PutBackOldProgram(const ProgramFiles& files);

}  // namespace data
