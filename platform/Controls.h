#pragma once
// Helpers that make Qt controls behave as the windows expect where Qt's own
// setters differ: a filled combo box shows no item until one is chosen, and
// choosing an item in code runs no change handler.

#include <QStringList>

class QComboBox;

namespace platform {

// Replaces the items; afterwards no item is current (index -1) and an
// editable combo box keeps the text it showed. No signal is emitted.
void FillComboKeepingNoSelection(QComboBox* combo, const QStringList& items);

// Makes item index current (-1: none) without emitting any signal.
void SetComboIndexSilently(QComboBox* combo, int index);

}  // namespace platform
