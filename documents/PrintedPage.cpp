#include "documents/PrintedPage.h"

#include "documents/DocumentEditor.h"

#include "app/MainWindow.h"
#include "documents/CalculatorWindow.h"
#include "documents/ItemColumns.h"
#include "documents/PageRules.h"
#include "platform/Handlers.h"

#include <QPainter>
#include <QScrollBar>
#include <QResizeEvent>

TDoc* Doc = nullptr;

namespace {

// Left and Top of the controls of each page's blocks, as decimal texts.
QStringList DesignPositions1;
QStringList DesignPositions2;

const QColor kShadow(160, 160, 160);  // around the pages
const QColor kFixedCells(0xD2, 0xD2, 0xD2);

// Places label under title + gap ("under") or level with it ("beside").
void Under(QWidget* label, const QWidget* above, int gap) { SetTop(label, Bottom(above) + gap); }
void Beside(QWidget* label, const QWidget* other) { SetTop(label, Top(other)); }

void AppendUnlessLv(PageLabel* label) {
    if (!label->text().contains(QStringLiteral("лв"))) label->setText(label->text() + QStringLiteral(" лв"));
}

// Centres each line under its title by the title's and the line's widths.
void PlaceUnder(QWidget* line, const QWidget* title) {
    SetLeft(line, CentredUnderLeft(Left(title), title->width(), line->width()));
}

// The calculator's running totals back to zero.
void ResetCalculatorSums() {
    Form1->Label7->setText(QStringLiteral("0"));
    Form1->Label3->setText(QStringLiteral("0"));
    Form1->Label5->setText(QStringLiteral("0"));
}

// One line through the calculator's "Добави"; its value comes back.
QString AddLineThroughCalculator(const QString& quantity, const QString& price, const QString& discount) {
    Form1->Edit3->setText(quantity);
    Form1->Edit1->setText(price);
    Form1->Edit2->setText(discount);
    platform::Click(Form1->SpeedButton1);
    return Form1->result->text();
}

// The number of columns of the editor's line grid (seven with the discount).
int EditorLineColumns(const TDoc* page) {
    if (OrderForm) return OrderForm->StringGrid1->ColCount();
    return page->StringGrid4->ColCount() == TwoLanguageColumn::Count(ItemColumn::WithDiscount) ? ItemColumn::WithDiscount
                                                                                               : ItemColumn::WithoutDiscount;
}

// True when the document is printed on the bilingual page: "Български и
// Английски език" is checked in the editor.
bool BilingualChecked() {
    return (OrderForm ? OrderForm->ChosenLanguage() : Doc->Language) == PageLanguage::Both;
}

// Labels written through a plain QLabel pointer (the amount in words, say)
// have not sized themselves yet.
void FitAllLabels(TDoc* page) {
    for (PageLabel* label : page->PageArea->findChildren<PageLabel*>()) label->Fit();
}

void SavePositions(QWidget* page, QStringList& positions) {
    positions.clear();
    for (QObject* child : page->children()) {
        auto* block = qobject_cast<PagePanel*>(child);
        if (!block) continue;
        for (QObject* inner : block->children()) {
            auto* control = qobject_cast<QWidget*>(inner);
            if (!control) continue;
            positions << QString::number(control->x()) << QString::number(control->y());
        }
    }
}

void RestorePositions(QWidget* page, const QStringList& positions) {
    int i = 0;
    QList<PagePanel*> blocks;
    for (QObject* child : page->children()) {
        auto* block = qobject_cast<PagePanel*>(child);
        if (!block) continue;
        blocks << block;
        for (QObject* inner : block->children()) {
            auto* control = qobject_cast<QWidget*>(inner);
            if (!control) continue;
            if (2 * i + 1 < positions.size())
                control->move(positions[2 * i].toInt(), positions[2 * i + 1].toInt());
            ++i;
        }
    }
    // The blocks wrap their contents again, the nested ones first.
    for (PagePanel* block : blocks)
        for (PagePanel* nested : block->findChildren<PagePanel*>(Qt::FindDirectChildrenOnly)) nested->Fit();
    for (PagePanel* block : blocks) block->Fit();
}

void StyleGrid(platform::StringGrid* grid, const QString& font) {
    grid->setFont(PageFont(font));
    QPalette p = grid->palette();
    p.setColor(QPalette::Base, Qt::white);
    p.setColor(QPalette::Window, Qt::white);
    p.setColor(QPalette::Button, kFixedCells);
    p.setColor(QPalette::ButtonText, Qt::black);
    p.setColor(QPalette::Text, Qt::black);
    grid->setPalette(p);
}

}  // namespace

