// One budget of memory for the large decodes of the whole process, so that
// pictures decoded side by side wait for each other instead of adding up:
// a decode of more than a few tens of MiB draws from it while it runs. The
// default is half the machine's memory.
#pragma once

#include <string>

// Sets the budget in bytes; 0 gives back the default.
void SetDecodeBudget(long long bytes);
long long DecodeBudget();

// Why a decode of `bytes` cannot be done: more than the whole budget.
std::string OverBudgetCause(long long bytes);

// Holds `bytes` of the budget while it lives, waiting until they are free.
// A decode larger than the whole budget throws TPictureError naming `path`.
class TDecodeReservation {
  public:
    TDecodeReservation() = default; // holds nothing yet
    TDecodeReservation(const std::string& path, long long bytes);
    ~TDecodeReservation();
    // For a decoder that learns the size only inside code no exception may
    // cross: holds `bytes` more, waiting as above, or holds nothing and
    // returns false when they are more than the whole budget.
    bool Hold(long long bytes) noexcept;

    TDecodeReservation(const TDecodeReservation&) = delete;
    TDecodeReservation& operator=(const TDecodeReservation&) = delete;

  private:
    long long Held_ = 0;
};
