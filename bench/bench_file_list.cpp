// How long the file list takes to appear for a "samples" folder of 5000
// pictures: listing the folder into FileListBox1, and opening the whole
// window over it (start-up lists the folder once). Runs off screen.
#include "main/file_list.h"
#include "main/uMain.h"
#include "offscreen_app.h"
#include "support/window_controls.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

QTemporaryDir* Folder = nullptr;

// 5000 one-byte files under names of mixed case and length.
void MakeFolder() {
    Folder = new QTemporaryDir;
    for (int i = 0; i < 5000; ++i) {
        const QString name = QString("%1pic%2.%3")
                                 .arg(i % 3 == 0   ? "A"
                                      : i % 3 == 1 ? "b"
                                                   : "C")
                                 .arg(i * 7919 % 10007)
                                 .arg(i % 2 ? "jpg" : "BMP");
        QFile f(QDir(Folder->path()).filePath(name));
        if (!f.open(QIODevice::WriteOnly)) std::abort();
        f.write("x");
    }
}

void BM_ReadFileList(benchmark::State& state) {
    std::vector<TPictureEntry> entries;
    for (auto _ : state) ListPictureFiles(Folder->path(), entries);
    state.counters["entries"] = double(entries.size());
}
BENCHMARK(BM_ReadFileList)->Unit(benchmark::kMillisecond);

void BM_OpenWindow(benchmark::State& state) {
    for (auto _ : state) {
        TfrmMain form(TestWindowOptions(Folder->path()));
        form.show();
        QApplication::processEvents();
        benchmark::DoNotOptimize(Controls(form).FileListBox1->count());
    }
}
BENCHMARK(BM_OpenWindow)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    return RunBenchmarksOffScreen(argc, argv, [] {
        MakeFolder();
        benchmark::RunSpecifiedBenchmarks();
        delete Folder;
    });
}
