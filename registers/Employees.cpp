#include "registers/Employees.h"

#include "data/DataModule.h"

TEmp* Emp = nullptr;

TEmp::TEmp(QWidget* parent) : platform::Form(parent) { setupUi(this); }

void TEmp::FormCreate() {
    if (!DataModule1) return;
    DBNavigator1->SetDataSource(&DataModule1->DataSource5);
    DBGrid1->SetDataSource(&DataModule1->DataSource5);
}
