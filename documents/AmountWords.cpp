#include "documents/AmountWords.h"

#include "platform/LocaleText.h"

#include <QStringList>

#include <algorithm>

namespace {

// The digit at a place counted from the end (0 = units); 0 where the text
// is too short or holds no digit there.
int DigitFromEnd(const QString& digits, int place) {
    const qsizetype at = digits.size() - 1 - place;
    if (at < 0) return 0;
    const QChar c = digits[at];
    return (c >= u'0' && c <= u'9') ? c.unicode() - u'0' : 0;
}

QString M(int k) { return BgMasculineWords[k].toString(); }
QString N(int k) { return BgNeuterWords[k].toString(); }
QString E(int k) { return EnOnesWords[k].toString(); }

QString LastDigits(const QString& digits, int count) { return digits.right(count); }

bool EnLabelEmpty(const QString& label) {
    const qsizetype feed = label.indexOf(u'\n');
    return (feed < 0 ? label : label.mid(feed + 1)).isEmpty();
}

}  // namespace

// ---- Bulgarian ----

void BgWords1(const QString& digits, QString& label) { label += M(DigitFromEnd(digits, 0)); }

void BgWords2(const QString& digits, QString& label) {
    const int t = DigitFromEnd(digits, 1);
    const int u = DigitFromEnd(digits, 0);
    if (t == 1) {
        const QString prefix = label.isEmpty() ? QString() : QStringLiteral("и ");
        if (u == 0) label += prefix + QStringLiteral("десет");
        else if (u == 1) label += prefix + M(1) + QStringLiteral("адесет");
        else label += prefix + M(u) + QStringLiteral("надесет");
    } else if (t >= 2) {
        label += M(t) + QStringLiteral("десет");
        if (u >= 1) label += QStringLiteral(" и ") + M(u);
    }
}

void BgWords3(const QString& digits, QString& label) {
    const int h = DigitFromEnd(digits, 2);
    const int t = DigitFromEnd(digits, 1);
    const int u = DigitFromEnd(digits, 0);
    if (h == 1) label += QStringLiteral("сто ");
    else if (h == 2 || h == 3) label += N(h) + QStringLiteral("ста ");
    else if (h >= 4) label += N(h) + QStringLiteral("стотин ");
    if (t == 0 && u >= 1) {
        label += QStringLiteral("и ");
        BgWords1(LastDigits(digits, 1), label);
    } else if (t >= 1) {
        BgWords2(LastDigits(digits, 2), label);
    }
}

void BgWords4(const QString& digits, QString& label) {
    const int k = DigitFromEnd(digits, 3);
    const int h = DigitFromEnd(digits, 2);
    const int t = DigitFromEnd(digits, 1);
    const int u = DigitFromEnd(digits, 0);
    if (k == 1) label += QStringLiteral("хиляда ");
    else if (k >= 2) label += N(k) + QStringLiteral(" хиляди ");
    if (h >= 1) {
        BgWords3(LastDigits(digits, 3), label);
    } else if (t >= 1) {
        BgWords2(LastDigits(digits, 2), label);
    } else if (u >= 1) {
        label += QStringLiteral("и ");
        BgWords1(LastDigits(digits, 1), label);
    }
}

namespace {

// The words of the last three digits after the thousands of a five- or
// six-digit number.
void BgThousandsTail(const QString& digits, QString& label) {
    const int h = DigitFromEnd(digits, 2);
    const int t = DigitFromEnd(digits, 1);
    const int u = DigitFromEnd(digits, 0);
    if (h == 0 && t == 0 && u == 0) {
        label += QStringLiteral(" хиляди ");
        return;
    }
    label += QStringLiteral(" хиляди и ");
    if (h >= 1) {
        BgWords3(LastDigits(digits, 3), label);
    } else if (t >= 1) {
        QString words;  // as for an empty label: no "и " before 10 to 19
        BgWords2(LastDigits(digits, 2), words);
        label += words;
    } else {
        BgWords1(LastDigits(digits, 1), label);
    }
}

}  // namespace

