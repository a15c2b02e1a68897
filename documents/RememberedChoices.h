#pragma once
// The two small settings files of the editor, in the folder the program was
// started in: mem.txt (five remembered choices) and payment.txt (payment
// methods, most recently used first). Windows-1251 text, lines ended by CR LF.

#include <QString>
#include <QStringList>
#include <optional>

// The working directory at program start, taken once before any window is
// made (FormGridUnitInit); tests may point it elsewhere.
QString& StartupDir();
void FormGridUnitInit();

QString MemFilePath();      // <StartupDir>/mem.txt
QString PaymentFilePath();  // <StartupDir>/payment.txt

// The defaults of mem.txt: "20%", "ФАКТУРА" and three empty lines.
QStringList DefaultLastChoices();

// Reading one of the files. A missing file gives no lines and no problem.
// A file that is a folder, larger than MaxSettingsFileSize, unreadable, or not
// Windows-1251 text (a byte the code page leaves unassigned, control
// characters, or UTF-8 text) gives no lines and a Bulgarian text saying what
// is wrong with which file.
struct SettingsFile {
    std::optional<QStringList> lines;  // the file's lines when it was read
    QString problem;                   // empty unless the file was refused
};
constexpr qint64 MaxSettingsFileSize = 64 * 1024;
SettingsFile ReadSettingsFile(const QString& path);

// Notes the outcome of the last read of a file: a problem is shown once per
// run and file (later ones are silent). True when the file was refused. A
// refused file is not written over (SettingsFileRefused), so that nothing
// the user keeps in it is lost.
bool NoteSettingsProblem(const QString& path, const QString& problem);
bool SettingsFileRefused(const QString& path);
void ForgetSettingsProblems();  // tests: a fresh run
