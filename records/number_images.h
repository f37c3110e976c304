#pragma once
// Images of numbers as every output file shows them. All writers go through these.
// The sign comes from the value, never from the sign bit: a negative zero has no "-".
#include <string>

namespace vemlari {

// Iw: right-justified digits, "-" for negatives; w asterisks when it does not fit.
void append_I(std::string& out, int w, long long v);
// Fw.d: fixed point, rounded to d decimals.
void append_F(std::string& out, int w, int d, double v);
// Ew.d: 0.ddd...E+xx form with d significant digits.
void append_E(std::string& out, int w, int d, double v);

// Free-form images. An integer is " " and its digits (" 1024", " -3"); a real is " ", the
// sign or a blank, then at most 9 significant digits in the shortest general form
// ("  0.01", "  1500.", " -2.5", "  0.", "  1.E-005").
void append_free_int(std::string& out, long long v);
void append_free_real(std::string& out, double v);
// A free-form real without its two leading characters, "-" kept ("1.E-005", "-2.5", "0.").
void append_free_real_bare(std::string& out, double v);

}  // namespace vemlari
