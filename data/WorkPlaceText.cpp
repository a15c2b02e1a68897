#include "data/WorkPlaceText.h"

#include "platform/Exception.h"
#include "platform/Paths.h"
#include "platform/TextFile.h"

#include <QFile>
#include <QFileInfo>

namespace data {

namespace {

// A folder path and a mode take a few hundred bytes; a file far longer is not
// a work-place file, and is not read whole.
constexpr qint64 kLongestWorkPlaceFile = 64 * 1024;

// Quotes at most the start of a text.
QString Quoted(const QString& text) {
    constexpr int shown = 40;
    return QStringLiteral("„%1“").arg(text.size() > shown ? text.left(shown) + QStringLiteral("…") : text);
}

}  // namespace

WorkPlaceFile ReadWorkPlaceFile(const QString& path) {
    WorkPlaceFile file;
    const QFileInfo info(path);
    file.present = info.exists() || info.isSymLink();
    if (!file.present) return file;
    if (info.isDir()) {
        file.problem = QStringLiteral("на мястото на файла има папка");
        return file;
    }
    if (info.size() > kLongestWorkPlaceFile) {
        file.problem = QStringLiteral("файлът е %1 байта, а работното място е един ред и номер").arg(info.size());
        return file;
    }
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        file.problem = QStringLiteral("файлът не може да бъде прочетен (%1)").arg(f.errorString());
        return file;
    }
    const QByteArray bytes = f.read(kLongestWorkPlaceFile + 1);
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        if ((b < 0x20 && b != '\r' && b != '\n' && b != '\t') || b == 0x7F) {
            file.problem = QStringLiteral("файлът съдържа двоични данни, а не текст");
            return file;
        }
    }
    const QStringList lines = platform::LoadLines(path);
    if (lines.isEmpty() || lines.at(0).trimmed().isEmpty())
        file.problem = lines.isEmpty() ? QStringLiteral("файлът е празен") : QStringLiteral("първият му ред е празен");
    else if (lines.size() >= 2 && !QStringList({"1", "2", "3"}).contains(lines.at(1)))
        file.problem = QStringLiteral("вторият му ред %1 не е 1, 2 или 3").arg(Quoted(lines.at(1)));
    else
        file.lines = lines;
    return file;
}

QString LocationText(const QString& value, int mode) {
    switch (mode) {
        case 1: return value;
        case 2: return QStringLiteral("\\\\") + value + QStringLiteral("\\tovelx");
        case 3: return value + QStringLiteral(":tovelx");
        default: return {};
    }
}

QStringList WithAliasLine(QStringList lines, const QString& databaseFile) {
    const QString line = QStringLiteral("tovelx = ") + databaseFile;
    for (QString& l : lines) {
        if (l.contains(QLatin1String("tovelx"))) {
            l = line;
            return lines;
        }
    }
    lines << line;
    return lines;
}

bool WriteAliasLine(const QString& aliasesFile, const QString& databaseFile) {
    using platform::TextEncoding;
    try {
        const QStringList lines = platform::FileExists(aliasesFile)
                                      ? platform::LoadLines(aliasesFile, TextEncoding::System)
                                      : QStringList();
        platform::SaveLines(aliasesFile, WithAliasLine(lines, databaseFile), TextEncoding::System);
        return true;
    } catch (const platform::EFileError&) {
        return false;
    }
}

QString EngineMissingText() {
    return QStringLiteral("Firebird SQL не е инсталиран на този компютър (липсва %1). "
                          "Инсталирайте пакета firebird3.0-server-core и стартирайте програмата отново.")
        .arg(platform::Path(platform::PathKind::FirebirdEngine));
}

}  // namespace data
