// The windows on a screen smaller than they were designed for (800 x 480,
// each window framed): a window too large for it is made as large as the
// screen allows and kept on it, and each of its controls can still be reached
// by scrolling; a window that fits keeps its designed size.

#include "app/MainWindow.h"
#include "data/DataModule.h"
#include "documents/DocumentEditor.h"
#include "documents/PrintedPage.h"
#include "registers/CustomerCard.h"
#include "registers/Customers.h"
#include "registers/GoodsList.h"
#include "support/programtest.h"
#include "support/testdatabase.h"

#include <QGuiApplication>
#include <QRadioButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>
#include <gtest/gtest.h>

namespace {

class SmallScreen : public testsupport::DocumentTest {
protected:
    static QRect Area() { return QGuiApplication::primaryScreen()->availableGeometry(); }
    // Whether all of w lies inside the visible part of the scroll area.
    static bool InSight(QScrollArea* area, QWidget* w) {
        QWidget* viewport = area->viewport();
        return viewport->rect().contains(QRect(w->mapTo(viewport, QPoint(0, 0)), w->size()));
    }
};

TEST_F(SmallScreen, LargeWindowsFitTheScreenAndScrollTheirControlsIntoSight) {
    Start();
    ASSERT_EQ(Area().size(), QSize(800, 480));

    // The editor: as large as the screen allows, on it, the command column
    // whole at the right, the page scrolling both ways.
    QTest::mouseClick(Main->OrderBtn, Qt::LeftButton);
    QCoreApplication::processEvents();
    ASSERT_TRUE(OrderForm->isVisible());
    EXPECT_EQ(OrderForm->DesignSize(), QSize(1036, 764));
    EXPECT_TRUE(Area().contains(OrderForm->frameGeometry())) << OrderForm->frameGeometry().x() << "," << OrderForm->frameGeometry().y() << " " << OrderForm->frameGeometry().width() << "x" << OrderForm->frameGeometry().height() << " min " << OrderForm->minimumHeight();
    for (QWidget* button : {static_cast<QWidget*>(OrderForm->Save), static_cast<QWidget*>(OrderForm->SpeedButton4),
                            static_cast<QWidget*>(OrderForm->SpeedButton7)})
        EXPECT_TRUE(OrderForm->rect().contains(QRect(button->mapTo(OrderForm, QPoint(0, 0)), button->size())));
    // The page scrolls to its bottom right corner, where the issuer's name is.
    QScrollArea* page = OrderForm->ScrollBox;
    EXPECT_FALSE(InSight(page, OrderForm->Edit10));
    EXPECT_GT(page->horizontalScrollBar()->maximum(), 0);
    page->horizontalScrollBar()->setValue(page->horizontalScrollBar()->maximum());
    page->verticalScrollBar()->setValue(page->verticalScrollBar()->maximum());
    QWidget* sheet = page->widget();
    const QPoint corner = sheet->mapTo(page->viewport(), QPoint(sheet->width(), sheet->height()));
    EXPECT_LE(corner.x(), page->viewport()->width());
    EXPECT_LE(corner.y(), page->viewport()->height());
    EXPECT_TRUE(InSight(page, OrderForm->Edit10));
    QTest::mouseClick(OrderForm->SpeedButton4, Qt::LeftButton);  // "Изход"
    EXPECT_FALSE(OrderForm->isVisible());

    // The customer card, higher than the screen: its controls scroll, and its
    // buttons are reached and pressed.
    QTest::mouseClick(Main->SpeedButton7, Qt::LeftButton);
    QTest::mouseClick(CustForm->Button2, Qt::LeftButton);  // "Нов запис"
    QCoreApplication::processEvents();
    ASSERT_TRUE(EditCustForm->isVisible());
    EXPECT_TRUE(Area().contains(EditCustForm->frameGeometry()));
    EXPECT_GE(EditCustForm->width(), 428);  // and the vertical scroll bar beside
    EXPECT_EQ(EditCustForm->ContentScroller()->horizontalScrollBar()->maximum(), 0);
    EXPECT_LT(EditCustForm->height(), 532);
    QScrollArea* card = EditCustForm->ContentScroller();
    ASSERT_NE(card, nullptr);
    EXPECT_FALSE(InSight(card, EditCustForm->OKButton));
    card->ensureWidgetVisible(EditCustForm->OKButton);
    ASSERT_TRUE(InSight(card, EditCustForm->OKButton));
    EditCustForm->DBEdit1->setFocus();
    card->ensureWidgetVisible(EditCustForm->DBEdit1);
    QTest::keyClicks(EditCustForm->DBEdit1, QStringLiteral("Nova"));
    card->ensureWidgetVisible(EditCustForm->OKButton);
    QTest::mouseClick(EditCustForm->OKButton, Qt::LeftButton);
    EXPECT_FALSE(EditCustForm->isVisible());
    EXPECT_EQ(testsupport::QueryRows(defaultFile, "select company1 from customer"), QStringList{QStringLiteral("Nova")});

    // A window that fits keeps its designed size and its controls where they were.
    QTest::mouseClick(Main->SpeedButton3, Qt::LeftButton);
    EXPECT_EQ(Stocks->size(), QSize(472, 419));
    EXPECT_EQ(Stocks->ContentScroller(), nullptr);
    EXPECT_TRUE(Area().contains(Stocks->frameGeometry()));
}

// Clicks a scroll bar's end, as a user does, until the bar is at that end.
void ClickScrollBarTo(QScrollBar* bar, bool end) {
    const bool horizontal = bar->orientation() == Qt::Horizontal;
    const QPoint at = end ? (horizontal ? QPoint(bar->width() - 4, bar->height() / 2)
                                        : QPoint(bar->width() / 2, bar->height() - 4))
                          : QPoint(horizontal ? 3 : bar->width() / 2, horizontal ? bar->height() / 2 : 3);
    for (int i = 0; i < 400 && bar->value() != (end ? bar->maximum() : bar->minimum()); ++i)
        QTest::mouseClick(bar, Qt::LeftButton, {}, at);
}

// The preview of the printed page: one pair of scroll bars, and each edge of
// the page, on either page, scrolls into sight.
TEST_F(SmallScreen, ThePreviewScrollsEveryPartOfThePageIntoSight) {
    Start();
    QTest::mouseClick(Main->OrderBtn, Qt::LeftButton);
    QCoreApplication::processEvents();
    ASSERT_TRUE(OrderForm->isVisible());
    for (QRadioButton* language : {OrderForm->RadioButton1, OrderForm->RadioButton3}) {
        SCOPED_TRACE(language->text().toStdString());
        OrderForm->ScrollBox->ensureWidgetVisible(language);
        QTest::mouseClick(language, Qt::LeftButton);
        OrderForm->ScrollBox->ensureWidgetVisible(OrderForm->View);
        QTest::mouseClick(OrderForm->View, Qt::LeftButton);
        QCoreApplication::processEvents();
        ASSERT_TRUE(Doc->isVisible());
        EXPECT_TRUE(Area().contains(Doc->frameGeometry()));
        QWidget* page = Doc->ActivePage();
        // The page scrolls in one scroll area, not one inside another.
        QList<QScrollArea*> scrollers;
        for (QWidget* w = page->parentWidget(); w; w = w->parentWidget())
            if (auto* area = qobject_cast<QScrollArea*>(w)) scrollers << area;
        ASSERT_EQ(scrollers.size(), 1);
        QScrollArea* area = scrollers.first();
        QWidget* viewport = area->viewport();
        const auto edges = [&] { return QRect(page->mapTo(viewport, QPoint(0, 0)), page->size()); };
        ClickScrollBarTo(area->horizontalScrollBar(), false);
        ClickScrollBarTo(area->verticalScrollBar(), false);
        EXPECT_GE(edges().left(), 0);  // "Пор. №" at the left
        EXPECT_GE(edges().top(), 0);
        ClickScrollBarTo(area->horizontalScrollBar(), true);
        ClickScrollBarTo(area->verticalScrollBar(), true);
        EXPECT_LE(edges().right(), viewport->width() - 1);  // "Стойност" at the right
        EXPECT_LE(edges().bottom(), viewport->height() - 1);
        Doc->Close();
    }
}

}  // namespace
