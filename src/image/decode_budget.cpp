#include "decode_budget.h"

#include "picture_messages.h"

#include <condition_variable>
#include <mutex>

#include <unistd.h>

namespace {

// Smaller decodes run freely: the many small pictures of a batch never wait.
constexpr long long FreeBelow = 32LL << 20;

struct TBudget {
    std::mutex Lock;
    std::condition_variable Freed;
    long long Limit = 0; // 0: the default
    long long Used = 0;
};

TBudget& Budget() {
    static TBudget b;
    return b;
}

long long HalfTheMemory() {
    const long pages = ::sysconf(_SC_PHYS_PAGES), size = ::sysconf(_SC_PAGE_SIZE);
    return pages > 0 && size > 0 ? static_cast<long long>(pages) * size / 2 : 1LL << 31;
}

long long LimitOf(const TBudget& b) {
    return b.Limit > 0 ? b.Limit : HalfTheMemory();
}

std::string MiB(long long bytes) {
    return std::to_string((bytes + (1 << 20) - 1) >> 20) + " MiB";
}

} // namespace

void SetDecodeBudget(long long bytes) {
    TBudget& b = Budget();
    const std::lock_guard<std::mutex> hold(b.Lock);
    b.Limit = bytes;
    b.Freed.notify_all();
}

long long DecodeBudget() {
    TBudget& b = Budget();
    const std::lock_guard<std::mutex> hold(b.Lock);
    return LimitOf(b);
}

std::string OverBudgetCause(long long bytes) {
    return "decoding it would need " + MiB(bytes) + " of memory, more than the memory limit of " +
           MiB(DecodeBudget());
}

TDecodeReservation::TDecodeReservation(const std::string& path, long long bytes) {
    if (!Hold(bytes)) FailPicture(path, OverBudgetCause(bytes));
}

bool TDecodeReservation::Hold(long long bytes) noexcept {
    TBudget& b = Budget();
    std::unique_lock<std::mutex> hold(b.Lock);
    if (bytes > LimitOf(b)) return false;
    if (bytes < FreeBelow) return true;
    b.Freed.wait(hold, [&] { return b.Used + bytes <= LimitOf(b); });
    b.Used += bytes;
    Held_ += bytes;
    return true;
}

TDecodeReservation::~TDecodeReservation() {
    if (!Held_) return;
    TBudget& b = Budget();
    const std::lock_guard<std::mutex> hold(b.Lock);
    b.Used -= Held_;
    b.Freed.notify_all();
}
