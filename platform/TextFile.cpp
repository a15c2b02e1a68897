#include "platform/TextFile.h"

#include "platform/CodePage.h"
#include "platform/Exception.h"

#include <QFile>
#include <QSaveFile>

namespace platform {

QStringList LoadLines(const QString& path, TextEncoding encoding) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        throw EFileError(QStringLiteral("Файлът „%1“ не може да бъде прочетен: %2").arg(path, f.errorString()));
    const QByteArray bytes = f.readAll();
    const QString text = encoding == TextEncoding::Windows1251 ? DecodeCp1251(bytes) : QString::fromLocal8Bit(bytes);
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

void SaveLines(const QString& path, const QStringList& lines, TextEncoding encoding) {
    QByteArray bytes;
    for (const QString& line : lines)
        bytes += (encoding == TextEncoding::Windows1251 ? EncodeCp1251(line) : line.toLocal8Bit()) + "\r\n";
    QSaveFile f(path);
    f.setDirectWriteFallback(true);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size() || !f.commit())
        throw EFileError(QStringLiteral("Файлът „%1“ не може да бъде записан: %2").arg(path, f.errorString()));
}

}  // namespace platform
