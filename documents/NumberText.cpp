#include "documents/NumberText.h"

#include "platform/LocaleText.h"

QString NormalizeDecimalText(QString text) {
    try {
        if (text.isEmpty()) return QString();
        const QChar separator = platform::DecimalSeparator();
        if (separator == u',') {
            const qsizetype point = text.indexOf(u'.');
            if (point >= 0) text[point] = separator;
        } else if (separator == u'.') {
            const qsizetype comma = text.indexOf(u',');
            if (comma >= 0) text[comma] = separator;
        }
        platform::StrToFloat(text);
        return text;
    } catch (...) {
        return QString();
    }
}

QString StoredNumberText(const QString& text) {
    const QString normal = NormalizeDecimalText(text);
    return normal.isEmpty() ? text : normal;
}