TDoc::TDoc(QWidget* parent) : platform::Form(parent) {
    setupUi(this);
    QPalette shadow = PageArea->palette();
    shadow.setColor(QPalette::Window, kShadow);
    PageArea->setPalette(shadow);
    PageArea->setAutoFillBackground(true);
    PageScroll->verticalScrollBar()->setSingleStep(54);
    PageScroll->verticalScrollBar()->setTracking(true);
    setFont(PageFont(QStringLiteral("Times New Roman,11")));
    setWindowState(Qt::WindowMaximized);
    // The pages scroll in PageScroll; a window smaller than designed needs no
    // second scroll area around it.
    SetScrollsOwnContents(true);

    StyleGrid(StringGrid2, QStringLiteral("Times New Roman,13"));
    StyleGrid(StringGrid1, QStringLiteral("Times New Roman,13"));
    StyleGrid(StringGrid4, QStringLiteral("Arial,11"));
    StyleGrid(StringGrid3, QStringLiteral("Arial,11"));

    New = new QAction(QStringLiteral("New"), this);
    Resized = new QAction(QStringLiteral("Resized"), this);
    connect(New, &QAction::triggered, this, platform::Handler(this, &TDoc::NewExecute));
    connect(Resized, &QAction::triggered, this, platform::Handler(this, &TDoc::ResizedExecute));
    // The blocks that size themselves to their texts run the chain at once.
    for (PagePanel* block : {Memo4, Panel3, Panel4}) block->OnResize = platform::Handler(this, &TDoc::ResizedExecute);
    CurrencyPrefix.clear();
}

TDoc::~TDoc() = default;

void TDoc::FormCreate() {
    SaveDesignPositions();
    const QList<QLabel*> sources{Label8,  Label24, Label28, Label31, Label25, Label66, Label25, Label45, Label48,
                                 Label50, Label64, Label69, Label12, Label36, Label6,  Label4,  Label58, Label27,
                                 Label44, Label43, Label42, Label41, Label32, Label51, Label62, Label13};
    Main->DocCaptions.clear();
    for (QLabel* label : sources) Main->DocCaptions << label->text();
    Main->DocCaptions << PageFooterCaption(Main->Caption());
    CurrencyPrefix.clear();
    CurrencyRate = 1.0;
}

void TDoc::FormShow() {
    AlignPagePanels(this);
    StringGrid2->setEnabled(false);
    StringGrid1->setEnabled(false);
}

void TDoc::resizeEvent(QResizeEvent* event) {
    platform::Form::resizeEvent(event);
    PageScroll->setGeometry(rect());
    FormResize();
    // The area reaches to the page's right edge, so that all of it scrolls into sight.
    PageArea->resize(std::max(width() - PageScroll->verticalScrollBar()->sizeHint().width(), Right(Panel1)), 1200);
}

void TDoc::FormResize() {
    // In a window narrower than the page the page starts at the left edge:
    // a negative left would put its left part out of reach of the scroll bar.
    const int left = std::max(0, width() / 2 - Panel1->width() / 2);
    Panel1->move(left, Panel1->y());
    Panel7->move(left, Panel7->y());
}

QWidget* TDoc::ActivePage() const { return BilingualChecked() ? Panel7 : Panel1; }

void TDoc::ResizedExecute() {
    SetTop(Header, 20);
    SetTop(Panel14, 20);
    for (QWidget* block : {static_cast<QWidget*>(Panel3), static_cast<QWidget*>(Panel11),
                           static_cast<QWidget*>(Panel4), static_cast<QWidget*>(Panel12)})
        SetTop(block, 120);
    SetWidth(Bevel3, Bevel1->width());
    SetTop(Panel2, Bottom(Panel3) + 2);
    SetTop(Panel10, Bottom(Panel11) + 2);
    // The note blocks count whether they are shown or not.
    SetTop(StringGrid2, std::max(Bottom(Panel2), Bottom(Panel4)) + 15);
    SetTop(StringGrid4, std::max(Bottom(Panel10), Bottom(Panel12)) + 15);
    SetTop(Bevel1, Bottom(StringGrid2));
    // The bilingual page's rule stays under its grid as well; left where it
    // was designed, it would cross the party blocks of a longer document.
    SetTop(Bevel7, Bottom(StringGrid4));
    SetTop(Memo4, Bottom(Bevel1) + 6);
    SetTop(Panel8, Bottom(StringGrid4) + 6);
    SetTop(Bevel3, Bottom(Memo4) + 7);
    SetTop(Bevel8, Bottom(Panel8) + 7);
    SetTop(Panel5, Bottom(Bevel3) + 9);
    SetTop(Panel13, Bottom(Bevel8) + 9);
}

