#pragma once
// A combo box that tells its window just before its list opens, so that the
// window can refill the items first. Like the windows' combo boxes, it shows
// no chosen item when items are added while none was chosen.

#include <QComboBox>

#include <functional>

namespace registers {

class DropDownComboBox : public QComboBox {
    Q_OBJECT
public:
    explicit DropDownComboBox(QWidget* parent = nullptr);
    std::function<void()> OnDropDown;

    void showPopup() override;

private:
    bool noneChosen_ = true;  // while items are being added
    QString shownText_;
};

}  // namespace registers
