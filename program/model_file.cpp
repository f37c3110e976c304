#include "program/model_file.h"

#include "program/list_input.h"
#include "records/free_form.h"

namespace vemlari {

Sampling read_sampling(Streams& st) {
    Sampling s;
    skip_line(st, unit::model);
    skip_line(st, unit::model);
    read_list(st, unit::model, {s.dt, s.nt});
    write_free(st, unit::console, {});
    write_free(st, unit::console, {"Delta Time (s) =", s.dt, ", Number of Time =", s.nt});
    return s;
}

double read_period(Streams& st) {
    double period = 0.0;
    skip_line(st, unit::model);
    read_list(st, unit::model, {period});
    return period;
}

void read_layer_count(Streams& st, Run& run) {
    skip_line(st, unit::model);
    skip_line(st, unit::model);
    read_list(st, unit::model, {run.layers.nl});
    skip_line(st, unit::model);
    write_free(st, unit::console, {"Number of Layers=", run.layers.nl});
    write_free(st, unit::console, {"Layer, Density, Vp, Qp, Fp, Vs, Qs, Fs, Thickness"});
}

std::vector<Layer> read_layers(Streams& st, Run& run) {
    LayerTable& m = run.layers;
    const int nl = m.nl;
    m = LayerTable{};
    std::vector<Layer> layers;
    int number = 0;
    // Each read keeps what an omitted value held before, as the program always has.
    double rho = 0.0, vp = 0.0, qp = 0.0, fp = 0.0, vs = 0.0, qs = 0.0, fs = 0.0, thk = 0.0;
    for (int il = 1; il <= nl; ++il) {
        rho = vp = vs = thk = 0.0;
        read_list(st, unit::model, {number, rho, vp, qp, fp, vs, qs, fs, thk});
        write_free(st, unit::console, {number, rho, vp, qp, fp, vs, qs, fs, thk});
        m.add(rho, vp, vs, thk);
        layers.push_back({thk, vp, vs, rho, qp, qs, fp, fs});
    }
    write_free(st, unit::log, {"NL=", m.nl});
    for (int il = 1; il <= m.nl; ++il) write_free(st, unit::log, {il, m.rho[il], m.vp[il], m.vs[il], m.thk[il]});
    return layers;
}

}  // namespace vemlari
