#include "records/eigen_files.h"

#include <cmath>

#include "records/layout.h"
#include "records/row_buffer.h"

namespace vemlari {

namespace f = eigen_file;

void write_depth_grid(Streams& st, double dep, int nzint, const std::vector<double>& thk, int nl) {
    static const Layout real("(E15.7)");
    static const Layout count("(I5)");
    st.open(f::vzn.unit, f::vzn.name, OpenStatus::unk);
    real.write(st, f::vzn.unit, {dep});
    count.write(st, f::vzn.unit, {nzint});
    count.write(st, f::vzn.unit, {nl});
    for (int l = 1; l <= nl; ++l) real.write(st, f::vzn.unit, {thk[static_cast<std::size_t>(l)]});
    st.close(f::vzn.unit);
}

void open_eigen_files(Streams& st, int mdl, int mdr) {
    static const Layout love_head("('depth (km)',400(',',I3,' mode'))");
    static const Layout rayleigh_head("('depth (km)',400(',',I3,' mode (h),',I3,' mode (v)'))");
    for (const StreamFile& s :
         {f::vl1, f::vl2, f::vr[0], f::vr[1], f::vr[2], f::vr[3], f::ldis, f::lstr, f::rdis, f::rstr})
        st.open(s.unit, s.name, OpenStatus::unk);
    Row row;
    int n = 0;
    for (int md = mdl; md >= 0; --md) row[static_cast<std::size_t>(n++)] = LayoutValue(md);
    love_head.write(st, f::ldis.unit, first(row, n));
    love_head.write(st, f::lstr.unit, first(row, n));
    n = 0;
    for (int md = mdr; md >= 0; --md) {
        row[static_cast<std::size_t>(n++)] = LayoutValue(md);
        row[static_cast<std::size_t>(n++)] = LayoutValue(md);
    }
    rayleigh_head.write(st, f::rdis.unit, first(row, n));
    rayleigh_head.write(st, f::rstr.unit, first(row, n));
}

void close_eigen_files(Streams& st) {
    for (const StreamFile& s :
         {f::vl1, f::vl2, f::vr[0], f::vr[1], f::vr[2], f::vr[3], f::ldis, f::lstr, f::rdis, f::rstr})
        st.close(s.unit);
}

void write_raw(Streams& st, int unit, const double* values, int npts) {
    static const Layout real("(E15.7)");
    for (int iz = 0; iz < npts; ++iz) real.write(st, unit, {values[iz]});
}

// The floor keeps an all-zero eigenfunction from a division by zero.
void normalise(DepthModeTable& a, DepthModeTable* b, int md, int npts) {
    double vmax = 0.001;
    for (int iz = 0; iz < npts; ++iz) {
        vmax = std::fmax(vmax, std::fabs(a(iz, md)));
        if (b) vmax = std::fmax(vmax, std::fabs((*b)(iz, md)));
    }
    for (int iz = 0; iz < npts; ++iz) {
        a(iz, md) /= vmax;
        if (b) (*b)(iz, md) /= vmax;
    }
}

// Mode md's curve stays within md - 0.5 .. md + 0.5.
void write_plot_row(Streams& st, int unit, double z, int iz, int mdmax, const DepthModeTable& a,
                    const DepthModeTable* b) {
    static const Layout rows("(F8.4,500(',',E12.4))");
    Row row;
    int n = 0;
    row[static_cast<std::size_t>(n++)] = LayoutValue(z / 1000.0);
    for (int md = mdmax; md >= 0; --md) {
        row[static_cast<std::size_t>(n++)] = LayoutValue(md + a(iz, md) / 2.0);
        if (b) row[static_cast<std::size_t>(n++)] = LayoutValue(md + (*b)(iz, md) / 2.0);
    }
    rows.write(st, unit, first(row, n));
}

}  // namespace vemlari
