#include "documents/PageControls.h"

#include <QPainter>
#include <QStringList>

#include <algorithm>
#include <climits>

QFont PageFont(const QString& spec) {
    const QStringList parts = spec.split(u',');
    const QString family = parts.value(0).trimmed();
    QStringList families{family};
    // Metric twins first, so that the designed widths hold.
    if (family == QStringLiteral("Times New Roman"))
        families << QStringLiteral("Liberation Serif") << QStringLiteral("Nimbus Roman")
                 << QStringLiteral("DejaVu Serif Condensed");
    else
        families << QStringLiteral("Liberation Sans") << QStringLiteral("Nimbus Sans")
                 << QStringLiteral("DejaVu Sans Condensed");
    QFont font;
    font.setFamilies(families);
    font.setPixelSize(std::max(1, parts.value(1).toInt()));
    font.setBold(parts.value(2).trimmed() == QStringLiteral("bold"));
    return font;
}

PageLabel::PageLabel(QWidget* parent) : QLabel(parent) {
    setTextFormat(Qt::PlainText);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
}

void PageLabel::setText(const QString& text) {
    QLabel::setText(text);
    Fit();
}

namespace {

// Lines as tall as the page was designed with, whatever the line gap of the
// font that stands in for the designed one: 1.15 of the pixel size, the
// baseline at 0.9 of it.
int LineHeight(const QFont& font) {
    return font.pixelSize() > 0 ? qRound(font.pixelSize() * 1.15) : QFontMetrics(font).height();
}
int Baseline(const QFont& font) {
    return font.pixelSize() > 0 ? qRound(font.pixelSize() * 0.9) : QFontMetrics(font).ascent();
}

}  // namespace

void PageLabel::Fit() {
    if (autoSize_) {
        const QFontMetrics metrics(font());
        const QStringList lines = text().split(u'\n');
        int width = 0;
        for (const QString& line : lines) width = std::max(width, metrics.horizontalAdvance(line));
        const QSize size(width, LineHeight(font()) * int(lines.size()));
        if (size != this->size()) resize(size);
    }
    FitParentPanel(this);
}

void PageLabel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setFont(font());
    painter.setPen(palette().color(QPalette::WindowText));
    const int height = LineHeight(font());
    const QStringList lines = text().split(u'\n');
    for (int i = 0; i < lines.size(); ++i) painter.drawText(0, Baseline(font()) + i * height, lines[i]);
}

void PageLabel::SetAutoSize(bool on) {
    autoSize_ = on;
    Fit();
}

void PageLabel::SetPixelFont(const QString& spec) {
    pixelFont_ = spec;
    setFont(PageFont(spec));
    Fit();
}

PagePanel::PagePanel(QWidget* parent) : QFrame(parent) {}

void PagePanel::SetPixelFont(const QString& spec) {
    pixelFont_ = spec;
    setFont(PageFont(spec));
}

void PagePanel::SetColour(const QString& colour) {
    colour_ = colour;
    QPalette p = palette();
    p.setColor(QPalette::Window, QColor(colour));
    setPalette(p);
    setAutoFillBackground(!colour.isEmpty());
}

void PagePanel::SetBevels(bool on) {
    bevels_ = on;
    update();
    Fit();
}

void PagePanel::paintEvent(QPaintEvent* event) {
    QFrame::paintEvent(event);
    if (!bevels_) return;
    // A lowered outer edge around a raised inner one.
    QPainter painter(this);
    const QColor dark(128, 128, 128), light(255, 255, 255);
    const auto edge = [&painter](const QRect& r, const QColor& topLeft, const QColor& bottomRight) {
        painter.setPen(topLeft);
        painter.drawLine(r.topLeft(), r.topRight());
        painter.drawLine(r.topLeft(), r.bottomLeft());
        painter.setPen(bottomRight);
        painter.drawLine(r.bottomLeft(), r.bottomRight());
        painter.drawLine(r.topRight(), r.bottomRight());
    };
    edge(rect(), dark, light);
    edge(rect().adjusted(1, 1, -1, -1), light, dark);
}

void PagePanel::Fit() {
    if (fitting_) return;
    fitting_ = true;
    if (autoSize_) {
        int left = INT_MAX, top = INT_MAX, right = 0, bottom = 0;
        const auto children = findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
        for (QWidget* child : children) {
            if (!child->isVisibleTo(this)) continue;
            left = std::min(left, child->x());
            top = std::min(top, child->y());
        }
        const int border = bevels_ ? 2 : 0;
        const int dx = left != INT_MAX && left < border ? border - left : 0;
        const int dy = top != INT_MAX && top < border ? border - top : 0;
        if (dx || dy) {
            for (QWidget* child : children) child->move(child->x() + dx, child->y() + dy);
            move(x() - dx, y() - dy);
        }
        for (QWidget* child : children) {
            if (!child->isVisibleTo(this)) continue;
            right = std::max(right, child->x() + child->width());
            bottom = std::max(bottom, child->y() + child->height());
        }
        const QSize size(right + border, bottom + border);
        if (size != this->size()) {
            resize(size);
            fitting_ = false;
            FitParentPanel(this);
            if (OnResize) OnResize();
            return;
        }
    }
    fitting_ = false;
    if (dynamic_cast<PagePanel*>(parentWidget())) FitParentPanel(this);
}

PageImage::PageImage(QWidget* parent) : QWidget(parent) {}

void PageImage::SetPicture(const QImage& picture) {
    picture_ = picture;
    update();
}

void PageImage::paintEvent(QPaintEvent*) {
    if (picture_.isNull()) return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    const QSize fitted = picture_.size().scaled(size(), Qt::KeepAspectRatio);
    const QRect target(QPoint((width() - fitted.width()) / 2, (height() - fitted.height()) / 2), fitted);
    painter.drawImage(target, picture_);
}

void FitParentPanel(QWidget* w) {
    if (auto* panel = dynamic_cast<PagePanel*>(w->parentWidget())) panel->Fit();
}

void SetLeft(QWidget* w, int left) {
    if (w->x() == left) return;
    w->move(left, w->y());
    FitParentPanel(w);
}

void SetTop(QWidget* w, int top) {
    if (w->y() == top) return;
    w->move(w->x(), top);
    FitParentPanel(w);
}

void SetWidth(QWidget* w, int width) {
    if (w->width() == width) return;
    w->resize(width, w->height());
    FitParentPanel(w);
}
