#include "data/PasswordShift.h"

#include "platform/CodePage.h"

namespace data {

const QByteArray& PasswordKey() {
    static const QByteArray key = QByteArrayLiteral("w816nhlb4nykt,9q1iew8s20k7pdtpzigabfez38qxuxyenbivj7cwnrru2jj57e");
    return key;
}

namespace {

QByteArray Moved(const QByteArray& bytes, int direction) {
    const QByteArray& key = PasswordKey();
    QByteArray result(bytes.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const int b = static_cast<unsigned char>(bytes[i]);
        const int k = static_cast<unsigned char>(key[i % key.size()]);
        result[i] = static_cast<char>((b + direction * k + 256) % 256);
    }
    return result;
}

}  // namespace

QByteArray ShiftPassword(const QByteArray& clear) { return Moved(clear, +1); }

QByteArray UnshiftPassword(const QByteArray& stored) { return Moved(stored, -1); }

QByteArray StoredPassword(const QString& password) { return ShiftPassword(platform::EncodeCp1251(password)); }

QString ClearPassword(const QByteArray& stored) { return platform::DecodeCp1251(UnshiftPassword(stored)); }

}  // namespace data