void BgWords5(const QString& digits, QString& label) {
    BgWords2(digits.left(digits.size() - 3), label);
    BgThousandsTail(digits, label);
}

void BgWords6(const QString& digits, QString& label) {
    BgWords3(digits.left(digits.size() - 3), label);
    BgThousandsTail(digits, label);
}

// ---- English ----

void EnWords1(const QString& digits, QString& label) { label += E(DigitFromEnd(digits, 0)); }

void EnWords2(const QString& digits, QString& label) {
    const int t = DigitFromEnd(digits, 1);
    const int u = DigitFromEnd(digits, 0);
    if (t == 1) {
        QString word;
        if (u == 0) word = QStringLiteral("ten");
        else if (u <= 3) word = EnTeenWords[10 + u].toString();
        else if (u == 5) word = QStringLiteral("fifteen");
        else if (u == 8) word = QStringLiteral("eighteen");
        else word = E(u) + QStringLiteral("teen");
        label += (EnLabelEmpty(label) ? QString() : QStringLiteral("and ")) + word;
        return;
    }
    QString tens;
    switch (t) {
    case 2: tens = QStringLiteral("twenty"); break;
    case 3: tens = QStringLiteral("thirty"); break;
    case 4: tens = QStringLiteral("forty"); break;
    case 5: tens = QStringLiteral("fifty"); break;
    case 8: tens = QStringLiteral("eighty"); break;
    case 6: case 7: case 9:
        label += E(t) + QStringLiteral("ty ");
        if (u >= 1) label += E(u);
        return;
    default: return;
    }
    label += tens;
    if (u >= 1) label += u' ' + E(u);
}

void EnWords3(const QString& digits, QString& label) {
    const int h = DigitFromEnd(digits, 2);
    const int t = DigitFromEnd(digits, 1);
    const int u = DigitFromEnd(digits, 0);
    if (h >= 1) label += E(h) + QStringLiteral(" hundred ");
    if (t == 0 && u >= 1) {
        label += QStringLiteral("and ");
        EnWords1(LastDigits(digits, 1), label);
    } else if (t >= 1) {
        EnWords2(LastDigits(digits, 2), label);
    }
}

void EnWords4(const QString& digits, QString& label) {
    const int k = DigitFromEnd(digits, 3);
    const int h = DigitFromEnd(digits, 2);
    const int t = DigitFromEnd(digits, 1);
    const int u = DigitFromEnd(digits, 0);
    if (k >= 1) label += E(k) + QStringLiteral(" thousand ");
    if (h >= 1) {
        EnWords3(LastDigits(digits, 3), label);
    } else if (t >= 1) {
        EnWords2(LastDigits(digits, 2), label);
    } else if (u >= 1) {
        label += QStringLiteral(" and ");
        EnWords1(LastDigits(digits, 1), label);
    }
}

namespace {

void EnThousandsTail(const QString& digits, QString& label) {
    const int h = DigitFromEnd(digits, 2);
    const int t = DigitFromEnd(digits, 1);
    const int u = DigitFromEnd(digits, 0);
    if (h == 0 && t == 0 && u == 0) {
        label += QStringLiteral(" thousand ");
        return;
    }
    label += QStringLiteral(" thousand and ");
    if (h >= 1) {
        EnWords3(LastDigits(digits, 3), label);
    } else if (t >= 1) {
        QString words;  // as for an empty label: no "and " before 10 to 19
        EnWords2(LastDigits(digits, 2), words);
        label += words;
    } else {
        EnWords1(LastDigits(digits, 1), label);
    }
}

}  // namespace

void EnWords5(const QString& digits, QString& label) {
    EnWords2(digits.left(digits.size() - 3), label);
    EnThousandsTail(digits, label);
}

void EnWords6(const QString& digits, QString& label) {
    EnWords3(digits.left(digits.size() - 3), label);
    EnThousandsTail(digits, label);
}

