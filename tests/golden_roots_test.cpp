// The committed pole files of the layered examples hold true roots: every phase velocity
// is bracketed by a sign change of the propagator-matrix reference, and at each frequency
// the modes are the successive roots in increasing velocity.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "tests/kernels_support.h"
#include "tests/propagator_reference.h"
#include "tests/run_helpers.h"

namespace vemlari {
namespace {

using namespace vemlari::testing;

std::vector<double> numbers(const std::string& path) {
    std::ifstream in(path);
    std::vector<double> v;
    for (double x; in >> x;) v.push_back(x);
    return v;
}

void check_poles(const std::string& tag, const Nstrc& s, double (*ref)(const Nstrc&, double, double),
                 const char* counts_file, const char* poles_file) {
    const std::string dir = std::string(VEMLARI_SOURCE_DIR) + "/tests/golden/" + tag + "/";
    const auto om = numbers(dir + "om_dat");
    const auto counts = numbers(dir + counts_file);
    const auto poles = numbers(dir + poles_file);
    ASSERT_EQ(om.size(), counts.size());
    std::size_t p = 0;
    int checked = 0;
    double worst = 0;
    // A first angular frequency of 0.001 stands in for zero frequency, where the table holds
    // limits rather than roots.
    const std::size_t first = om[0] == 0.001 ? 1 : 0;
    if (first == 1) p += static_cast<std::size_t>(counts[0] + 1);
    for (std::size_t io = first; io < om.size(); ++io) {
        double last_root = 0;
        for (int m = 0; m <= counts[io]; ++m, ++p) {
            ASSERT_LT(p, poles.size());
            const double c = poles[p];
            // The search stops once |F| < tol, so its root is close to, not at, the true one:
            // the reference must change sign within a small relative distance, and each mode
            // must find its own reference root.
            double lo = c, hi = c, found = std::nan("");
            for (double d = 1e-7 * c; d < 2e-3 * c && std::isnan(found); d *= 1.5) {
                lo = c - d, hi = c + d;
                if (ref(s, om[io], lo) * ref(s, om[io], hi) <= 0.0) {
                    found = bisect([&](double x) { return ref(s, om[io], x); }, lo, hi);
                }
            }
            ASSERT_FALSE(std::isnan(found)) << tag << " " << poles_file << " io " << io << " mode " << m << " c " << c;
            worst = std::fmax(worst, std::fabs(found - c) / c);
            EXPECT_GT(found, last_root) << tag << " " << poles_file << " io " << io << " mode " << m;
            last_root = found;
            ++checked;
        }
    }
    EXPECT_GT(checked, 0);
    std::printf("%s %s: %d poles, worst relative distance to the reference root %.2e\n", tag.c_str(), poles_file,
                checked, worst);
}

Nstrc example(const std::string& name) {
    std::ifstream in(std::string(VEMLARI_SOURCE_DIR) + "/examples/" + name + ".csv");
    std::string line;
    for (int i = 0; i < 8; ++i) std::getline(in, line);
    Nstrc s;
    const int nl = std::stoi(line);
    std::getline(in, line);
    for (int j = 1; j <= nl; ++j) {
        std::getline(in, line);
        double v[9];
        std::size_t pos = 0;
        for (double& x : v) {
            const std::size_t next = line.find(',', pos);
            x = std::stod(line.substr(pos, next - pos));
            pos = next + 1;
        }
        s.add(v[1], v[2], v[5], v[8]);
    }
    return s;
}

TEST(GoldenRoots, LayeredExamplesHoldRootsOfTheReference) {
    for (const char* model : {"two_layer", "crust", "soil", "low_velocity"}) {
        for (const std::string suffix : {"", "_check"}) {
            const std::string tag = model + suffix;
            check_poles(tag, example(model), love_reference, "mdl_dat", "phsl1_dat");
            check_poles(tag, example(model), rayleigh_reference, "mdr_dat", "phsr1_dat");
        }
    }
}

}  // namespace
}  // namespace vemlari
