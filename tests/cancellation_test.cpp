// A raised Cancellation stops every call that watches it, in both searches and every stage,
// with Error (Rule::cancelled), and a call left alone is unchanged by the flag it carries.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "vemlari/vemlari.h"

namespace {

using namespace vemlari;

Model crust() { return Model({{2000, 4500, 2600, 2500}, {13000, 6000, 3500, 2700}, {0, 8000, 4500, 3300}}); }

Frequencies many() {
    std::vector<double> f;
    for (int i = 1; i <= 400; ++i) f.push_back(0.01 * i);
    return Frequencies::hertz(f);
}

Error::Rule rule_of(auto&& call) {
    try {
        call();
    } catch (const Error& e) {
        return e.rule();
    }
    return Error::Rule::no_layers;
}

TEST(Cancellation, StopsEachSearchAndStageWithItsOwnRule) {
    for (const SearchMethod method : {SearchMethod::counted, SearchMethod::scan})
        for (const int threads : {1, 2}) {
            const auto flag = std::make_shared<Cancellation>();
            SearchOptions o;
            o.method = method;
            o.threads = threads;
            o.cancellation = flag;
            std::size_t reported = 0;
            // Raised from inside the work, as another thread or a signal handler would.
            o.on_frequency = [&](const Modes&, std::size_t k) {
                reported = k + 1;
                if (k == 20) flag->cancel();
                return true;
            };
            EXPECT_EQ(rule_of([&] { find_modes(crust(), many(), o); }), Error::Rule::cancelled);
            // Stopped within a block or two of entries of the raise.
            EXPECT_LT(reported, 60u) << threads;
            EXPECT_EQ(rule_of([&] { sensitivities(crust(), many(), o); }), Error::Rule::cancelled);
        }
    const auto flag = std::make_shared<Cancellation>();
    SearchOptions o;
    o.cancellation = flag;
    const Modes m = find_modes(crust(), many(), o);
    const SearchOptions plain;
    EXPECT_EQ(m.rayleigh.phase_velocity, find_modes(crust(), many(), plain).rayleigh.phase_velocity);
    // The later stages watch the flag the modes were found with.
    flag->cancel();
    EXPECT_EQ(rule_of([&] { mode_properties(crust(), m, 2); }), Error::Rule::cancelled);
    EXPECT_EQ(rule_of([&] { sensitivity_kernels(crust(), m); }), Error::Rule::cancelled);
}

}  // namespace
