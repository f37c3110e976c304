// The lane kernels against the scalar secular functions, bit for bit: random stacks with and
// without slow layers, trial velocities on both sides of every layer's S and P velocity
// (propagating and evanescent waves, the branch points themselves), every reference layer,
// lane counts from 1 to 8, and batches of the search that do not fill the lanes.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

#include "dispersion/searches.h"
#include "kernels/secular.h"
#include "kernels/secular_lanes.h"
#include "parallel/worker_pool.h"

namespace vemlari {

using namespace vemlari::detail;
namespace {

bool same_bits(cplx a, cplx b) { return std::memcmp(&a, &b, sizeof a) == 0; }

Nstrc random_model(std::mt19937& g, int nl) {
    std::uniform_real_distribution<double> vs(300.0, 4000.0), ratio(1.5, 2.2), rho(1600.0, 3300.0), h(5.0, 3000.0);
    Nstrc s;
    double fastest = 0.0;
    for (int j = 1; j < nl; ++j) {
        const double v = vs(g);
        fastest = std::max(fastest, v);
        s.add(rho(g), v * ratio(g), v, h(g));
    }
    // The half-space is the fastest layer, as the program requires.
    const double v = fastest * 1.2 + 100.0;
    s.add(rho(g), v * 1.8, v, 0.0);
    return s;
}

// Trial velocities: random ones over the whole range, and each layer's S and P velocity
// with its neighbours, where a vertical wavenumber is zero or changes branch.
std::vector<double> trials(std::mt19937& g, const Nstrc& s) {
    std::uniform_real_distribution<double> c(100.0, 1.05 * s.vs[s.nl]);
    std::vector<double> v;
    for (int i = 0; i < 40; ++i) v.push_back(c(g));
    for (int j = 1; j <= s.nl; ++j) {
        for (double x : {s.vs[j], s.vp[j]}) {
            v.push_back(x);
            v.push_back(std::nextafter(x, 0.0));
            v.push_back(std::nextafter(x, 1e300));
        }
    }
    return v;
}

std::vector<LanePath> paths() {
    std::vector<LanePath> p{LanePath::portable};
    if (lane_path_available(LanePath::avx512)) p.push_back(LanePath::avx512);
    return p;
}

TEST(SecularLanes, EveryLaneIsTheScalarEvaluationBitForBit) {
    std::mt19937 g(20261209);
    long long compared = 0;
    for (int m = 0; m < 60; ++m) {
        const int nl = 2 + m % 19;
        const Nstrc s = random_model(g, nl);
        SecularLanes lanes(s, 2);
        const double mu = s.rho[1] * s.vs[1] * s.vs[1];
        const std::vector<double> c = trials(g, s);
        for (double hz : {0.05, 1.3, 17.0}) {
            const double om = 2.0 * 3.14159265358979 * hz;
            lanes.set_frequency(om);
            for (int top = 1; top <= std::max(1, nl - 1); ++top) {
                for (std::size_t i = 0; i < c.size();) {
                    const int n = 1 + static_cast<int>(i % secular_lanes);
                    double wn[secular_lanes];
                    int k = 0;
                    for (; k < n && i < c.size(); ++k, ++i) wn[k] = om / c[i];
                    for (LanePath p : paths()) {
                        cplx fl[secular_lanes], fr[secular_lanes];
                        const unsigned near = lanes.love(wn, k, top, 1, fl, p);
                        lanes.rayleigh(wn, k, top, mu * mu, 0, fr, p);
                        for (int q = 0; q < k; ++q) {
                            LoveWork lw;
                            RayleighWork rw;
                            const cplx l =
                                top == 1 ? love_secular(om, wn[q], s, lw) : love_secular_at(om, wn[q], top, s, lw);
                            const cplx r = top == 1 ? rayleigh_secular(om, wn[q], mu * mu, s, rw)
                                                    : rayleigh_secular_at(om, wn[q], top, s, rw);
                            ASSERT_TRUE(same_bits(l, fl[q]))
                                << "Love nl " << nl << " top " << top << " c " << om / wn[q];
                            ASSERT_TRUE(same_bits(r, fr[q]))
                                << "Rayleigh nl " << nl << " top " << top << " c " << om / wn[q];
                            // A near-singular term the scalar kernel records is always flagged.
                            if (lw.grtlv.nwarn > 0) {
                                EXPECT_TRUE(near >> q & 1u);
                            }
                            ++compared;
                        }
                    }
                }
            }
        }
    }
    EXPECT_GT(compared, 100000);
}

// A layer of 1000 m/s between faster ones traps SH waves; where its round trip closes, the
// reverberation term 1 - RU(1) GRD(2) passes through zero. Around that velocity, ulp by ulp,
// the scalar kernel records near-singular terms, and the search's batches report exactly the
// diagnostics of one-at-a-time evaluations, in the same order.
TEST(SecularLanes, NearSingularTermsAreReportedAsByTheScalarKernel) {
    Nstrc s;
    s.add(2000, 5200, 3000, 1000);
    s.add(1800, 2000, 1000, 100);
    s.add(2500, 7000, 4000, 0);
    const double om = 2.0 * 3.14159265358979 * 5.0;
    std::vector<double> c;
    double x = 2139.9759106103156;
    for (int k = 0; k < 400; ++k) x = std::nextafter(x, 0.0);
    for (int k = 0; k < 800; ++k, x = std::nextafter(x, 1e9)) c.push_back(x);

    WorkerPool pool(1);
    LoveFunction batched(s, pool), single(s, pool);
    batched.set_frequency(om);
    single.set_frequency(om);
    std::vector<Diagnostic> from_batches, one_by_one;
    ScanLog batch_log{from_batches, nullptr, Wave::love, 0}, single_log{one_by_one, nullptr, Wave::love, 0};
    for (LanePath p : paths()) {
        batched.use_lanes(p);
        from_batches.clear();
        one_by_one.clear();
        for (std::size_t i = 0; i + 8 <= c.size(); i += 8) {
            Evaluation batch[8];
            for (int k = 0; k < 8; ++k) batch[k].c = c[i + static_cast<std::size_t>(k)];
            batched.evaluate(batch, 8);
            for (int k = 0; k < 8; ++k) {
                Evaluation one[1];
                one[0].c = batch[k].c;
                single.evaluate(one, 1);
                ASSERT_TRUE(same_bits(one[0].f, batch[k].f)) << "c " << one[0].c;
                batched.report(batch[k], batch_log);
                single.report(one[0], single_log);
            }
        }
        ASSERT_GT(one_by_one.size(), 0u);
        ASSERT_EQ(from_batches.size(), one_by_one.size());
        for (std::size_t n = 0; n < one_by_one.size(); ++n) {
            EXPECT_EQ(from_batches[n].wavenumber, one_by_one[n].wavenumber);
            EXPECT_EQ(from_batches[n].term, one_by_one[n].term);
        }
    }
}

// Through the search's function objects: a batch of 13 scan points (a full group and a
// partial one) gives the bits and records of thirteen evaluations one at a time.
TEST(SecularLanes, BatchesOfTheSearchAreTheScalarEvaluations) {
    std::mt19937 g(7);
    for (int threads : {1, 2}) {
        WorkerPool pool(threads);
        for (int m = 0; m < 6; ++m) {
            const Nstrc s = random_model(g, 3 + 3 * m);
            LoveFunction love(s, pool);
            RayleighFunction rayleigh(s, pool);
            const double om = 2.0 * 3.14159265358979 * 0.7;
            love.set_frequency(om);
            rayleigh.set_frequency(om);
            for (int top : {1, 2}) {
                love.refer_to(top);
                rayleigh.refer_to(top);
                std::vector<double> c = trials(g, s);
                for (std::size_t i = 0; i + 13 <= c.size(); i += 13) {
                    for (SecularFunction* f :
                         {static_cast<SecularFunction*>(&love), static_cast<SecularFunction*>(&rayleigh)}) {
                        Evaluation batch[13], one[1];
                        for (int k = 0; k < 13; ++k) batch[k].c = c[i + static_cast<std::size_t>(k)];
                        f->evaluate(batch, 13);
                        for (int k = 0; k < 13; ++k) {
                            one[0].c = batch[k].c;
                            f->evaluate(one, 1);
                            ASSERT_TRUE(same_bits(one[0].f, batch[k].f)) << "c " << one[0].c;
                            ASSERT_EQ(std::memcmp(&one[0].a, &batch[k].a, sizeof(double)), 0);
                            EXPECT_EQ(batch[k].slot, k);
                        }
                    }
                }
            }
        }
    }
}

}  // namespace
}  // namespace vemlari
