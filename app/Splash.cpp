#include "app/Splash.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QPainter>
#include <QPixmap>
#include <QScreen>
#include <QThread>
#include <QWindow>

TSplashForm* SplashForm = nullptr;

namespace {

// A 32 by 32 picture of a page with a folded corner.
QPixmap PagePicture() {
    QPixmap pm(32, 32);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(0, 64, 128), 1.5));
    p.setBrush(QColor(255, 248, 220));
    const QPointF page[] = {{6, 2}, {21, 2}, {27, 8}, {27, 30}, {6, 30}};
    p.drawPolygon(page, 5);
    p.drawLine(QPointF(21, 2), QPointF(21, 8));
    p.drawLine(QPointF(21, 8), QPointF(27, 8));
    for (int y = 13; y <= 25; y += 4) p.drawLine(QPointF(10, y), QPointF(23, y));
    return pm;
}

}  // namespace

TSplashForm::TSplashForm(QWidget* parent) : platform::Form(parent) {
    setupUi(this);
    setWindowFlags(Qt::SplashScreen | Qt::FramelessWindowHint);
    setFixedSize(188, 66);
    Image1->setPixmap(PagePicture());
    if (QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->geometry().center() - QPoint(width() / 2, height() / 2));
}

void TSplashForm::ShowPainted() {
    Show();
    QElapsedTimer waited;
    waited.start();
    for (;;) {
        QCoreApplication::processEvents();
        if ((windowHandle() && windowHandle()->isExposed()) || waited.elapsed() >= 1000) break;
        QThread::msleep(10);
    }
    repaint();
    QCoreApplication::processEvents();
}
