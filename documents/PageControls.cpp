#include "documents/PageControls.h"

#include <QPainter>
#include <QStyle>
#include <QStyleOption>
#include <QTableView>
#include <qdrawutil.h>

#include "platform/StringGrid.h"
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
    if (!autoSize_ || (fitted_ && fittedText_ == text() && fittedSize_ == size())) return;
    const QFontMetrics metrics(font());
    const QStringList lines = text().split(u'\n');
    int width = 0;
    for (const QString& line : lines) width = std::max(width, metrics.horizontalAdvance(line));
    fittedSize_ = QSize(width, LineHeight(font()) * int(lines.size()));
    fittedText_ = text();
    fitted_ = true;
    if (fittedSize_ != size()) {
        resize(fittedSize_);
        FitParentPanel(this);
    }
}

void PageLabel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    PaintText(painter, QPoint(0, 0));
}

void PageLabel::PaintText(QPainter& painter, QPoint origin) const {
    painter.setFont(font());
    painter.setPen(palette().color(QPalette::WindowText));
    const int height = LineHeight(font());
    const QStringList lines = text().split(u'\n');
    for (int i = 0; i < lines.size(); ++i)
        painter.drawText(origin.x(), origin.y() + Baseline(font()) + i * height, lines[i]);
}

void PageLabel::SetAutoSize(bool on) {
    autoSize_ = on;
    fitted_ = false;
    Fit();
}

void PageLabel::SetPixelFont(const QString& spec) {
    pixelFont_ = spec;
    setFont(PageFont(spec));
    fitted_ = false;
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
    QPainter painter(this);
    PaintBevels(painter, rect());
}

void PagePanel::PaintBevels(QPainter& painter, const QRect& rect) const {
    if (!bevels_) return;
    // A lowered outer edge around a raised inner one.
    const QColor dark(128, 128, 128), light(255, 255, 255);
    const auto edge = [&painter](const QRect& r, const QColor& topLeft, const QColor& bottomRight) {
        painter.setPen(topLeft);
        painter.drawLine(r.topLeft(), r.topRight());
        painter.drawLine(r.topLeft(), r.bottomLeft());
        painter.setPen(bottomRight);
        painter.drawLine(r.bottomLeft(), r.bottomRight());
        painter.drawLine(r.topRight(), r.bottomRight());
    };
    edge(rect, dark, light);
    edge(rect.adjusted(1, 1, -1, -1), light, dark);
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
        // Inside bevels: their two lines and two pixels of room, so that no
        // text runs into them.
        const int border = bevels_ ? 4 : 0;
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

QImage PageImage::TakePicture() {
    QImage picture = std::move(picture_);
    picture_ = QImage();
    update();
    return picture;
}

void PageImage::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    PaintPicture(painter, rect());
}

void PageImage::PaintPicture(QPainter& painter, const QRect& rect) const {
    if (picture_.isNull()) return;
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    const QSize fitted = picture_.size().scaled(rect.size(), Qt::KeepAspectRatio);
    const QRect target(rect.topLeft() + QPoint((rect.width() - fitted.width()) / 2, (rect.height() - fitted.height()) / 2),
                       fitted);
    painter.drawImage(target, picture_);
}

namespace {

// A grid's cells as the grid shows them: the fixed rows shaded, a one-pixel
// line right of and under every cell, the texts left-aligned.
void PaintGridCells(QPainter& painter, const platform::StringGrid* grid, QPoint origin) {
    painter.setFont(grid->font());
    QStyleOption option;
    option.initFrom(grid->View());
    const QColor line = QColor::fromRgba(
        QRgb(grid->View()->style()->styleHint(QStyle::SH_Table_GridLineColor, &option, grid->View())));
    const QColor fixed = grid->palette().color(QPalette::Button);
    const QColor base = grid->palette().color(QPalette::Base);
    const QColor text = grid->palette().color(QPalette::Text);
    const int height = grid->DefaultRowHeight();
    for (int row = 0, y = 0; row < grid->RowCount() && y < grid->height(); ++row, y += height + 1) {
        for (int col = 0, x = 0; col < grid->ColCount() && x < grid->width(); ++col) {
            const int width = grid->ColWidth(col);
            if (width < 0) continue;
            const QRect cell(origin.x() + x, origin.y() + y, width, height);
            painter.fillRect(cell, row < grid->FixedRows() || col < grid->FixedCols() ? fixed : base);
            painter.setPen(line);
            painter.drawLine(cell.right() + 1, cell.top(), cell.right() + 1, cell.bottom() + 1);
            painter.drawLine(cell.left(), cell.bottom() + 1, cell.right() + 1, cell.bottom() + 1);
            painter.setPen(text);
            painter.drawText(cell.adjusted(3, 0, -1, 0), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                             grid->Cell(col, row));
            x += width + 1;
        }
    }
}

void PaintControl(QPainter& painter, QWidget* w, QPoint origin) {
    painter.save();
    painter.setClipRect(QRect(origin, w->size()), Qt::IntersectClip);
    bool children = false;
    if (auto* label = qobject_cast<PageLabel*>(w)) {
        label->PaintText(painter, origin);
    } else if (auto* grid = qobject_cast<platform::StringGrid*>(w)) {
        PaintGridCells(painter, grid, origin);
    } else if (auto* image = qobject_cast<PageImage*>(w)) {
        image->PaintPicture(painter, QRect(origin, w->size()));
    } else if (auto* panel = qobject_cast<PagePanel*>(w)) {
        if (panel->autoFillBackground()) painter.fillRect(QRect(origin, w->size()), panel->palette().color(QPalette::Window));
        panel->PaintBevels(painter, QRect(origin, w->size()));
        children = true;
    } else if (auto* frame = qobject_cast<QFrame*>(w); frame && frame->frameShape() == QFrame::HLine) {
        const int y = origin.y() + w->height() / 2;
        qDrawShadeLine(&painter, origin.x(), y, origin.x() + w->width() - 1, y, w->palette(),
                       frame->frameShadow() == QFrame::Sunken, frame->lineWidth(), frame->midLineWidth());
    } else {
        w->render(&painter, origin, QRegion(), QWidget::DrawChildren);
    }
    if (children)
        for (QWidget* child : w->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            if (child->isVisibleTo(w)) PaintControl(painter, child, origin + child->pos());
    painter.restore();
}

}  // namespace

void PaintPage(QPainter& painter, QWidget* page) {
    if (!page->autoFillBackground()) painter.fillRect(QRect(QPoint(0, 0), page->size()), Qt::white);
    PaintControl(painter, page, QPoint(0, 0));
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
