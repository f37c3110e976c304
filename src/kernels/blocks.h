#pragma once
// 2 x 2 and 4 x 4 blocks of complex numbers, for one lane (C = cplx) or for a vector of lanes
// (each part of C a vector). Plain data: no code of its own beyond element access.
namespace vemlari::detail {

// 2 x 2 block; index 1 is P, index 2 is S; row = outgoing wave, column = incident wave.
template <class C>
struct Block2 {
    C m11, m21, m12, m22;
};

// 4 x 4 matrix addressed 1-based as (row, column).
template <class C>
struct Block4 {
    C e[4][4];
    C& operator()(int r, int c) { return e[r - 1][c - 1]; }
    const C& operator()(int r, int c) const { return e[r - 1][c - 1]; }
};

// x + 0i in the arithmetic of C. x - 0 is x, signed zeros included, and a number taken
// from a vector of zeros spreads over every lane.
template <class C>
inline C real_of(double x) {
    C c{};
    c.re = x - c.re;
    return c;
}

}  // namespace vemlari::detail
