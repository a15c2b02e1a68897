#include "platform/TextFile.h"

#include "platform/CodePage.h"
#include "platform/Exception.h"

#include <QFile>
#include <QSaveFile>

namespace platform {

QStringList LoadLines(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        throw EFileError(QStringLiteral("Файлът „%1“ не може да бъде прочетен: %2").arg(path, f.errorString()));
    const QString text = DecodeCp1251(f.readAll());
    QStringList lines;
    qsizetype start = 0;
    while (start < text.size()) {
        qsizetype end = text.indexOf(QLatin1Char('\n'), start);
        if (end < 0) end = text.size();
        QString line = text.mid(start, end - start);
        if (line.endsWith(QLatin1Char('\r'))) line.chop(1);
        lines << line;
        start = end + 1;
    }
    return lines;
}

void SaveLines(const QString& path, const QStringList& lines) {
    QByteArray bytes;
    for (const QString& line : lines) bytes += EncodeCp1251(line) + "\r\n";
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size() || !f.commit())
        throw EFileError(QStringLiteral("Файлът „%1“ не може да бъде записан: %2").arg(path, f.errorString()));
}

}  // namespace platform
