#include "platform/Dialogs.h"

#include "platform/Application.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QScreen>
#include <utility>

namespace platform {
namespace {

DialogResponder& Responder() {
    static DialogResponder responder;
    return responder;
}

QMessageBox::Icon BoxIcon(DialogIcon icon) {
    switch (icon) {
    case DialogIcon::Information: return QMessageBox::Information;
    case DialogIcon::Warning: return QMessageBox::Warning;
    case DialogIcon::Error: return QMessageBox::Critical;
    case DialogIcon::Question: return QMessageBox::Question;
    case DialogIcon::None: break;
    }
    return QMessageBox::NoIcon;
}

QString ButtonText(DialogAnswer answer) {
    switch (answer) {
    case DialogAnswer::Yes: return QStringLiteral("&Да");
    case DialogAnswer::No: return QStringLiteral("&Не");
    case DialogAnswer::Cancel: return QStringLiteral("Отказ");
    case DialogAnswer::Ok: break;
    }
    return QStringLiteral("OK");
}

QMessageBox::ButtonRole ButtonRole(DialogAnswer answer) {
    switch (answer) {
    case DialogAnswer::Yes: return QMessageBox::YesRole;
    case DialogAnswer::No: return QMessageBox::NoRole;
    case DialogAnswer::Cancel: return QMessageBox::RejectRole;
    case DialogAnswer::Ok: break;
    }
    return QMessageBox::AcceptRole;
}

// The window a dialog asked for without an owner belongs to: the one the user
// is working in.
QWidget* RaisingWindow() {
    for (QWidget* w : {QApplication::activeModalWidget(), QApplication::activeWindow(), Application::InputWindow(),
                       QApplication::focusWidget() ? QApplication::focusWidget()->window() : nullptr})
        if (w && w->isVisible()) return w->window();
    return nullptr;
}

// A dialog opens above its owner, and above every window that stays on top
// of the others: otherwise it would wait, unseen, behind the goods list, say.
void KeepAbove(QWidget* dialog) {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w != dialog && w->isVisible() && w->windowFlags().testFlag(Qt::WindowStaysOnTopHint)) {
            dialog->setWindowFlag(Qt::WindowStaysOnTopHint);
            return;
        }
}

DialogResponse ShowBox(const DialogRequest& request, const std::vector<DialogAnswer>& buttons) {
    QMessageBox box(BoxIcon(request.icon), request.title, request.text, QMessageBox::NoButton,
                    request.owner ? request.owner->window() : nullptr);
    KeepAbove(&box);
    std::vector<std::pair<QAbstractButton*, DialogAnswer>> made;
    for (DialogAnswer answer : buttons) {
        QPushButton* button = box.addButton(ButtonText(answer), ButtonRole(answer));
        made.emplace_back(button, answer);
        if (answer == DialogAnswer::Cancel) box.setEscapeButton(button);
    }
    if (!made.empty()) box.setDefaultButton(static_cast<QPushButton*>(made.front().first));
    if (request.kind == DialogKind::Question) {
        // A question is centred on the screen, not over its window.
        box.adjustSize();
        if (QScreen* screen = box.screen()) box.move(screen->availableGeometry().center() - box.rect().center());
    }
    box.exec();
    for (const auto& [button, answer] : made)
        if (box.clickedButton() == button) return {answer, {}};
    return DialogResponse::Cancel();
}

DialogResponse ShowFileDialog(const DialogRequest& request) {
    const bool save = request.kind == DialogKind::SaveFile;
    QFileDialog dialog(request.owner, request.title, request.startFolder);
    KeepAbove(&dialog);
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setNameFilters(QtNameFilters(request.filter));
    dialog.setDefaultSuffix(request.defaultSuffix);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !request.overwritePrompt);
    if (request.showHidden) dialog.setFilter(dialog.filter() | QDir::Hidden);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return DialogResponse::Cancel();
    return DialogResponse::Path(dialog.selectedFiles().constFirst());
}

DialogResponse ShowFolderDialog(const DialogRequest& request) {
    const QString start = QFileInfo(request.startFolder).isDir() ? request.startFolder : QDir::rootPath();
    QFileDialog dialog(request.owner, request.title, start);
    KeepAbove(&dialog);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    if (!request.root.isEmpty()) dialog.setLabelText(QFileDialog::LookIn, request.root);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return DialogResponse::Cancel();
    return DialogResponse::Path(dialog.selectedFiles().constFirst());
}

DialogResponse ShowPrintDialog(const DialogRequest& request) {
    QPrintDialog dialog(request.printer, request.owner);
    KeepAbove(&dialog);
    if (request.kind == DialogKind::Print) {
        dialog.setMinMax(request.minPage, request.maxPage);
        dialog.setFromTo(request.minPage, request.maxPage);
    } else {
        dialog.setOptions(QAbstractPrintDialog::PrintShowPageSize);
    }
    if (!request.title.isEmpty()) dialog.setWindowTitle(request.title);
    return dialog.exec() == QDialog::Accepted ? DialogResponse::Ok() : DialogResponse::Cancel();
}

DialogResponse ShowReal(const DialogRequest& request) {
    switch (request.kind) {
    case DialogKind::Message:
    case DialogKind::MessageBox:
    case DialogKind::Exception:
        return ShowBox(request, {DialogAnswer::Ok});
    case DialogKind::Question:
        return ShowBox(request, request.buttons);
    case DialogKind::OpenFile:
    case DialogKind::SaveFile:
        return ShowFileDialog(request);
    case DialogKind::Folder:
        return ShowFolderDialog(request);
    case DialogKind::Print:
    case DialogKind::PrinterSetup:
        return ShowPrintDialog(request);
    }
    return DialogResponse::Cancel();
}

