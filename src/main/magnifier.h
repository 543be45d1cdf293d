// The magnifier: a tool window that shows the 15 x 15 pixels around a spot of
// a view at 16 times their size, nearest-neighbour, with a faint grid, the
// centre pixel outlined and each pixel's number printed inside it when the
// number fits; a caption below tells what the centre pixel holds. It only
// reads what it is given.
#pragma once

#include "image/bitmap.h"

#include <QFont>
#include <QHash>
#include <QImage>
#include <QStaticText>
#include <QWidget>

#include <cstdint>
#include <functional>
#include <optional>

class QLabel;

// The number printed in pixel (x, y) of the bitmap shown, if any.
using TNumberAt = std::function<std::optional<int32_t>(int x, int y)>;

// Draws magnified frames; keeps the laid-out texts of the numbers it printed.
class TMagnifierPainter {
  public:
    static constexpr int Span = 15;  // pixels across
    static constexpr int Scale = 16; // screen pixels per pixel
    static constexpr int Side = Span * Scale;

    TMagnifierPainter();
    // Draws into `frame` (Side x Side, made when it is not) the pixels of
    // `bitmap` around (cx, cy); pixels outside the bitmap are dark grey.
    void Draw(QImage& frame, const TBitmap& bitmap, int cx, int cy, const TNumberAt& number);
    // The number printed in pixel (i, j) of the last frame (0..Span-1 from the
    // top left), none where nothing was printed.
    std::optional<int32_t> Printed(int i, int j) const { return Printed_[j][i]; }

  private:
    struct TText {
        QStaticText Text;
        int Font = -1; // index into Fonts_; -1: too wide for a pixel in any
    };
    const TText& Text(int32_t n);

    QFont Fonts_[2];              // a small font, then a smaller narrow one for long numbers
    QHash<int32_t, TText> Texts_; // laid out once, reused every frame
    std::optional<int32_t> Printed_[Span][Span];
};

class TMagnifier : public QWidget {
  public:
    explicit TMagnifier(QWidget* parent);

    // Shows the pixels of `bitmap` around (x, y) and the caption below them.
    void Show(const TBitmap& bitmap, int x, int y, const TNumberAt& number, const QString& caption);
    const QImage& Frame() const { return Frame_; }
    const TMagnifierPainter& Painter() const { return Painter_; }
    QString Caption() const;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    TMagnifierPainter Painter_;
    QImage Frame_;
    QLabel* Caption_;
};
