#include "platform/Form.h"

#include "platform/Application.h"

#include <QCloseEvent>

#include <vector>

namespace platform {

namespace {
std::vector<std::function<void()>>& Created() {
    static std::vector<std::function<void()>> created;
    return created;
}
}  // namespace

void RegisterCreatedForm(std::function<void()> destroy) { Created().push_back(std::move(destroy)); }

void ShowCreationError() { Application::ShowCurrentException(); }

void DestroyCreatedForms() {
    auto& created = Created();
    while (!created.empty()) {
        auto destroy = std::move(created.back());
        created.pop_back();
        destroy();
    }
}

Form::Form(QWidget* parent) : QWidget(parent, Qt::Window) {}

void Form::Show() {
    const bool wasVisible = isVisible();
    show();
    raise();
    activateWindow();
    if (!wasVisible) FormShow();
}

void Form::Close() { close(); }

void Form::closeEvent(QCloseEvent* event) {
    FormClose();
    QWidget::closeEvent(event);
}

}  // namespace platform
