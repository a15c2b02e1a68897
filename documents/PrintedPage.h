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

// The window's controls (forms/PrintedPage.ui), in PageArea of PageScroll.
// Captions are named by their Bulgarian design text; the language switch
// rewrites them.
//   Panel1: the page of a Bulgarian or an English document
//   Header        title block: Label1 title, Label8 mark "Оригинал", Label15 number and date line
//   Image2        own firm's logo
//   Panel3        customer: Label24 "КЛИЕНТ:" / Label33 name, Label28 "Адрес: " /
//                 Label29 address, Label31 "МОЛ:" / Label30 responsible person,
//                 Label25 "ИН по ЗДДС" / Label34 VAT number, Label66 "ИН:" /
//                 Label65 identification number
//   Panel4        supplier: Label45 "ДОСТАВЧИК:" / Label46 name, Label48 "Адрес: " /
//                 Label47 address, Label50 "МОЛ:" / Label49 responsible person,
//                 Label64 "ИН по ЗДДС" / Label11 VAT number, Label69 "ИН:" /
//                 Label10 identification number, Label12 "Местоиздаване:" / Label16 place of issue
//   Panel2        credit or debit note: Label21 note kind, Label22 date and invoice it refers to
//   StringGrid2   the line items
//   Bevel1        rule under the line items
//   Memo4         words, VAT basis, dates, payment and totals:
//                 Label36 "Словом:" / Label18 amount in words; Label19 VAT article,
//                 Label20 VAT reason; Label58 "Дата на данъчното събитие:" /
//                 Label57 date of the tax event; Label27 "Дата на плащане:" /
//                 Label40 date of payment; Label44 "Плащане:" / Label37 payment
//                 method; Label43 "Банка:" / Label38 bank; Label42 "IBAN:" /
//                 Label39 IBAN; Label41 "SWIFT/BIC:" / Label53 SWIFT; rules
//                 Bevel2, Bevel5, Bevel6
//   StringGrid1   the note's account table, shown for a note only
//   Panel6        totals: Label6 "Данъчна основа" / Label5 tax base, Label2 VAT rate
//                 caption / Label7 VAT, Label4 "Сума за плащане" / Label3 sum to pay; rule Bevel4
//   Bevel3        rule above the signatures
//   Panel5        signatures: Label32 "Получател:" / Label35 recipient, Label51
//                 "Съставил:" / Label52 issuer; dotted lines Label14, Label17;
//                 "/име, фамилия и подпис/" Label62, Label13
//   Label9        footer line
//   Image1        hidden: the rendered page that is printed or exported
//   Edit1         "###", outside the page's top-left corner
//   Panel7: the bilingual page
//   Panel14       title block: Label23 title, Label54 mark "Оригинал / Original", Label26 number and date line
//   Image4        own firm's logo
//   Panel11       customer: Label92 "КЛИЕНТ Customer" / Label93 name, Label102
//                 English name; Label95 "Адрес Address" / Label94 address,
//                 Label103 English address; Label97 "МОЛ Resp.Person" / Label96
//                 responsible person, Label104 English responsible person;
//                 Label98 "ИН по ЗДДС/VAT" / Label99 VAT number; Label101 "ИН / ID" /
//                 Label100 identification number
//   Panel12       supplier: Label105 "ДОСТАВЧИК SUPPLIER" / Label106 name, Label118
//                 English name; Label108 "Адрес Address" / Label107 address,
//                 Label117 English address; Label110 "МОЛ Resp.Person" / Label109
//                 responsible person, Label119 English responsible person;
//                 Label111 "ИН по ЗДДС/VAT" / Label114 VAT number; Label112 "ИН / ID" /
//                 Label113 identification number; Label115 "Местоиздаване Place of
//                 publishment" / Label116 place of issue, Label120 English place of issue
//   Panel10       credit or debit note: Label91 note kind, Label90 date and invoice it refers to
//   Bevel7        rule over the line items
//   StringGrid4   the line items, with a Bulgarian and an English header row
//   Panel8        words, VAT basis, dates, payment and totals: Label56 "Словом:
//                 in words:" / Label59 amount in words; Label60 VAT article,
//                 Label61 VAT reason (aligned on the empty Label75); Label78 /
//                 Label77 date of the tax event; Label79 / Label80 date of
//                 payment; Label70 / Label71 payment method; Label68 / Label72
//                 bank; Label67 / Label73 IBAN; Label63 / Label74 SWIFT; rules
//                 Bevel9, Bevel10
//   StringGrid3   the note's account table, shown for a note only
//   Panel9        totals, in лв and in the document's currency: Label81
//                 "Данъчна основа Tax basis" / Label82, Label83; Label84 VAT rate
//                 caption / Label85, Label86; Label89 "Сума за плащане Total amount" /
//                 Label87, Label88; rule Bevel11
//   Bevel8        rule above the signatures
//   Panel13       signatures: Label122 "Получател / Recipient:" / Label121
//                 recipient, Label129 English recipient; Label123 "Съставил / Issuer:" /
//                 Label124 issuer, Label130 English issuer; dotted lines Label126,
//                 Label128; "/име, фамилия и подпис/ /name and signature/" Label125, Label127
//   Label55       English footer line
//   Image3        hidden, unused picture
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
    // Centres the two pages in the window; in a window narrower than the
    // pages they start at its left edge.
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
