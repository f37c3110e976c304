#include "parallel/root_board.h"

namespace vemlari::detail {

double RootBoard::root(std::size_t k, int md) const {
    const Entry& e = entries_[k];
    const auto m = static_cast<std::size_t>(md);
    auto ready = [&] {
        return abandoned_.load(std::memory_order_acquire) || e.ended.load(std::memory_order_acquire) ||
               e.known.load(std::memory_order_acquire) > m;
    };
    if (!ready()) pool_.help_until(ready);
    if (abandoned_.load(std::memory_order_acquire)) throw SearchAbandoned{};
    std::lock_guard<std::mutex> lock(mutex_);
    return m < e.roots.size() ? e.roots[m] : 0.0;
}

void RootBoard::found(std::size_t k, double c) {
    Entry& e = entries_[k];
    std::lock_guard<std::mutex> lock(mutex_);
    e.roots.push_back(c);
    e.known.store(e.roots.size(), std::memory_order_release);
}

void RootBoard::finish(std::size_t k, const std::vector<double>& roots) {
    Entry& e = entries_[k];
    std::lock_guard<std::mutex> lock(mutex_);
    e.roots = roots;
    e.known.store(e.roots.size(), std::memory_order_release);
    e.ended.store(true, std::memory_order_release);
}

}  // namespace vemlari::detail
