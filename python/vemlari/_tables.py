"""Results as tables: tidy pandas frames and labelled xarray datasets.

pandas and xarray are imported only when a conversion is asked for. A result's arrays are
found by their shapes, so that every array a result carries takes part: (n_frequencies,
n_modes) arrays are per mode, (n_frequencies, n_modes, n_layers) arrays per layer; a
stacked batch has the model axis in front of them.
"""
from __future__ import annotations

import inspect
from typing import Any, Dict, List, Optional, Tuple

import numpy as np

# Units of the arrays the library fills; an array not named here is listed without a unit.
UNITS = {
    "frequency": "Hz",
    "period": "s",
    "phase_velocity": "m/s",
    "group_velocity": "m/s",
    "energy_integral": "kg/m^2 per unit surface displacement",
    "response": "s/kg",
    "ellipticity": "1",
    "ellipticity_signed": "1",
    "seafloor_ellipticity": "1",
    "dc_dvs": "1",
    "dc_dvp": "1",
    "dc_drho": "(m/s) per (kg/m^3)",
    "dc_dh": "1/s",
    "du_dvs": "1",
    "du_dvp": "1",
    "du_drho": "(m/s) per (kg/m^3)",
    "du_dh": "1/s",
    "dhv_dvs": "1 per (m/s)",
    "dhv_dvp": "1 per (m/s)",
    "dhv_drho": "1 per (kg/m^3)",
    "dhv_dh": "1/m",
    "dc_dvsh": "1",
    "dc_dvph": "1",
    "dc_deta": "m/s",
    "inverse_q": "1",
    "gamma": "1/m",
    "depth": "m",
}
# The usual arrays first, in this order; others (alphabetically) after them.
FIRST = ("phase_velocity", "group_velocity", "energy_integral", "response", "ellipticity", "ellipticity_signed",
         "found_at", "inverse_q", "gamma")
# Arrays that are coordinates or labels rather than quantities of a mode.
AXES = ("frequency", "period", "mode")


def arrays(result: Any) -> Dict[str, np.ndarray]:
    """Every numpy array a result exposes as a read-only attribute, by name, the usual
    ones first."""
    if isinstance(result, StackedResult):
        found = result.arrays
    else:
        found = {}
        for name in dir(type(result)):
            if not name.startswith("_") and isinstance(inspect.getattr_static(type(result), name, None), property):
                value = getattr(result, name)
                if isinstance(value, np.ndarray):
                    found[name] = value
    rank = {name: i for i, name in enumerate(FIRST)}
    return dict(sorted(found.items(), key=lambda item: (rank.get(item[0], len(rank)), item[0])))


def periods_of(result: Any) -> np.ndarray:
    """The periods (s) of a result's rows: as given, else 1 / frequency."""
    period = getattr(result, "period", None)
    if period is not None:
        return np.asarray(period, dtype=float)
    with np.errstate(divide="ignore"):
        return 1.0 / np.asarray(result.frequency, dtype=float)


def mode_numbers(result: Any) -> np.ndarray:
    """The mode number of each column: as the result names them, else 0, 1, ..."""
    mode = getattr(result, "mode", None)
    return np.arange(result.phase_velocity.shape[-1]) if mode is None else np.asarray(mode)


def _split(result: Any, leading: int) -> "tuple[Dict[str, np.ndarray], Dict[str, np.ndarray]]":
    """The per-mode and per-layer arrays of a result, whose first `leading` axes are
    (model,) frequency, mode."""
    per_mode, per_layer = {}, {}
    for name, a in arrays(result).items():
        if name in AXES:
            continue
        if a.ndim == leading:
            per_mode[name] = a
        elif a.ndim == leading + 1:
            per_layer[name] = a
    return per_mode, per_layer


