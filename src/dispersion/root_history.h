#pragma once
// How the search at one frequency entry reads the roots of earlier entries (its step rule
// follows each mode over the two previous ones) and makes its own known to later entries.
#include <cstddef>
#include <vector>

namespace vemlari::detail {

class RootHistory {
public:
    virtual ~RootHistory() = default;
    // The root of mode md at entry k, 0 where entry k has no such mode. Where the search of
    // entry k still runs beside the caller, waits until that root is final or the search ends.
    virtual double root(std::size_t k, int md) const = 0;
};

// The roots of entries already searched, [entry][mode].
class RootTable final : public RootHistory {
public:
    explicit RootTable(const std::vector<std::vector<double>>& roots) : roots_(roots) {}
    double root(std::size_t k, int md) const override {
        const std::vector<double>& row = roots_[k];
        return static_cast<std::size_t>(md) < row.size() ? row[static_cast<std::size_t>(md)] : 0.0;
    }

private:
    const std::vector<std::vector<double>>& roots_;
};

// Told each root of one entry as soon as it is final, in mode order.
class RootSink {
public:
    virtual ~RootSink() = default;
    virtual void found(double c) = 0;
};

// What the search of one entry reads and tells. Without a sink the entry's roots are known
// to later entries only once its search has ended.
struct EntryLinks {
    const RootHistory& history;
    RootSink* sink = nullptr;
};

}  // namespace vemlari::detail
