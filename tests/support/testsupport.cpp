#include "support/testsupport.h"

#include "platform/LocaleText.h"

#include <QApplication>
#include <QDir>
#include <QTest>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>
#include <stdexcept>

namespace testsupport {

TempFolder::TempFolder() : dir_(std::make_unique<QTemporaryDir>()) {
    if (!dir_->isValid()) throw std::runtime_error("cannot make a temporary folder");
}

BulgarianLocale::BulgarianLocale() {
    platform::SetDecimalSeparatorOverride(QChar(u','));
    platform::SetCurrencyDecimalsOverride(2);
    platform::SetShortDateFormatOverride(QStringLiteral("dd.MM.yyyy"));
}

BulgarianLocale::~BulgarianLocale() {
    platform::SetDecimalSeparatorOverride(std::nullopt);
    platform::SetCurrencyDecimalsOverride(std::nullopt);
    platform::SetShortDateFormatOverride(std::nullopt);
}

void WriteFile(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) throw std::runtime_error("cannot write " + path.toStdString());
    f.write(bytes);
}

QByteArray ReadFile(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return {};
    return f.readAll();
}

void TypeKeys(QWidget* first, const QString& text) {
    for (const QChar c : text) {
        QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : first;
        const auto key = static_cast<Qt::Key>(c.toUpper().unicode());
        QTest::sendKeyEvent(QTest::Press, target, key, QString(c), Qt::NoModifier);
        target = QApplication::focusWidget() ? QApplication::focusWidget() : first;
        QTest::sendKeyEvent(QTest::Release, target, key, QString(c), Qt::NoModifier);
    }
}

QString ShownText(const platform::ScriptedDialogs& dialogs) {
    if (dialogs.Shown().size() == 1) return dialogs.Shown()[0].text;
    ADD_FAILURE() << dialogs.Shown().size() << " dialogs shown, not one";
    return {};
}

::testing::AssertionResult ShownOnceWith(const platform::ScriptedDialogs& dialogs, const QString& part) {
    if (dialogs.Shown().size() != 1) return ::testing::AssertionFailure() << dialogs.Shown().size() << " dialogs shown, not one";
    if (dialogs.Shown()[0].text.contains(part)) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "„" << part.toStdString() << "“ not in „" << dialogs.Shown()[0].text.toStdString() << "“";
}

}  // namespace testsupport
