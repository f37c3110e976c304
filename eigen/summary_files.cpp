#include "eigen/summary_files.h"


#include "eigen/row_buffer.h"
#include "records/layout.h"

namespace vemlari {

namespace {

enum Unit { grpl = 32, grpr = 33, ldisp1 = 42, ldisp2, rdisp1, rdisp2, lmedres, rmedres, hoverv };

void write_group_velocities(Streams& st, int u, const Freq& fq, const FreqModeTable& ug, int mdmax) {
    static const Layout value("(E15.7)");
    for (int md = 0; md <= mdmax; ++md)
        for (int io = fq.iom; io <= fq.nom; ++io) value.write(st, u, {ug(io, md)});
}

// Headers: mode numbers 0 .. mdmax, each given `copies` times.
void write_header(Streams& st, int u, const Layout& tmpl, int mdmax, int copies, Row& row) {
    int n = 0;
    for (int md = 0; md <= mdmax; ++md)
        for (int k = 0; k < copies; ++k) row[n++] = LayoutValue(md);
    tmpl.write(st, u, first(row, n));
}

// 1 / (4 om U I1), or 0 where U or I1 is too small to be a mode.
void write_response(Streams& st, int u, const Layout& tmpl, double hz, double om, int io, int mdmax,
                    const FreqModeTable& ug, const FreqModeTable& e1, Row& row) {
    row[0] = LayoutValue(hz);
    for (int md = 0; md <= mdmax; ++md) {
        double res = 0.0;
        if (ug(io, md) > 1e-05 && e1(io, md) > 1e-05) res = 0.25 / (om * ug(io, md) * e1(io, md));
        row[md + 1] = LayoutValue(res);
    }
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
    for (int md = 0; md <= mdmax; ++md) row[md + 1] = LayoutValue(cc(io, md));
    tmpl.write(st, u1, first(row, mdmax + 2));
    for (int md = 0; md <= mdmax; ++md) {
        row[2 * md + 1] = LayoutValue(cc(io, md));
        row[2 * md + 2] = LayoutValue(ug(io, md));
    }
    tmpl.write(st, u2, first(row, 2 * mdmax + 3));
}

}  // namespace

void write_summary_files(Run& run) {
    static const Layout rows("(F8.4,500(',',E12.4))");
    static const Layout head_c("('Freq (Hz)',500(',C',I3))");
    static const Layout head_cu("('Freq (Hz)',500(',C',I3,',U',I3))");
    static const Layout head_m("('Freq (Hz)',500(',M',I3))");
    static Row row;

    Streams& st = run.streams;
    const Freq& fq = run.freq;
    Ccmd& cm = run.ccmd;
    Uegl& ul = run.uegl;
    Uegr& ur = run.uegr;
    const int mdl = cm.mdl[fq.nom];
    const int mdr = cm.mdr[fq.nom];

    st.open(grpl, "grpl_dat", OpenStatus::unk);
    st.open(grpr, "grpr_dat", OpenStatus::unk);
    write_group_velocities(st, grpl, fq, ul.ugl, mdl);
    write_group_velocities(st, grpr, fq, ur.ugr, mdr);
    st.close(grpl);
    st.close(grpr);

    st.open(ldisp1, "Ldisper1.csv", OpenStatus::unk);
    st.open(ldisp2, "Ldisper2.csv", OpenStatus::unk);
    st.open(rdisp1, "Rdisper1.csv", OpenStatus::unk);
    st.open(rdisp2, "Rdisper2.csv", OpenStatus::unk);
    st.open(lmedres, "Lmedres.csv", OpenStatus::unk);
    st.open(rmedres, "Rmedres.csv", OpenStatus::unk);
    st.open(hoverv, "HoverV.csv", OpenStatus::unk);
    write_header(st, ldisp1, head_c, mdl, 1, row);
    write_header(st, ldisp2, head_cu, mdl, 2, row);
    write_header(st, rdisp1, head_c, mdr, 1, row);
    write_header(st, rdisp2, head_cu, mdr, 2, row);
    write_header(st, lmedres, head_m, mdl, 1, row);
    write_header(st, rmedres, head_m, mdr, 1, row);
    write_header(st, hoverv, head_m, mdr, 1, row);

    const double t = run.minmax.cmin / 10000.0;
    const double vsmax = run.minmax.vsmax;
    for (int io = fq.iom; io <= fq.nom; ++io) {
        const double om = io == 0 ? fq.dom / 1000.0 : fq.dom * io;
        const double hz = io * fq.dom / 6.283185307;
        write_response(st, lmedres, rows, hz, om, io, mdl, ul.ugl, ul.e1l, row);
        write_response(st, rmedres, rows, hz, om, io, mdr, ur.ugr, ur.e1r, row);
        row[0] = LayoutValue(hz);
        for (int md = 0; md <= mdr; ++md) row[md + 1] = LayoutValue(ur.hvr(io, md));
        rows.write(st, hoverv, first(row, mdr + 2));
        // Velocities of modes missing at this frequency are shown as vsmax.
        replace_missing(cm.ccl, ul.ugl, io, mdl, t, vsmax);
        replace_missing(cm.ccr, ur.ugr, io, mdr, t, vsmax);
        write_dispersion_rows(st, ldisp1, ldisp2, rows, hz, io, mdl, cm.ccl, ul.ugl, row);
        write_dispersion_rows(st, rdisp1, rdisp2, rows, hz, io, mdr, cm.ccr, ur.ugr, row);
    }

    for (int u : {ldisp1, ldisp2, rdisp1, rdisp2, lmedres, rmedres, hoverv}) st.close(u);
}

}  // namespace vemlari
