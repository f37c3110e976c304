#include "kernels/secular.h"

#include "kernels/one_lane.h"
#include "kernels/psv_kernel.h"
#include "kernels/sh_kernel.h"

namespace vemlari::detail {

namespace {

cplx love_evaluation(double om, double wn, int top, const Nstrc& s, LoveWork& w) {
    w.mrtlv.fit(s.nl);
    w.grtlv.fit(s.nl);
    w.grtlv.nwarn = 0;
    if (top > 1) w.grulv.fit(top);
    const cplx f = love_function<OneLane>(om, wn, top, layers_of(s), {view(w.mrtlv), view(w.grtlv), view(w.grulv)},
                                          NearPoles{w.grtlv});
    w.grtlv.RU0 = w.mrtlv.RU[0];
    return f;
}

cplx rayleigh_evaluation(double om, double wn, double sm2, int top, const Nstrc& s, RayleighWork& w) {
    w.mrtry.fit(s.nl);
    w.grtry.fit(s.nl);
    if (top > 1) w.grury.fit(top);
    TopLayer<cplx> layer1;
    return rayleigh_function<OneLane>(om, wn, sm2, top, layers_of(s), {view(w.mrtry), view(w.grtry), view(w.grury)},
                                      layer1);
}

}  // namespace

cplx love_secular(double om, double wn, const Nstrc& s, LoveWork& w) { return love_evaluation(om, wn, 1, s, w); }

cplx rayleigh_secular(double om, double wn, double sm2, const Nstrc& s, RayleighWork& w) {
    return rayleigh_evaluation(om, wn, sm2, 1, s, w);
}

cplx love_secular_at(double om, double wn, int top, const Nstrc& s, LoveWork& w) {
    return love_evaluation(om, wn, top, s, w);
}

cplx rayleigh_secular_at(double om, double wn, int top, const Nstrc& s, RayleighWork& w) {
    return rayleigh_evaluation(om, wn, 0.0, top, s, w);
}

}  // namespace vemlari::detail
