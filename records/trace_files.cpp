#include "records/trace_files.h"

#include <cmath>

#include "records/free_form.h"
#include "records/layout.h"

namespace vemlari {

void open_trace_files(Streams& st) {
    for (const StreamFile& f : search_file::trace) st.open(f.unit, f.name, OpenStatus::unk);
    const char* header = "Phase Velocity (m/s), Real Part, Imag Part        ,Absolute Value";
    write_free(st, search_file::trace[6].unit, {header});
    write_free(st, search_file::trace[7].unit, {header});
}

void close_trace_files(Streams& st) {
    for (const StreamFile& f : search_file::trace) st.close(f.unit);
}

void write_trace(RecordSink& out, Wave wave, const TracePoint& p) {
    static const Layout value("(E15.7)");
    static const Layout row("(E15.7,3(',',E15.7))");
    // Love: c, Re, Im files 0 .. 2 and CSV file 6; Rayleigh: 3 .. 5 and 7.
    const int first = wave == Wave::love ? 0 : 3;
    const int csv = wave == Wave::love ? 6 : 7;
    const double re = p.value.real(), im = p.value.imag();
    value.write(out, search_file::trace[first].unit, {p.phase_velocity});
    value.write(out, search_file::trace[first + 1].unit, {re});
    value.write(out, search_file::trace[first + 2].unit, {im});
    row.write(out, search_file::trace[csv].unit, {p.phase_velocity, re, im, std::hypot(re, im)});
}

}  // namespace vemlari
