#pragma once
// The printed page: two designed pages of 859 x 1168 pixels, Panel1 for a
// Bulgarian or an English document and Panel7 for a bilingual one. The
// document editor writes the texts into the page's labels and grids; the
// page lays its blocks out again after every change, keeps the document's
// currency and page language, and renders the active page into Image1's
// bitmap for printing and export.

#include "documents/PageLanguage.h"
#include "platform/Form.h"
#include "ui_PrintedPage.h"

#include <QAction>
#include <QString>
#include <QStringList>

class TDoc : public platform::Form, public Ui::TDoc {
    Q_OBJECT
public:
    explicit TDoc(QWidget* parent = nullptr);
    ~TDoc() override;

    // Saves the design positions, fills the main window's default page
    // captions, resets the currency.
    void FormCreate() override;

    // Currency symbol and rate of a foreign-currency document, and the page
    // language.
    QString CurrencyPrefix;
    double CurrencyRate = 1.0;
    PageLanguage Language = PageLanguage::Bulgarian;

    // ActionList1: the editor runs them by trigger().
    QAction* New = nullptr;
    QAction* Resized = nullptr;

    // Centres the header lines and finishes the totals for Language.
    void NewExecute();
    // The vertical chain of the page blocks; also run when Memo4, Panel3 or
    // Panel4 change size.
    void ResizedExecute();
    // Centres the two pages in the window.
    void FormResize();

    // The page that is printed: the bilingual page when the document is
    // bilingual, else Panel1.
    QWidget* ActivePage() const;

protected:
    void FormShow() override;
    void resizeEvent(QResizeEvent* event) override;
};

extern TDoc* Doc;

// Re-stacks the labels inside the page blocks after their texts changed.
void FlowPageLabels(TDoc* page);
// Records / puts back the Left and Top of every control in the pages'
// blocks, so that each view rebuild starts from the design layout.
void SaveDesignPositions();
void RestoreDesignPositions();
// Wraps the single-language page's blocks around their contents again.
void AlignPagePanels(TDoc* page);
// Renders the active page with all its visible controls into Doc->Image1's
// bitmap, at the page's own size.
void RenderPageToImage();
