#include "platform/Form.h"

#include <QCloseEvent>
#include <QShowEvent>

namespace platform {

Form::Form(QWidget* parent) : QWidget(parent, Qt::Window) {}

void Form::Show() {
    show();
    raise();
    activateWindow();
}

void Form::Close() { close(); }

void Form::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!event->spontaneous()) FormShow();
}

void Form::closeEvent(QCloseEvent* event) {
    FormClose();
    QWidget::closeEvent(event);
}

}  // namespace platform
