#pragma once
// The controls the printed page is made of. They keep the sizing rules the
// page was designed with:
// - a PageLabel sizes itself to its text whenever the text is set (unless
//   AutoSize is off) and tells its panel;
// - a PagePanel with AutoSize wraps its visible children: its width and
//   height reach their right and bottom edges; a child moved to a negative
//   Left or Top makes the panel grow that way instead of cutting the child
//   off (the panel moves, the children keep their place on the page). When
//   its size changes, OnResize runs;
// - a PageImage shows a picture centred, stretched and in proportion, and
//   holds the page's rendered bitmap.
// Fonts are given in pixels as "family,size[,bold]" (PixelFont); families
// missing on this computer fall back to ones of the same widths.
//
// Geometry changes made through SetLeft/SetTop/SetWidth re-wrap the panels
// around the control, as the designed page expects.

#include <QFrame>
#include <QImage>
#include <QLabel>
#include <QString>
#include <QWidget>

class QPainter;

#include <functional>

// A font of the given family and pixel size, with its fallbacks.
QFont PageFont(const QString& spec);

class PageLabel : public QLabel {
    Q_OBJECT
    Q_PROPERTY(bool AutoSize READ AutoSize WRITE SetAutoSize)
    Q_PROPERTY(QString PixelFont READ PixelFont WRITE SetPixelFont)
public:
    explicit PageLabel(QWidget* parent = nullptr);

    // Sets the caption, then sizes the label and wraps its panel.
    void setText(const QString& text);
    // Sizes the label to its text (when AutoSize) and wraps its panel.
    void Fit();

    bool AutoSize() const { return autoSize_; }
    void SetAutoSize(bool on);
    QString PixelFont() const { return pixelFont_; }
    void SetPixelFont(const QString& spec);

    // Draws the text with its top-left corner at origin.
    void PaintText(QPainter& painter, QPoint origin) const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    bool autoSize_ = true;
    QString pixelFont_;
    // What the last sizing measured, so that an unchanged text is not measured again.
    bool fitted_ = false;
    QString fittedText_;
    QSize fittedSize_;
};

class PagePanel : public QFrame {
    Q_OBJECT
    Q_PROPERTY(bool AutoSize READ AutoSize WRITE SetAutoSize)
    Q_PROPERTY(QString PixelFont READ PixelFont WRITE SetPixelFont)
    Q_PROPERTY(QString Colour READ Colour WRITE SetColour)
    Q_PROPERTY(bool Bevels READ Bevels WRITE SetBevels)
public:
    explicit PagePanel(QWidget* parent = nullptr);

    // Wraps the visible children (when AutoSize), then the panel's own panel.
    void Fit();

    bool AutoSize() const { return autoSize_; }
    void SetAutoSize(bool on) { autoSize_ = on; }
    QString PixelFont() const { return pixelFont_; }
    void SetPixelFont(const QString& spec);
    QString Colour() const { return colour_; }
    void SetColour(const QString& colour);
    // Raised inner and lowered outer bevel; off: a flat panel.
    bool Bevels() const { return bevels_; }
    void SetBevels(bool on);

    std::function<void()> OnResize;

    // Draws the bevels (when on) around rect.
    void PaintBevels(QPainter& painter, const QRect& rect) const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    bool autoSize_ = true;
    bool bevels_ = false;
    bool fitting_ = false;
    QString pixelFont_;
    QString colour_;
};

class PageImage : public QWidget {
    Q_OBJECT
public:
    explicit PageImage(QWidget* parent = nullptr);

    // The picture shown (centred, stretched, proportional).
    const QImage& Picture() const { return picture_; }
    void SetPicture(const QImage& picture);
    // Hands the picture over and shows none.
    QImage TakePicture();
    // Draws the picture centred, stretched and in proportion into rect.
    void PaintPicture(QPainter& painter, const QRect& rect) const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage picture_;
};

// Paints a page with every visible control at its place, as the page shows
// on screen (labels, grids, pictures, bevels and rules drawn directly; any
// other control renders itself).
void PaintPage(QPainter& painter, QWidget* page);

// Geometry in the terms of the page's layout rules.
inline int Left(const QWidget* w) { return w->x(); }
inline int Top(const QWidget* w) { return w->y(); }
inline int Right(const QWidget* w) { return w->x() + w->width(); }
inline int Bottom(const QWidget* w) { return w->y() + w->height(); }
void SetLeft(QWidget* w, int left);
void SetTop(QWidget* w, int top);
void SetWidth(QWidget* w, int width);
// Wraps the panel that holds w (and the panels around it) after w changed.
void FitParentPanel(QWidget* w);
