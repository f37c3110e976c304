#pragma once
// Results of the eigenvector stage. Depth-point tables hold the current frequency only
// (depth points 1 .. 702); frequency tables accumulate over the run.
#include "dispersion/ccmd.h"

namespace vemlari {

constexpr int ndepth = 702;
using DepthModeTable = ModeTable<ndepth + 1>;  // (iz, md), iz from 1

struct Vctl {
    DepthModeTable vl1;  // Love displacement
    DepthModeTable vl2;  // Love shear stress
};

struct Vclr {
    DepthModeTable vr1;  // horizontal displacement
    DepthModeTable vr2;  // vertical displacement
    DepthModeTable vr3;  // shear traction
    DepthModeTable vr4;  // normal traction
};

struct Uegl {
    FreqModeTable ugl;  // group velocity (m/s)
    FreqModeTable e1l;  // energy integral I1
};

struct Uegr {
    FreqModeTable ugr;
    FreqModeTable e1r;
    FreqModeTable hvr;  // H/V ratio at the free surface
};

}  // namespace vemlari
