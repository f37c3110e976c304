// Files of the eigenvector stage: eigenfunction files of a single-frequency run, summary files
// of a many-frequency run, the half-space's Love column and the limit stops.
#include <gtest/gtest.h>

#include "records/number_images.h"
#include "records/run_stop.h"
#include "tests/eigen_support.h"

namespace vemlari {
namespace {

using namespace vemlari::testing;

std::string e_image(int w, int d, double v) {
    std::string s;
    append_E(s, w, d, v);
    return s;
}

const char* const eigen_files[] = {"vzn_dat", "vl1_dat",  "vl2_dat",  "vr1_dat",  "vr2_dat", "vr3_dat",
                                   "vr4_dat", "Ldis.csv", "Lstr.csv", "Rdis.csv", "Rstr.csv"};
const char* const summary_files[] = {"grpl_dat",     "grpr_dat",    "Ldisper1.csv", "Ldisper2.csv", "Rdisper1.csv",
                                     "Rdisper2.csv", "Lmedres.csv", "Rmedres.csv",  "HoverV.csv"};

// Every column of mode md stays within md -+ 0.5 and reaches one of the bounds.
void expect_shifted_columns(const std::vector<std::string>& rows, int nmodes, int per_mode, const char* what) {
    for (int col = 0; col < nmodes * per_mode; col += per_mode) {
        const int md = nmodes - 1 - col / per_mode;
        double peak = 0.0;
        for (std::size_t r = 1; r < rows.size(); ++r) {
            const std::vector<std::string> f = fields(rows[r]);
            ASSERT_EQ(f.size(), std::size_t(1 + nmodes * per_mode)) << what;
            for (int k = 0; k < per_mode; ++k) {
                const double x = std::stod(f[1 + col + k]) - md;
                EXPECT_LE(std::fabs(x), 0.5) << what;
                peak = std::fmax(peak, std::fabs(x));
            }
        }
        EXPECT_EQ(peak, 0.5) << what << " mode " << md;
    }
}

TEST(EigenFiles, SingleFrequencyRunWritesEveryEigenfunctionFile) {
    const Nstrc s = love_pair();
    const double om = 2 * pi * 2.0;
    StageRun sr(s, "eigen-check");
    // 500 m steps: the interface at 1000 m is the third point.
    sr.check_run(om, 3000.0, 6);
    const std::vector<double> cl = love_roots(s, om, 1000.5, 1999.5);
    const std::vector<double> cr = rayleigh_roots(s, om, 700.0, 1999.5);
    ASSERT_EQ(cl.size(), 4u);
    ASSERT_GE(cr.size(), 2u);
    put_love(*sr.run, 1, cl);
    put_rayleigh(*sr.run, 1, {cr[0], cr[1]});
    enguu(700, *sr.run);

    EXPECT_EQ(sr.file("vzn_dat"), "  0.3000000E+04\n    6\n    2\n  0.1000000E+04\n  0.0000000E+00\n");
    const auto l1 = lines(sr.file("vl1_dat")), l2 = lines(sr.file("vl2_dat"));
    ASSERT_EQ(l1.size(), 4u * 7u);
    ASSERT_EQ(l2.size(), 4u * 7u);
    for (const char* f : {"vr1_dat", "vr2_dat", "vr3_dat", "vr4_dat"})
        EXPECT_EQ(lines(sr.file(f)).size(), 2u * 7u) << f;
    // Raw values keep the surface normalisation.
    for (int md = 0; md < 4; ++md) EXPECT_EQ(l1[md * 7], "  0.1000000E+01") << md;
    const auto r2 = lines(sr.file("vr2_dat"));
    EXPECT_EQ(r2[0], "  0.1000000E+01");
    EXPECT_EQ(r2[7], "  0.1000000E+01");

    const auto ldis = lines(sr.file("Ldis.csv")), lstr = lines(sr.file("Lstr.csv"));
    const auto rdis = lines(sr.file("Rdis.csv")), rstr = lines(sr.file("Rstr.csv"));
    EXPECT_EQ(ldis[0], "depth (km),  3 mode,  2 mode,  1 mode,  0 mode,");
    EXPECT_EQ(lstr[0], ldis[0]);
    EXPECT_EQ(rdis[0], "depth (km),  1 mode (h),  1 mode (v),  0 mode (h),  0 mode (v),");
    EXPECT_EQ(rstr[0], rdis[0]);
    for (const auto* t : {&ldis, &lstr, &rdis, &rstr}) {
        ASSERT_EQ(t->size(), 8u);
        EXPECT_EQ((*t)[1].substr(0, 9), "  0.0000,");
        EXPECT_EQ((*t)[3].substr(0, 9), "  1.0000,");
        EXPECT_EQ((*t)[7].substr(0, 9), "  3.0000,");
        for (std::size_t r = 1; r < t->size(); ++r) EXPECT_EQ((*t)[r].back(), ',');
    }
    // The plot value of mode 3 at the surface: its raw 1 divided by its largest magnitude
    // (the first column is the highest mode).
    const double vdis3 = [&] {
        double m = 0.001;
        for (int iz = 0; iz < 7; ++iz) m = std::fmax(m, std::fabs(std::stod(l1[3 * 7 + iz])));
        return m;
    }();
    EXPECT_NEAR(std::stod(fields(ldis[1])[1]), 3 + 0.5 / vdis3, 1e-4);
    EXPECT_NEAR(std::stod(fields(lstr[1])[1]), 3.0, 1e-4);  // no stress at the free surface
    expect_shifted_columns(ldis, 4, 1, "Ldis");
    expect_shifted_columns(lstr, 4, 1, "Lstr");
    expect_shifted_columns(rdis, 2, 2, "Rdis");
    expect_shifted_columns(rstr, 2, 2, "Rstr");
    for (const char* f : summary_files) EXPECT_TRUE(sr.has(f)) << f;
    EXPECT_FALSE(sr.has("fort.19"));
}

TEST(EigenFiles, ManyFrequencyRunWritesOnlyTheSummaryFiles) {
    const Nstrc s = love_pair();
    StageRun sr(s, "eigen-many");
    vemlari::Run& r = *sr.run;
    const double dom = 2 * pi * 0.5;
    r.freq = {dom, 0, 2};
    // Mode 1 is missing at frequency 0; the velocities need not be roots for the files.
    put_love(r, 0, {1990.0});
    put_love(r, 1, {1800.0, 1300.0});
    put_love(r, 2, {1500.0, 1100.0});
    put_rayleigh(r, 0, {1950.0});
    put_rayleigh(r, 1, {1700.0, 1400.0});
    put_rayleigh(r, 2, {1200.0, 1600.0});
    enguu(700, r);
    for (const char* f : eigen_files) EXPECT_FALSE(sr.has(f)) << f;

    const auto grpl = lines(sr.file("grpl_dat"));
    ASSERT_EQ(grpl.size(), 6u);
    EXPECT_EQ(grpl[3], "  0.0000000E+00");  // mode 1 at frequency 0
    EXPECT_EQ(grpl[4], e_image(15, 7, r.uegl.ugl(1, 1)));
    EXPECT_EQ(lines(sr.file("grpr_dat"))[3], "  0.0000000E+00");

    const auto d1 = lines(sr.file("Ldisper1.csv")), d2 = lines(sr.file("Ldisper2.csv"));
    ASSERT_EQ(d1.size(), 4u);
    EXPECT_EQ(d1[0], "Freq (Hz),C  0,C  1,C");
    EXPECT_EQ(d2[0], "Freq (Hz),C  0,U  0,C  1,U  1,C");
    EXPECT_EQ(lines(sr.file("Rdisper2.csv"))[0], "Freq (Hz),C  0,U  0,C  1,U  1,C");
    EXPECT_EQ(lines(sr.file("Lmedres.csv"))[0], "Freq (Hz),M  0,M  1,M");
    EXPECT_EQ(lines(sr.file("HoverV.csv"))[0], "Freq (Hz),M  0,M  1,M");
    const std::string vs = e_image(12, 4, 2000.0);
    EXPECT_EQ(d1[1], "  0.0000," + e_image(12, 4, 1990.0) + "," + vs + ",");
    EXPECT_EQ(d2[1], "  0.0000," + e_image(12, 4, 1990.0) + "," + e_image(12, 4, r.uegl.ugl(0, 0)) + "," + vs + "," +
                         vs + ",");
    EXPECT_EQ(d1[3].substr(0, 9), "  1.0000,");
    EXPECT_EQ(fields(lines(sr.file("Rdisper1.csv"))[1])[2], vs);

    // The zero frequency works at dom / 1000 and shows 0 in its row.
    const auto lm = lines(sr.file("Lmedres.csv"));
    EXPECT_EQ(lm[1], "  0.0000," + e_image(12, 4, 0.25 / (dom / 1000 * r.uegl.ugl(0, 0) * r.uegl.e1l(0, 0))) + "," +
                         e_image(12, 4, 0.0) + ",");
    EXPECT_EQ(fields(lm[2])[2], e_image(12, 4, 0.25 / (dom * r.uegl.ugl(1, 1) * r.uegl.e1l(1, 1))));
    const auto hv = lines(sr.file("HoverV.csv"));
    EXPECT_EQ(fields(hv[3])[2], e_image(12, 4, r.uegr.hvr(2, 1)));
    EXPECT_EQ(fields(hv[1])[2], e_image(12, 4, 0.0));
    EXPECT_GT(r.uegr.hvr(2, 1), 0.0);
}

TEST(EigenFiles, HalfSpaceHasOneEmptyLoveColumn) {
    StageRun sr(model({{2000, 1732.0508, 1000, 0}}), "eigen-hs-files");
    sr.check_run(2 * pi, 2000.0, 4);
    sr.run->ccmd.mdl[1] = 0;
    put_rayleigh(*sr.run, 1, {919.4017});
    enguu(700, *sr.run);
    const std::string zero = e_image(12, 4, 0.0);
    EXPECT_EQ(sr.file("Ldisper2.csv"), "Freq (Hz),C  0,U  0,C\n  1.0000," + zero + "," + zero + ",\n");
    EXPECT_EQ(sr.file("Lmedres.csv"), "Freq (Hz),M  0,M\n  1.0000," + zero + ",\n");
    EXPECT_EQ(sr.file("grpl_dat"), "  0.0000000E+00\n");
    EXPECT_EQ(sr.file("Ldis.csv"), "depth (km),  0 mode,\n");
    EXPECT_EQ(sr.file("vl1_dat"), "");
    EXPECT_EQ(lines(sr.file("Rdis.csv")).size(), 6u);
    EXPECT_EQ(lines(sr.file("vr2_dat")).size(), 5u);
}

TEST(EigenFiles, DepthGridLimit) {
    const Nstrc s = love_pair();
    const double om = 2 * pi * 2.0;
    {
        StageRun sr(s, "eigen-701");
        sr.check_run(om, 3000.0, 701);
        put_love(*sr.run, 1, {1500.0});
        EXPECT_THROW(enguu(700, *sr.run), RunStop);
        EXPECT_EQ(sr.console.str(), "  FROM ENGUU: NZINT+2.GT.702 !!!!!!!!!!!!!!!\n");
        for (const char* f : eigen_files) EXPECT_FALSE(sr.has(f)) << f;
        EXPECT_FALSE(sr.has("grpl_dat"));
    }
    {
        StageRun sr(s, "eigen-mom");
        EXPECT_THROW(enguu(702, *sr.run), RunStop);
        EXPECT_EQ(sr.console.str(), "  FROM ENGUU: MOM.GT.701 !!!!!!!!!!!!!!!\n");
    }
    StageRun sr(s, "eigen-700");
    sr.check_run(om, 3000.0, 700);
    put_love(*sr.run, 1, love_roots(s, om, 1000.5, 1999.5));
    put_rayleigh(*sr.run, 1, {rayleigh_roots(s, om, 700.0, 1999.5)[0]});
    enguu(700, *sr.run);
    EXPECT_EQ(lines(sr.file("vl1_dat")).size(), 4u * 701u);
    EXPECT_EQ(lines(sr.file("vr4_dat")).size(), 701u);
    const auto ldis = lines(sr.file("Ldis.csv"));
    ASSERT_EQ(ldis.size(), 702u);
    EXPECT_EQ(ldis.back().substr(0, 9), "  3.0000,");
    EXPECT_EQ(sr.console.str(), "");
}

}  // namespace
}  // namespace vemlari
