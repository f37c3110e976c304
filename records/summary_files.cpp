#include "records/summary_files.h"

#include "records/layout.h"
#include "records/row_buffer.h"

namespace vemlari {

namespace {

void write_group_velocities(Streams& st, int u, const SummaryGrid& g, const FreqModeTable& ug, int mdmax) {
    static const Layout value("(E15.7)");
    for (int md = 0; md <= mdmax; ++md)
        for (int io = g.iom; io <= g.nom; ++io) value.write(st, u, {ug(io, md)});
}

// Headers: mode numbers 0 .. mdmax, each given `copies` times.
void write_header(Streams& st, int u, const Layout& tmpl, int mdmax, int copies, Row& row) {
    int n = 0;
    for (int md = 0; md <= mdmax; ++md)
        for (int k = 0; k < copies; ++k) row[static_cast<std::size_t>(n++)] = LayoutValue(md);
    tmpl.write(st, u, first(row, n));
}

void write_row(Streams& st, int u, const Layout& tmpl, double hz, int io, int mdmax, const FreqModeTable& t, Row& row) {
    row[0] = LayoutValue(hz);
    for (int md = 0; md <= mdmax; ++md) row[static_cast<std::size_t>(md) + 1] = LayoutValue(t(io, md));
    tmpl.write(st, u, first(row, mdmax + 2));
}

void replace_missing(FreqModeTable& cc, FreqModeTable& ug, int io, int mdmax, double t, double vsmax) {
    for (int md = 0; md <= mdmax; ++md) {
        if (cc(io, md) < t) cc(io, md) = vsmax;
        if (ug(io, md) < t) ug(io, md) = vsmax;
    }
}

void write_dispersion_rows(Streams& st, int u1, int u2, const Layout& tmpl, double hz, int io, int mdmax,
                           const FreqModeTable& cc, const FreqModeTable& ug, Row& row) {
    row[0] = LayoutValue(hz);
    for (int md = 0; md <= mdmax; ++md) row[static_cast<std::size_t>(md) + 1] = LayoutValue(cc(io, md));
    tmpl.write(st, u1, first(row, mdmax + 2));
    for (int md = 0; md <= mdmax; ++md) {
        row[static_cast<std::size_t>(2 * md + 1)] = LayoutValue(cc(io, md));
        row[static_cast<std::size_t>(2 * md + 2)] = LayoutValue(ug(io, md));
    }
    tmpl.write(st, u2, first(row, 2 * mdmax + 3));
}

}  // namespace

void write_summary_files(Streams& st, const SummaryGrid& g, Ccmd& cm, Uegl& ul, Uegr& ur) {
    static const Layout rows("(F8.4,500(',',E12.4))");
    static const Layout head_c("('Freq (Hz)',500(',C',I3))");
    static const Layout head_cu("('Freq (Hz)',500(',C',I3,',U',I3))");
    static const Layout head_m("('Freq (Hz)',500(',M',I3))");
    Row row;

    const int mdl = cm.mdl[static_cast<std::size_t>(g.nom)];
    const int mdr = cm.mdr[static_cast<std::size_t>(g.nom)];
    namespace f = eigen_file;

    st.open(f::grpl.unit, f::grpl.name, OpenStatus::unk);
    st.open(f::grpr.unit, f::grpr.name, OpenStatus::unk);
    write_group_velocities(st, f::grpl.unit, g, ul.ugl, mdl);
    write_group_velocities(st, f::grpr.unit, g, ur.ugr, mdr);
    st.close(f::grpl.unit);
    st.close(f::grpr.unit);

    for (const StreamFile& s : {f::ldisp1, f::ldisp2, f::rdisp1, f::rdisp2, f::lmedres, f::rmedres, f::hoverv})
        st.open(s.unit, s.name, OpenStatus::unk);
    write_header(st, f::ldisp1.unit, head_c, mdl, 1, row);
    write_header(st, f::ldisp2.unit, head_cu, mdl, 2, row);
    write_header(st, f::rdisp1.unit, head_c, mdr, 1, row);
    write_header(st, f::rdisp2.unit, head_cu, mdr, 2, row);
    write_header(st, f::lmedres.unit, head_m, mdl, 1, row);
    write_header(st, f::rmedres.unit, head_m, mdr, 1, row);
    write_header(st, f::hoverv.unit, head_m, mdr, 1, row);

    const double t = g.cmin / 10000.0;
    for (int io = g.iom; io <= g.nom; ++io) {
        const double hz = io * g.dom / 6.283185307;
        write_row(st, f::lmedres.unit, rows, hz, io, mdl, ul.rsl, row);
        write_row(st, f::rmedres.unit, rows, hz, io, mdr, ur.rsr, row);
        write_row(st, f::hoverv.unit, rows, hz, io, mdr, ur.hvr, row);
        // Velocities of modes missing at this frequency are shown as vsmax.
        replace_missing(cm.ccl, ul.ugl, io, mdl, t, g.vsmax);
        replace_missing(cm.ccr, ur.ugr, io, mdr, t, g.vsmax);
        write_dispersion_rows(st, f::ldisp1.unit, f::ldisp2.unit, rows, hz, io, mdl, cm.ccl, ul.ugl, row);
        write_dispersion_rows(st, f::rdisp1.unit, f::rdisp2.unit, rows, hz, io, mdr, cm.ccr, ur.ugr, row);
    }

    for (const StreamFile& s : {f::ldisp1, f::ldisp2, f::rdisp1, f::rdisp2, f::lmedres, f::rmedres, f::hoverv})
        st.close(s.unit);
}

}  // namespace vemlari
