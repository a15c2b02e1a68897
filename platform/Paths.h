#pragma once
// Every fixed place the program uses, in one module. Each can be pointed
// elsewhere (tests use temporary folders) through SetPathOverride or the
// environment variables named below.

#include <QString>

namespace platform {

enum class PathKind {
    InstallFolder,     // $QUILLANE_HOME, else ~/.local/share/Quillane2010
    DataFolder,        // <install>/DB
    NetworkFile,       // <install>/network.txt
    NoPasswordMarker,  // <install>/bezparola.txt
    Manual,            // <install>/Help.pdf
    ReadyMarker,       // <install>/ready.txt
    ServerInstaller,   // <install>/Firebird-2.5.2.26539_0_Win32.exe
    OwnExecutable,     // the running program
    OldExecutable,     // the running program's path with "old" appended
    FirebirdEngine,    // $QUILLANE_FIREBIRD_ENGINE, else the embedded engine plug-in
    AliasesFile,       // $QUILLANE_FIREBIRD_ALIASES, else /etc/firebird/3.0/databases.conf
};

QString Path(PathKind kind);

// An empty text removes the override.
void SetPathOverride(PathKind kind, const QString& path);
void ClearPathOverrides();

// The maker's web host for downloads ($QUILLANE_UPDATE_HOST); empty means none.
QString UpdateHost();

bool FileExists(const QString& path);

}  // namespace platform