void TDoc::NewExecute() {
    FitAllLabels(this);
    SetLeft(Header, Panel1->width() / 2 - Header->width() / 2);
    SetLeft(Panel14, Panel7->width() / 2 - Panel14->width() / 2);
    const std::pair<QWidget*, QWidget*> passes[2][2] = {{{Label8, Label1}, {Label54, Label23}},
                                                        {{Label15, Label1}, {Label26, Label23}}};
    for (const auto& pass : passes) {
        for (const auto& [line, title] : pass) PlaceUnder(line, title);
        if (Left(Label26) < 0) SetLeft(Label26, 0);
    }

    if (Language == PageLanguage::Bulgarian) {
        for (PageLabel* total : {Label5, Label7, Label3}) AppendUnlessLv(total);
    } else if (Language == PageLanguage::English) {
        ResetCalculatorSums();
        const int columns = StringGrid2->ColCount();
        for (int r = 1; r < StringGrid2->RowCount(); ++r) {
            const QString quantity = StringGrid2->Cell(ItemColumn::Quantity, r);
            const QString price = StringGrid2->Cell(ItemColumn::Price, r);
            if (quantity.isEmpty() || price.isEmpty()) continue;
            const QString discount =
                columns == ItemColumn::WithoutDiscount ? QString() : StringGrid2->Cell(ItemColumn::Discount, r);
            StringGrid2->SetCell(ItemColumn::Value(columns), r, AddLineThroughCalculator(quantity, price, discount));
            Label5->setText(Form1->Label7->text());
            Label7->setText(Form1->Label3->text());
            Label3->setText(Form1->Label5->text());
        }
        for (PageLabel* total : {Label5, Label7, Label3}) total->setText(total->text() + u' ' + CurrencyPrefix);
    } else if (Language == PageLanguage::Both) {
        for (PageLabel* total : {Label82, Label85, Label87}) AppendUnlessLv(total);
        ResetCalculatorSums();
        const int itemColumns = EditorLineColumns(this);
        const bool sixColumns = itemColumns == ItemColumn::WithoutDiscount;
        for (int r = 2; r < StringGrid4->RowCount(); ++r) {
            const QString quantity = StringGrid4->Cell(TwoLanguageColumn::Of(ItemColumn::Quantity), r);
            const QString price = StringGrid4->Cell(TwoLanguageColumn::CurrencyPrice, r);
            if (quantity.isEmpty() || price.isEmpty()) continue;
            const QString discount =
                sixColumns ? QString() : StringGrid4->Cell(TwoLanguageColumn::Of(ItemColumn::Discount), r);
            StringGrid4->SetCell(TwoLanguageColumn::CurrencyValue(itemColumns), r,
                                 AddLineThroughCalculator(quantity, price, discount));
            Label83->setText(Form1->Label7->text());
            Label86->setText(Form1->Label3->text());
            Label88->setText(Form1->Label5->text());
        }
        for (PageLabel* total : {Label83, Label86, Label88}) total->setText(total->text() + u' ' + CurrencyPrefix);
    }

    SetLeft(Label2, Left(Label6));
    SetLeft(Label4, Left(Label6));
    SetLeft(Label5, 170);
    SetLeft(Label7, Right(Label5) - Label7->width());
    SetLeft(Label3, Right(Label5) - Label3->width());
    SetLeft(Label84, Left(Label81));
    SetLeft(Label89, Left(Label81));
    SetLeft(Label82, 170);
    SetLeft(Label83, Left(Label82));
    SetLeft(Label85, Right(Label82) - Label85->width());
    SetLeft(Label86, Left(Label85));
    SetLeft(Label87, Right(Label82) - Label87->width());
    SetLeft(Label88, Left(Label87));
}

