#include "data/WorkPlaceText.h"

#include "platform/Exception.h"
#include "platform/Paths.h"
#include "platform/TextFile.h"

namespace data {

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

}  // namespace data
