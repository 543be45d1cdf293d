#include "legend.h"

#include "session/palette.h"

#include <QLabel>
#include <QPixmap>

namespace {

constexpr int StripHeight = 5;

QLabel* MakeStrip(QWidget* parent, const char* name) {
    auto* strip = new QLabel(parent);
    strip->setObjectName(name);
    strip->setScaledContents(true);
    return strip;
}

QLabel* MakeWords(QWidget* parent, const char* name) {
    auto* words = new QLabel(parent);
    words->setObjectName(name);
    words->setWordWrap(true);
    words->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    words->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return words;
}

} // namespace

QImage AreaMapStrip() {
    QImage strip(256, 1, QImage::Format_RGB32);
    for (int i = 0; i < 256; ++i)
        strip.setPixel(i, 0, qRgb(Palette[i].r, Palette[i].g, Palette[i].b));
    return strip;
}

QImage CompositeStrip() {
    QImage strip(256, 3, QImage::Format_RGB32);
    for (int i = 0; i < 256; ++i) {
        strip.setPixel(i, 0, qRgb(i, 0, 0));
        strip.setPixel(i, 1, qRgb(0, i, 0));
        strip.setPixel(i, 2, qRgb(0, 0, i));
    }
    return strip;
}

QImage ProbeStrip() {
    QImage strip(256, 2, QImage::Format_RGB32);
    for (int i = 0; i < 256; ++i) {
        strip.setPixel(i, 0, qRgb(0, 0, i));
        strip.setPixel(i, 1, qRgb(i, 0, 0));
    }
    return strip;
}

TLegend::TLegend(QWidget* parent) : QWidget(parent) {
    setObjectName("Legend");
    PlaneStrip_ = MakeStrip(this, "LegendPlaneStrip");
    PlaneWords_ = MakeWords(this, "LegendPlaneWords");
    ProbeStrip_ = MakeStrip(this, "LegendProbeStrip");
    ProbeWords_ = MakeWords(this, "LegendProbeWords");
    ProbeStrip_->setPixmap(QPixmap::fromImage(ProbeStrip()));
    ProbeWords_->setText("Probe: light green picked; blue alike as it stands, red mirrored; "
                         "brighter is more alike.");
    for (QLabel* label : {PlaneStrip_, PlaneWords_, ProbeStrip_, ProbeWords_}) label->hide();
}

void TLegend::Show(TPlaneLegend plane, bool probe) {
    if (plane == Plane_ && probe == Probe_) return;
    Plane_ = plane;
    Probe_ = probe;
    const int width = this->width();
    const int wordsHeight = 2 * fontMetrics().lineSpacing();
    int y = 0;
    if (plane != TPlaneLegend::None) {
        const bool map = plane == TPlaneLegend::AreaMap;
        PlaneStrip_->setPixmap(QPixmap::fromImage(map ? AreaMapStrip() : CompositeStrip()));
        PlaneWords_->setText(map ? "Area map: white where no area lies; areas in greens, darker "
                                   "for higher labels."
                                 : "Composite: red hue + small noise, green 2 x small noise, "
                                   "blue spots + small noise.");
        PlaneStrip_->setGeometry(0, y, width, StripHeight);
        PlaneWords_->setGeometry(0, y + StripHeight, width, wordsHeight);
        y += StripHeight + wordsHeight + 2;
    }
    PlaneStrip_->setVisible(plane != TPlaneLegend::None);
    PlaneWords_->setVisible(plane != TPlaneLegend::None);
    ProbeStrip_->setGeometry(0, y, width, StripHeight);
    ProbeWords_->setGeometry(0, y + StripHeight, width, wordsHeight);
    ProbeStrip_->setVisible(probe);
    ProbeWords_->setVisible(probe);
}

const QLabel* TLegend::PlaneStrip() const {
    return PlaneStrip_->isVisibleTo(this) ? PlaneStrip_ : nullptr;
}

const QLabel* TLegend::ProbeStripLabel() const {
    return ProbeStrip_->isVisibleTo(this) ? ProbeStrip_ : nullptr;
}
