// A long session through the real window: 200 pictures chosen in turn from
// three samples, each running the threshold scan, with ten probe moves after
// each. Memory and open files must stay where they were after the first scan.
// Under AddressSanitizer, which keeps freed memory in quarantine, the heap in
// use is compared instead of the resident size.
#include "support/process_memory.h"
#include "window_under_test.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>

#include <cstdio>
#include <filesystem>

namespace {

// What must not grow: the resident size, or under the sanitizer the heap.
size_t MemoryFigure() {
    return UnderAsan ? HeapInUse() : ResidentBytes();
}

int OpenFiles() {
    int n = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator("/proc/self/fd")) ++n;
    return n;
}

using LongSession = TWindowUnderTest;

TEST_F(LongSession, TwoHundredScansAndTwoThousandProbeMovesStayFlat) {
    for (const char* name : {"cell.jpg", "rings.bmp", "shapes.jpg"})
        ASSERT_TRUE(QFile::copy(QString(TESSA_SOURCE_DIR "/samples/") + name,
                                QDir(samples.path()).filePath(name)));
    Open();
    ctl.cbScan->setChecked(true);
    ASSERT_EQ(ctl.FileListBox1->count(), 3);
    const int scans = 200;

    size_t memory = 0;
    int files = 0;
    uint32_t seed = 1;
    for (int i = 0; i < scans; ++i) {
        passes = 0;
        Choose(i % 3);
        ASSERT_GE(passes, 31) << "choosing a picture ran the scan";
        for (int m = 0; m < 10; ++m) {
            seed = seed * 1664525u + 1013904223u;
            form->PaintBox2MouseMove(int(seed >> 24), int(seed >> 16 & 255));
        }
        if (i == 0) {
            memory = MemoryFigure();
            files = OpenFiles();
        }
    }
    ASSERT_TRUE(boxes.empty()) << boxes[0].text.toStdString();
    int probeGround = 0; // the probe draws the areas on black
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 256; ++x) probeGround += GetPixel(PaintBox2Bitmap(), x, y) == TRGB{};
    EXPECT_GT(probeGround, 0) << "the probe moves ran";
    const size_t memoryAfter = MemoryFigure();
    const int filesAfter = OpenFiles();
    RecordProperty("memory_after_first_scan", std::to_string(memory));
    RecordProperty("memory_after_last_scan", std::to_string(memoryAfter));
    std::printf("%s after the first scan %zu bytes, after %d scans %zu; open files %d, then %d\n",
                UnderAsan ? "heap in use" : "resident", memory, scans, memoryAfter, files,
                filesAfter);
    EXPECT_LE(memoryAfter, memory + (2u << 20));
    EXPECT_LE(filesAfter, files);
}

} // namespace
