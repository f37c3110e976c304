#include "records/number_images.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace vemlari {

namespace {

// Decimal digits of |v| from printf, which rounds correctly. A field wide enough for more
// than the stack buffer is so rare that the heap fallback costs nothing in practice.
class Printed {
public:
    Printed(const char* fmt, int prec, double mag) {
        n_ = std::snprintf(small_, sizeof small_, fmt, prec, mag);
        if (n_ >= static_cast<int>(sizeof small_)) {
            big_.resize(static_cast<std::size_t>(n_) + 1);
            std::snprintf(big_.data(), big_.size(), fmt, prec, mag);
        }
    }
    const char* data() const { return big_.empty() ? small_ : big_.data(); }
    int size() const { return n_; }

private:
    char small_[512];
    std::string big_;
    int n_ = 0;
};

void append_stars(std::string& out, int w) { out.append(static_cast<std::size_t>(w > 0 ? w : 0), '*'); }

void append_padded(std::string& out, int w, int len) {
    if (w > len) out.append(static_cast<std::size_t>(w - len), ' ');
}

// NaN and infinities in a data field: shortened to "Inf" when the field is narrow.
void append_nonfinite_field(std::string& out, int w, double v) {
    const char* full;
    const char* brief;
    if (std::isnan(v)) {
        full = brief = "NaN";
    } else if (v < 0) {
        full = "-Infinity";
        brief = "-Inf";
    } else {
        full = "Infinity";
        brief = "Inf";
    }
    for (const char* s : {full, brief}) {
        const int len = static_cast<int>(std::char_traits<char>::length(s));
        if (len <= w) {
            append_padded(out, w, len);
            out += s;
            return;
        }
    }
    append_stars(out, w);
}

// Significant digits and decimal exponent of |v| rounded to `ndig` digits, value taken as
// d.ddd x 10^exp10. Returns the number of digits written to `digits`.
int scientific_digits(double mag, int ndig, char* digits, int& exp10) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*e", ndig - 1, mag);
    int n = 0;
    const char* p = buf;
    for (; *p != 'e'; ++p)
        if (*p != '.') digits[n++] = *p;
    exp10 = std::atoi(p + 1);
    return n;
}

}  // namespace

void append_I(std::string& out, int w, long long v) {
    char buf[32];
    // A negative zero cannot occur for integers; the sign comes straight from the value.
    const int len = std::snprintf(buf, sizeof buf, "%lld", v);
    if (len > w) {
        append_stars(out, w);
        return;
    }
    append_padded(out, w, len);
    out.append(buf, static_cast<std::size_t>(len));
}

void append_F(std::string& out, int w, int d, double v) {
    if (!std::isfinite(v)) {
        append_nonfinite_field(out, w, v);
        return;
    }
    const Printed p("%.*f", d, std::fabs(v));
    const char* s = p.data();
    const int n = p.size();
    const int int_len = d > 0 ? n - d - 1 : n;

    bool all_zero = true;
    for (int k = 0; k < n; ++k)
        if (s[k] != '0' && s[k] != '.') all_zero = false;
    // A value that shows as zero carries no sign, whatever its own sign was.
    const bool neg = v < 0 && !all_zero;

    // Image: [sign] integer part "." decimals (printf leaves out the point when d is 0).
    int len = (neg ? 1 : 0) + int_len + 1 + d;
    bool drop_zero = false;
    if (len > w) {
        // Only the "0" of a magnitude below 1 may be sacrificed, and only for one column.
        const bool lone_zero = int_len == 1 && s[0] == '0' && d > 0;
        if (!(lone_zero && len == w + 1)) {
            append_stars(out, w);
            return;
        }
        drop_zero = true;
        --len;
    }
    append_padded(out, w, len);
    if (neg) out += '-';
    if (!drop_zero) out.append(s, static_cast<std::size_t>(int_len));
    out += '.';
    if (d > 0) out.append(s + int_len + 1, static_cast<std::size_t>(d));
}

void append_E(std::string& out, int w, int d, double v) {
    if (!std::isfinite(v)) {
        append_nonfinite_field(out, w, v);
        return;
    }
    if (d < 1) {
        append_stars(out, w);
        return;
    }
    const bool neg = v < 0;
    const int need = d + 6 + (neg ? 1 : 0);
    if (w < need - 1) {
        append_stars(out, w);
        return;
    }

    const Printed p("%.*e", d - 1, std::fabs(v));
    const char* s = p.data();
    const char* e = s;
    while (*e != 'e') ++e;
    // printf gives d.ddd x 10^x; the image wants 0.dddd x 10^(x+1). Zero keeps E+00.
    const int exp10 = v == 0 ? 0 : std::atoi(e + 1) + 1;

    append_padded(out, w, need);
    if (neg) out += '-';
    if (w >= need) out += '0';
    out += '.';
    for (const char* q = s; q < e; ++q)
        if (*q != '.') out += *q;
    char ebuf[16];
    const int mag = exp10 < 0 ? -exp10 : exp10;
    if (mag <= 99)
        std::snprintf(ebuf, sizeof ebuf, "E%c%02d", exp10 < 0 ? '-' : '+', mag);
    else
        std::snprintf(ebuf, sizeof ebuf, "%c%03d", exp10 < 0 ? '-' : '+', mag);
    out += ebuf;
}

void append_free_int(std::string& out, long long v) {
    char buf[32];
    const int len = std::snprintf(buf, sizeof buf, " %lld", v);
    out.append(buf, static_cast<std::size_t>(len));
}

void append_free_real_bare(std::string& out, double v) {
    if (std::isnan(v)) {
        out += "NaN";
        return;
    }
    if (std::isinf(v)) {
        out += v < 0 ? "-Infinity" : "Infinity";
        return;
    }
    if (v < 0) out += '-';
    if (v == 0) {
        out += "0.";
        return;
    }
    char digits[16];
    int exp10 = 0;
    int n = scientific_digits(std::fabs(v), 9, digits, exp10);
    while (n > 1 && digits[n - 1] == '0') --n;

    if (exp10 >= -4 && exp10 <= 8) {
        if (exp10 >= 0) {
            // Integer part: the first exp10 + 1 digits, zero-filled when the digits run out.
            for (int k = 0; k <= exp10; ++k) out += k < n ? digits[k] : '0';
            out += '.';
            if (n > exp10 + 1) out.append(digits + exp10 + 1, static_cast<std::size_t>(n - exp10 - 1));
        } else {
            out += "0.";
            out.append(static_cast<std::size_t>(-exp10 - 1), '0');
            out.append(digits, static_cast<std::size_t>(n));
        }
        return;
    }
    out += digits[0];
    out += '.';
    out.append(digits + 1, static_cast<std::size_t>(n - 1));
    char ebuf[16];
    std::snprintf(ebuf, sizeof ebuf, "E%c%03d", exp10 < 0 ? '-' : '+', exp10 < 0 ? -exp10 : exp10);
    out += ebuf;
}

void append_free_real(std::string& out, double v) {
    if (std::isnan(v)) {
        out += " NaN";
        return;
    }
    out += ' ';
    if (!(v < 0)) out += ' ';
    append_free_real_bare(out, v);
}

}  // namespace vemlari
