#include "documents/PageRules.h"

#include "documents/TitleTexts.h"

#include <QStringList>

#include <algorithm>

QString WrapTextToLines(const QString& text, int width) {
    width = std::max(width, 1);  // a width below one character would never use the text up
    const int length = int(text.size());
    if (width >= length) return text;
    QStringList lines;
    const auto add = [&lines](const QString& line) {
        if (!line.isEmpty()) lines.append(line);
    };
    int pos = 0;
    while (pos < length) {
        if (length - pos <= width) {
            add(text.mid(pos));
            break;
        }
        const QString next = text.mid(pos, width);
        const int star = int(next.indexOf(u'*'));
        if (star >= 0) {
            add(next.left(star));
            pos += star + 1;
        } else {
            add(next);
            pos += width;
        }
        const QString second = text.mid(pos, width - 1);
        add(second);
        pos += int(second.size());
    }
    return lines.join(u'\n');
}

int CentredUnderLeft(int titleLeft, int titleWidth, int labelWidth) {
    if (titleWidth < labelWidth) return titleLeft - (labelWidth - titleWidth) / 2;
    if (titleWidth == labelWidth) return titleLeft;
    return titleLeft + (titleWidth - labelWidth) / 2;
}

namespace {
const QString kTrailer = QStringLiteral(" · Quillane Software · тел. +359 2 000 0000 · www.quillane.example");
const QString kTrailerEnglish = QStringLiteral(" · Quillane Software · tel. +359 2 000 0000 · www.quillane.example");
}  // namespace

QString PageFooterCaption(const QString& mainCaption) {
    const qsizetype blank = mainCaption.indexOf(u' ');
    return QStringLiteral("Отпечатано от QUILLANE") + mainCaption.mid(blank < 0 ? 0 : blank, 5) + kTrailer;
}

QString EnglishFooterCaption(const QString& mainCaption) {
    const qsizetype blank = mainCaption.indexOf(u' ');
    return QStringLiteral("Printed from EURO QUILLANE") + mainCaption.mid(blank < 0 ? 0 : blank, 5) + kTrailerEnglish;
}

QRect PrintTargetRect(int pageWidth, int pageHeight) {
    const int left = int(pageWidth * 0.01);
    return QRect(QPoint(left, 0), QPoint(pageWidth - 1, pageHeight - 1));
}

QString JpegFileName(const QString& chosen) {
    return chosen.contains(QStringLiteral(".jpg"), Qt::CaseSensitive) ? chosen : chosen + QStringLiteral(".jpg");
}

int ColourDepthFromText(const QString& text) {
    if (text == QStringLiteral("8 бита цвят")) return 8;
    if (text == QStringLiteral("32 бита цвят")) return 32;
    return 24;
}

QStringList LineGridTitles(bool english, int editorColumns) {
    QStringList titles = english ? QStringList{"Part No.", "Description", "Measr.", "Qty.", "Unit Price"}
                                 : QStringList{"Пор. №", "Наименование на стоките или услугите", "Мярка", "К-во",
                                               "Ед. цена"};
    if (editorColumns == 7) titles << (english ? QStringLiteral("Discount %") : QStringLiteral("Отстъпка %"));
    titles << (english ? QStringLiteral("Total") : QStringLiteral("Стойност"));
    return titles;
}

std::pair<QStringList, QStringList> BilingualLineGridTitles(int editorColumns, const QString& prefix) {
    QStringList bg{"Пор. №", "Наименование на стоките или услугите", "Мярка", "К-во", "Ед. цена BGL",
                   "Ед. цена " + prefix};
    QStringList en{"Part No.", "Description", "Measr.", "Qty.", "Unit Price BGL", "Unit Price " + prefix};
    if (editorColumns == 7) {
        bg << QStringLiteral("Отстъпка %");
        en << QStringLiteral("Discount %");
    }
    bg << QStringLiteral("Стойност BGL") << "Стойност " + prefix;
    en << QStringLiteral("Total BGL") << "Total " + prefix;
    return {bg, en};
}

std::pair<QStringList, QStringList> NoteTableTitles(const QString& kind) {
    QString bg, en;
    if (kind == kDebitNoteTitle) {
        bg = QStringLiteral("Дебит с/ка");
        en = QStringLiteral("Debit account");
    } else if (kind == kCreditNoteTitle) {
        bg = QStringLiteral("Кредит с/ка");
        en = QStringLiteral("Credit account");
    }
    return {{"№", bg, "Сума"}, {"No", en, "Sum"}};
}

QList<int> DiscountColumnWidths(const QList<int>& designWidths, int valueColumns, int gridWidth) {
    QList<int> widths = designWidths;
    widths.insert(std::max<qsizetype>(2, widths.size() - valueColumns), 72);
    if (widths.size() < 2) return widths;
    int others = 0;
    for (qsizetype c = 0; c < widths.size(); ++c)
        if (c != 1) others += widths[c];
    widths[1] = std::max(0, gridWidth - int(widths.size()) - others);
    return widths;
}
