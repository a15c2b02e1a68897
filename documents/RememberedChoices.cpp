#include "documents/RememberedChoices.h"

#include "platform/CodePage.h"
#include "platform/Dialogs.h"
#include "platform/TextFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QStringDecoder>

QString& StartupDir() {
    static QString dir;
    return dir;
}

void FormGridUnitInit() {
    if (StartupDir().isEmpty()) StartupDir() = QDir::currentPath();
}

QString MemFilePath() { return StartupDir() + QStringLiteral("/mem.txt"); }
QString PaymentFilePath() { return StartupDir() + QStringLiteral("/payment.txt"); }

QStringList DefaultLastChoices() { return {QStringLiteral("20%"), QStringLiteral("ФАКТУРА"), {}, {}, {}}; }

namespace {

QString Problem(const QString& path, const QString& what) {
    return QStringLiteral("Файлът „%1“ не е прочетен: %2 Използват се стойностите по подразбиране.").arg(path, what);
}

// True when the bytes hold a multi-byte UTF-8 sequence and nothing else
// that UTF-8 forbids: such a file was written in the wrong encoding.
bool LooksLikeUtf8(const QByteArray& bytes) {
    bool multiByte = false;
    for (char b : bytes)
        if (static_cast<unsigned char>(b) >= 0x80) multiByte = true;
    if (!multiByte) return false;
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = decoder(bytes);
    return !decoder.hasError();
}

QSet<QString>& Reported() {
    static QSet<QString> reported;
    return reported;
}

QSet<QString>& Refused() {
    static QSet<QString> refused;
    return refused;
}

}  // namespace

SettingsFile ReadSettingsFile(const QString& path) {
    SettingsFile result;
    const QFileInfo info(path);
    if (!info.exists()) return result;
    if (info.isDir()) {
        result.problem = Problem(path, QStringLiteral("на негово място има папка."));
        return result;
    }
    if (info.size() > MaxSettingsFileSize) {
        result.problem = Problem(path, QStringLiteral("той е твърде голям (%1 байта, а най-много %2).")
                                           .arg(info.size())
                                           .arg(MaxSettingsFileSize));
        return result;
    }
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        result.problem = Problem(path, f.errorString() + u'.');
        return result;
    }
    const QByteArray bytes = f.read(MaxSettingsFileSize + 1);
    for (char b : bytes) {
        const auto c = static_cast<unsigned char>(b);
        if (c == 0x98 || (c < 0x20 && c != '\r' && c != '\n' && c != '\t') || c == 0x7F) {
            result.problem = Problem(path, QStringLiteral("той не е текст в кодировка Windows-1251."));
            return result;
        }
    }
    if (LooksLikeUtf8(bytes)) {
        result.problem = Problem(path, QStringLiteral("текстът му е в кодировка UTF-8, а не в Windows-1251."));
        return result;
    }
    QStringList lines = platform::DecodeCp1251(bytes).split(u'\n');
    if (lines.last().isEmpty()) lines.removeLast();
    for (QString& line : lines)
        if (line.endsWith(u'\r')) line.chop(1);
    result.lines = lines;
    return result;
}

bool NoteSettingsProblem(const QString& path, const QString& problem) {
    if (problem.isEmpty()) {
        Refused().remove(path);
        return false;
    }
    Refused().insert(path);
    if (!Reported().contains(path)) {
        Reported().insert(path);
        platform::ShowMessage(problem);
    }
    return true;
}

bool SettingsFileRefused(const QString& path) { return Refused().contains(path); }

void ForgetSettingsProblems() {
    Reported().clear();
    Refused().clear();
}
