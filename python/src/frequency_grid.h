#pragma once
// vemlari.Frequencies: a frequency list as the library builds it, kept with how it was
// built so that it can be pickled (to Dask workers, for instance).
#include <vector>

#include "vemlari/frequencies.h"

namespace vemlari::python {

struct FrequencyGrid {
    Frequencies frequencies;
    bool regular = false;
    double step = 0.0;  // rad/s, regular grids
    int first = 0, last = -1;
    std::vector<double> hertz;  // lists
};

FrequencyGrid hertz_grid(std::vector<double> hz);
FrequencyGrid regular_grid(double step, int first, int last);

}  // namespace vemlari::python
