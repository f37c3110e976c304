#pragma once
// The eigenfunction files of a check run: the depth grid, raw values per mode, and plot
// tables with every mode's column side by side.
#include <vector>

#include "records/streams.h"
#include "records/tables.h"

namespace vemlari {

// (point, mode) of one component, point 0 at the surface.
using DepthModeTable = ModeTable<double>;

// "vzn_dat": the depth, the number of depth partitions, the layer count and thicknesses.
void write_depth_grid(Streams& st, double dep, int nzint, const std::vector<double>& thk, int nl);
// Opens the ten eigenfunction files; the CSV headings list the modes from mdl (mdr) down to 0.
void open_eigen_files(Streams& st, int mdl, int mdr);
void close_eigen_files(Streams& st);
// The npts values of one mode's component, one per record.
void write_raw(Streams& st, int unit, const double* values, int npts);
// Scales one mode's columns of a (and b) to a largest magnitude of 1.
void normalise(DepthModeTable& a, DepthModeTable* b, int md, int npts);
// One plot row at point iz, depth z (m): depth in km, then md + v / 2 for the modes from
// mdmax down to 0 (with b: a's and b's value of each mode in turn).
void write_plot_row(Streams& st, int unit, double z, int iz, int mdmax, const DepthModeTable& a,
                    const DepthModeTable* b);

}  // namespace vemlari