def to_pandas(result: Any, layers: bool = False) -> Any:
    """A tidy pandas.DataFrame of a result: one row per (model,) wave, mode and frequency
    where the mode exists, with its period (s) and one column per array; with
    ``layers=True`` one row per layer too, with the per-layer arrays (the kernels)."""
    import pandas as pd

    stacked = getattr(result, "models", None) is not None
    leading = 3 if stacked else 2
    per_mode, per_layer = _split(result, leading)
    if layers and not per_layer:
        raise ValueError(f"{type(result).__name__} has no per-layer arrays")
    shape = result.phase_velocity.shape
    # Rows ordered model, mode, frequency: each mode's curve is contiguous.
    index = np.indices(shape).reshape(leading, -1)
    order = np.lexsort((index[1], index[2], index[0]) if stacked else (index[0], index[1]))
    index = index[:, order]
    where = np.isfinite(result.phase_velocity[tuple(index)])
    index = index[:, where]
    columns: Dict[str, Any] = {}
    if stacked:
        columns["model"] = result.models[index[0]]
    columns["wave"] = np.full(index.shape[1], result.wave, dtype=object)
    columns["mode"] = mode_numbers(result)[index[-1]]
    columns["frequency"] = np.asarray(result.frequency)[index[-2]]
    columns["period"] = periods_of(result)[index[-2]]
    for name, a in per_mode.items():
        columns[name] = a[tuple(index)]
    frame = pd.DataFrame(columns)
    if not layers:
        return frame
    n_layers = next(iter(per_layer.values())).shape[-1]
    frame = frame.loc[frame.index.repeat(n_layers)].reset_index(drop=True)
    # Layers numbered from 1 at the top, as every layer number the package gives.
    frame.insert(frame.columns.get_loc("period") + 1, "layer", np.tile(np.arange(1, n_layers + 1), index.shape[1]))
    for name, a in per_layer.items():
        frame[name] = a[tuple(index)].reshape(-1)
    return frame


def to_xarray(result: Any) -> Any:
    """An xarray.Dataset of a result: dimensions (model,) frequency, mode and, for the
    kernels, layer; coordinates frequency (Hz), period (s), mode (the mode numbers) and
    layer (numbered from 1 at the top); units as attributes."""
    import xarray as xr

    stacked = getattr(result, "models", None) is not None
    front = ["model"] if stacked else []
    per_mode, per_layer = _split(result, len(front) + 2)
    frequency = np.asarray(result.frequency)
    data = {}
    for name, a in per_mode.items():
        data[name] = (front + ["frequency", "mode"], a, {"units": UNITS[name]} if name in UNITS else {})
    for name, a in per_layer.items():
        data[name] = (front + ["frequency", "mode", "layer"], a, {"units": UNITS[name]} if name in UNITS else {})
    coords: Dict[str, Any] = {
        "frequency": ("frequency", frequency, {"units": "Hz"}),
        "period": ("frequency", periods_of(result), {"units": "s"}),
        "mode": mode_numbers(result),
    }
    if per_layer:
        coords["layer"] = np.arange(1, next(iter(per_layer.values())).shape[-1] + 1)
    if stacked:
        coords["model"] = result.models
    return xr.Dataset(data, coords=coords, attrs={"wave": result.wave})


def field_to_pandas(field: Any) -> Any:
    """A tidy pandas.DataFrame of one mode's eigenfunctions: one row per depth, with the
    mode's wave, number, frequency, period and phase velocity in every row."""
    import pandas as pd

    depth = np.asarray(field.depth)
    columns: Dict[str, Any] = {
        "wave": np.full(depth.size, field.wave, dtype=object),
        "mode": np.full(depth.size, field.mode),
        "frequency": np.full(depth.size, field.frequency),
        "period": np.full(depth.size, 1.0 / field.frequency),
        "phase_velocity": np.full(depth.size, field.phase_velocity),
        "depth": depth,
    }
    columns.update((name, a) for name, a in arrays(field).items() if name != "depth")
    return pd.DataFrame(columns)


def field_to_xarray(field: Any) -> Any:
    """An xarray.Dataset of one mode's eigenfunctions along the dimension depth (m)."""
    import xarray as xr

    data = {name: ("depth", a) for name, a in arrays(field).items() if name != "depth"}
    attrs = {"wave": field.wave, "mode": field.mode, "frequency": field.frequency,
             "phase_velocity": field.phase_velocity, "found_at": field.found_at}
    return xr.Dataset(data, coords={"depth": ("depth", np.asarray(field.depth), {"units": "m"})}, attrs=attrs)