void FlowPageLabels(TDoc* d) {
    FitAllLabels(d);
    // Header.
    Under(d->Label8, d->Label1, 8);
    Under(d->Label15, d->Label8, 5);
    // Customer.
    Under(d->Label28, d->Label33, 10); Beside(d->Label29, d->Label28);
    Under(d->Label30, d->Label29, 10); Beside(d->Label31, d->Label30);
    Under(d->Label25, d->Label31, 10); Beside(d->Label34, d->Label25);
    Under(d->Label65, d->Label34, 10); Beside(d->Label66, d->Label65);
    // Supplier.
    Under(d->Label47, d->Label46, 10); Beside(d->Label48, d->Label47);
    Under(d->Label49, d->Label47, 10); Beside(d->Label50, d->Label49);
    Under(d->Label64, d->Label49, 10); Beside(d->Label11, d->Label64);
    Under(d->Label69, d->Label64, 10); Beside(d->Label10, d->Label69);
    Under(d->Label12, d->Label69, 10); Beside(d->Label16, d->Label12);
    SetLeft(d->Label16, Right(d->Label12) + 23);
    // Words, payment and totals.
    SetLeft(d->Label20, 0); Under(d->Label20, d->Label19, 0);
    Under(d->Label57, d->Bevel5, 6); Beside(d->Label58, d->Label57);
    Under(d->Label27, d->Label57, 0); Beside(d->Label40, d->Label27);
    Under(d->Bevel6, d->Label27, 4);
    Under(d->Label44, d->Bevel6, 3); Beside(d->Label37, d->Label44);
    Under(d->Label43, d->Label44, 8); Beside(d->Label38, d->Label43);
    Under(d->Label42, d->Label43, 8); Beside(d->Label39, d->Label42);
    Under(d->Label41, d->Label42, 8); Beside(d->Label53, d->Label41);
    // Bilingual header.
    Under(d->Label54, d->Label23, 8);
    Under(d->Label26, d->Label54, 5);
    // Bilingual customer.
    Under(d->Label102, d->Label93, 2);
    Under(d->Label94, d->Label102, 10); Beside(d->Label95, d->Label94);
    Under(d->Label103, d->Label94, 2);
    Under(d->Label96, d->Label103, 10); Beside(d->Label97, d->Label96);
    Under(d->Label104, d->Label96, 2);
    Under(d->Label98, d->Label97, 10); Beside(d->Label99, d->Label98);
    Under(d->Label100, d->Label99, 10); Beside(d->Label101, d->Label100);
    // Bilingual supplier.
    Under(d->Label118, d->Label106, 2);
    Under(d->Label107, d->Label118, 10); Beside(d->Label108, d->Label107);
    Under(d->Label117, d->Label107, 2);
    Under(d->Label109, d->Label117, 10); Beside(d->Label110, d->Label109);
    Under(d->Label119, d->Label109, 2);
    Under(d->Label111, d->Label119, 10); Beside(d->Label114, d->Label111);
    Under(d->Label112, d->Label111, 10); Beside(d->Label113, d->Label112);
    Under(d->Label115, d->Label112, 10); Beside(d->Label116, d->Label115);
    SetLeft(d->Label116, Right(d->Label115) + 23);
    SetLeft(d->Label120, Left(d->Label116)); Under(d->Label120, d->Label116, 2);
    // Bilingual words, payment and totals.
    SetLeft(d->Label61, 0); Under(d->Label61, d->Label75, 0);
    Under(d->Label77, d->Label61, 12); Beside(d->Label78, d->Label77);
    Under(d->Label79, d->Label77, 0); Beside(d->Label80, d->Label79);
    Under(d->Bevel9, d->Label79, 4);
    Under(d->Label70, d->Bevel9, 3); Beside(d->Label71, d->Label70);
    Under(d->Label68, d->Label70, 8); Beside(d->Label72, d->Label68);
    Under(d->Label67, d->Label68, 8); Beside(d->Label73, d->Label67);
    Under(d->Label63, d->Label67, 8); Beside(d->Label74, d->Label63);
}

void SaveDesignPositions() {
    SavePositions(Doc->Panel1, DesignPositions1);
    SavePositions(Doc->Panel7, DesignPositions2);
}

void RestoreDesignPositions() {
    RestorePositions(Doc->Panel1, DesignPositions1);
    RestorePositions(Doc->Panel7, DesignPositions2);
}

void AlignPagePanels(TDoc* d) {
    for (PagePanel* block : {d->Header, d->Panel3, d->Panel4, d->Memo4, d->Panel6, d->Panel2, d->Panel5})
        block->Fit();
}

void RenderPageToImage() {
    FitAllLabels(Doc);
    QWidget* page = Doc->ActivePage();
    // The last page's bitmap is painted over when it has the size and format.
    QImage bitmap = Doc->Image1->TakePicture();
    if (bitmap.size() != page->size() || bitmap.format() != QImage::Format_RGB32)
        bitmap = QImage(page->size(), QImage::Format_RGB32);
    QPainter painter(&bitmap);
    PaintPage(painter, page);
    painter.end();
    Doc->Image1->SetPicture(bitmap);
}
