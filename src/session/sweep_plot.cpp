#include "sweep_plot.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

#include <algorithm>
#include <cmath>

namespace {

const QColor HistogramGrey(205, 205, 205);
const QColor AreasBlue(30, 90, 200);
const QColor ScoreOrange(220, 110, 0);
const QColor AutomaticGreen(0, 140, 60);
const QColor ScanRed(200, 30, 30);

// A round top for an axis that reaches `high`: 1, 2 or 5 times a power of
// ten, at least 1.
double AxisTop(double high) {
    if (high <= 1) return 1;
    const double ten = std::pow(10.0, std::floor(std::log10(high)));
    for (const double m : {1.0, 2.0, 5.0, 10.0})
        if (m * ten >= high) return m * ten;
    return 10 * ten;
}

// The power of ten the score is shown in, so that its axis reads in numbers
// below 1000.
int ScorePower(double high) {
    if (high < 1000) return 0;
    return int(std::floor(std::log10(high) / 3.0)) * 3;
}

struct TScales {
    QRectF area;
    double areasTop, scoreTop, histogramTop;
    int scorePower;
    double X(double t) const { return area.left() + (t + 0.5) * area.width() / 256.0; }
    double Y(double v, double top) const { return area.bottom() - v / top * area.height(); }
};

TScales ScalesOf(const QRectF& frame, const TSweep& sweep) {
    TScales s;
    s.area = SweepPlotArea(frame);
    double areas = 0, score = 0, histogram = 0;
    for (const TSweepRow& r : sweep.Rows) {
        areas = std::max(areas, double(r.Areas));
        score = std::max(score, r.Score);
    }
    for (const int32_t n : sweep.Histogram) histogram = std::max(histogram, double(n));
    s.areasTop = AxisTop(areas);
    s.scorePower = ScorePower(score);
    s.scoreTop = AxisTop(score / std::pow(10.0, s.scorePower)) * std::pow(10.0, s.scorePower);
    s.histogramTop = std::max(1.0, histogram);
    return s;
}

QString Score(double score, int power) {
    return QString::number(score / std::pow(10.0, power), 'f', power ? 1 : 0);
}

void PaintHistogram(QPainter& p, const TScales& s, const TSweep& sweep) {
    const double w = s.area.width() / 256.0;
    for (int v = 0; v < 256; ++v) {
        const double h = sweep.Histogram[size_t(v)] / s.histogramTop * s.area.height();
        p.fillRect(QRectF(s.area.left() + v * w, s.area.bottom() - h, w, h), HistogramGrey);
    }
}

void PaintCurve(QPainter& p, const TScales& s, const TSweep& sweep, bool score) {
    QPolygonF line;
    for (int t = 0; t < 256; ++t) {
        const TSweepRow& r = sweep.Rows[size_t(t)];
        line << QPointF(s.X(t), score ? s.Y(r.Score, s.scoreTop) : s.Y(r.Areas, s.areasTop));
    }
    p.setPen(QPen(score ? ScoreOrange : AreasBlue, 1.6));
    p.drawPolyline(line);
}

void PaintAxes(QPainter& p, const TScales& s) {
    const QRectF& a = s.area;
    const QFontMetricsF fm(p.font());
    p.setPen(QPen(Qt::black, 1));
    p.drawRect(a);
    for (int k = 0; k <= 4; ++k) {
        const double y = a.bottom() - k * a.height() / 4;
        p.setPen(QPen(QColor(0, 0, 0, 40), 1));
        p.drawLine(QPointF(a.left(), y), QPointF(a.right(), y));
        p.setPen(AreasBlue);
        const QString left = QString::number(s.areasTop * k / 4, 'g', 6);
        p.drawText(QPointF(a.left() - 6 - fm.horizontalAdvance(left), y + fm.ascent() / 2), left);
        p.setPen(ScoreOrange);
        p.drawText(QPointF(a.right() + 6, y + fm.ascent() / 2),
                   Score(s.scoreTop * k / 4, s.scorePower));
    }
    p.setPen(Qt::black);
    for (int t = 0; t <= 256; t += 32) {
        const int shown = std::min(t, 255);
        const double x = s.X(shown);
        p.drawLine(QPointF(x, a.bottom()), QPointF(x, a.bottom() + 4));
        const QString n = QString::number(shown);
        p.drawText(QPointF(x - fm.horizontalAdvance(n) / 2, a.bottom() + 6 + fm.ascent()), n);
    }
    const QString below = "threshold (grey: how many positions of the working plane hold "
                          "each value)";
    p.drawText(QPointF(a.center().x() - fm.horizontalAdvance(below) / 2,
                       a.bottom() + 10 + fm.ascent() + fm.height()),
               below);
    p.save();
    p.setPen(AreasBlue);
    p.translate(a.left() - 6 - fm.horizontalAdvance("00000") - fm.descent(), a.center().y());
    p.rotate(-90);
    const QString areas = "kept areas";
    p.drawText(QPointF(-fm.horizontalAdvance(areas) / 2, 0), areas);
    p.restore();
    p.save();
    p.setPen(ScoreOrange);
    p.translate(a.right() + 10 + fm.horizontalAdvance("000.0") + fm.ascent(), a.center().y());
    p.rotate(90);
    const QString score =
        s.scorePower ? QString("score (x 10^%1)").arg(s.scorePower) : QString("score");
    p.drawText(QPointF(-fm.horizontalAdvance(score) / 2, 0), score);
    p.restore();
}

// A triangle above the plot pointing at threshold t, with its word.
void PaintMark(QPainter& p, const TScales& s, int32_t t, const QColor& colour, const QString& word,
               int row) {
    const QFontMetricsF fm(p.font());
    const double x = s.X(t), y = s.area.top() - 2 - row * (fm.height() + 8);
    QPolygonF tip;
    tip << QPointF(x, y) << QPointF(x - 5, y - 8) << QPointF(x + 5, y - 8);
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    p.drawPolygon(tip);
    p.setPen(colour);
    const QString text = word + " " + QString::number(t);
    const double left = std::clamp(x - fm.horizontalAdvance(text) / 2, 0.0,
                                   s.area.right() - fm.horizontalAdvance(text));
    p.drawText(QPointF(left, y - 10), text);
    p.setPen(QPen(colour, 1, Qt::DotLine));
    p.drawLine(QPointF(x, s.area.top()), QPointF(x, s.area.bottom()));
}

// The values at threshold t, in a box in the plot's top corner away from t.
void PaintValues(QPainter& p, const TScales& s, const TSweep& sweep, int32_t t) {
    const TSweepRow& r = sweep.Rows[size_t(t)];
    const QStringList lines{
        QString("threshold %1").arg(t),
        QString("kept areas %1").arg(r.Areas),
        QString("pixels in kept areas %1").arg(r.AreaPixels),
        QString("score %1").arg(r.Score, 0, 'f', 1),
        QString("raised level %1").arg(r.RaisedLevel),
        QString("last rejected fill %1").arg(r.RejectedLast),
        QString("positions of value %1: %2").arg(t).arg(sweep.Histogram[size_t(t)]),
    };
    const QFontMetricsF fm(p.font());
    double w = 0;
    for (const QString& l : lines) w = std::max(w, fm.horizontalAdvance(l));
    const QRectF box(t < 128 ? s.area.right() - w - 14 : s.area.left() + 4, s.area.top() + 4,
                     w + 10, lines.size() * fm.height() + 8);
    p.setPen(QPen(QColor(0, 0, 0, 120), 1));
    p.setBrush(QColor(255, 255, 255, 230));
    p.drawRect(box);
    p.setPen(Qt::black);
    for (int i = 0; i < lines.size(); ++i)
        p.drawText(QPointF(box.left() + 5, box.top() + 4 + fm.ascent() + i * fm.height()),
                   lines[i]);
}

} // namespace

