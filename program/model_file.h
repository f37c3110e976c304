#pragma once
// Reading the model file, section by section, with the echo of each value as it is read.
// Each read throws StreamFailure for a malformed value or a file that ends too early.
#include <vector>

#include "program/run.h"
#include "vemlari/model.h"
#include "vemlari/model_files.h"  // power_of_two

namespace vemlari {

struct Sampling {
    double dt = 0.0;
    int nt = 0;
};

// Lines 1 .. 3: two free lines, then dt, nt (echoed on the console).
Sampling read_sampling(Streams& st);
// Lines 4, 5: the shortest period.
double read_period(Streams& st);
// Lines 6 .. 9: the layer count into run.layers.nl (echoed with the table heading).
void read_layer_count(Streams& st, Run& run);
// The layer table, nl lines, echoed on the console and, without the quality factors, in the
// log; fills run.layers and returns every layer as the library takes it.
std::vector<Layer> read_layers(Streams& st, Run& run);

}  // namespace vemlari
