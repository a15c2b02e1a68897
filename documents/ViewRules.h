#pragma once
// What the view rebuild and the language switch write onto the printed page,
// without a window: the right alignment of the value column, and per page
// language the document titles and the English captions of the page's labels.

#include "documents/PageLanguage.h"

#include <QString>
#include <QStringList>

#include <array>

// The value column right-aligned: every non-empty text shorter than the
// longest gets two blanks per missing character in front (two blanks are
// one digit's width on the page).
QStringList PadValueTexts(const QStringList& values);

// The document titles of the title box.
QStringList DocumentTitles(PageLanguage language);

// A page label turned over by the language switch: its English caption and
// the entry of the main window's list of Bulgarian captions that restores it.
struct PageCaption {
    const char* label;
    const char* english;
    int entry;
};
extern const std::array<PageCaption, 25> kPageCaptions;
// The entry of the list that restores the footer.
inline constexpr int kFooterCaptionEntry = 26;

