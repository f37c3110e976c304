"""Plots of the results with matplotlib, imported only when a plot is asked for."""
from __future__ import annotations

from typing import Any, Optional, Sequence

import numpy as np

from vemlari._tables import mode_numbers, periods_of


def _axes(ax: Any, n: int, **figure: Any) -> Any:
    import matplotlib.pyplot as plt

    if ax is not None:
        return np.atleast_1d(ax)
    _, axes = plt.subplots(1, n, squeeze=False, **figure)
    return axes[0]


def plot_dispersion(result: Any, x: str = "period", model: int = 0, ax: Any = None) -> Any:
    """Phase and group velocity curves, one colour per mode.

    Parameters
    ----------
    x : {"period", "frequency"}
        The horizontal axis: period (s, logarithmic) or frequency (Hz).
    model : int
        For a stacked batch of models: which one (its position in the batch).
    ax : matplotlib Axes or a pair of them, optional
        Where to draw: two axes get phase and group velocity, one gets phase velocity
        only; by default a new figure with two.

    Returns
    -------
    numpy.ndarray of matplotlib Axes
    """
    import matplotlib.pyplot as plt
    from matplotlib import ticker

    if x not in ("period", "frequency"):
        raise ValueError(f'x must be "period" or "frequency", not {x!r}')
    axes = _axes(ax, 2, figsize=(9, 3.6), layout="constrained")
    phase, group = result.phase_velocity, result.group_velocity
    if phase.ndim == 3:
        phase, group = phase[model], group[model]
    abscissa = periods_of(result) if x == "period" else np.asarray(result.frequency, dtype=float)
    # Frequencies may come in any order: each curve is drawn along its abscissa.
    order = np.argsort(abscissa, kind="stable")
    abscissa, phase, group = abscissa[order], phase[order], group[order]
    labels = mode_numbers(result)
    colours = plt.get_cmap("viridis")(np.linspace(0.0, 0.9, max(phase.shape[1], 1)))
    for a, values, name in zip(axes, (phase, group), ("phase", "group")):
        for mode in range(values.shape[1]):
            a.plot(abscissa, values[:, mode], color=colours[mode], label=f"mode {labels[mode]}")
        a.set_xlabel("period (s)" if x == "period" else "frequency (Hz)")
        a.set_ylabel(f"{name} velocity (m/s)")
        a.set_title(f"{result.wave.capitalize()} waves, {name} velocity")
        if x == "period":
            a.set_xscale("log")
            a.xaxis.set_major_locator(ticker.LogLocator(subs=(1.0, 2.0, 5.0)))
            a.xaxis.set_major_formatter(ticker.FormatStrFormatter("%g"))
            a.xaxis.set_minor_formatter(ticker.NullFormatter())
    if phase.shape[1] <= 10:
        axes[0].legend(fontsize="small")
    return axes


def plot_kernels(result: Any, model: Any, kernel: str = "dc_dvs", mode: int = 0,
                 frequencies: Optional[Sequence[int]] = None, ax: Any = None) -> Any:
    """One mode's sensitivity kernel against depth, one curve per frequency.

    Each layer's kernel is drawn as a step over the layer's depth range, the half-space's
    over a range as deep as the layers above it are thick.

    Parameters
    ----------
    model : vemlari.Model
        The model of the kernels (its thicknesses give the depths).
    kernel : str
        The per-layer array to draw: "dc_dvs", "dc_dvp", "dc_drho", "dc_dh", "du_dvs", ...
    mode : int
        The mode (0: the fundamental).
    frequencies : sequence of int, optional
        Positions in ``result.frequency`` to draw; by default all of them.
    ax : matplotlib Axes, optional
        Where to draw; by default a new figure.

    Returns
    -------
    matplotlib Axes
    """
    values = getattr(result, kernel)
    if values.ndim != 3:
        raise ValueError(f"{kernel} is not a per-layer array")
    thickness = np.asarray(model.thickness, dtype=float)
    if thickness.size != values.shape[2]:
        raise ValueError(f"the model has {thickness.size} layers, the kernels {values.shape[2]}")
    top = np.concatenate([[0.0], np.cumsum(thickness[:-1])])
    bottom = np.append(top[1:], top[-1] + max(top[-1], 1.0))
    a = _axes(ax, 1, figsize=(4.5, 5), layout="constrained")[0]
    rows = range(values.shape[0]) if frequencies is None else frequencies
    for k in rows:
        v = values[k, mode]
        a.plot(np.repeat(v, 2), np.column_stack([top, bottom]).ravel() / 1e3,
               label=f"{periods_of(result)[k]:.3g} s ({result.frequency[k]:.3g} Hz)")
    a.set_ylim(bottom[-1] / 1e3, 0.0)
    a.set_ylabel("depth (km)")
    a.set_xlabel(kernel.replace("_", "/", 1))
    a.set_title(f"{result.wave.capitalize()} mode {mode}")
    a.legend(fontsize="small")
    return a
