// Closed-form 4 x 4 inverse.
#include <gtest/gtest.h>

#include <random>

#include "kernels/kernels.h"

namespace vemlari {

using namespace vemlari::detail;
namespace {

Mat4 product(const Mat4& a, const Mat4& b) {
    Mat4 p{};
    for (int r = 1; r <= 4; ++r)
        for (int c = 1; c <= 4; ++c)
            for (int q = 1; q <= 4; ++q) p(r, c) = p(r, c) + a(r, q) * b(q, c);
    return p;
}

double distance_to_identity(const Mat4& a) {
    double d = 0;
    for (int r = 1; r <= 4; ++r)
        for (int c = 1; c <= 4; ++c) d = std::fmax(d, cabs(a(r, c) - cplx{r == c ? 1.0 : 0.0, 0.0}));
    return d;
}

TEST(KernelsDcinva, IdentityAndDiagonal) {
    Mat4 e{};
    for (int i = 1; i <= 4; ++i) e(i, i) = cplx{1.0, 0.0};
    dcinva(e);
    for (int r = 1; r <= 4; ++r)
        for (int c = 1; c <= 4; ++c) {
            EXPECT_EQ(e(r, c).re, r == c ? 1.0 : 0.0);
            EXPECT_EQ(e(r, c).im, 0.0);
        }

    const cplx d[4] = {{2.0, 0.0}, {0.0, -4.0}, {1.0, 1.0}, {-3.0, 0.5}};
    Mat4 g{};
    for (int i = 1; i <= 4; ++i) g(i, i) = d[i - 1];
    dcinva(g);
    for (int r = 1; r <= 4; ++r)
        for (int c = 1; c <= 4; ++c) {
            const cplx want = r == c ? cplx{1.0, 0.0} / d[r - 1] : cplx{};
            EXPECT_NEAR(cabs(g(r, c) - want), 0.0, 1e-16) << r << c;
        }
}

// Permutation matrices are orthogonal: inverse = transpose, whatever the permutation's sign.
TEST(KernelsDcinva, PermutationsInvertToTheirTranspose) {
    const int perms[3][4] = {{2, 1, 3, 4}, {4, 1, 2, 3}, {3, 4, 1, 2}};
    for (const auto& p : perms) {
        Mat4 e{};
        for (int r = 1; r <= 4; ++r) e(r, p[r - 1]) = cplx{1.0, 0.0};
        const Mat4 orig = e;
        dcinva(e);
        for (int r = 1; r <= 4; ++r)
            for (int c = 1; c <= 4; ++c) {
                EXPECT_EQ(e(r, c).re, orig(c, r).re) << r << c;
                EXPECT_EQ(e(r, c).im, 0.0);
            }
    }
}

TEST(KernelsDcinva, ProductWithTheInverseIsTheIdentity) {
    std::mt19937_64 rng(20240611);
    std::uniform_real_distribution<double> u(-1.0, 1.0);
    for (int trial = 0; trial < 200; ++trial) {
        Mat4 a{};
        for (int r = 1; r <= 4; ++r)
            for (int c = 1; c <= 4; ++c) a(r, c) = cplx{u(rng), u(rng)};
        // Strengthen the diagonal so the matrix is well conditioned.
        for (int i = 1; i <= 4; ++i) a(i, i) = a(i, i) + cplx{3.0 * (trial % 2 ? 1 : -1), 1.0};
        Mat4 inv = a;
        dcinva(inv);
        EXPECT_LT(distance_to_identity(product(a, inv)), 1e-13);
        EXPECT_LT(distance_to_identity(product(inv, a)), 1e-13);
    }
}

}  // namespace
}  // namespace vemlari
