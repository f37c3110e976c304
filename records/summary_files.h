#pragma once
// The files written after the frequency loop of the eigenvector stage: group velocities,
// dispersion tables, medium responses and H/V ratios.
#include "records/streams.h"
#include "records/tables.h"

namespace vemlari {

struct SummaryGrid {
    double dom;  // angular-frequency step (rad/s); frequency io is io * dom / 2 pi Hz
    int iom, nom;
    double cmin;   // velocities below cmin / 10000 are missing ...
    double vsmax;  // ... and shown as vsmax
};

// Replaces missing velocities in `t` and `ul`/`ur` in place, as the files show them.
void write_summary_files(Streams& st, const SummaryGrid& g, Ccmd& t, Uegl& ul, Uegr& ur);

}  // namespace vemlari
