// One budget of memory for the large decodes of the whole process, so that
// pictures decoded side by side wait for each other instead of adding up:
// a decode of more than a few tens of MiB draws from it while it runs. The
// default is half the machine's memory.
#pragma once

#include <string>

// Sets the budget in bytes; 0 gives back the default.
void SetDecodeBudget(long long bytes);
long long DecodeBudget();

// Holds `bytes` of the budget while it lives, waiting until they are free.
// A decode larger than the whole budget throws TPictureError naming `path`.
class TDecodeReservation {
  public:
    TDecodeReservation(const std::string& path, long long bytes);
    ~TDecodeReservation();
    TDecodeReservation(const TDecodeReservation&) = delete;
    TDecodeReservation& operator=(const TDecodeReservation&) = delete;

  private:
    long long Held_ = 0;
};
