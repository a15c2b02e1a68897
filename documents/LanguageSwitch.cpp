// The document's language: the three language buttons turn the editor and
// the printed page over to Bulgarian, English or both; the print hand-over,
// the preview and the bold switch of the item grids.

#include "app/MainWindow.h"
#include "documents/DocumentEditor.h"
#include "documents/PrintOptions.h"
#include "documents/PageRules.h"
#include "documents/PrintedPage.h"
#include "documents/Lookup.h"
#include "documents/ViewRules.h"
#include "platform/Controls.h"
#include "platform/Handlers.h"

#include <QSignalBlocker>

namespace {

// The font of a page control with its family changed, size and weight kept.
void SetFontName(QWidget* control, const QString& family) {
    if (auto* label = qobject_cast<::PageLabel*>(control)) {
        QStringList spec = label->PixelFont().split(u',');
        if (spec.isEmpty() || spec[0].isEmpty()) spec = {QString(), QString::number(label->font().pixelSize())};
        spec[0] = family;
        label->SetPixelFont(spec.join(u','));
        return;
    }
    const QFont old = control->font();
    QFont font = PageFont(family + u',' + QString::number(old.pixelSize()) + (old.bold() ? ",bold" : ""));
    control->setFont(font);
}

}  // namespace

void TOrderForm::ConnectViewAndLanguage() {
    // Checking a language button, by a click or in code, switches the document over.
    for (QRadioButton* button : {RadioButton1, RadioButton2, RadioButton3})
        connect(button, &QRadioButton::toggled, this, platform::Handler([this, button](bool checked) {
                    if (checked) RadioButton1Click(button);
                }));
    connect(CheckBox8, &QCheckBox::toggled, this, platform::Handler(this, &TOrderForm::CheckBox8Click));
    connect(Print, &QPushButton::clicked, this, platform::Handler(this, &TOrderForm::PrintClick));
}

void TOrderForm::RadioButton1Click(QAbstractButton* sender) {
    const PageLanguage language = sender == RadioButton2   ? PageLanguage::English
                                  : sender == RadioButton3 ? PageLanguage::Both
                                                           : PageLanguage::Bulgarian;
    if (Doc) Doc->Language = language;
    const bool english = language == PageLanguage::English;
    for (QLineEdit* edit : {Edit1, Edit3, Edit2, Edit8, Edit10})
        edit->setProperty("Hint", PartyHint(edit->objectName(), english));
    {
        const QSignalBlocker quiet(ComboBox2);
        ComboBox2->clear();
        ComboBox2->addItems(DocumentTitles(language));
    }
    platform::SetComboIndexSilently(ComboBox2, 0);
    if (language != PageLanguage::Bulgarian) ComboBox1->setEditText(QString());

    TDoc* const d = Doc;
    if (d) {
        const auto label = [d](const char* name) { return d->findChild<::PageLabel*>(QLatin1String(name)); };
        if (english) {
            for (const PageCaption& c : kPageCaptions) {
                if (::PageLabel* l = label(c.label)) {
                    l->setText(QString::fromUtf8(c.english));
                    SetFontName(l, QStringLiteral("Arial"));
                }
            }
            d->Label2->setText("VAT " + Edit9->text() + "\nTotal VAT");
            SetFontName(d->Label2, QStringLiteral("Arial"));
            d->Label9->setText(EnglishFooterCaption(Main ? Main->Caption() : QString()));
            SetFontName(d->Label9, QStringLiteral("Arial"));
            SetFontName(d->StringGrid1, QStringLiteral("Arial"));
        } else if (language == PageLanguage::Bulgarian) {
            const QStringList& captions = Main ? Main->DocCaptions : QStringList();
            for (const PageCaption& c : kPageCaptions) {
                ::PageLabel* l = label(c.label);
                if (!l) continue;
                if (c.entry < captions.size()) l->setText(captions[c.entry]);
                SetFontName(l, QStringLiteral("Arial"));
            }
            if (kFooterCaptionEntry < captions.size()) d->Label9->setText(captions[kFooterCaptionEntry]);
            for (QWidget* w : std::initializer_list<QWidget*>{d->Label9, d->Label2, d->StringGrid1})
                SetFontName(w, QStringLiteral("Arial"));
            d->CurrencyPrefix.clear();
            d->CurrencyRate = 1.0;
        }
        d->Panel1->setVisible(language != PageLanguage::Both);
        d->Panel7->setVisible(language == PageLanguage::Both);
    }
    for (QWidget* w : std::initializer_list<QWidget*>{Label3, Bevel1, Edit12, Label6, Edit13, Label5, Edit14, BitBtn8,
                                                      BitBtn9, BitBtn10, Label8, Edit15, Label9, Edit16, BitBtn11})
        w->setVisible(language == PageLanguage::Both);
    Panel4->setVisible(language != PageLanguage::English);
    DBGrid1->setVisible(language != PageLanguage::Bulgarian);
    DBNavigator->setVisible(language != PageLanguage::Bulgarian);
    if (english) StringGrid2->setVisible(false);
    if (PrtD)
        PrtD->SetCaption(language == PageLanguage::Bulgarian ? QStringLiteral("Отпечатай") : QStringLiteral("Print"));

    LoadFirmFields();
    EnableSave();
    if (isVisible()) Edit1->setFocus();
}

void TOrderForm::CheckBox8Click() {
    for (QWidget* grid : {static_cast<QWidget*>(StringGrid1), Doc ? static_cast<QWidget*>(Doc->StringGrid2) : nullptr}) {
        if (!grid) continue;
        QFont font = grid->font();
        font.setBold(CheckBox8->isChecked());
        grid->setFont(font);
    }
}

void TOrderForm::PrintClick() {
    RecalculateThroughVatRate();
    if (!PrtD) return;
    PrtD->Close();
    PrtD->Show();
}

std::optional<PageLanguage> TOrderForm::ChosenLanguage() const {
    if (RadioButton1->isChecked()) return PageLanguage::Bulgarian;
    if (RadioButton2->isChecked()) return PageLanguage::English;
    if (RadioButton3->isChecked()) return PageLanguage::Both;
    return std::nullopt;
}
