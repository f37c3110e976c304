#!/usr/bin/python3
"""Fundamental and first higher Rayleigh modes of many random models on a Dask cluster.

    /usr/bin/python3 many_models.py                    # a LocalCluster on this machine
    /usr/bin/python3 many_models.py tcp://host:8786    # the cluster of a running scheduler

Options: --models N (100000), --frequencies F (25, from 1 to 20 Hz), --batch B (models per
task, 500), --seed S (0), --store DIR.zarr (finished batches kept there as they finish; run
again with the same store and arguments, the script computes only what is missing),
--output FILE.npy. vemlari.distributed.map_models sends each batch of models to a worker,
sends a batch again if its worker dies, and shows a progress bar (python3-tqdm); the result
is one array (models, frequencies, 2) of phase velocities (m/s), NaN where a mode does not
exist. A model the library refuses (vemlari.ModelError) has a row of NaN too: the script
lists the refused models with their reasons on standard error and ends with exit status 1.
The workers need the vemlari package, as this script does.
"""
import argparse
import sys
import time

import numpy as np
import vemlari.distributed
from dask.distributed import Client, LocalCluster

LAYERS = 4  # the last one the half-space


def frequencies(n):
    """n frequencies (Hz), log-spaced from 1 to 20 Hz."""
    return np.geomspace(1.0, 20.0, n)


def random_models(n, seed=0):
    """(n, 4, LAYERS): thickness (m), vp, vs (m/s) and density (kg/m3) of n soil profiles,
    velocity inversions included, over a half-space faster than every layer."""
    rng = np.random.default_rng(seed)
    vs = rng.uniform(150.0, 800.0, (n, LAYERS))
    vs[:, -1] = vs[:, :-1].max(axis=1) + rng.uniform(50.0, 500.0, n)
    vp = vs * rng.uniform(1.7, 2.5, (n, LAYERS))
    vp[:, -1] = np.maximum(vp[:, -1], vp[:, :-1].max(axis=1) + 1.0)
    thickness = rng.uniform(2.0, 30.0, (n, LAYERS))
    thickness[:, -1] = 0.0
    rho = 1600.0 + 0.5 * vs
    return np.stack([thickness, vp, vs, rho], axis=1)


def compute(client, models, frequencies, batch, store=None):
    """Every model's phase velocities of modes 0 and 1, one task per batch of models, with a
    progress bar, and the refused models as (model index, reason) pairs."""
    s = vemlari.distributed.map_models(models, frequencies, client=client, chunk=batch, store=store, progress=True,
                                       highest_mode=1)
    c = np.full((len(models), len(frequencies), 2), np.nan)
    c[:, :, :s.phase_velocity.shape[2]] = s.phase_velocity[:, :, :2]
    return c, [(i, str(e)) for i, e in enumerate(s.errors) if e is not None]


def refusal_report(refused, total, shown=20):
    """What the script writes on standard error about refused models: their count, then each
    model's index and reason (the first `shown` of them)."""
    lines = [f"refused {len(refused)} of {total} models (their rows are NaN):"]
    lines += [f"  model {i}: {reason}" for i, reason in refused[:shown]]
    if len(refused) > shown:
        lines.append(f"  ... and {len(refused) - shown} more")
    return "\n".join(lines)


def main(argv=None):
    ap = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    ap.add_argument("scheduler", nargs="?", help="address of a Dask scheduler (default: a LocalCluster)")
    ap.add_argument("--models", type=int, default=100_000)
    ap.add_argument("--frequencies", type=int, default=25)
    ap.add_argument("--batch", type=int, default=500)
    ap.add_argument("--seed", type=int, default=0)
    ap.add_argument("--store", help="a Zarr directory that keeps finished batches, to resume from")
    ap.add_argument("--output", help="save the (models, frequencies, 2) array here (.npy)")
    a = ap.parse_args(argv)
    models = random_models(a.models, a.seed)
    with (Client(a.scheduler) if a.scheduler else Client(LocalCluster())) as client:
        start = time.perf_counter()
        c, refused = compute(client, models, frequencies(a.frequencies), a.batch, a.store)
        seconds = time.perf_counter() - start
    print(f"{a.models} models, {a.frequencies} frequencies: {seconds:.1f} s, {a.models / seconds:.0f} models/s; "
          f"mode 0 at {np.isfinite(c[..., 0]).mean():.1%}, mode 1 at {np.isfinite(c[..., 1]).mean():.1%} "
          "of (model, frequency)")
    if a.output:
        np.save(a.output, c)
    if refused:
        print(refusal_report(refused, a.models), file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
