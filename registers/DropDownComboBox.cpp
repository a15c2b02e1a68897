#include "registers/DropDownComboBox.h"

#include "platform/Handlers.h"

#include <QLineEdit>
#include <QSignalBlocker>

namespace registers {

DropDownComboBox::DropDownComboBox(QWidget* parent) : QComboBox(parent) {
    connect(model(), &QAbstractItemModel::rowsAboutToBeInserted, this, [this] {
        noneChosen_ = currentIndex() < 0;
        shownText_ = currentText();
    });
    // Runs after the combo box's own handling, which makes the first item current.
    connect(model(), &QAbstractItemModel::rowsInserted, this, [this] {
        if (!noneChosen_ || currentIndex() < 0) return;
        const QSignalBlocker block(this);
        setCurrentIndex(-1);
        if (lineEdit()) lineEdit()->setText(shownText_);
    });
}

void DropDownComboBox::showPopup() {
    if (OnDropDown) platform::RunHandler([this] { OnDropDown(); });
    QComboBox::showPopup();
}

}  // namespace registers
