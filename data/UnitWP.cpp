#include "data/UnitWP.h"

#include "platform/Paths.h"

TForm8* Form8 = nullptr;

TForm8::TForm8(QWidget* parent) : platform::Form(parent) {
    setupUi(this);
    setFixedSize(409, 277);
    Edit1->setText(platform::Path(platform::PathKind::DataFolder));
}
