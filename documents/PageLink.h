#pragma once
// What the editor and the main window ask of the printed page: its document
// currency and rate, its language, and rendering it into its image. The page
// brings these members with it; while it lacks one, the call does nothing,
// so the editor works before the page is complete.

#include <QString>

template <class Page>
void SetPageCurrency(Page* page, const QString& prefix, double rate) {
    if constexpr (requires { page->CurrencyPrefix = prefix; page->CurrencyRate = rate; }) {
        if (!page) return;
        page->CurrencyPrefix = prefix;
        page->CurrencyRate = rate;
    }
}

template <class Page>
void SetPageLanguage(Page* page, int language) {
    if constexpr (requires { page->Language = language; }) {
        if (page) page->Language = language;
    }
}

// Renders the printed page into its image; it comes with the page's layout
// (the page that is printed, ActivePage).
void RenderPageToImage();

template <class Page>
void RenderPageImage(Page* page) {
    if constexpr (requires { page->ActivePage(); }) {
        if (page) RenderPageToImage();
    }
}
