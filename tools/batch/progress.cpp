#include "progress.h"

#include <string>

namespace {

std::string Duration(double seconds) {
    const long s = long(seconds + 0.5);
    char buf[32];
    if (s >= 3600)
        std::snprintf(buf, sizeof buf, "%ld:%02ld:%02ld", s / 3600, s / 60 % 60, s % 60);
    else
        std::snprintf(buf, sizeof buf, "%ld:%02ld", s / 60, s % 60);
    return buf;
}

} // namespace

TProgress::TProgress(TProgressStyle style, size_t total, std::FILE* out, std::FILE* err)
    : Style_(style), Total_(total), Out_(out), Err_(err) {}

void TProgress::Done(const TSummaryRow& row, bool earlier) {
    const std::lock_guard lock(Mutex_);
    ++Done_;
    if (earlier)
        ++Earlier_;
    else if (row.Outcome)
        ++Analysed_;
    else
        ++Failed_;
    const std::string picture = row.Picture;
    if (Style_ == TProgressStyle::Lines) {
        std::fprintf(Out_, "[%zu/%zu] ", Done_, Total_);
        if (!row.Outcome)
            std::fprintf(Out_, "error %s: %s\n", picture.c_str(), row.Message.c_str());
        else
            std::fprintf(Out_, "%s %s: threshold %d, %d areas%s%s\n", earlier ? "kept" : "ok",
                         picture.c_str(), row.Outcome->Threshold, row.Outcome->Areas,
                         OkMessage(*row.Outcome).empty() ? "" : "; ",
                         OkMessage(*row.Outcome).c_str());
        std::fflush(Out_);
    } else if (Style_ == TProgressStyle::Terminal) {
        if (!row.Outcome) {
            std::fprintf(Out_, "\r\033[K");
            std::fflush(Out_);
            std::fprintf(Err_, "error %s: %s\n", picture.c_str(), row.Message.c_str());
            std::fflush(Err_);
        } else if (!earlier && !OkMessage(*row.Outcome).empty()) {
            std::fprintf(Out_, "\r\033[K");
            std::fflush(Out_);
            std::fprintf(Err_, "note %s: %s\n", picture.c_str(), OkMessage(*row.Outcome).c_str());
            std::fflush(Err_);
        }
        DrawLine(!row.Outcome || Done_ == Total_);
    }
}

void TProgress::DrawLine(bool force) {
    using namespace std::chrono;
    const auto now = steady_clock::now();
    if (!force && now - LastDrawn_ < milliseconds(100)) return; // at most ten times a second
    LastDrawn_ = now;
    const double seconds = duration<double>(now - Start_).count();
    const size_t worked = Done_ - Earlier_; // pictures kept from earlier take no time
    const double pace = seconds > 0 ? double(worked) / seconds : 0.0;
    std::string left = "--:--";
    if (pace > 0) left = Duration(double(Total_ - Done_) / pace);
    std::fprintf(Out_, "\r\033[K%zu of %zu pictures, %.1f pictures/s, %s left, %zu failed", Done_,
                 Total_, pace, left.c_str(), Failed_);
    std::fflush(Out_);
}

void TProgress::Finish(const std::string& summaryPath) {
    if (Style_ == TProgressStyle::Quiet) return;
    const std::lock_guard lock(Mutex_);
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - Start_).count();
    if (Style_ == TProgressStyle::Terminal && Done_ > 0) std::fprintf(Out_, "\n");
    std::fprintf(Out_, "%zu pictures analysed", Analysed_);
    if (Earlier_) std::fprintf(Out_, ", %zu kept from an earlier run", Earlier_);
    std::fprintf(Out_, ", %zu failed, in %.1f s", Failed_, seconds);
    if (seconds > 0 && Analysed_ + Failed_ > 0)
        std::fprintf(Out_, " (%.1f pictures/s)", double(Analysed_ + Failed_) / seconds);
    std::fprintf(Out_, "; summary: %s\n", summaryPath.c_str());
    std::fflush(Out_);
}
