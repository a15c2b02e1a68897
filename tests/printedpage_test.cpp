// The printed page with realistic documents in each language: its layout
// with long texts, its rendering, JPEG export and printing to a PDF file.

#include "app/MainWindow.h"
#include "documents/CalculatorWindow.h"
#include "documents/JpegFile.h"
#include "documents/PageRules.h"
#include "documents/PrintOptions.h"
#include "documents/PrintedPage.h"
#include "platform/Dialogs.h"
#include "platform/LocaleText.h"
#include "platform/Printer.h"
#include "documents/DocumentEditor.h"
#include "platform/Paths.h"
#include "support/programtest.h"
#include "support/testdatabase.h"
#include "support/testsupport.h"

#include <QCursor>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QTest>
#include <QPrinter>
#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>

namespace {

const QString kLine = QStringLiteral("Доставка и монтаж на алуминиева дограма, профил серия 4500, бял");

class PrintedPage : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        if (!Main) platform::CreateForm(Main);
        if (!Form1) platform::CreateForm(Form1);
        if (!Doc) platform::CreateForm(Doc);
        if (!PrtD) platform::CreateForm(PrtD);
        platform::SetDecimalSeparatorOverride(QChar(u','));
        platform::SetCurrencyDecimalsOverride(2);
    }

    // What the editor's view rebuild writes for a note with 20 lines and
    // long party texts, followed by the page's own layout passes.
    static void FillPage(int language, int lines = 20) {
        RestoreDesignPositions();
        Doc->Language = static_cast<PageLanguage>(language);
        Doc->CurrencyPrefix = language ? QStringLiteral("EUR") : QString();
        const bool en = language == 1;
        const auto wrap = [](const char* text, int width) { return WrapTextToLines(QString::fromUtf8(text), width); };
        const std::pair<std::vector<PageLabel*>, QString> texts[] = {
            {{Doc->Label1}, en ? "CREDIT NOTE" : "КРЕДИТНО ИЗВЕСТИЕ"},
            {{Doc->Label15}, en ? "No 0000001234 / Date: 06.12.2026" : "№ 0000001234 / Дата: 06.12.2026"},
            {{Doc->Label23}, "КРЕДИТНО ИЗВЕСТИЕ / CREDIT NOTE"},
            {{Doc->Label26}, "No 0000001234 / Дата(Date): 06.12.2026"},
            {{Doc->Label33, Doc->Label93}, wrap("„Търговска къща Балканска звезда – Пловдив“ ЕООД", 43)},
            {{Doc->Label102}, wrap("Balkan Star Trading House - Plovdiv Ltd.", 43)},
            {{Doc->Label29, Doc->Label94}, wrap("гр. Пловдив 4000, бул. „Цар Борис III Обединител“ № 134, ет. 5, ап. 17", 43)},
            {{Doc->Label103}, wrap("134 Tsar Boris III Blvd, 4000 Plovdiv", 43)},
            {{Doc->Label46, Doc->Label106}, wrap("„Северозападна строителна компания Дунав“ АД", 38)},
            {{Doc->Label118}, wrap("Danube Construction Company PLC", 38)},
            {{Doc->Label47, Doc->Label107}, wrap("гр. Видин 3700, ул. „Широка“ № 12, вх. Б, офис 4", 38)},
            {{Doc->Label117}, wrap("12 Shiroka St, entr. B, 3700 Vidin", 38)},
            {{Doc->Label30, Doc->Label96, Doc->Label49, Doc->Label109}, "Иван Петров Георгиев"},
            {{Doc->Label104, Doc->Label119}, "Ivan Petrov Georgiev"},
            {{Doc->Label34, Doc->Label11, Doc->Label99, Doc->Label114}, "BG204567891"},
            {{Doc->Label65, Doc->Label10, Doc->Label100, Doc->Label113}, "204567891"},
            {{Doc->Label16, Doc->Label116}, "гр. Видин"},
            {{Doc->Label120}, "Vidin"},
            {{Doc->Label21, Doc->Label91}, "Кредитно известие"},
            {{Doc->Label22}, "от дата: 01.12.2026, към фактура № 0000001200"},
            {{Doc->Label5, Doc->Label82}, "5 020,00"},
            {{Doc->Label7, Doc->Label85}, "1 004,00"},
            {{Doc->Label3, Doc->Label87}, "6 024,00"},
            {{Doc->Label19, Doc->Label60}, "чл. 113, ал. 4 от ЗДДС"},
            {{Doc->Label20}, "/Доставка с място на изпълнение извън страната/"},
            {{Doc->Label61}, wrap("Доставка с място на изпълнение извън страната", 60)},
            {{Doc->Label57, Doc->Label40, Doc->Label77, Doc->Label80}, "06.12.2026"},
            {{Doc->Label37}, "по сметка"},
            {{Doc->Label71}, "по сметка / bank transfer"},
            {{Doc->Label38, Doc->Label72}, "Обединена българска банка АД"},
            {{Doc->Label39, Doc->Label73}, "BG80BNBG96611020345678"},
            {{Doc->Label53, Doc->Label74}, "UBBSBGSF"},
            {{Doc->Label35, Doc->Label121, Doc->Label52, Doc->Label124}, "Мария Стоянова"},
            {{Doc->Label129, Doc->Label130}, "Maria Stoyanova"},
        };
        for (const auto& [labels, text] : texts)
            for (PageLabel* l : labels) l->setText(text);
        for (QWidget* w : std::initializer_list<QWidget*>{Doc->Panel2, Doc->Panel10, Doc->StringGrid1, Doc->StringGrid3})
            w->setVisible(true);
        const auto [noteBg, noteEn] = NoteTableTitles(QStringLiteral("Кредитно известие"));
        const QStringList note{"1", "411", "120,00", "2", "453/2", "24,00", "3", "", ""};
        Doc->StringGrid1->SetRowTexts(0, noteBg);
        Doc->StringGrid3->SetRowTexts(0, noteBg);
        Doc->StringGrid3->SetRowTexts(1, noteEn);
        for (int i = 0; i < note.size(); ++i) {
            Doc->StringGrid1->SetCell(i % 3, i / 3 + 1, note[i]);
            Doc->StringGrid3->SetCell(i % 3, i / 3 + 2, note[i]);
        }
        Doc->StringGrid2->SetColCount(6);
        Doc->StringGrid2->SetRowCount(lines + 1);
        Doc->StringGrid4->SetColCount(8);
        Doc->StringGrid4->SetRowCount(lines + 2);
        Doc->StringGrid2->SetRowTexts(0, LineGridTitles(en, 6));
        const auto [titlesBg, titlesEn] = BilingualLineGridTitles(6, Doc->CurrencyPrefix);
        Doc->StringGrid4->SetRowTexts(0, titlesBg);
        Doc->StringGrid4->SetRowTexts(1, titlesEn);
        for (int r = 1; r <= lines; ++r) {
            Doc->StringGrid2->SetRowTexts(r, {QString::number(r), kLine, "бр.", "2", "125,50", "251,00"});
            Doc->StringGrid4->SetRowTexts(r + 1, {QString::number(r), kLine, "бр.", "2", "125,50", "64,17", "251,00", ""});
        }
        Form1->FitGridHeight(Doc->StringGrid2);
        Form1->FitGridHeight(Doc->StringGrid4);
        Doc->Label18->setText(QStringLiteral("шест хиляди двадесет и четири лева и 0 ст. (словом)"));
        Doc->Label18->setText(Doc->Label18->text().left(25) + u'\n' + Doc->Label18->text().mid(25));
        Doc->Label59->setText(Doc->Label18->text() + "\nthree thousand eighty and 00/100 EUR");
        for (QWidget* w : Doc->Memo4->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            if (Top(w) > Top(Doc->Label18)) SetTop(w, Top(w) + 12);
        for (QWidget* w : Doc->Panel8->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            if (Top(w) > Top(Doc->Label59)) SetTop(w, Top(w) + 12);
        Doc->Panel1->setVisible(language != 2);
        Doc->Panel7->setVisible(language == 2);
        for (int pass = 0; pass < 2; ++pass) {
            FlowPageLabels(Doc);
            Doc->New->trigger();
            Doc->Resized->trigger();
        }
        RenderPageToImage();
    }

    // Every visible control of the page, with its rectangle on the page.
    static std::vector<std::pair<QWidget*, QRect>> PageControls(QWidget* page) {
        std::vector<std::pair<QWidget*, QRect>> controls;
        for (QWidget* w : page->findChildren<QWidget*>()) {
            if (!w->isVisibleTo(page) || !(qobject_cast<QLabel*>(w) || qobject_cast<platform::StringGrid*>(w)))
                continue;
            if (qobject_cast<QLabel*>(w) && static_cast<QLabel*>(w)->text().isEmpty()) continue;
            controls.emplace_back(w, QRect(w->mapTo(page, QPoint(0, 0)), w->size()));
        }
        return controls;
    }
};

TEST_F(PrintedPage, RealisticPagesKeepEveryTextInsideThePageAndApart) {
    for (int language : {0, 1, 2}) {
        SCOPED_TRACE(language);
        FillPage(language);
        if (qEnvironmentVariableIsSet("QUILLANE_PAGE_PNG"))
            Doc->Image1->Picture().save(qEnvironmentVariable("QUILLANE_PAGE_PNG") + QString::number(language) + ".png");
        QWidget* page = Doc->ActivePage();
        EXPECT_EQ(Doc->Image1->Picture().size(), QSize(859, 1168));
        // The totals as each language finishes them: English and bilingual
        // ones recomputed through the calculator in the document currency.
        const QString totals[] = {"6 024,00 лв", "6024,00 EUR", "3080,16 EUR"};
        EXPECT_EQ((language == 2 ? Doc->Label88 : Doc->Label3)->text(), totals[language]);
        // The note's texts keep clear of its box's bevels.
        PagePanel* note = language == 2 ? Doc->Panel10 : Doc->Panel2;
        for (QWidget* w : note->findChildren<QLabel*>())
            EXPECT_TRUE(note->rect().adjusted(3, 3, -3, -3).contains(w->geometry())) << w->objectName().toStdString();
        const auto controls = PageControls(page);
        for (size_t i = 0; i < controls.size(); ++i) {
            const auto& [w, r] = controls[i];
            EXPECT_TRUE(QRect(0, 0, 859, 1168).contains(r)) << w->objectName().toStdString();
            for (size_t j = i + 1; j < controls.size(); ++j)
                EXPECT_FALSE(r.intersects(controls[j].second))
                    << w->objectName().toStdString() << " " << controls[j].first->objectName().toStdString();
        }
    }
}

// A region of the page as one number per pixel channel, for comparing pages.
double MeanDifference(const QImage& a, const QImage& b, const QRect& region) {
    double sum = 0;
    for (int y = region.top(); y <= region.bottom(); ++y)
        for (int x = region.left(); x <= region.right(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            sum += std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) + std::abs(qBlue(p) - qBlue(q));
        }
    return sum / (3.0 * region.width() * region.height());
}

QRect OnPage(QWidget* w) { return QRect(w->mapTo(Doc->Panel1, QPoint(0, 0)), w->size()); }

TEST_F(PrintedPage, LayoutChainFollowsTheBlocksAndEveryRebuildStartsFromTheDesign) {
    FillPage(0);
    EXPECT_EQ(Top(Doc->StringGrid2), std::max(Bottom(Doc->Panel2), Bottom(Doc->Panel4)) + 15);
    EXPECT_EQ(Top(Doc->Memo4), Bottom(Doc->Bevel1) + 6);
    EXPECT_EQ(Top(Doc->Panel5), Bottom(Doc->Bevel3) + 9);
    EXPECT_EQ(Top(Doc->Label16), Top(Doc->Label12));
    EXPECT_EQ(Left(Doc->Label16), Right(Doc->Label12) + 23);
    // The title stays centred and the totals carry " лв" once, however often the page is laid out.
    const QRect title = OnPage(Doc->Label1);
    EXPECT_LE(std::abs(title.center().x() - 429), 1);
    Doc->New->trigger();
    EXPECT_EQ(Doc->Label3->text(), QStringLiteral("6 024,00 лв"));
    // A number line much wider than the title is shown whole, centred under it.
    Doc->Label15->setText(QStringLiteral("№ 0000001234 / Дата: 06.12.2026 ") + QString(30, u'*'));
    Doc->New->trigger();
    const QRect number = OnPage(Doc->Label15);
    EXPECT_GE(number.left(), 0);
    EXPECT_LE(std::abs(number.center().x() - OnPage(Doc->Label1).center().x()), 1);
    // A shorter document moves the blocks back up.
    const int grid = Top(Doc->StringGrid2);
    FillPage(0, 2);
    for (PageLabel* l : {Doc->Label33, Doc->Label29, Doc->Label46, Doc->Label47}) l->setText(QStringLiteral("София"));
    FlowPageLabels(Doc);
    Doc->Resized->trigger();
    EXPECT_LT(Top(Doc->StringGrid2), grid);
    // Both pages are centred from Panel1's width; in a window narrower than
    // the page they start at its left edge, within reach of the scroll bar.
    Doc->resize(1000, 400);
    Doc->FormResize();
    EXPECT_EQ(Left(Doc->Panel1), 500 - 429);
    EXPECT_EQ(Left(Doc->Panel7), Left(Doc->Panel1));
    Doc->resize(500, 400);
    Doc->FormResize();
    EXPECT_EQ(Left(Doc->Panel1), 0);
    EXPECT_EQ(Left(Doc->Panel7), Left(Doc->Panel1));
}

TEST_F(PrintedPage, DefaultCaptionsAreKeptAndThePrintWindowOpensAtThePointer) {
    ASSERT_EQ(Main->DocCaptions.size(), 27);
    EXPECT_EQ(Main->DocCaptions[0], QStringLiteral("Оригинал"));
    EXPECT_EQ(Main->DocCaptions[6], QStringLiteral("ИН по ЗДДС"));
    EXPECT_EQ(Main->DocCaptions[25], QStringLiteral("/име, фамилия и подпис/"));
    EXPECT_EQ(Main->DocCaptions[26], QStringLiteral("Отпечатано от QUILLANE 2013"));
    EXPECT_TRUE(PageFooterCaption(QStringLiteral("Quillane")).startsWith(QStringLiteral("Отпечатано от QUILLANEQuill")));
    // The print window opens with its top right corner at the pointer.
    PrtD->Show();
    EXPECT_EQ(PrtD->pos(), QCursor::pos() - QPoint(PrtD->width(), 0));
    PrtD->Close();
}

// Printing and exporting a document open in the editor of the running program.
class PrintingADocument : public testsupport::DocumentTest {
protected:
    void SetUp() override {
        DocumentTest::SetUp();
        testsupport::ExecuteOn(defaultFile, "insert into firm (pnom, supplier1, invoiceno) values ('1', 'Алфа ЕООД', '0000000006')");
        Start();
        Main->OrderBtn->click();
        OrderForm->Edit1->setText(QStringLiteral("Бета ООД"));
    }
    // Every print and export first stores the document again, marked printed.
    void ExpectStoredAsPrinted() {
        EXPECT_EQ(testsupport::QueryRows(defaultFile, "select num, status from store"), QStringList{"0000000007|True"});
        EXPECT_EQ(OrderForm->Panel2->text(), QStringLiteral("Отпечатан"));
    }
    platform::ScriptedDialogs dialogs;
};

TEST_F(PrintingADocument, ExportWritesTheMarkedPageAsJpeg) {
    testsupport::TempFolder folder;
    dialogs.Answer(platform::DialogResponse::Path(folder.File("page")));
    PrtD->SetCaption(QStringLiteral("Отпечатай"));
    PrtD->ComboBox1->setEditText(QStringLiteral("24 бита цвят"));
    PrtD->SpeedButton3->click();
    ExpectStoredAsPrinted();
    EXPECT_EQ(Doc->Label8->text(), QStringLiteral("Оригинал"));
    const QRect mark = OnPage(Doc->Label8);
    Doc->Label8->setText(QString());
    RenderPageToImage();
    const QImage unmarked = Doc->Image1->Picture();
    const QImage jpeg = DecodeJpeg(testsupport::ReadFile(folder.File("page.jpg")));
    ASSERT_EQ(jpeg.size(), QSize(859, 1168));
    EXPECT_GT(MeanDifference(jpeg, unmarked, mark), 20.0);
    EXPECT_LT(MeanDifference(jpeg, unmarked, OnPage(Doc->StringGrid2)), 2.0);
    ASSERT_EQ(dialogs.Shown().size(), 1u);
    EXPECT_EQ(dialogs.Shown()[0].title, QStringLiteral("Експортирай като снимка"));
    EXPECT_TRUE(dialogs.Shown()[0].overwritePrompt);

    // 8 bits: the page keeps its text through the palette.
    dialogs.Answer(platform::DialogResponse::Path(folder.File("page8.JPG")));
    PrtD->SetCaption(QStringLiteral("Print"));
    PrtD->ComboBox1->setEditText(QStringLiteral("8 бита цвят"));
    PrtD->SpeedButton3->click();
    EXPECT_EQ(Doc->Label8->text(), QStringLiteral("Original"));
    EXPECT_EQ(Doc->Image1->Picture().format(), QImage::Format_Indexed8);
    const QImage jpeg8 = DecodeJpeg(testsupport::ReadFile(folder.File("page8.JPG.jpg")));
    ASSERT_EQ(jpeg8.size(), QSize(859, 1168));
    EXPECT_LT(MeanDifference(jpeg8, unmarked, OnPage(Doc->StringGrid2)), 4.0);
    ExpectStoredAsPrinted();
}

TEST_F(PrintingADocument, AFailedExportKeepsTheEarlierFileAndSaysWhichAndWhy) {
    testsupport::TempFolder folder;
    PrtD->SetCaption(QStringLiteral("Отпечатай"));
    PrtD->Show();
    // A full disk: the device that takes no byte, under the picture's name.
    const QString full = folder.File("full.jpg");
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/full"), full));
    dialogs.Answer(platform::DialogResponse::Path(full));
    QTest::mouseClick(PrtD->SpeedButton3, Qt::LeftButton);
    ExpectStoredAsPrinted();
    ASSERT_EQ(dialogs.Shown().size(), 2u);
    EXPECT_EQ(dialogs.Shown()[1].kind, platform::DialogKind::Exception);
    EXPECT_EQ(dialogs.Shown()[1].text,
              QStringLiteral("Снимката не е записана във файла „%1“: няма свободно място на диска.").arg(full));
    EXPECT_FALSE(QFileInfo(QStringLiteral("/dev/full")).isFile());

    // A picture larger than a file may grow: the earlier picture stays whole.
    const QString page = folder.File("page.jpg");
    testsupport::WriteFile(page, "an earlier picture");
    rlimit kept{};
    getrlimit(RLIMIT_FSIZE, &kept);
    const auto previousSignal = std::signal(SIGXFSZ, SIG_IGN);
    platform::DialogResponder previous;
    previous = platform::DialogGate::SetResponder([&](const platform::DialogRequest& request) {
        if (request.kind != platform::DialogKind::SaveFile) return previous(request);
        rlimit small = kept;
        small.rlim_cur = 4096;
        setrlimit(RLIMIT_FSIZE, &small);
        return platform::DialogResponse::Path(page);
    });
    QTest::mouseClick(PrtD->SpeedButton3, Qt::LeftButton);
    setrlimit(RLIMIT_FSIZE, &kept);
    std::signal(SIGXFSZ, previousSignal);
    platform::DialogGate::SetResponder(previous);
    EXPECT_EQ(testsupport::ReadFile(page), QByteArray("an earlier picture"));
    ASSERT_EQ(dialogs.Shown().size(), 3u);
    EXPECT_EQ(dialogs.Shown()[2].text,
              QStringLiteral("Снимката не е записана във файла „%1“: файлът е по-голям от позволеното.").arg(page));
    EXPECT_EQ(QDir(folder.Path()).entryList(QDir::Files | QDir::System), QStringList({"full.jpg", "page.jpg"}));

    // Written whole, the new picture takes the earlier one's place.
    dialogs.Answer(platform::DialogResponse::Path(page));
    QTest::mouseClick(PrtD->SpeedButton3, Qt::LeftButton);
    EXPECT_EQ(DecodeJpeg(testsupport::ReadFile(page)).size(), QSize(859, 1168));
    EXPECT_EQ(dialogs.Shown().size(), 4u);
}

TEST_F(PrintingADocument, ThePageNamesTheProgramAloneAndNoInventedContact) {
    const auto footers = [] {
        QStringList texts;
        for (QLabel* label : Doc->findChildren<QLabel*>())
            if (label->text().contains(QStringLiteral("QUILLANE"))) texts << label->objectName() + u'=' + label->text();
        texts.sort();
        return texts;
    };
    QTest::mouseClick(OrderForm->View, Qt::LeftButton);
    ASSERT_TRUE(Doc->isVisible());
    EXPECT_EQ(footers(), QStringList({"Label55=Printed by QUILLANE 2013", "Label9=Отпечатано от QUILLANE 2013"}));
    QTest::mouseClick(OrderForm->RadioButton2, Qt::LeftButton);
    QTest::mouseClick(OrderForm->View, Qt::LeftButton);
    EXPECT_EQ(footers(), QStringList({"Label55=Printed by QUILLANE 2013", "Label9=Printed from EURO QUILLANE 2013"}));
}

TEST_F(PrintingADocument, PrintingPutsThePageOnOnePortraitPdfPage) {
    testsupport::TempFolder folder;
    OrderForm->RadioButton3->setChecked(true);
    QPrinter& printer = platform::Printer();
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(folder.File("page.pdf"));
    PrtD->SetCaption(QStringLiteral("Print"));
    PrtD->SpeedButton2->click();  // cancelled: nothing printed, but the document is stored as printed
    EXPECT_FALSE(QFile::exists(folder.File("page.pdf")));
    EXPECT_EQ(Doc->Label8->text(), QStringLiteral("Copy"));
    ExpectStoredAsPrinted();
    EXPECT_EQ(Doc->Language, PageLanguage::Both);
    dialogs.Answer(platform::DialogResponse::Ok());
    PrtD->SpeedButton1->click();
    ASSERT_EQ(dialogs.Shown().size(), 2u);
    EXPECT_EQ(dialogs.Shown()[1].minPage, 1);
    EXPECT_EQ(dialogs.Shown()[1].maxPage, 1);
    const QByteArray pdf = testsupport::ReadFile(folder.File("page.pdf"));
    EXPECT_EQ(pdf.count("/Type /Page\n") + pdf.count("/Type /Page\r"), 1);
    EXPECT_TRUE(pdf.contains("/Width 859") && pdf.contains("/Height 1168"));
    EXPECT_EQ(printer.pageLayout().orientation(), QPageLayout::Portrait);
    printer.setOutputFileName(QString());
}

TEST(PageRules, LinesNamesRectanglesAndTitles) {
    const QString hundred = QString(100, u'x');
    EXPECT_EQ(WrapTextToLines(hundred, 43).split(u'\n').size(), 3);
    EXPECT_EQ(WrapTextToLines(hundred, 43).split(u'\n')[1].size(), 42);
    EXPECT_EQ(WrapTextToLines(QStringLiteral("ABC*DEF"), 5), QStringLiteral("ABC\nDEF"));
    EXPECT_EQ(WrapTextToLines(QStringLiteral("ABC*DEF"), 10), QStringLiteral("ABC*DEF"));
    EXPECT_EQ(WrapTextToLines(QString(), 10), QString());
    EXPECT_EQ(CentredUnderLeft(100, 50, 80), 85);
    EXPECT_EQ(CentredUnderLeft(100, 80, 50), 115);
    EXPECT_EQ(PrintTargetRect(4960, 7016), QRect(49, 0, 4960 - 49, 7016));
    EXPECT_EQ(JpegFileName(QStringLiteral("a.jpg.old")), QStringLiteral("a.jpg.old"));
    EXPECT_EQ(ColourDepthFromText(QStringLiteral("32 бита цвят")), 32);
    EXPECT_EQ(ColourDepthFromText(QStringLiteral("16 бита")), 24);
    QImage logo(4, 4, QImage::Format_RGB32);
    logo.fill(qRgb(200, 30, 60));
    for (int bits : {8, 24, 32}) {
        const QImage converted = ConvertPageDepth(logo, bits);
        EXPECT_EQ(converted.depth(), bits);
        EXPECT_LE(std::abs(qRed(converted.pixel(1, 1)) - 200) + std::abs(qBlue(converted.pixel(1, 1)) - 60), bits == 8 ? 60 : 0);
    }
    EXPECT_EQ(LineGridTitles(false, 7).join(u'|'),
              QStringLiteral("Пор. №|Наименование на стоките или услугите|Мярка|К-во|Ед. цена|Отстъпка %|Стойност"));
    EXPECT_EQ(LineGridTitles(true, 6).join(u'|'), QStringLiteral("Part No.|Description|Measr.|Qty.|Unit Price|Total"));
    const auto [bg, en] = BilingualLineGridTitles(7, QStringLiteral("EUR"));
    EXPECT_EQ(bg.mid(4).join(u'|'), QStringLiteral("Ед. цена BGL|Ед. цена EUR|Отстъпка %|Стойност BGL|Стойност EUR"));
    EXPECT_EQ(en.mid(4).join(u'|'), QStringLiteral("Unit Price BGL|Unit Price EUR|Discount %|Total BGL|Total EUR"));
    EXPECT_EQ(NoteTableTitles(QStringLiteral("Дебитно известие")).second,
              (QStringList{"No", "Debit account", "Sum"}));
    EXPECT_EQ(NoteTableTitles(QStringLiteral("Кредитно известие")).first, (QStringList{"№", "Кредит с/ка", "Сума"}));
}

}  // namespace
