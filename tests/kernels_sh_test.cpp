// SH kernels: interface coefficients against the textbook forms, energy balance, the
// generalized recursion's edge cases, the classical one-layer Love roots, stops and warnings.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "kernels/kernels.h"
#include "kernels/secular.h"
#include "records/diagnostic_records.h"
#include "tests/kernels_support.h"

namespace vemlari {

using namespace vemlari::detail;
namespace {

using namespace vemlari::testing;

zc sh_nu(const Nstrc& s, int j, double om, double k) {
    zc nu = std::sqrt(zc(k * k - om * om / (s.vs[j] * s.vs[j]), 0.0));
    return nu.real() < 0 ? -nu : nu;
}

void expect_near_rel(cplx got, zc want, double tol) {
    EXPECT_LE(std::abs(z(got) - want), tol * std::abs(want)) << got.re << "," << got.im << " vs " << want;
}

TEST(KernelsSh, InterfaceCoefficientsMatchTheTextbookForms) {
    const Nstrc s = lvl_model();
    const double om = 2 * pi * 1.3;
    // Below every vs, between the layer velocities, above every vs.
    for (double cv : {930.0, 1250.0, 1800.0, 3400.0}) {
        const double k = om / cv;
        Mrtlv m;
        m.fit(s.nl);
        const cplx sentinel{7.0, -7.0};
        m.TU[s.nl - 1] = m.RU[s.nl - 1] = sentinel;
        mdrtlv(om, k, s, m);
        auto mnu = [&](int j) { return s.rho[j] * s.vs[j] * s.vs[j] * sh_nu(s, j, om, k); };
        auto p = [&](int j) { return std::exp(-sh_nu(s, j, om, k) * s.thk[j]); };
        expect_near_rel(m.RU[0], p(1), 1e-14);
        for (int i = 1; i <= s.nl - 1; ++i) {
            const zc sum = mnu(i) + mnu(i + 1);
            expect_near_rel(m.TD[i], 2.0 * mnu(i) / sum * p(i), 1e-13);
            expect_near_rel(m.RD[i], (mnu(i) - mnu(i + 1)) / sum * p(i), 1e-13);
            if (i == s.nl - 1) break;
            expect_near_rel(m.RU[i], (mnu(i + 1) - mnu(i)) / sum * p(i + 1), 1e-13);
            expect_near_rel(m.TU[i], 2.0 * mnu(i + 1) / sum * p(i + 1), 1e-13);
        }
        // Nothing comes up out of the half-space, so those two are left alone.
        EXPECT_EQ(m.TU[s.nl - 1].re, sentinel.re);
        EXPECT_EQ(m.RU[s.nl - 1].im, sentinel.im);
    }
}

// Energy flux of an SH plane wave across a horizontal plane is proportional to mu * Im(nu).
TEST(KernelsSh, InterfaceScatteringConservesEnergyFlux) {
    // Zero thicknesses make every phase factor 1: pure interface coefficients.
    const Nstrc s = model({{2000, 0, 1000, 0}, {2600, 0, 1700, 0}, {2800, 0, 2500, 0}});
    const double om = 2 * pi;
    for (double cv : {1900.0, 2300.0, 5000.0}) {
        const double k = om / cv;
        Mrtlv m;
        mdrtlv(om, k, s, m);
        const double wa = s.rho[1] * s.vs[1] * s.vs[1] * sh_nu(s, 1, om, k).imag();
        const double wb = s.rho[2] * s.vs[2] * s.vs[2] * sh_nu(s, 2, om, k).imag();
        const double ta = std::norm(z(m.TD[1])), ra = std::norm(z(m.RD[1]));
        const double tb = std::norm(z(m.TU[1])), rb = std::norm(z(m.RU[1]));
        EXPECT_NEAR(ra + wb / wa * ta, 1.0, 1e-14) << cv;
        EXPECT_NEAR(rb + wa / wb * tb, 1.0, 1e-14) << cv;
        // Unitarity also requires the two normalised columns to be orthogonal.
        const zc cross = std::conj(z(m.TD[1])) * z(m.RU[1]) * wb + std::conj(z(m.RD[1])) * z(m.TU[1]) * wa;
        EXPECT_LE(std::abs(cross), 1e-14 * std::sqrt(wa * wb));
    }
    // Between the two velocities the lower layer is evanescent: total reflection.
    Mrtlv m;
    mdrtlv(om, om / 1400.0, s, m);
    EXPECT_NEAR(std::abs(z(m.RD[1])), 1.0, 1e-15);
}

TEST(KernelsSh, OneLayerOverHalfSpaceUsesTheInterfaceCoefficientsDirectly) {
    const Nstrc s = love_pair();
    LoveWork w;
    w.grtlv.fit(s.nl);
    w.grtlv.GRD[2] = w.grtlv.GTD[2] = cplx{3.0, 3.0};
    const double om = 2 * pi, k = om / 1234.5;
    const cplx f = love_secular(om, k, s, w);
    EXPECT_EQ(w.grtlv.GTD[1].re, w.mrtlv.TD[1].re);
    EXPECT_EQ(w.grtlv.GTD[1].im, w.mrtlv.TD[1].im);
    EXPECT_EQ(w.grtlv.GRD[1].re, w.mrtlv.RD[1].re);
    EXPECT_EQ(w.grtlv.GRD[1].im, w.mrtlv.RD[1].im);
    EXPECT_EQ(w.grtlv.RU0.re, w.mrtlv.RU[0].re);
    EXPECT_EQ(w.grtlv.GRD[2].re, 3.0);
    EXPECT_EQ(w.grtlv.GTD[2].im, 3.0);
    const cplx want = cplx{1.0, 0.0} - w.mrtlv.RU[0] * w.mrtlv.RD[1];
    EXPECT_EQ(f.re, want.re);
    EXPECT_EQ(f.im, want.im);
}

TEST(KernelsSh, LayersEqualToTheHalfSpaceReflectNothing) {
    const LayerRow hs{2500, 3464.1016, 2000, 300};
    const Nstrc s = model({hs, hs, hs, hs, {2500, 3464.1016, 2000, 0}});
    LoveWork w;
    for (double cv : {1500.0, 2500.0}) {
        const double om = 2 * pi * 0.7;
        const cplx f = love_secular(om, om / cv, s, w);
        EXPECT_EQ(f.re, 1.0);
        EXPECT_EQ(f.im, 0.0);
        for (int i = 1; i <= s.nl - 1; ++i) {
            EXPECT_EQ(cabs(w.grtlv.GRD[i]), 0.0);
            EXPECT_EQ(w.grtlv.GTD[i].re, w.mrtlv.TD[i].re);
            EXPECT_EQ(w.grtlv.GTD[i].im, w.mrtlv.TD[i].im);
        }
    }
}

// Classical Love relation mu1 q sin(q h) = mu2 s cos(q h), free of the tangent's poles.
double classical_love(double cv) {
    const double om = 2 * pi, k = om / cv;
    const double q = std::sqrt(om * om / 1.0e6 - k * k);
    const double sv = std::sqrt(k * k - om * om / 4.0e6);
    return 2000 * 1.0e6 * q * std::sin(q * 1000) - 2500 * 4.0e6 * sv * std::cos(q * 1000);
}

TEST(KernelsSh, OneLayerLoveRootsAgreeWithTheClassicalRelation) {
    const std::vector<double> classic = sign_zeros(classical_love, 1000.01, 1999.99, 0.37);
    ASSERT_EQ(classic.size(), 2u);
    EXPECT_NEAR(classic[0], 1030.3164, 5e-5);
    EXPECT_NEAR(classic[1], 1412.5568, 5e-5);

    const double om = 2 * pi;
    for (const Nstrc& s :
         {love_pair(),
          model({{2000, 1732.0508, 1000, 400}, {2000, 1732.0508, 1000, 600}, {2500, 3464.1016, 2000, 0}})}) {
        auto f = [&](double cv) { return love_abs(s, om, cv); };
        const std::vector<double> roots = modulus_zeros(f, 1000.01, 1999.99, 0.37);
        ASSERT_EQ(roots.size(), 2u);
        for (int n = 0; n < 2; ++n) {
            EXPECT_NEAR(roots[n], classic[n], 1e-9 * classic[n]);
            EXPECT_LT(f(classic[n]), 1e-11);
        }
    }
}

TEST(KernelsSh, SplittingALayerLeavesTheLoveFunctionUnchanged) {
    const Nstrc whole = lvl_model();
    Nstrc split = model({{2200, 3000, 1500, 200},
                         {2200, 3000, 1500, 300},
                         {2000, 2400, 1000, 500},
                         {2400, 3500, 2000, 400},
                         {2400, 3500, 2000, 600},
                         {2600, 5200, 3000, 0}});
    for (double hz : {0.5, 2.0}) {
        const double om = 2 * pi * hz;
        for (double cv : {950.0, 1200.0, 1700.0, 2600.0, 4000.0}) {
            LoveWork a, b;
            const zc fa = z(love_secular(om, om / cv, whole, a));
            const zc fb = z(love_secular(om, om / cv, split, b));
            EXPECT_LE(std::abs(fa - fb), 1e-12 * std::abs(fa)) << hz << " Hz, c " << cv;
        }
    }
}

struct Capture : RecordSink {
    std::vector<std::pair<int, std::string>> records;
    void put(int unit, std::string_view record, std::string_view) override { records.emplace_back(unit, record); }
};

TEST(KernelsSh, NearSingularTermsAreLoggedAndResetPerCall) {
    Diagnostic d;
    d.kind = Diagnostic::Kind::near_singular;
    d.angular_frequency = 6.25;
    d.wavenumber = 0.005;
    d.term = {5.0e-16, 0.0};
    Capture sink;
    write_diagnostic(sink, d);
    ASSERT_EQ(sink.records.size(), 4u);
    for (const auto& r : sink.records) EXPECT_EQ(r.first, unit::log);
    EXPECT_EQ(sink.records[0].second.rfind(" from GNRTLV:om,wn", 0), 0u) << sink.records[0].second;
    EXPECT_NE(sink.records[0].second.find("6.25"), std::string::npos);
    EXPECT_EQ(sink.records[1].second, "  1.D0-RU(I)*GRD(I+1) < 1.d-15 !!");
    EXPECT_EQ(sink.records[2].second, " (5.E-016,0.)");
    EXPECT_EQ(sink.records[3].second, "  Try a different number of Partitions !!");

    // A call that meets no such term reports nothing.
    Grtlv g;
    g.nwarn = 3;
    Mrtlv m;
    gnrtlv(2 * pi, 2 * pi / 1300.0, lvl_model(), m, g);
    EXPECT_EQ(g.nwarn, 0);
}

}  // namespace
}  // namespace vemlari
