#include "platform/Paths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include <map>

namespace platform {
namespace {

std::map<PathKind, QString>& Overrides() {
    static std::map<PathKind, QString> overrides;
    return overrides;
}

QString Env(const char* name) { return qEnvironmentVariable(name); }

QString DefaultInstallFolder() {
    const QString home = Env("QUILLANE_HOME");
    if (!home.isEmpty()) return QDir::cleanPath(home);
    return QDir::homePath() + QStringLiteral("/.local/share/Quillane2010");
}

QString OwnExecutablePath() {
    if (QCoreApplication::instance()) return QCoreApplication::applicationFilePath();
    return QFileInfo(QStringLiteral("/proc/self/exe")).symLinkTarget();
}

}  // namespace

QString Path(PathKind kind) {
    auto it = Overrides().find(kind);
    if (it != Overrides().end()) return it->second;
    switch (kind) {
        case PathKind::InstallFolder: return DefaultInstallFolder();
        case PathKind::DataFolder: return Path(PathKind::InstallFolder) + QStringLiteral("/DB");
        case PathKind::NetworkFile: return Path(PathKind::InstallFolder) + QStringLiteral("/network.txt");
        case PathKind::NoPasswordMarker: return Path(PathKind::InstallFolder) + QStringLiteral("/bezparola.txt");
        case PathKind::Manual: return Path(PathKind::InstallFolder) + QStringLiteral("/Help.pdf");
        case PathKind::ReadyMarker: return Path(PathKind::InstallFolder) + QStringLiteral("/ready.txt");
        case PathKind::ServerInstaller:
            return Path(PathKind::InstallFolder) + QStringLiteral("/Firebird-2.5.2.26539_0_Win32.exe");
        case PathKind::OwnExecutable: return OwnExecutablePath();
        case PathKind::OldExecutable: return Path(PathKind::OwnExecutable) + QStringLiteral("old");
        case PathKind::FirebirdEngine: {
            const QString env = Env("QUILLANE_FIREBIRD_ENGINE");
            return env.isEmpty() ? QStringLiteral("/usr/lib/x86_64-linux-gnu/firebird/3.0/plugins/libEngine12.so") : env;
        }
        case PathKind::AliasesFile: {
            const QString env = Env("QUILLANE_FIREBIRD_ALIASES");
            return env.isEmpty() ? QStringLiteral("/etc/firebird/3.0/databases.conf") : env;
        }
    }
    return {};
}

void SetPathOverride(PathKind kind, const QString& path) {
    if (path.isEmpty())
        Overrides().erase(kind);
    else
        Overrides()[kind] = path;
}

void ClearPathOverrides() { Overrides().clear(); }

QString UpdateHost() { return Env("QUILLANE_UPDATE_HOST"); }

bool FileExists(const QString& path) { return !path.isEmpty() && QFileInfo(path).isFile(); }

}  // namespace platform
