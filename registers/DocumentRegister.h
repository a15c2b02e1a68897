#pragma once
// The register of issued documents: every STORE row with a number, ten at a
// time on ten panels in ascending number order, with paging, search by
// number, the printed/paid/annulled flags, opening, deleting by the owner,
// and the year chart of the statistics window.

#include "platform/Form.h"
#include "registers/IncomeStatistics.h"
#include "ui_DocumentRegister.h"

#include <QSet>
#include <QStringList>

class QCheckBox;
class QFrame;
class QLabel;
class QMenu;

// The window's controls (forms/DocumentRegister.ui):
//   Label1        "№", before the search box
//   Edit1         the document number searched for (digits only)
//   SpeedButton1  "търси": searches by number
//   DBNavigator1  refresh of the documents only
//   Button1       "Статистика": the statistics window and its year chart
//   ListBox1      the search results, under the search box until a choice
//   ScrollBar1    the page's first row in the register (steps of one row)
//   Panel1 to Panel10  the ten document slots, shown top to bottom in the order
//                 of PanelNames; each holds a number, title and firm label, a
//                 hidden record-number label and the boxes "Отпечатан",
//                 "Платено", "Анулирана":
//     Panel1   Label2 Label3 Label4, Label32; CheckBox1 CheckBox2 CheckBox3
//     Panel2   Label5 Label6 Label7, Label33; CheckBox4 CheckBox5 CheckBox6
//     Panel4   Label11 Label12 Label13, Label34; CheckBox10 CheckBox11 CheckBox12
//     Panel3   Label8 Label9 Label10, Label35; CheckBox7 CheckBox8 CheckBox9
//     Panel8   Label23 Label24 Label25, Label36; CheckBox22 CheckBox23 CheckBox24
//     Panel7   Label20 Label21 Label22, Label37; CheckBox19 CheckBox20 CheckBox21
//     Panel5   Label14 Label15 Label16, Label38; CheckBox13 CheckBox14 CheckBox15
//     Panel6   Label17 Label18 Label19, Label39; CheckBox16 CheckBox17 CheckBox18
//     Panel10  Label29 Label30 Label31, Label40; CheckBox28 CheckBox29 CheckBox30
//     Panel9   Label26 Label27 Label28, Label41; CheckBox25 CheckBox26 CheckBox27
//   StringGrid1   hidden: the register's rows sorted by number: number, title,
//                 firm, printed, paid, annulled, STORE record number
//   DBCtrlGrid1   hidden, on the documents; detached while a walk moves through them
class TSort : public platform::Form, public Ui::TSort {
    Q_OBJECT
public:
    explicit TSort(QWidget* parent = nullptr);

    static constexpr QRgb kChosenColour = 0xC0DCC0;

    // The ten panel names in display order.
    QStringList PanelNames;

    void FormCreate() override;

    void ScrollBar1Change();
    void Panel1Click(QWidget* Sender);
    void Label28Click(QWidget* Sender);
    void Panel9DblClick(QWidget* Sender);
    void Label28DblClick(QWidget* Sender);
    void DBGrid1DblClick();
    void N2Click();
    void ComboBox1KeyPress(int& Key);
    void SpeedButton1Click();
    void ListBox1Click();
    void FormClick();
    void CheckBox1MouseDown();
    void CheckBox2MouseDown();
    void CheckBox3MouseDown();
    void CheckBox1MouseLeave(QCheckBox* Sender);
    void CheckBox2MouseLeave(QCheckBox* Sender);
    void CheckBox3MouseLeave(QCheckBox* Sender);
    void Button1Click();

    // The statistics window's chart: income without VAT by month, paid and unpaid.
    void ShowYearIncomeChart();
    void SumMonthIncome(const registers::IncomeDocument& d);

    // Search hits: the list item, "@" and the record number.
    QStringList SearchResults;
    bool PrintedBoxPressed = false, PaidBoxPressed = false, AnnulledBoxPressed = false;
    // Numbers already counted in the chart being built.
    QSet<QString> CountedNumbers;

    QMenu* PopupMenu1 = nullptr;  // the panels' context menu
    QAction* N1 = nullptr;  // "Отвори": opens the chosen document
    QAction* N2 = nullptr;  // "Изтрий": deletes it (its owner only)

protected:
    void FormShow() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Slot {
        QFrame* panel;
        QLabel *number, *title, *firm, *recNo;
        QCheckBox *printed, *paid, *annulled;
    };
    Slot SlotOf(const QString& panelName) const;
    // Whether the panel shows a document (an empty one holds no record number).
    bool ShowsDocument(QWidget* panel) const;
    static void SetPanelColour(QWidget* panel, QRgb colour);
    static QRgb PanelColour(const QWidget* panel);
    void StoreFlag(QCheckBox* box, const char* field);

    registers::YearIncome income_;
};

// The texts of the STORE records that the statistics read for one own firm
// and year box, last record first.
std::vector<registers::IncomeDocument> IncomeDocumentsFromLast(const QString& firm, const QString& yearText);

// Opens a stored document in the editor.
void OpenStoredDocument(int recNo);

extern TSort* Sort;
