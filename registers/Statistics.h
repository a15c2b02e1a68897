#pragma once
// Statistics of income by month: a bar chart of one own firm's year, paid and
// unpaid, and the chosen month's lists of paid and unpaid invoices for
// printing or copying. Its creation carries the program's start-up sequence.

#include "platform/Form.h"
#include "registers/IncomeStatistics.h"
#include "ui_Statistics.h"

#include <QSet>

class QBarSet;
class QGraphicsRectItem;
class QBarSeries;
class QMenu;

// The window's controls (forms/Statistics.ui):
//   Chart1        the chart of the year's income without VAT, paid and unpaid bars by month
//   Edit1         the year charted
//   UpDown1       the year's up-down, 2010 to 2030
//   DBComboBox1   the own firm charted; its list is refilled as it opens
//   Panel1        the lower band with the month lists
//   ComboBox1     the month listed in Memo1 and Memo2
//   SpeedButton1  "отпечатай платени": prints Memo1
//   SpeedButton2  "отпечатай неплатени": prints Memo2
//   Memo1         the month's paid invoices and their total with VAT
//   Memo2         the month's unpaid invoices and their total with VAT
//   Hidden fields through which the walks read the current document (STORE):
//   DBEdit1       title (DOCUMENT)
//   DBEdit2       number (NUM)
//   DBEdit3       customer (CUSTOMER1)
//   DBEdit4       total with VAT (TOTAL)
//   DBEdit5       VAT rate (PERCENT)
//   DBEdit6       issuing own firm (SUPPLIER1)
//   DBEdit7       date (FROMDATE)
class TStatForm : public platform::Form, public Ui::TStatForm {
    Q_OBJECT
public:
    explicit TStatForm(QWidget* parent = nullptr);

    void FormCreate() override;

    void Edit1Change();
    void ComboBox1Change();
    void Series1Click(int index);
    void DBComboBox1DropDown();
    void SpeedButton1Click();
    void SpeedButton2Click();
    void N1Click();
    void MenuItem1Click();

    // The chosen own firm's name; empty while none is chosen.
    QString SelectedFirm() const;
    // Writes the twelve bars of both series.
    void ShowBars(const registers::YearIncome& income);
    // Makes the chart with its two series, value marks, axes and legend.
    void BuildChart();
    // Puts each bar's value mark above the bar (below a bar under zero).
    void PlaceValueMarks();

    QBarSet* Series1 = nullptr;  // "Платени фактури"
    QBarSet* Series2 = nullptr;  // "Неплатени фактури"
    QBarSeries* Bars = nullptr;  // holds Series1 and Series2
    QMenu* PopupMenu1 = nullptr;  // "Копирай" of Memo1
    QMenu* PopupMenu2 = nullptr;  // "Копирай" of Memo2
    QList<QGraphicsRectItem*> ValueMarks;  // paid and unpaid of each month, in turn

    // Numbers already listed in the month lists being built, and their counters.
    QSet<QString> ListedNumbers;
    int PaidLineCount = 0, UnpaidLineCount = 0;
    double PaidGrossTotal = 0, UnpaidGrossTotal = 0;

protected:
    void FormShow() override {}

private:
    void PrintList(QTextEdit* memo);
};

extern TStatForm* StatForm;
