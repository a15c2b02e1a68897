#include "documents/IdentificationNumber.h"

#include "platform/Exception.h"

bool IdentificationNumberValid(const QString& text) {
    if (text.size() != 9) return false;
    int d[9];
    for (int i = 0; i < 9; ++i) {
        const QChar c = text[i];
        if (c < u'0' || c > u'9')
            throw platform::EConvertError(QStringLiteral("„%1“ не е правилно число.").arg(text));
        d[i] = c.unicode() - u'0';
    }
    int r = 0;
    for (int i = 0; i < 8; ++i) r += (i + 1) * d[i];
    r %= 11;
    if (r == 10) {
        r = 0;
        for (int i = 0; i < 8; ++i) r += (i + 3) * d[i];
        r %= 11;
        if (r == 10) return d[8] == 0;
    }
    return r == d[8];
}
