#include "platform/Application.h"
#include "platform/Dialogs.h"
#include "support/testsupport.h"

#include <QAbstractButton>
#include <QFileDialog>
#include <QMessageBox>
#include <QPrinter>
#include <QTimer>
#include <gtest/gtest.h>

#include <functional>

namespace {

using namespace platform;

class DialogsTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        Application::SetTitle("Quillane 2013");
    }
    // These tests meet the real dialogs, not the test programs' fallback answers.
    void SetUp() override { fallback_ = DialogGate::SetResponder({}); }
    void TearDown() override { DialogGate::SetResponder(fallback_); }

private:
    DialogResponder fallback_;
};

TEST_F(DialogsTest, MessagesAreRecordedWithKindTitleIconAndText) {
    ScriptedDialogs dialogs;
    ShowMessage("Само потребителят Иван може да промени или изтрие този документ.");
    ShowMessageBox("Няма връзка със сървъра!", "", DialogIcon::Warning);
    ShowMessageBox("Обновяването на програмата не може да бъде извършено!", "", DialogIcon::Error);
    const auto& shown = dialogs.Shown();
    ASSERT_EQ(shown.size(), 3u);
    EXPECT_EQ(shown[0].kind, DialogKind::Message);
    EXPECT_EQ(shown[0].title, "Quillane 2013");
    EXPECT_EQ(shown[0].text, "Само потребителят Иван може да промени или изтрие този документ.");
    EXPECT_EQ(shown[1].kind, DialogKind::MessageBox);
    EXPECT_EQ(shown[1].icon, DialogIcon::Warning);
    EXPECT_EQ(shown[2].icon, DialogIcon::Error);
    EXPECT_EQ(dialogs.Unanswered(), 0);  // an OK box needs no scripted answer

    // Scripts nest, and the outer one answers again afterwards.
    {
        ScriptedDialogs inner;
        ShowMessage("вътре");
        EXPECT_EQ(inner.Shown().size(), 1u);
    }
    ShowMessage("вън");
    ASSERT_EQ(shown.size(), 4u);
    EXPECT_EQ(shown[3].text, "вън");
}

TEST_F(DialogsTest, TheWarningQuestionReturnsTheScriptedButton) {
    const std::vector<DialogAnswer> buttons = {DialogAnswer::Yes, DialogAnswer::No, DialogAnswer::Cancel};
    for (DialogAnswer answer : buttons) {
        ScriptedDialogs dialogs;
        dialogs.Answer({answer, {}});
        EXPECT_EQ(MessageDlg("Вече съществува ФАКТУРА с този номер!\nДа презапиша ли промените?", DialogIcon::Warning,
                             buttons),
                  answer);
        ASSERT_EQ(dialogs.Shown().size(), 1u);
        EXPECT_EQ(dialogs.Shown()[0].kind, DialogKind::Question);
        EXPECT_EQ(dialogs.Shown()[0].title, "Предупреждение");
        EXPECT_EQ(dialogs.Shown()[0].buttons, buttons);
    }
    ScriptedDialogs unanswered;
    EXPECT_EQ(MessageDlg("?", DialogIcon::Warning, buttons), DialogAnswer::Cancel);
    EXPECT_EQ(unanswered.Unanswered(), 1);
}

// What each window asks of a file, folder or print dialog is pinned with the
// window; here only what the dialogs hand back.
TEST_F(DialogsTest, FileFolderAndPrintDialogsReturnTheChoiceOrNothingWhenCancelled) {
    QPrinter printer;
    ScriptedDialogs dialogs;
    for (const DialogResponse& answer : {DialogResponse::Path("/tmp/page.jpg"), DialogResponse::Cancel(),
                                         DialogResponse::Path("/data/logo.bmp"), DialogResponse::Path("/srv/quillane"),
                                         DialogResponse::Cancel(), DialogResponse::Ok(), DialogResponse::Cancel()})
        dialogs.Answer(answer);
    FileDialogOptions save;
    save.showHidden = true;
    EXPECT_EQ(SaveFileDialog(save), std::optional<QString>("/tmp/page.jpg"));
    EXPECT_EQ(SaveFileDialog(save), std::nullopt);
    EXPECT_EQ(OpenFileDialog({}), std::optional<QString>("/data/logo.bmp"));
    EXPECT_EQ(ChooseFolder("Изберете", "Работно място", "/home"), std::optional<QString>("/srv/quillane"));
    EXPECT_EQ(ChooseFolder("Изберете", "Работно място", "/home"), std::nullopt);
    EXPECT_TRUE(PrintDialog(printer));
    EXPECT_FALSE(PrintDialog(printer));

    const auto& shown = dialogs.Shown();
    ASSERT_EQ(shown.size(), 7u);
    EXPECT_EQ(shown[0].kind, DialogKind::SaveFile);
    EXPECT_TRUE(shown[0].showHidden);
    EXPECT_EQ(shown[2].kind, DialogKind::OpenFile);
    EXPECT_EQ(shown[3].kind, DialogKind::Folder);
    EXPECT_EQ(shown[5].kind, DialogKind::Print);
}