void EnWordsFraction(const QString& amount, QString& label) {
    const QChar s = platform::DecimalSeparator();
    const qsizetype at = amount.indexOf(s);
    // The view rebuild hands over the fraction digits alone: then they are the fraction.
    const QString fraction = at < 0 ? amount : amount.mid(at + 1);
    if (platform::StrToInt(fraction) != 0) label += QStringLiteral(" and ") + QStringLiteral(" 0") + s + fraction;
}

namespace {

using Words = void (*)(const QString&, QString&);
constexpr Words kBgWords[] = {BgWords1, BgWords2, BgWords3, BgWords4, BgWords5, BgWords6};
constexpr Words kEnWords[] = {EnWords1, EnWords2, EnWords3, EnWords4, EnWords5, EnWords6};

bool AllDigits(const QString& text) {
    if (text.isEmpty()) return false;
    for (QChar c : text)
        if (c < u'0' || c > u'9') return false;
    return true;
}

// The total's integer part: the text before the decimal separator, or before
// the first blank of a total without one.
QString IntegerPart(const QString& total, qsizetype separatorAt) {
    return separatorAt >= 0 ? total.left(separatorAt) : total.section(u' ', 0, 0);
}

QString Unsigned(const QString& digits) { return digits.startsWith(u'-') ? digits.mid(1) : digits; }

}  // namespace

QString BreakWordsLine(const QString& words, const std::function<bool(const QString&)>& fits) {
    constexpr qsizetype kLine = 50;
    const auto fitting = [&fits](const QString& line) { return line.size() <= kLine && (!fits || fits(line)); };
    QStringList lines;
    QString rest = words;
    while (rest.size() > 1 && !fitting(rest)) {
        // The last blank that leaves the first line within its room.
        qsizetype blank = rest.lastIndexOf(u' ', std::min(kLine, rest.size() - 1));
        while (blank > 0 && !fitting(rest.left(blank))) blank = rest.lastIndexOf(u' ', blank - 1);
        // No such blank (one word longer than the line): cut after half its length.
        const qsizetype cut = blank > 0 ? blank : rest.size() / 2;
        lines << rest.left(cut);
        rest = rest.mid(blank > 0 ? cut + 1 : cut);
    }
    lines << rest;
    return lines.join(u'\n');
}

QString BulgarianAmountWords(const QString& total) {
    if (total.isEmpty() || total.startsWith(u'0')) return {};
    const qsizetype at = total.indexOf(platform::DecimalSeparator());
    const QString integer = IntegerPart(total, at);
    const QString digits = Unsigned(integer);
    QString words;
    if (AllDigits(digits) && digits.size() <= 6 && digits[0] != u'0') kBgWords[digits.size() - 1](digits, words);
    words += integer == QStringLiteral("1") ? QStringLiteral(" лев") : QStringLiteral(" лева");
    if (at >= 0) {
        QString fraction = total.mid(at + 1);
        if (fraction != QString(platform::CurrencyDecimals(), u'0')) {
            if (fraction.size() > 2) fraction = QString::number(platform::StrToInt(fraction.left(2)));
            words += QStringLiteral(" и ") + fraction + QStringLiteral(" ст.");
        }
    }
    return words;
}

QString EnglishAmountWords(const QString& total, const QString& prefix) {
    const qsizetype at = total.indexOf(platform::DecimalSeparator());
    const QString integer = IntegerPart(total, at);
    if (integer.isEmpty()) return {};
    QString digits = Unsigned(integer);
    QString words;
    if (AllDigits(digits)) {
        while (digits.size() > 1 && digits[0] == u'0') digits.remove(0, 1);
        if (digits == QStringLiteral("0")) words = QStringLiteral("zero");
        else if (digits.size() <= 6) kEnWords[digits.size() - 1](digits, words);
    }
    // The fraction digits alone: the words routine takes them whole.
    const QString fraction = at >= 0 ? total.mid(at + 1).section(u' ', 0, 0) : QString();
    if (!fraction.isEmpty()) EnWordsFraction(fraction, words);
    return words + u' ' + prefix;
}
