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
    QBarSeries* Bars = nullptr;
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
