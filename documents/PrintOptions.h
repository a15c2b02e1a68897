#pragma once
// The print options: print the open document as original or copy, or export
// it as a JPEG picture. Every button first marks the document printed and
// saves it, then renders the printed page at the colour depth of ComboBox1.

#include "platform/Dialogs.h"
#include "platform/Form.h"
#include "ui_PrintOptions.h"

#include <QImage>
#include <QString>

// The window's controls (forms/PrintOptions.ui):
//   SpeedButton1  "Отпечатай ОРИГИНАЛ на документа": prints with the mark "Оригинал"
//   SpeedButton2  "Отпечатай КОПИЕ на документа": prints with the mark "Копие"
//   SpeedButton3  "Експортирай като снимка": the JPEG export
//   ComboBox1     colour depth of the rendered page: "8 бита цвят", "24 бита цвят", "32 бита цвят"
class TPrtD : public platform::Form, public Ui::TPrtD {
    Q_OBJECT
public:
    explicit TPrtD(QWidget* parent = nullptr);

    // Original, copy, export: the mark follows the window's caption
    // ("Отпечатай" for Bulgarian documents, "Print" otherwise).
    void SpeedButton1Click();
    void SpeedButton2Click();
    void SpeedButton3Click();

    // The file dialog of the export.
    platform::FileDialogOptions SaveDialog1;

protected:
    // Opens with the window's top-right corner at the mouse pointer.
    void FormShow() override;
};

extern TPrtD* PrtD;

// Marks, saves, renders the page with the mark and prints it (mode 0) or
// exports it (any other mode).
void PrintOrExportPage(TPrtD* window, const QString& mark, int mode);
// Prints Doc->Image1's bitmap on one portrait page, stretched over the
// printable area with a 1 % left margin, after the print dialog.
void PrintPageImage(TPrtD* window);
// Writes Doc->Image1's bitmap as a JPEG file (quality 90) under the name
// chosen in SaveDialog1.
void ExportPageJpeg(TPrtD* window);
// The rendered page converted to 8 (a colour cube with extra greys), 24 or
// 32 bits per pixel.
QImage ConvertPageDepth(const QImage& page, int bitsPerPixel);
