#include "sweep_files.h"

#include "sweep_plot.h"

#include <QBuffer>
#include <QImageWriter>

#include <cstdio>
#include <stdexcept>

std::string SweepCsv(const TSweep& sweep) {
    std::string out = "threshold,areas,raised_level,rejected_last,score,area_pixels\r\n";
    for (const TSweepRow& r : sweep.Rows) {
        char line[128];
        std::snprintf(line, sizeof line, "%d,%d,%d,%d,%.17g,%d\r\n", r.Threshold, r.Areas,
                      r.RaisedLevel, r.RejectedLast, r.Score, r.AreaPixels);
        out += line;
    }
    return out;
}

std::vector<std::pair<std::string, QByteArray>> SweepFiles(const TSweep& sweep, bool plot) {
    std::vector<std::pair<std::string, QByteArray>> files;
    files.emplace_back("sweep.csv", QByteArray::fromStdString(SweepCsv(sweep)));
    if (!plot) return files;
    QImage image = SweepImage(sweep);
    image.setDotsPerMeterX(3780); // 96 dots per inch, whatever the screen
    image.setDotsPerMeterY(3780);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "png");
    if (!writer.write(image))
        throw std::runtime_error(
            "Cannot make the sweep's PNG picture: " + writer.errorString().toStdString() + ".");
    files.emplace_back("sweep.png", png);
    return files;
}
