#include "dispersion/trace_files.h"

#include "records/free_form.h"
#include "records/layout.h"

namespace vemlari {

void open_trace_files(Streams& st) {
    static const char* const names[8] = {"sclc_dat", "sclr_dat", "scli_dat", "scrc_dat",
                                         "scrr_dat", "scri_dat", "sec-Lov.csv", "sec-Ray.csv"};
    for (int k = 0; k < 8; ++k) st.open(11 + k, names[k], OpenStatus::unk);
    const char* header = "Phase Velocity (m/s), Real Part, Imag Part        ,Absolute Value";
    write_free(st, love_trace.csv, {header});
    write_free(st, rayleigh_trace.csv, {header});
}

void close_trace_files(Streams& st) {
    for (int u = 11; u <= 18; ++u) st.close(u);
}

void write_trace(RecordSink& out, const TraceUnits& u, double c, cplx f) {
    static const Layout value("(E15.7)");
    static const Layout row("(E15.7,3(',',E15.7))");
    value.write(out, u.c, {c});
    value.write(out, u.re, {f.re});
    value.write(out, u.im, {f.im});
    row.write(out, u.csv, {c, f.re, f.im, cabs(f)});
}

}  // namespace vemlari
