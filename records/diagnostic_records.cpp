#include "records/diagnostic_records.h"

#include <cstdio>

#include "records/free_form.h"
#include "records/layout.h"

namespace vemlari {

namespace {

void write_not_converged(RecordSink& out, const Diagnostic& d) {
    static const Layout detail("(' Mode,Iter,Phase Vel,Amp=',I3,I5,F9.2,F9.3)");
    const char* wave = d.wave == Wave::love ? "Love Wave" : "Rayleigh Wave";
    char text[96];
    if (d.layer > 1) {
        std::snprintf(text, sizeof text, "%s at the top of layer %d: Did not converge!", wave, d.layer);
    } else {
        std::snprintf(text, sizeof text, "%s: Did not converge!", wave);
    }
    for (int u : {unit::console, unit::log}) write_free(out, u, {static_cast<const char*>(text)});
    for (int u : {unit::console, unit::log}) write_free(out, u, {" This may be a local min. of the secular func."});
    for (int u : {unit::console, unit::log}) detail.write(out, u, {d.mode, d.iterations, d.phase_velocity, d.modulus});
}

void write_near_singular(RecordSink& out, const Diagnostic& d) {
    write_free(out, unit::log, {"from GNRTLV:om,wn", d.angular_frequency, d.wavenumber});
    write_free(out, unit::log, {" 1.D0-RU(I)*GRD(I+1) < 1.d-15 !!"});
    write_free(out, unit::log, {d.term});
    write_free(out, unit::log, {" Try a different number of Partitions !!"});
}

}  // namespace

void write_diagnostic(RecordSink& out, const Diagnostic& d) {
    if (d.kind == Diagnostic::Kind::not_converged) {
        write_not_converged(out, d);
    } else {
        write_near_singular(out, d);
    }
}

}  // namespace vemlari