QString IconTitle(DialogIcon icon) {
    switch (icon) {
    case DialogIcon::Warning: return QStringLiteral("Предупреждение");
    case DialogIcon::Error: return QStringLiteral("Грешка");
    case DialogIcon::Information: return QStringLiteral("Информация");
    case DialogIcon::Question: return QStringLiteral("Потвърждение");
    case DialogIcon::None: break;
    }
    return QGuiApplication::applicationDisplayName();
}

std::optional<QString> FileDialog(DialogKind kind, const FileDialogOptions& options) {
    DialogRequest request;
    request.kind = kind;
    request.title = options.title;
    request.filter = options.filter;
    request.defaultSuffix = options.defaultSuffix;
    request.startFolder = options.startFolder;
    request.overwritePrompt = options.overwritePrompt;
    request.showHidden = options.showHidden;
    request.owner = options.owner;
    const DialogResponse response = DialogGate::Ask(request);
    if (response.answer != DialogAnswer::Ok || response.path.isEmpty()) return std::nullopt;
    return response.path;
}

}  // namespace

DialogResponder DialogGate::SetResponder(DialogResponder responder) {
    return std::exchange(Responder(), std::move(responder));
}

DialogResponse DialogGate::Ask(const DialogRequest& request) {
    DialogRequest owned = request;
    if (!owned.owner) owned.owner = RaisingWindow();
    if (Responder()) return Responder()(owned);
    return ShowReal(owned);
}

void ShowMessage(const QString& text) {
    DialogRequest request;
    request.kind = DialogKind::Message;
    request.title = QGuiApplication::applicationDisplayName();
    request.text = text;
    DialogGate::Ask(request);
}

DialogAnswer MessageDlg(const QString& text, DialogIcon icon, const std::vector<DialogAnswer>& buttons) {
    DialogRequest request;
    request.kind = DialogKind::Question;
    request.title = IconTitle(icon);
    request.text = text;
    request.icon = icon;
    request.buttons = buttons.empty() ? std::vector<DialogAnswer>{DialogAnswer::Ok} : buttons;
    return DialogGate::Ask(request).answer;
}

void ShowMessageBox(const QString& text, const QString& title, DialogIcon icon, QWidget* owner) {
    DialogRequest request;
    request.kind = DialogKind::MessageBox;
    request.title = title;
    request.text = text;
    request.icon = icon;
    request.owner = owner;
    DialogGate::Ask(request);
}

std::optional<QString> OpenFileDialog(const FileDialogOptions& options) {
    return FileDialog(DialogKind::OpenFile, options);
}

std::optional<QString> SaveFileDialog(const FileDialogOptions& options) {
    return FileDialog(DialogKind::SaveFile, options);
}

QStringList QtNameFilters(const QString& filter) {
    QStringList result;
    const QStringList parts = filter.split(QLatin1Char('|'));
    for (int i = 0; i < parts.size(); i += 2) {
        const QString description = parts[i].trimmed();
        QStringList patterns;
        if (i + 1 < parts.size())
            for (const QString& p : parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts))
                if (!p.trimmed().isEmpty()) patterns.append(p.trimmed());
        if (patterns.isEmpty()) patterns.append(QStringLiteral("*"));
        if (description.isEmpty() && i + 1 >= parts.size()) continue;
        const QString tail = QLatin1Char('(') + patterns.join(QLatin1Char(' ')) + QLatin1Char(')');
        if (description.endsWith(tail))
            result.append(description);
        else if (description.isEmpty())
            result.append(tail);
        else
            result.append(description + QLatin1Char(' ') + tail);
    }
    return result;
}

std::optional<QString> ChooseFolder(const QString& caption, const QString& root, const QString& startFolder,
                                    QWidget* owner) {
    DialogRequest request;
    request.kind = DialogKind::Folder;
    request.title = caption;
    request.root = root;
    request.startFolder = startFolder;
    request.owner = owner;
    const DialogResponse response = DialogGate::Ask(request);
    if (response.answer != DialogAnswer::Ok || response.path.isEmpty()) return std::nullopt;
    return response.path;
}

bool PrintDialog(QPrinter& printer, QWidget* owner) {
    DialogRequest request;
    request.kind = DialogKind::Print;
    request.printer = &printer;
    request.owner = owner;
    request.minPage = 1;
    request.maxPage = 1;
    return DialogGate::Ask(request).answer == DialogAnswer::Ok;
}

bool PrinterSetupDialog(QPrinter& printer, QWidget* owner) {
    DialogRequest request;
    request.kind = DialogKind::PrinterSetup;
    request.title = QStringLiteral("Настройки на принтера");
    request.printer = &printer;
    request.owner = owner;
    return DialogGate::Ask(request).answer == DialogAnswer::Ok;
}

ScriptedDialogs::ScriptedDialogs() {
    previous_ = DialogGate::SetResponder([this](const DialogRequest& request) {
        shown_.push_back(request);
        const bool okOnly = request.kind == DialogKind::Message || request.kind == DialogKind::MessageBox ||
                            request.kind == DialogKind::Exception;
        if (okOnly) return DialogResponse::Ok();
        if (answers_.empty()) {
            ++unanswered_;
            return DialogResponse::Cancel();
        }
        DialogResponse response = answers_.front();
        answers_.pop_front();
        return response;
    });
}

ScriptedDialogs::~ScriptedDialogs() { DialogGate::SetResponder(std::move(previous_)); }

}  // namespace platform
