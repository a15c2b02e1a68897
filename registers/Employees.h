#pragma once
// The employees: one editable grid and its navigator over the data module's
// EMPLOYEE data set. The window has no logic of its own; the data module
// gives rows their keys and commits every change.

#include "platform/Form.h"
#include "ui_Employees.h"

// The window's controls (forms/Employees.ui):
//   DBNavigator1  first, last, insert, delete, post, cancel and refresh over the employees
//   DBGrid1       the employees (EMPLOYEE), edited in place: number, name in
//                 Bulgarian and English, phone, salary, hired on
class TEmp : public platform::Form, public Ui::TEmp {
    Q_OBJECT
public:
    explicit TEmp(QWidget* parent = nullptr);

    void FormCreate() override;
};

extern TEmp* Emp;
