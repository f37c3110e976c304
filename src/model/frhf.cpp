#include "model/frhf.h"

#include <cmath>

namespace vemlari::detail {

double frhf1(double sp, double z) {
    const double z2 = z * z;
    const double z3 = z2 * z;
    const double f1 = (z - 1.0) * 16.0 * sp * sp;
    return f1 - z3 + 8.0 * z2 - 24.0 * z + 16.0;
}

double frhf(double vp, double vs) {
    const double dz = 0.0001;
    const double sp = vs / vp;
    // Start just above the root: each value is the root at the lower end of its sp interval.
    double z = 0.91263;
    if (sp >= 0.2) z = 0.90767;
    if (sp >= 0.4) z = 0.88899;
    if (sp >= 0.6) z = 0.83575;
    if (sp >= 0.7) z = 0.77062;
    if (sp >= 0.8) z = 0.63338;

    double f0 = frhf1(sp, z);
    double f00;
    double af;
    // Step down until the cubic changes sign. A step that lands exactly on the root gives
    // af = 0 at the following step, which ends the walk there too; below z = 0 there is no
    // physical root, so the walk ends at the latest there.
    do {
        z = z - dz;
        const double f1 = frhf1(sp, z);
        af = f0 / f1;
        f00 = f0;
        f0 = f1;
    } while (af > 0.0 && z > 0.0);
    const double fz = z + dz * f0 / (f0 - f00);
    return vs * std::sqrt(fz);
}

}  // namespace vemlari::detail
