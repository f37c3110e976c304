#!/usr/bin/python3
"""The fundamental Rayleigh mode's S-velocity kernel against depth for the crustal example.

    /usr/bin/python3 examples/python/plot_kernels.py [--output docs/crust_rayleigh_vs_kernel.png]

The kernel per unit depth, dc/dvs_j divided by the thickness of layer j ((m/s) per (m/s)
per km), as a step curve at 0.02, 0.05, 0.1 and 0.2 Hz. The half-space is cut into slabs
of 10 km down to 200 km (interfaces between equal media change no mode, and each slab's
kernel is the part of the half-space's that lies in it), so that it shows per unit depth
as the layers above do. Needs the vemlari module and matplotlib (Debian:
python3-matplotlib).
"""
import argparse
import pathlib

import numpy as np
import vemlari

EXAMPLE = pathlib.Path(__file__).resolve().parents[1] / "crust.csv"
FREQUENCIES = [0.02, 0.05, 0.1, 0.2]  # Hz
SLAB, DEEPEST = 10e3, 200e3  # m: the half-space's slabs, and how deep it is shown


def crust():
    """The layers of examples/crust.csv: thickness (m), vp, vs (m/s), density."""
    lines = EXAMPLE.read_text().splitlines()
    n = int(lines[7].split(",")[0])
    # layer, density, vp, qp, fp, vs, qs, fs, thickness
    rows = np.array([[float(x) for x in lines[9 + i].split(",")] for i in range(n)])
    return rows[:, 8], rows[:, 2], rows[:, 5], rows[:, 1]


def sliced(thickness, vp, vs, rho):
    """The same model with the half-space's top DEEPEST - depth cut into slabs of SLAB."""
    top = thickness[:-1].sum()
    slabs = int(round((DEEPEST - top) / SLAB))
    pad = lambda x, value: np.concatenate([x[:-1], np.full(slabs, value), x[-1:]])
    return vemlari.Model(pad(thickness, SLAB), pad(vp, vp[-1]), pad(vs, vs[-1]), pad(rho, rho[-1]))


def kernel_profiles(frequencies=FREQUENCIES):
    """Interface depths (km, from 0 to DEEPEST) and, per frequency, the fundamental Rayleigh
    mode's dc/dvs per km of every layer above DEEPEST: (depths, kernels[n_f, n_layers])."""
    model = sliced(*crust())
    r = vemlari.kernels(model, frequencies, wave="rayleigh", highest_mode=0)
    h = model.thickness[:-1]
    depths = np.concatenate([[0.0], np.cumsum(h)]) / 1e3
    return depths, r.dc_dvs[:, 0, :-1] / (h / 1e3)


def plot(output):
    import matplotlib

    matplotlib.use("Agg")
    import matplotlib.pyplot as plt

    depths, kernels = kernel_profiles()
    interfaces = np.cumsum(crust()[0][:-1]) / 1e3
    fig, ax = plt.subplots(figsize=(5.5, 6.5))
    for f, k in zip(FREQUENCIES, kernels):
        ax.stairs(k, depths, orientation="horizontal", baseline=None, label=f"{f:g} Hz", linewidth=1.6)
    for z in interfaces:
        ax.axhline(z, color="0.6", linewidth=0.8, linestyle="--")
    ax.set_ylim(DEEPEST / 1e3, 0)
    ax.set_xlim(left=min(0.0, kernels.min() * 1.05))
    ax.set_xlabel("dc/dvs per km of depth ((m/s) per (m/s) per km)")
    ax.set_ylabel("depth (km)")
    ax.set_title("Crustal example: fundamental Rayleigh mode,\nS-velocity kernel (dashed: interfaces)")
    ax.legend(loc="lower right")
    fig.tight_layout()
    fig.savefig(output, dpi=110)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--output", default="crust_rayleigh_vs_kernel.png")
    plot(parser.parse_args().output)


if __name__ == "__main__":
    main()
