#pragma once
// The language of the printed page: the editor's three language buttons, the
// page's Language and the stored record's "radio" ("1", "2" or "3").

#include <QString>

enum class PageLanguage { Bulgarian, English, Both };

// The stored "radio" text of a language.
inline QString StoredLanguageText(PageLanguage language) { return QString::number(static_cast<int>(language) + 1); }
