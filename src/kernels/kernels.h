#pragma once
// Layered-medium response kernels: SH and P-SV modified and generalized R/T coefficients,
// for a stack of any number of layers.
#include "kernels/kernel_records.h"

namespace vemlari::detail {

// SH (Love) kernels.
void mdrtlv(double om, double wn, const Nstrc& s, Mrtlv& m);
void gnrtlv(double om, double wn, const Nstrc& s, Mrtlv& m, Grtlv& g);
// Stack above interfaces 0 .. last from the modified coefficients of mdrtlv at the same
// (om, wn); last <= nl - 2.
void gnrulv(int last, const Mrtlv& m, Grulv& g);

// P-SV (Rayleigh) kernels.
void mtxry(double om, double wn, int l, const Nstrc& s, cplx& cms, cplx& cmp, Mat4& ee);
void ddury(double thk, cplx cms, cplx cmp, Mat2& du);
void dcinva(Mat4& e);
// Modified coefficients of interface l between layers of matrices ea, eb and phase blocks
// dda, dub; m sized for l.
void mtrry(const Mat4& ea, const Mat4& eb, const Mat2& dda, const Mat2& dub, int l, Mrtry& m);
void mdrtry(double om, double wn, const Nstrc& s, Mrtry& m);
void gnrtry(double om, double wn, const Nstrc& s, Mrtry& m, Grtry& g);
// Stack above interfaces 0 .. last from the modified coefficients of mdrtry at the same
// (om, wn); last <= nl - 2, om > 0.
void gnrury(double om, double wn, const Nstrc& s, int last, const Mrtry& m, Grury& g);

}  // namespace vemlari::detail