TEST_F(DialogsTest, WindowsFiltersBecomeQtNameFilters) {
    const std::vector<std::pair<QString, QStringList>> cases = {
        {"JPEG 8/24/32 bit|*.jpg", {"JPEG 8/24/32 bit (*.jpg)"}},
        {"Bitmaps (*.bmp)|*.bmp", {"Bitmaps (*.bmp)"}},
        {"Картинки|*.jpg;*.jpeg|Всички файлове|*.*", {"Картинки (*.jpg *.jpeg)", "Всички файлове (*.*)"}},
        {"Снимки (с логото)|*.bmp", {"Снимки (с логото) (*.bmp)"}},
        {"", {}},
    };
    for (const auto& [filter, expected] : cases) EXPECT_EQ(QtNameFilters(filter), expected) << filter.toStdString();
}

// Without a responder the real Qt dialogs appear; these tests operate them
// as a user would, from inside their event loop.
void WhenModal(std::function<void(QWidget*)> act) {
    QTimer::singleShot(0, [act] {
        QWidget* modal = QApplication::activeModalWidget();
        ASSERT_NE(modal, nullptr);
        act(modal);
    });
}

// Notes the box's title, text and sorted button texts, as the user sees them;
// then presses the button named press, or closes the box by its title bar.
void WhenBoxShown(QStringList& seen, const QString& press) {
    WhenModal([&seen, press](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        ASSERT_NE(box, nullptr);
        QStringList buttons;
        for (QAbstractButton* b : box->buttons()) buttons << b->text();
        buttons.sort();
        seen << box->windowTitle() << box->text() << buttons;
        for (QAbstractButton* b : box->buttons())
            if (b->text() == press) return b->click();
        box->close();
    });
}

TEST_F(DialogsTest, TheRealBoxesHaveBulgarianTitlesAndButtons) {
    const std::vector<DialogAnswer> yesNoCancel = {DialogAnswer::Yes, DialogAnswer::No, DialogAnswer::Cancel};
    QStringList seen;
    WhenBoxShown(seen, "&Не");
    EXPECT_EQ(MessageDlg("Да презапиша ли промените?", DialogIcon::Warning, yesNoCancel), DialogAnswer::No);
    EXPECT_EQ(seen, QStringList({"Предупреждение", "Да презапиша ли промените?", "&Да", "&Не", "Отказ"}));
    for (auto [icon, title] : {std::pair{DialogIcon::Error, "Грешка"}, {DialogIcon::Information, "Информация"},
                               {DialogIcon::Question, "Потвърждение"}}) {
        seen.clear();
        WhenBoxShown(seen, "&Да");
        EXPECT_EQ(MessageDlg("?", icon, yesNoCancel), DialogAnswer::Yes);
        EXPECT_EQ(seen.value(0), QString::fromUtf8(title));
    }

    seen.clear();
    WhenBoxShown(seen, {});  // the title bar's close
    EXPECT_EQ(MessageDlg("?", DialogIcon::Warning, yesNoCancel), DialogAnswer::Cancel);

    seen.clear();
    WhenBoxShown(seen, {});
    ShowMessage("Грешно име или парола.");
    EXPECT_EQ(seen.mid(0, 2), QStringList({"Quillane 2013", "Грешно име или парола."}));
}

TEST_F(DialogsTest, TheRealSaveDialogOffersTheFilterAndReturnsTheTypedName) {
    testsupport::TempFolder folder;
    QStringList filters;
    WhenModal([&](QWidget* modal) {
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        ASSERT_NE(dialog, nullptr);
        filters = dialog->nameFilters();
        dialog->selectFile(folder.File("страница"));
        static_cast<QDialog*>(dialog)->accept();
    });
    FileDialogOptions options;
    options.title = "Експортирай като снимка";
    options.filter = "JPEG 8/24/32 bit|*.jpg";
    options.startFolder = folder.Path();
    options.overwritePrompt = true;
    EXPECT_EQ(SaveFileDialog(options), std::optional<QString>(folder.File("страница")));
    EXPECT_EQ(filters, QStringList({"JPEG 8/24/32 bit (*.jpg)"}));  // the filter reaches the real dialog

    WhenModal([](QWidget* modal) { static_cast<QDialog*>(modal)->reject(); });
    EXPECT_EQ(SaveFileDialog(options), std::nullopt);
}

}  // namespace