class StackedResult:
    """The results of many models stacked along a first axis, as
    ``dispersion_many(..., stack=True)`` and ``vemlari.distributed.map_models`` return them.

    Every per-mode array of the single-model result, shaped (n_models, n_frequencies,
    n_modes) with n_modes the most any model has, NaN (found_at: 0) where a model lacks a
    mode or was refused; ``frequency`` and ``period`` (n_frequencies,) and ``mode``
    (n_modes,) as a single result has them. ``errors[i]`` is None or the exception that
    refused model i (a vemlari.ModelError); ``models`` numbers the models (0 .. n_models - 1,
    or the numbers a batch was given).
    """

    def __init__(self, wave: str, frequency: np.ndarray, values: Dict[str, np.ndarray],
                 errors: List[Optional[BaseException]], models: Optional[np.ndarray] = None,
                 period: Optional[np.ndarray] = None, mode: Optional[np.ndarray] = None) -> None:
        self.wave = wave
        self.frequency = np.asarray(frequency, dtype=float)
        self.errors = list(errors)
        self.models = np.arange(len(self.errors)) if models is None else np.asarray(models)
        self._values = dict(values)
        if period is None:
            with np.errstate(divide="ignore"):
                period = 1.0 / self.frequency
        self.period = np.asarray(period, dtype=float)
        self.mode = np.arange(self._values["phase_velocity"].shape[2]) if mode is None else np.asarray(mode)

    def __getattr__(self, name: str) -> np.ndarray:
        # The stacked arrays as attributes: phase_velocity, group_velocity, ...
        if name.startswith("_") or name not in self.__dict__.get("_values", {}):
            raise AttributeError(f"'StackedResult' object has no attribute {name!r}")
        return self._values[name]

    def __dir__(self) -> List[str]:
        return sorted(set(super().__dir__()) | set(self._values))

    def __repr__(self) -> str:
        n, f, m = self.phase_velocity.shape
        refused = sum(e is not None for e in self.errors)
        return f"<vemlari.StackedResult {self.wave}: {n} models ({refused} refused), {f} frequencies, {m} modes>"

    @property
    def arrays(self) -> Dict[str, np.ndarray]:
        """The stacked arrays by name."""
        return dict(self._values)

    @staticmethod
    def _padded(blocks: List[Tuple[int, Optional[np.ndarray]]], n_f: int, n_modes: int, dtype: Any) -> np.ndarray:
        """(rows, array or None) blocks along the model axis, padded to n_modes columns."""
        fill = 0 if np.issubdtype(dtype, np.integer) else np.nan
        out = np.full((sum(rows for rows, _ in blocks), n_f, n_modes), fill, dtype=dtype)
        at = 0
        for rows, a in blocks:
            if a is not None:
                out[at:at + rows, :, :a.shape[-1]] = a
            at += rows
        return out

    @classmethod
    def stack(cls, results: List[Any], models: Optional[np.ndarray] = None) -> Any:
        """Stacks a list of single-model results and exceptions (as dispersion_many returns
        it) into one result, padding with NaN (integer arrays with 0); results of both waves
        (dicts) into a dict of one stacked result per wave."""
        good = [r for r in results if not isinstance(r, BaseException)]
        if good and isinstance(good[0], dict):
            return {wave: cls.stack([r if isinstance(r, BaseException) else r[wave] for r in results], models)
                    for wave in good[0]}
        errors = [r if isinstance(r, BaseException) else None for r in results]
        if not good:
            return cls("", np.empty(0), {"phase_velocity": np.empty((len(results), 0, 0))}, errors, models)
        first = good[0]
        widest = max(good, key=lambda r: r.phase_velocity.shape[1])
        per_mode, _ = _split(first, 2)
        values = {name: cls._padded([(1, None if isinstance(r, BaseException) else getattr(r, name)[None])
                                     for r in results], len(first.frequency), widest.phase_velocity.shape[1], a.dtype)
                  for name, a in per_mode.items()}
        return cls(first.wave, first.frequency, values, errors, models, periods_of(first), mode_numbers(widest))

    @classmethod
    def concatenate(cls, parts: List["StackedResult"]) -> "StackedResult":
        """One result of several stacked along the model axis (chunks of one batch)."""
        errors = [e for p in parts for e in p.errors]
        models = np.concatenate([p.models for p in parts])
        good = [p for p in parts if p.frequency.size]
        if not good:
            return cls("", np.empty(0), {"phase_velocity": np.empty((len(errors), 0, 0))}, errors, models)
        first = good[0]
        widest = max(good, key=lambda p: p.phase_velocity.shape[2])
        values = {name: cls._padded([(len(p.errors), getattr(p, name) if p.frequency.size else None) for p in parts],
                                    first.frequency.size, widest.phase_velocity.shape[2], a.dtype)
                  for name, a in first.arrays.items()}
        return cls(first.wave, first.frequency, values, errors, models, first.period, widest.mode)

    def to_pandas(self) -> Any:
        """A tidy pandas.DataFrame: one row per model, mode and frequency where the mode
        exists (refused models have none)."""
        return to_pandas(self)

    def to_xarray(self) -> Any:
        """An xarray.Dataset with dimensions model, frequency and mode."""
        return to_xarray(self)

    def plot(self, x: str = "period", model: int = 0, ax: Any = None) -> Any:
        """One model's phase and group velocity curves: see DispersionResult.plot."""
        from vemlari._plots import plot_dispersion

        return plot_dispersion(self, x, model, ax)
