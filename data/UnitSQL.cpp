#include "data/UnitSQL.h"

TForm7* Form7 = nullptr;

TForm7::TForm7(QWidget* parent) : platform::Form(parent) { setupUi(this); }

void TForm7::MoveToSql(const QString& location) {
    // The server set-up and the move of the old tables come with their own window.
    Q_UNUSED(location);
}
