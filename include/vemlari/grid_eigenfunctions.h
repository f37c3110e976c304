#pragma once
// One mode's eigenfunctions on a regular depth grid, as the interactive program writes its
// eigenfunction files.
#include <cstddef>

#include "vemlari/model.h"
#include "vemlari/results.h"

namespace vemlari {

// Points i = 0 .. points - 1 at depth step * i (m) below the free surface; `depth` (m) is
// the depth of the last point.
struct RegularDepths {
    double step = 0.0;
    double depth = 0.0;
    int points = 0;
};

// The eigenfunctions of mode `mode` of `wave` at frequency entry `frequency` of `modes`, on
// `grid`, the field built from the top of the layer the mode's found_at names, normalised
// as eigenfunctions() normalises it, real parts. Eigenfunctions::
// depth holds the grid's depths; Love fills displacement and stress, Rayleigh horizontal,
// vertical, shear and normal, each of `points` values.
//
// A point on an interface belongs to the layer above. The walk down the layers enters at
// most one layer per point: where one step crosses several interfaces, the points that
// follow take the field of the layer just entered until the walk has caught up (with a step
// finer than the thinnest layer, the field at every point is its own layer's, as
// eigenfunctions() gives it). The program's files keep that rule.
//
// Takes isotropic solid layers only: a transversely isotropic model or one with water on
// top throws Error (Rule::request), as do a grid with a negative or non-finite step or
// depth or fewer than one point, and a mode that does not exist; the modes are checked as
// eigenfunctions() checks them.
Eigenfunctions grid_eigenfunctions(const Model& model, const Modes& modes, Wave wave, std::size_t frequency, int mode,
                                   const RegularDepths& grid);

}  // namespace vemlari
