#include "magnifier.h"

#include <QLabel>
#include <QPainter>

namespace {

constexpr QRgb Outside = qRgb(64, 64, 64);

bool IsLight(QRgb c) {
    return qRed(c) * 299 + qGreen(c) * 587 + qBlue(c) * 114 > 128 * 1000;
}

// A quarter of the way towards black on light pixels and towards white on
// dark ones: a grid line that shows on every colour without hiding it.
QRgb GridTone(QRgb c) {
    const int target = IsLight(c) ? 0 : 255;
    return qRgb((3 * qRed(c) + target) / 4, (3 * qGreen(c) + target) / 4,
                (3 * qBlue(c) + target) / 4);
}

} // namespace

TMagnifierPainter::TMagnifierPainter() {
    Fonts_[0].setPixelSize(8);
    Fonts_[0].setStretch(QFont::SemiCondensed);
    Fonts_[1].setPixelSize(7);
    Fonts_[1].setStretch(QFont::Condensed);
}

const TMagnifierPainter::TText& TMagnifierPainter::Text(int32_t n) {
    auto found = Texts_.find(n);
    if (found != Texts_.end()) return *found;
    if (Texts_.size() > 4096) Texts_.clear(); // the labels of many passes: start afresh
    TText t;
    t.Text = QStaticText(QString::number(n));
    t.Text.setTextFormat(Qt::PlainText);
    for (int f = 0; f < 2 && t.Font < 0; ++f) {
        t.Text.prepare(QTransform(), Fonts_[f]);
        if (t.Text.size().width() <= Scale - 1) t.Font = f; // the block less its grid line
    }
    return *Texts_.insert(n, t);
}

void TMagnifierPainter::Draw(QImage& frame, const TBitmap& bitmap, int cx, int cy,
                             const TNumberAt& number) {
    if (frame.size() != QSize(Side, Side)) frame = QImage(Side, Side, QImage::Format_RGB32);
    const int x0 = cx - Span / 2, y0 = cy - Span / 2;
    QRgb colours[Span][Span];
    bool inside[Span][Span];
    for (int j = 0; j < Span; ++j)
        for (int i = 0; i < Span; ++i) {
            const int x = x0 + i, y = y0 + j;
            inside[j][i] = x >= 0 && y >= 0 && x < bitmap.Width && y < bitmap.Height;
            const TRGB c = inside[j][i] ? GetPixel(bitmap, x, y) : TRGB{};
            colours[j][i] = inside[j][i] ? qRgb(c.r, c.g, c.b) : Outside;
        }
    // Each pixel a block of Scale x Scale, its top row and left column the grid.
    for (int j = 0; j < Span; ++j)
        for (int r = 0; r < Scale; ++r) {
            auto* line = reinterpret_cast<QRgb*>(frame.scanLine(j * Scale + r));
            for (int i = 0; i < Span; ++i) {
                const QRgb c = colours[j][i];
                QRgb* block = line + i * Scale;
                if (r == 0) {
                    std::fill(block, block + Scale, GridTone(c));
                } else {
                    block[0] = GridTone(c);
                    std::fill(block + 1, block + Scale, c);
                }
            }
        }

    QPainter painter(&frame);
    int font = -1;
    for (int j = 0; j < Span; ++j)
        for (int i = 0; i < Span; ++i) {
            std::optional<int32_t>& printed = Printed_[j][i];
            printed.reset();
            if (!inside[j][i] || !number) continue;
            const std::optional<int32_t> n = number(x0 + i, y0 + j);
            if (!n) continue;
            const TText& text = Text(*n);
            if (text.Font < 0) continue;
            printed = n;
            if (text.Font != font) painter.setFont(Fonts_[font = text.Font]);
            painter.setPen(IsLight(colours[j][i]) ? Qt::black : Qt::white);
            const QSizeF size = text.Text.size();
            painter.drawStaticText(QPointF(i * Scale + 1 + (Scale - 1 - size.width()) / 2,
                                           j * Scale + 1 + (Scale - 1 - size.height()) / 2),
                                   text.Text);
        }
    // The centre pixel: a white frame inside a black one, seen on any colour.
    const int c = (Span / 2) * Scale;
    painter.setPen(Qt::black);
    painter.drawRect(c - 1, c - 1, Scale + 1, Scale + 1);
    painter.setPen(Qt::white);
    painter.drawRect(c, c, Scale - 1, Scale - 1);
}

TMagnifier::TMagnifier(QWidget* parent) : QWidget(parent, Qt::Tool) {
    setObjectName("Magnifier");
    setWindowTitle("Magnifier");
    Caption_ = new QLabel(this);
    Caption_->setObjectName("MagnifierCaption");
    Caption_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    Caption_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Caption_->setWordWrap(true);
    const int lines = 4;
    const int captionHeight = lines * Caption_->fontMetrics().lineSpacing() + 8;
    Caption_->setGeometry(4, TMagnifierPainter::Side + 4, TMagnifierPainter::Side - 8,
                          captionHeight - 8);
    setFixedSize(TMagnifierPainter::Side, TMagnifierPainter::Side + captionHeight);
    Frame_ = QImage(TMagnifierPainter::Side, TMagnifierPainter::Side, QImage::Format_RGB32);
    Frame_.fill(Outside);
}

void TMagnifier::Show(const TBitmap& bitmap, int x, int y, const TNumberAt& number,
                      const QString& caption) {
    Painter_.Draw(Frame_, bitmap, x, y, number);
    Caption_->setText(caption);
    update(0, 0, TMagnifierPainter::Side, TMagnifierPainter::Side);
}

QString TMagnifier::Caption() const {
    return Caption_->text();
}

void TMagnifier::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.drawImage(0, 0, Frame_);
}
