#include <cmath>
#include <string>

#include "vemlari/error.h"
#include "vemlari/frequencies.h"

namespace vemlari {

Frequencies Frequencies::hertz(std::vector<double> f) {
    const double pi2 = 8.0 * std::atan(1.0);
    if (f.size() > max_size)
        throw Error(Error::Rule::frequencies, "a list of " + std::to_string(f.size()) + " frequencies is longer than " +
                                                  std::to_string(max_size));
    Frequencies r;
    r.omega_.reserve(f.size());
    for (std::size_t k = 0; k < f.size(); ++k) {
        const double v = f[k];
        if (!(std::isfinite(pi2 * v) && v >= 0.0))
            throw Error(Error::Rule::frequencies, "frequency " + std::to_string(k + 1) +
                                                      " must be a finite number of Hz (2 pi f too), at least 0");
        if (k > 0 && !(v > f[k - 1]))
            throw Error(Error::Rule::frequencies, "frequencies must increase: entry " + std::to_string(k + 1) +
                                                      " is not above the one before it");
        r.omega_.push_back(pi2 * v);
    }
    if (r.omega_.size() > 1 && r.omega_[0] == 0.0) r.zero_substitute_ = r.omega_[1] / 1000.0;
    r.hz_ = std::move(f);
    return r;
}

Frequencies Frequencies::regular(double step, int first, int last) {
    if (!(std::isfinite(step) && step > 0.0))
        throw Error(Error::Rule::frequencies, "the frequency step must be a positive finite number of rad/s");
    if (first < 0) throw Error(Error::Rule::frequencies, "the first frequency index must be at least 0");
    const long long entries = last >= first ? static_cast<long long>(last) - first + 1 : 0;
    if (entries > static_cast<long long>(max_size))
        throw Error(Error::Rule::frequencies,
                    "a grid of " + std::to_string(entries) + " frequencies is longer than " + std::to_string(max_size));
    if (entries > 0 && !std::isfinite(step * static_cast<double>(last)))
        throw Error(Error::Rule::frequencies, "the grid's highest frequency, step * last, must be a finite number");
    Frequencies r;
    r.omega_.reserve(static_cast<std::size_t>(entries));
    r.hz_.reserve(static_cast<std::size_t>(entries));
    for (long long io = first; io <= last; ++io) {
        const double om = step * static_cast<double>(io);
        r.omega_.push_back(om);
        r.hz_.push_back(om / (8.0 * std::atan(1.0)));
    }
    r.zero_substitute_ = step / 1000.0;
    return r;
}

double Frequencies::search_angular(std::size_t k) const { return omega_[k] == 0.0 ? 0.001 : omega_[k]; }

double Frequencies::property_angular(std::size_t k) const { return omega_[k] == 0.0 ? zero_substitute_ : omega_[k]; }

}  // namespace vemlari
