// The SH kernels of one lane.
#include <utility>

#include "kernels/kernels.h"
#include "kernels/one_lane.h"
#include "kernels/sh_kernel.h"

namespace vemlari::detail {

void mdrtlv(double om, double wn, const Nstrc& s, Mrtlv& m) {
    if (s.nl < 2) return;  // no interface
    m.fit(s.nl);
    sh_interfaces<OneLane>(om, wn, layers_of(s), view(m));
}

void gnrtlv(double om, double wn, const Nstrc& s, Mrtlv& m, Grtlv& g) {
    g.nwarn = 0;
    // A lone half-space has no interface; the callers handle it and the records stay as they are.
    if (s.nl < 2) return;
    mdrtlv(om, wn, s, m);
    g.fit(s.nl);
    g.RU0 = m.RU[0];
    sh_downward(s.nl, view(std::as_const(m)), view(g), NearPoles{g});
}

void gnrulv(int last, const Mrtlv& m, Grulv& g) {
    g.fit(last + 1);
    sh_upward(last, view(m), view(g));
}

}  // namespace vemlari::detail
