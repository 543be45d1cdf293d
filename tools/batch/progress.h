// What a run tells while it goes: on a terminal one line, rewritten in
// place, with the pictures done of all, the pace, the time left and the
// failures so far (a failure also gets a line of its own); otherwise one
// plain line per picture. Quiet tells nothing. Safe to call from any thread.
#pragma once

#include "summary.h"

#include <chrono>
#include <cstdio>
#include <mutex>

enum class TProgressStyle { Terminal, Lines, Quiet };

class TProgress {
  public:
    TProgress(TProgressStyle style, size_t total, std::FILE* out = stdout, std::FILE* err = stderr);
    // One picture is through; `earlier` when an earlier run's folder was kept.
    void Done(const TSummaryRow& row, bool earlier);
    // The closing line.
    void Finish(const std::string& summaryPath);

  private:
    void DrawLine(bool force);

    const TProgressStyle Style_;
    const size_t Total_;
    std::FILE* const Out_;
    std::FILE* const Err_;
    const std::chrono::steady_clock::time_point Start_ = std::chrono::steady_clock::now();
    std::chrono::steady_clock::time_point LastDrawn_{};
    std::mutex Mutex_;
    size_t Done_ = 0, Analysed_ = 0, Failed_ = 0, Earlier_ = 0;
};
