#pragma once
// Every message box and standard dialog of the program goes through here.
// Normally the real Qt dialog is shown. A dialog asked for without an owner
// belongs to the window the user is working in (the active one); every dialog
// opens above its owner, and above any window that stays on top. A test installs a responder that is
// handed each request instead and answers it (ScriptedDialogs below does that
// from a queue and keeps a record of what was shown).

#include <QString>
#include <QStringList>
#include <deque>
#include <functional>
#include <optional>
#include <vector>

class QPrinter;
class QWidget;

namespace platform {

enum class DialogKind {
    Message,       // ShowMessage: the application's title, OK
    Question,      // MessageDlg: a titled box with a choice of buttons
    MessageBox,    // ShowMessageBox: given title (often empty) and icon, OK
    Exception,     // the application's exception display
    OpenFile,
    SaveFile,
    Folder,
    Print,
    PrinterSetup,
};

enum class DialogIcon { None, Information, Warning, Error, Question };

enum class DialogAnswer { Ok, Yes, No, Cancel };

// What is shown. Fields that do not concern a kind stay empty.
struct DialogRequest {
    DialogKind kind = DialogKind::Message;
    QString title;
    QString text;
    DialogIcon icon = DialogIcon::None;
    std::vector<DialogAnswer> buttons;  // Question: the buttons offered, in order
    QWidget* owner = nullptr;
    // File and folder dialogs.
    QString filter;  // as the windows give it: "JPEG 8/24/32 bit|*.jpg"
    QString defaultSuffix;
    QString startFolder;
    QString root;    // Folder: the text naming the dialog's root
    bool overwritePrompt = false;
    bool showHidden = false;
    // Print dialog.
    QPrinter* printer = nullptr;
    int minPage = 0;
    int maxPage = 0;
};

struct DialogResponse {
    DialogAnswer answer = DialogAnswer::Cancel;
    QString path;  // the chosen file or folder when the answer is Ok

    static DialogResponse Ok() { return {DialogAnswer::Ok, {}}; }
    static DialogResponse Yes() { return {DialogAnswer::Yes, {}}; }
    static DialogResponse No() { return {DialogAnswer::No, {}}; }
    static DialogResponse Cancel() { return {DialogAnswer::Cancel, {}}; }
    static DialogResponse Path(const QString& path) { return {DialogAnswer::Ok, path}; }
};

using DialogResponder = std::function<DialogResponse(const DialogRequest&)>;

class DialogGate {
public:
    // Installs a responder (empty: real dialogs again); returns the one before.
    static DialogResponder SetResponder(DialogResponder responder);
    static DialogResponse Ask(const DialogRequest& request);
};

// Message boxes.
// A plain message with the application's title and an OK button.
void ShowMessage(const QString& text);
// A box titled after its icon ("Предупреждение", "Грешка", "Информация",
// "Потвърждение") with the given buttons ("&Да", "&Не", "Отказ", "OK"), centred on the
// screen; the first button is the default. Closing the box answers Cancel
// (No when Cancel is not offered).
DialogAnswer MessageDlg(const QString& text, DialogIcon icon, const std::vector<DialogAnswer>& buttons);
// A box with the given title (may be empty), an icon and an OK button.
void ShowMessageBox(const QString& text, const QString& title, DialogIcon icon, QWidget* owner = nullptr);

// File dialogs. filter is "description|patterns|description|patterns", the
// patterns separated by ";". The chosen path, or nothing when cancelled.
struct FileDialogOptions {
    QString title;
    QString filter;
    QString defaultSuffix;     // added to a typed name without one; empty: none
    QString startFolder;
    bool overwritePrompt = false;  // save: ask before replacing a file
    bool showHidden = false;
    QWidget* owner = nullptr;
};
std::optional<QString> OpenFileDialog(const FileDialogOptions& options);
std::optional<QString> SaveFileDialog(const FileDialogOptions& options);
// "Bitmaps (*.bmp)|*.bmp" -> {"Bitmaps (*.bmp)"}; "JPEG|*.jpg;*.jpeg" -> {"JPEG (*.jpg *.jpeg)"}.
QStringList QtNameFilters(const QString& filter);

// Folder choice: caption above the folders, the root's name, the folder to
// start in (the top of the file system when it does not exist).
std::optional<QString> ChooseFolder(const QString& caption, const QString& root, const QString& startFolder,
                                    QWidget* owner = nullptr);

// The print dialog for a one-page job (pages from 1 to 1); true when the user
// confirms. The printer keeps the settings chosen.
bool PrintDialog(QPrinter& printer, QWidget* owner = nullptr);
// The printer set-up dialog (printer, paper); true when confirmed.
bool PrinterSetupDialog(QPrinter& printer, QWidget* owner = nullptr);

// For tests: answers dialogs from a queue while it lives and records each
// request. Boxes with only an OK button are answered OK without taking from
// the queue; any other dialog with no answer left is answered Cancel and
// counted as unanswered.
class ScriptedDialogs {
public:
    ScriptedDialogs();
    ~ScriptedDialogs();
    ScriptedDialogs(const ScriptedDialogs&) = delete;
    ScriptedDialogs& operator=(const ScriptedDialogs&) = delete;

    void Answer(const DialogResponse& response) { answers_.push_back(response); }
    const std::vector<DialogRequest>& Shown() const { return shown_; }
    int Unanswered() const { return unanswered_; }
    void Clear() { shown_.clear(); }

private:
    DialogResponder previous_;
    std::deque<DialogResponse> answers_;
    std::vector<DialogRequest> shown_;
    int unanswered_ = 0;
};

}  // namespace platform
