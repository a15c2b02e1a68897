#include "data/ProgramUpdate.h"

#include "platform/Exception.h"
#include "platform/Http.h"
#include "platform/LocaleText.h"

#include <QFile>
#include <QFileInfo>

namespace data {

int InstalledVersionNumber(const QString& caption) {
    const QString version = caption.mid(caption.lastIndexOf(u' ') + 1);
    return platform::StrToInt(version.mid(0, 1) + version.mid(2, 1) + version.mid(4, 1) + version.mid(6, 2));
}

int VersionNumber(const QString& text, const QString& address) {
    bool ok = !text.isEmpty();
    for (const QChar c : text) ok = ok && c >= u'0' && c <= u'9';
    // A long answer (a web page, a file in place of the number) is quoted by its start.
    constexpr int quoted = 100;
    const QString shown = text.size() > quoted ? text.left(quoted) + QStringLiteral("…") : text;
    const QString told = QStringLiteral("Проверката за нова версия на програмата прочете от „%1“ „%2“, а това не е "
                                        "номер на версия (цяло число).")
                             .arg(address, shown);
    if (!ok) throw platform::EConvertError(told);
    try {
        return platform::StrToInt(text);
    } catch (const platform::EConvertError&) {
        throw platform::EConvertError(told);
    }
}

QString DownloadText(const QString& address) {
    platform::HttpDownload http(address);
    QString text;
    char piece[1024];
    while (const qint64 n = http.Read(piece, sizeof piece)) text += QString::fromLatin1(piece, qstrnlen(piece, uint(n)));
    return http.Complete() ? text : QString();
}

QString DownloadPercentText(qint64 progress, qint64 maximum) {
    const qint64 kilobytes = maximum / 1024;
    qint64 percent = 100;
    if (kilobytes > 0)
        percent = progress / 1024 * 100 / kilobytes;
    else if (maximum > 0)
        percent = progress * 100 / maximum;
    return QString::number(double(percent), 'f', 4).replace(u'.', platform::DecimalSeparator()) + u'%';
}

bool InstallNewProgram(const QString& address, const ProgramFiles& files, const DownloadProgress& progress) {
    platform::HttpDownload http(address);
    if (!http.Answered()) return false;
    const qint64 length = http.ContentLength();
    QString target = QFileInfo(files.running).absolutePath() + u'/' + address.mid(address.lastIndexOf(u'/') + 1);
    if (QFileInfo(target) == QFileInfo(files.running) || target.endsWith(u'/')) target = files.running + QStringLiteral(".new");

    QFile file(target);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) return false;
    if (progress.started) progress.started(length);
    char piece[1024];
    qint64 written = 0;
    bool writeOk = true;
    while (const qint64 n = http.Read(piece, sizeof piece)) {
        if (file.write(piece, n) != n) {
            writeOk = false;
            break;
        }
        written += n;
        if (progress.piece) progress.piece(written, length);
    }
    writeOk = file.flush() && writeOk;
    file.close();
    // An empty answer brings no program.
    const bool ready = writeOk && http.Complete() && written == length && written > 0 &&
                       file.setPermissions(file.permissions() | QFile::ExeOwner | QFile::ExeGroup |
                                           QFile::ExeOther);
    if (!ready) {
        QFile::remove(target);
        return false;
    }

    if (QFile::exists(files.movedAside)) QFile::remove(files.movedAside);
    const bool hadRunning = QFile::exists(files.running);
    if (hadRunning && !QFile::rename(files.running, files.movedAside)) {
        QFile::remove(target);
        return false;
    }
    if (!QFile::rename(target, files.running)) {
        QFile::remove(target);
        if (hadRunning) QFile::rename(files.movedAside, files.running);
        return false;
    }
    return true;
}

bool PutBackOldProgram(const ProgramFiles& files) {
    if (!QFile::exists(files.movedAside)) return false;
    QFile::remove(files.running);
    return QFile::rename(files.movedAside, files.running);
}

}  // namespace data
