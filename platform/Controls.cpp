#include "platform/Controls.h"

#include <QComboBox>
#include <QLineEdit>
#include <QSignalBlocker>

namespace platform {

void FillComboKeepingNoSelection(QComboBox* combo, const QStringList& items) {
    const QSignalBlocker blockCombo(combo);
    QLineEdit* edit = combo->lineEdit();
    const QSignalBlocker blockEdit(edit);
    const QString text = edit ? edit->text() : QString();
    combo->clear();
    combo->addItems(items);
    combo->setCurrentIndex(-1);
    if (edit) edit->setText(text);
}

void SetComboIndexSilently(QComboBox* combo, int index) {
    const QSignalBlocker blockCombo(combo);
    const QSignalBlocker blockEdit(combo->lineEdit());
    combo->setCurrentIndex(index);
}

}  // namespace platform
