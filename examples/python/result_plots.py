#!/usr/bin/python3
"""Dispersion curves and kernels of the crustal example, drawn by the results' own plot().

    /usr/bin/python3 examples/python/result_plots.py [--output-dir docs]

Writes crust_rayleigh_curves.png (phase and group velocity of every Rayleigh mode from 2 to
60 s) and crust_rayleigh_kernels.png (the fundamental mode's dc/dvs against depth at four
periods). Needs the vemlari package and matplotlib (Debian: python3-matplotlib).
"""
import argparse
import pathlib

import numpy as np
import vemlari

EXAMPLE = pathlib.Path(__file__).resolve().parents[1] / "crust.csv"


def crust() -> vemlari.Model:
    """The layers of examples/crust.csv."""
    lines = EXAMPLE.read_text().splitlines()
    n = int(lines[7].split(",")[0])
    # layer, density, vp, qp, fp, vs, qs, fs, thickness
    rows = np.array([[float(x) for x in lines[9 + i].split(",")] for i in range(n)])
    return vemlari.Model(rows[:, 8], rows[:, 2], rows[:, 5], rows[:, 1])


def draw(output_dir: pathlib.Path) -> None:
    import matplotlib

    matplotlib.use("Agg")
    model = crust()
    periods = np.geomspace(2.0, 60.0, 60)  # s
    curves = vemlari.dispersion(model, periods=periods, wave="rayleigh", highest_mode=4)
    curves.plot(x="period")[0].figure.savefig(output_dir / "crust_rayleigh_curves.png", dpi=80)
    kernels = vemlari.kernels(model, periods=[50.0, 20.0, 10.0, 5.0], wave="rayleigh", highest_mode=0)
    kernels.plot(model, kernel="dc_dvs").figure.savefig(output_dir / "crust_rayleigh_kernels.png", dpi=80)


def main() -> None:
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--output-dir", type=pathlib.Path, default=pathlib.Path("."))
    draw(parser.parse_args().output_dir)


if __name__ == "__main__":
    main()
