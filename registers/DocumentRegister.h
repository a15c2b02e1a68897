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

    QMenu* PopupMenu1 = nullptr;
    QAction* N1 = nullptr;
    QAction* N2 = nullptr;

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