QRectF SweepPlotArea(const QRectF& frame) {
    const double left = 70, right = 80, top = 54, bottom = 50;
    return frame.adjusted(left, top, -right, -bottom);
}

int32_t SweepThresholdAt(const QRectF& frame, double x) {
    const QRectF a = SweepPlotArea(frame);
    const double t = std::floor((x - a.left()) / a.width() * 256.0);
    return int32_t(std::clamp(t, 0.0, 255.0));
}

void PaintSweep(QPainter& p, const QRectF& frame, const TSweep& sweep,
                std::optional<int32_t> hover) {
    const int32_t bar = std::clamp(sweep.Bar, 0, 255);
    const TScales s = ScalesOf(frame, sweep);
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.fillRect(frame, Qt::white);
    PaintHistogram(p, s, sweep);
    PaintAxes(p, s);
    PaintCurve(p, s, sweep, false);
    PaintCurve(p, s, sweep, true);
    PaintMark(p, s, sweep.AutomaticThreshold, AutomaticGreen, "automatic", 0);
    if (sweep.ScanChoice) PaintMark(p, s, *sweep.ScanChoice, ScanRed, "scan", 1);
    p.setPen(QPen(Qt::black, 2));
    p.drawLine(QPointF(s.X(bar), s.area.top()), QPointF(s.X(bar), s.area.bottom()));
    if (hover) {
        p.setPen(QPen(QColor(0, 0, 0, 110), 1));
        p.drawLine(QPointF(s.X(*hover), s.area.top()), QPointF(s.X(*hover), s.area.bottom()));
    }
    PaintValues(p, s, sweep, hover ? *hover : bar);
    p.restore();
}

QImage SweepImage(const TSweep& sweep, int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    PaintSweep(p, QRectF(0, 0, width, height), sweep);
    return image;
}
