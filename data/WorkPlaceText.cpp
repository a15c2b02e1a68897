#include "data/WorkPlaceText.h"

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

}  // namespace data
