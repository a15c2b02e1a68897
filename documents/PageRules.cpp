#include "documents/PageRules.h"

#include "documents/TitleTexts.h"

#include <QStringList>

#include <algorithm>

namespace {

// How many characters of the text from pos make the next line of at most
// width characters: up to the last blank that fits, so that words stay whole;
// a word longer than the whole line is cut at the width. *skip tells how many
// characters after the line are dropped (the blank where the line ends).
int LineLength(const QString& text, int pos, int width, int* skip) {
    *skip = 0;
    const int left = int(text.size()) - pos;
    if (left <= width) return left;
    if (text.at(pos + width) == u' ') {
        *skip = 1;
        return width;
    }
    const int blank = int(text.lastIndexOf(u' ', pos + width - 1));
    if (blank > pos) {
        *skip = 1;
        return blank - pos;
    }
    return width;
}

}  // namespace

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
            int skip = 0;
            const int n = LineLength(text, pos, width, &skip);
            add(text.mid(pos, n));
            pos += n + skip;
        }
        if (pos >= length) break;
        int skip = 0;
        const int n = LineLength(text, pos, width - 1, &skip);
        add(text.mid(pos, n));
        pos += n + skip;
    }
    return lines.join(u'\n');
}

int CentredUnderLeft(int titleLeft, int titleWidth, int labelWidth) {
    if (titleWidth < labelWidth) return titleLeft - (labelWidth - titleWidth) / 2;
    if (titleWidth == labelWidth) return titleLeft;
    return titleLeft + (titleWidth - labelWidth) / 2;
}

QString PageFooterCaption(const QString& mainCaption) {
    const qsizetype blank = mainCaption.indexOf(u' ');
    return QStringLiteral("Отпечатано от QUILLANE") + mainCaption.mid(blank < 0 ? 0 : blank, 5);
}

QString EnglishFooterCaption(const QString& mainCaption) {
    const qsizetype blank = mainCaption.indexOf(u' ');
    return QStringLiteral("Printed from EURO QUILLANE") + mainCaption.mid(blank < 0 ? 0 : blank, 5);
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
