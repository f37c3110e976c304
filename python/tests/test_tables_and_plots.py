"""Results as tables, stacks and plots: each form rebuilt independently from the result's
own arrays, and pandas, xarray and matplotlib loaded only when asked for."""
import pickle
import subprocess
import sys

import numpy as np
import vemlari
from conftest import same

LAYERS = dict(thickness=[1000, 2000, 0], vp=[1800, 3000, 3500], vs=[1000, 1500, 2000], rho=[2000, 2200, 2500])
F = np.linspace(0.5, 4.0, 8)


def batch():
    """Three models of different mode counts and one refused (vs = vp) between them."""
    deeper = dict(LAYERS, thickness=[3000, 6000, 0])
    refused = dict(LAYERS, vs=[1800, 1500, 2000])
    return [vemlari.Model(**LAYERS), vemlari.Model(**deeper), tuple(refused[k] for k in ("thickness", "vp", "vs", "rho")),
            vemlari.Model(**LAYERS)]


def test_a_stack_pads_each_model_and_keeps_refusals_in_place():
    results = vemlari.dispersion_many(batch(), F)
    s = pickle.loads(pickle.dumps(vemlari.dispersion_many(batch(), F, stack=True)))
    counts = [r.phase_velocity.shape[1] for r in results if not isinstance(r, Exception)]
    assert len(set(counts)) > 1, "the batch should mix mode counts"
    assert s.phase_velocity.shape == (4, len(F), max(counts))
    assert [e is not None for e in s.errors] == [False, False, True, False]
    assert isinstance(s.errors[2], vemlari.ModelError) and "vs" in str(s.errors[2])
    for i, r in enumerate(results):
        for name in ("phase_velocity", "group_velocity", "found_at"):
            got = getattr(s, name)[i]
            if i == 2:
                assert (got == 0).all() if name == "found_at" else np.isnan(got).all()
            else:
                n = getattr(r, name).shape[1]
                assert same(got[:, :n], getattr(r, name)) and (np.isnan(got[:, n:]).all() or (got[:, n:] == 0).all())


def test_tidy_tables_and_datasets_rebuild_the_arrays():
    s = vemlari.dispersion_many(batch(), F, stack=True)
    df = s.to_pandas()
    assert len(df) == np.isfinite(s.phase_velocity).sum() and set(df.wave) == {"rayleigh"}
    assert np.allclose(df.period, 1 / df.frequency) and 2 not in set(df.model)
    back = np.full(s.phase_velocity.shape, np.nan)
    back[df.model, np.searchsorted(F, df.frequency), df["mode"]] = df.phase_velocity
    assert same(back, s.phase_velocity)
    ds = s.to_xarray()
    assert same(ds.group_velocity.transpose("model", "frequency", "mode").values, s.group_velocity)
    assert np.allclose(ds.period, 1 / F) and ds.phase_velocity.attrs["units"] == "m/s"

    model = vemlari.Model(**LAYERS)
    chosen = vemlari.dispersion(model, periods=[2.0, 0.3, 1.0], modes=[1, 2])  # labelled by mode and period
    t = chosen.to_pandas()
    assert set(t["mode"]) == {1, 2} and list(chosen.to_xarray().mode.values) == [1, 2]
    assert set(t.period) == {2.0, 0.3, 1.0} and np.allclose(t.period * t.frequency, 1)
    k = vemlari.kernels(model, F[:3], wave="love")
    long = k.to_pandas(layers=True)
    assert len(long) == np.isfinite(k.phase_velocity).sum() * len(model)
    one = long[(long["mode"] == 0) & (long.frequency == F[1])].sort_values("layer")
    assert list(one.layer) == [1, 2, 3]  # layers numbered from 1, as everywhere
    assert same(one.dc_dvs.values, k.dc_dvs[1, 0]) and same(one.phase_velocity.values, np.full(3, k.phase_velocity[1, 0]))
    assert same(k.to_xarray().dc_dh.sel(mode=0).values, k.dc_dh[:, 0])

    e = pickle.loads(pickle.dumps(vemlari.eigenfunctions(model, 1.0, "rayleigh", 0, [0.0, 500.0, 1500.0])))
    assert e.stress is None and same(e.to_pandas().vertical.values, e.vertical)
    assert same(e.to_xarray().shear.values, e.shear) and e.to_xarray().attrs["phase_velocity"] == e.phase_velocity


def test_plots_draw_the_curves_and_kernel_steps():
    import matplotlib

    matplotlib.use("Agg")
    model = vemlari.Model(**LAYERS)
    r = vemlari.dispersion(model, F)
    phase, group = r.plot()
    assert len(phase.lines) == r.phase_velocity.shape[1] and phase.get_xscale() == "log"
    x, y = phase.lines[1].get_data()  # along increasing period
    assert same(x, 1 / F[::-1]) and same(y, r.phase_velocity[::-1, 1])
    assert same(group.lines[0].get_ydata(), r.group_velocity[::-1, 0])
    assert same(r.plot(x="frequency")[0].lines[0].get_xdata(), F)

    k = vemlari.kernels(model, F[:2])
    ax = k.plot(model, kernel="dc_dvp", mode=0, frequencies=[1])
    x, depth = ax.lines[0].get_data()
    assert same(x, np.repeat(k.dc_dvp[1, 0], 2)) and same(depth, np.array([0, 1, 1, 3, 3, 6.0]))


def test_tables_and_plots_load_their_libraries_only_when_asked():
    code = ("import sys, vemlari\n"
            "r = vemlari.dispersion(vemlari.Model([1e3, 0], [1800, 3500], [1e3, 2e3], [2e3, 2.5e3]), [1.0])\n"
            "vemlari.dispersion_many([r and vemlari.Model([1e3, 0], [1800, 3500], [1e3, 2e3], [2e3, 2.5e3])], [1.0],"
            " stack=True)\n"
            "print(sorted(m for m in ('pandas', 'xarray', 'matplotlib', 'zarr', 'dask') if m in sys.modules))")
    run = subprocess.run([sys.executable, "-c", code], capture_output=True, text=True, check=True)
    assert run.stdout.strip() == "[]"
