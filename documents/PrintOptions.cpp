#include "documents/PrintOptions.h"

#include "documents/DocumentEditor.h"
#include "documents/JpegFile.h"
#include "documents/PageRules.h"
#include "documents/PrintedPage.h"
#include "platform/Exception.h"
#include "platform/Handlers.h"
#include "platform/Printer.h"

#include <QCursor>
#include <QPainter>
#include <QPrinter>
#include <QStyle>

TPrtD* PrtD = nullptr;

namespace {

const QString kPrintCaption = QStringLiteral("Отпечатай");
const int kJpegQuality = 90;

// 216 colours of a 6 x 6 x 6 cube and 40 further greys, so that the page's
// grey text edges and rules keep their shades.
QList<QRgb> PagePalette() {
    QList<QRgb> table;
    for (int r = 0; r < 6; ++r)
        for (int g = 0; g < 6; ++g)
            for (int b = 0; b < 6; ++b) table << qRgb(r * 51, g * 51, b * 51);
    for (int i = 0, level = 0; i < 40; ++level) {
        const int grey = level * 255 / 49;
        if (grey % 51 == 0) continue;
        table << qRgb(grey, grey, grey);
        ++i;
    }
    return table;
}

}  // namespace

TPrtD::TPrtD(QWidget* parent) : platform::Form(parent) {
    setupUi(this);
    setWindowFlag(Qt::WindowStaysOnTopHint);
    setFixedSize(210, 295);
    QFont tahoma;
    tahoma.setFamilies({QStringLiteral("Tahoma"), QStringLiteral("DejaVu Sans Condensed")});
    tahoma.setPixelSize(11);
    setFont(tahoma);
    QFont arial = PageFont(QStringLiteral("Arial,11"));
    SpeedButton1->setFont(arial);
    SpeedButton1->setIcon(style()->standardIcon(QStyle::SP_DialogApplyButton));
    SpeedButton2->setIcon(style()->standardIcon(QStyle::SP_FileDialogContentsView));
    for (QToolButton* button : {SpeedButton1, SpeedButton2}) button->setIconSize(QSize(32, 32));

    SaveDialog1.title = QStringLiteral("Експортирай като снимка");
    SaveDialog1.filter = QStringLiteral("JPEG 8/24/32 bit|*.jpg");
    SaveDialog1.overwritePrompt = true;
    SaveDialog1.showHidden = true;
    SaveDialog1.owner = this;

    connect(SpeedButton1, &QToolButton::clicked, this, platform::Handler(this, &TPrtD::SpeedButton1Click));
    connect(SpeedButton2, &QToolButton::clicked, this, platform::Handler(this, &TPrtD::SpeedButton2Click));
    connect(SpeedButton3, &QToolButton::clicked, this, platform::Handler(this, &TPrtD::SpeedButton3Click));
}

void TPrtD::SpeedButton1Click() {
    PrintOrExportPage(this, Caption() == kPrintCaption ? QStringLiteral("Оригинал") : QStringLiteral("Original"), 0);
}

void TPrtD::SpeedButton2Click() {
    PrintOrExportPage(this, Caption() == kPrintCaption ? QStringLiteral("Копие") : QStringLiteral("Copy"), 0);
}

void TPrtD::SpeedButton3Click() {
    PrintOrExportPage(this, Caption() == kPrintCaption ? QStringLiteral("Оригинал") : QStringLiteral("Original"), 1);
}

void TPrtD::FormShow() {
    const QPoint pointer = QCursor::pos();
    move(pointer.x() - width(), pointer.y());
}

QImage ConvertPageDepth(const QImage& page, int bitsPerPixel) {
    switch (bitsPerPixel) {
    case 8: return page.convertToFormat(QImage::Format_Indexed8, PagePalette(), Qt::ThresholdDither);
    case 32: return page.convertToFormat(QImage::Format_RGB32);
    default: break;
    }
    if (page.format() != QImage::Format_RGB32) return page.convertToFormat(QImage::Format_RGB888);
    // The rendered page, row by row on this thread.
    QImage rgb(page.size(), QImage::Format_RGB888);
    for (int y = 0; y < page.height(); ++y) {
        const QRgb* __restrict from = reinterpret_cast<const QRgb*>(page.constScanLine(y));
        uchar* __restrict to = rgb.scanLine(y);
        const int width = page.width();
        for (int x = 0; x < width; ++x) {
            const QRgb pixel = from[x];
            to[3 * x] = uchar(pixel >> 16);
            to[3 * x + 1] = uchar(pixel >> 8);
            to[3 * x + 2] = uchar(pixel);
        }
    }
    return rgb;
}

void PrintOrExportPage(TPrtD* window, const QString& mark, int mode) {
    // The document is marked printed and saved again, silently, before the
    // page is rebuilt in the editor's language. A save that stores nothing
    // stops the print, and the document is not marked printed: the mark
    // it had before is put back.
    OrderForm->ViewClick();
    const bool printedBefore = OrderForm->CheckBox3->isChecked();
    OrderForm->SetPrinted(true);
    TOrderForm::SaveOutcome saved = TOrderForm::SaveOutcome::NotStored;
    try {
        saved = OrderForm->SaveClick();
    } catch (...) {
        OrderForm->SetPrinted(printedBefore);
        throw;
    }
    if (saved == TOrderForm::SaveOutcome::NotStored || saved == TOrderForm::SaveOutcome::Declined) {
        OrderForm->SetPrinted(printedBefore);
        return;
    }
    OrderForm->RebuildDocumentView(false);
    if (const auto language = OrderForm->ChosenLanguage()) Doc->Language = *language;
    OrderForm->RebuildDocumentView(false);
    platform::Printer().setPageOrientation(QPageLayout::Portrait);
    Doc->Label8->setText(mark);
    RenderPageToImage();
    Doc->Image1->SetPicture(ConvertPageDepth(Doc->Image1->Picture(), ColourDepthFromText(window->ComboBox1->currentText())));
    if (mode == 0) PrintPageImage(window);
    else ExportPageJpeg(window);
}

void PrintPageImage(TPrtD* window) {
    QPrinter& printer = platform::Printer();
    // The printable area as it is before the dialog.
    const QRect target = PrintTargetRect(printer.width(), printer.height());
    printer.setPageOrientation(QPageLayout::Portrait);
    if (!platform::PrintDialog(printer, window)) return;
    QPainter painter;
    if (!painter.begin(&printer))
        throw platform::Exception(QStringLiteral("Принтерът не може да започне печат."));
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(target, Doc->Image1->Picture());
    painter.end();
}

void ExportPageJpeg(TPrtD* window) {
    const QByteArray jpeg = EncodeJpeg(Doc->Image1->Picture(), kJpegQuality);
    const std::optional<QString> chosen = platform::SaveFileDialog(window->SaveDialog1);
    if (!chosen) return;
    WriteJpegBytes(jpeg, JpegFileName(*chosen));
}
