"""The module's own promises: padding, refusals, modes=n as a prefix, many models as one
after another, pickling, and the secular function's zeros at the modes."""
import pickle

import numpy as np
import pytest
import vemlari
from conftest import same

FIELDS = ["phase_velocity", "group_velocity", "energy_integral", "response", "ellipticity", "found_at",
          "ellipticity_signed", "seafloor_ellipticity"]
LAYERS = dict(thickness=[1000, 2000, 0], vp=[1800, 3000, 3500], vs=[1000, 1500, 2000], rho=[2000, 2200, 2500])


def assert_same_result(a, b):
    assert a.wave == b.wave and same(a.frequency, b.frequency)
    for f in FIELDS:
        assert same(getattr(a, f), getattr(b, f)), f
    assert a.diagnostics == b.diagnostics


def test_padding_and_found_at_on_the_low_velocity_example(example):
    e = example("low_velocity")
    for wave in ("love", "rayleigh"):
        r = vemlari.dispersion(e.model, e.grid(), wave=wave, **e.options)
        absent = r.found_at == 0
        assert r.found_at.dtype.kind == "i" and set(np.unique(r.found_at)) == {0, 1, 2}
        assert absent.any() and not absent.all(axis=0).any(), "a column of no mode"
        # Padding only after the last mode of a frequency.
        assert (np.diff(absent.astype(int), axis=1) >= 0).all()
        for f in FIELDS[:4] + (["ellipticity", "ellipticity_signed"] if wave == "rayleigh" else []):
            assert (np.isnan(getattr(r, f)) == absent).all(), f
        if wave == "love":
            assert np.isnan(r.ellipticity).all() and np.isnan(r.ellipticity_signed).all()
        else:
            assert same(np.abs(r.ellipticity_signed), r.ellipticity)
            assert same(r.seafloor_ellipticity, r.ellipticity), "no water: the sea floor is the surface"
        # Modes in increasing phase velocity, those at the slow layer's top among them.
        assert (np.diff(r.phase_velocity, axis=1)[~absent[:, 1:]] > 0).all()


def changed(**change):
    return {**LAYERS, **change}


@pytest.mark.parametrize("layers, message", [
    (changed(thickness=[np.nan, 2000, 0]), "layer 1: thickness = nan must be a finite"),
    (changed(vp=[1800, np.inf, 3500]), "layer 2: vp = inf must be a finite"),
    (changed(rho=[2000, 0, 2500]), "layer 2: density = 0 must be a positive"),
    (changed(vs=[-1, 1500, 2000]), "layer 1: vs = -1 must be a positive"),
    (changed(vp=[1800, 1500, 3500]), "layer 2: vp = 1500 must exceed the S velocity"),
    (changed(thickness=[1000, -0.5, 0]), "layer 2: thickness = -0.5 must not be negative"),
    (dict(LAYERS, qp=[1, np.nan, 1]), "layer 2: qp = nan must be a finite"),
    (dict(thickness=[], vp=[], vs=[], rho=[]), "half-space"),
    (changed(vs=[1000, 1500]), "one entry per layer"),
    (changed(rho=[[2000, 2200, 2500]]), "rho must be one-dimensional"),
    (changed(vp="fast"), "vp must be an array-like of numbers"),
])
def test_every_model_error_carries_the_library_message(layers, message):
    with pytest.raises(vemlari.ModelError, match=message) as caught:
        vemlari.Model(**layers)
    assert isinstance(caught.value, ValueError)
    # The half-space's thickness is not read.
    assert vemlari.Model(**changed(thickness=[1000, 2000, np.nan])).thickness[-1] == 0


def test_a_layer_faster_than_the_half_space_is_a_model_of_the_counted_search():
    # Its modes are those slower than the half-space's S velocity; the scan needs the
    # half-space to be the fastest layer.
    fast = vemlari.Model(**changed(vs=[1000, 2500, 2000], vp=[1800, 4200, 3500]))
    r = vemlari.dispersion(fast, [0.5, 2.0, 5.0], wave="love")
    c = r.phase_velocity[~np.isnan(r.phase_velocity)]
    assert c.size >= 3 and (c < 2000).all()
    with pytest.raises(ValueError, match="layer 2: vs = 2500 exceeds the half-space's"):
        vemlari.dispersion(fast, [0.5], wave="love", search="scan")


@pytest.mark.parametrize("call, message", [
    (lambda m: vemlari.dispersion(m, [0.5, 0.4, 0.5]), "frequencies must all differ: 0.5 is given twice"),
    (lambda m: vemlari.dispersion(m, [0.5], periods=[2.0]), "either frequencies"),
    (lambda m: vemlari.dispersion(m, periods=[0.0]), "periods must be finite numbers of seconds above 0"),
    (lambda m: vemlari.dispersion(m, [0.5], wave="sh"), 'wave must be "love", "rayleigh" or "both"'),
    (lambda m: vemlari.dispersion(m, [0.5], modes=[1], search="scan"), "a set of modes needs"),
    (lambda m: vemlari.dispersion(m, [0.5], search="scan", partitions=0), "partitions must be at least 1"),
    (lambda m: vemlari.dispersion(m, [0.5], partitions=300), "apply to search=\"scan\""),
    (lambda m: vemlari.dispersion(m, [0.5], search="grid"), 'search must be "counted" or "scan"'),
    (lambda m: vemlari.dispersion(m, [0.5], highest_mode=-1), "highest_mode must be None"),
    (lambda m: vemlari.dispersion_many([m], [0.5], threads=0), "threads must be None"),
    (lambda m: vemlari.secular(m, 0.5, [1500.0], "love", layer=3), "layer 3 must be 1 .. 2"),
])
def test_other_refusals_are_value_errors(call, message):
    with pytest.raises(ValueError, match=message) as caught:
        call(vemlari.Model(**LAYERS))
    assert not isinstance(caught.value, vemlari.ModelError)


@pytest.mark.parametrize("tag", ["low_velocity", "crust"])
def test_highest_mode_n_gives_the_first_columns_of_a_full_call(tag, example):
    e = example(tag)
    grid = e.grid(min(e.nom, 100))
    for wave in ("love", "rayleigh"):
        full = vemlari.dispersion(e.model, grid, wave=wave, **e.options)
        for n in (0, 2):
            cut = vemlari.dispersion(e.model, grid, wave=wave, highest_mode=n, **e.options)
            for f in FIELDS:
                a = getattr(full, f)[:, :n + 1]
                pad = np.zeros if f == "found_at" else lambda s: np.full(s, np.nan)
                a = np.hstack([a, pad((len(a), n + 1 - a.shape[1])).astype(a.dtype)])
                assert same(getattr(cut, f), a), (wave, n, f)


def test_dispersion_many_is_dispersion_model_after_model(example):
    models = [example(t).model for t in ("crust", "soil", "two_layer", "halfspace")]
    invalid = (LAYERS["thickness"], [1800, 1500, 3500], LAYERS["vs"], LAYERS["rho"])
    as_array = np.array(list(LAYERS.values()), dtype=float)  # (4, layers), as an inversion holds them
    items = models[:2] + [invalid] + models[2:] + [as_array]
    f = np.linspace(0.0, 8.0, 25)
    for wave in ("love", "rayleigh"):
        many = vemlari.dispersion_many(items, f, wave=wave, threads=2)
        assert len(many) == len(items)
        assert isinstance(many[2], vemlari.ModelError) and "vp = 1500 must exceed" in str(many[2])
        for item, got in zip(models[:2] + [None] + models[2:] + [vemlari.Model(*as_array)], many):
            if item is not None:
                assert_same_result(got, vemlari.dispersion(item, f, wave=wave))


def test_models_frequencies_and_results_survive_pickling(example):
    e = example("crust")
    grid = pickle.loads(pickle.dumps(e.grid(20)))
    assert same(grid.hertz, e.grid(20).hertz)
    model = pickle.loads(pickle.dumps(e.model))
    assert same(model.vs, e.model.vs) and same(model.qs, e.model.qs)
    r = vemlari.dispersion(model, grid, **e.options)
    assert_same_result(pickle.loads(pickle.dumps(r)), vemlari.dispersion(e.model, e.grid(20), **e.options))


def test_the_secular_function_vanishes_at_the_modes_found(example):
    e = example("low_velocity")
    f = np.linspace(1.0, 7.0, 7)
    for wave in ("love", "rayleigh"):
        r = vemlari.dispersion(e.model, f, wave=wave, **e.options)
        for k in range(len(f)):
            c, layer = r.phase_velocity[k], r.found_at[k]
            for top in (1, 2):
                at = c[layer == top]
                assert (np.abs(vemlari.secular(e.model, f[k], at, wave, layer=top)) < e.options["tolerance"]).all()
            between = (c[1:] + c[:-1])[layer[1:] == 1] / 2
            assert np.abs(vemlari.secular(e.model, f[k], between, wave)).max() > 0.1
        assert (r.found_at == 2).any()
    assert vemlari.secular(e.model, 2.0, np.full((2, 3), 1200.0), "love").shape == (2, 3)


def test_periods_in_any_order_a_set_of_modes_and_both_waves_are_the_plain_call_rearranged():
    model = vemlari.Model(**LAYERS)
    periods = np.array([2.0, 0.5, 1.0, 4.0])
    plain = {w: vemlari.dispersion(model, np.sort(1 / periods), wave=w) for w in ("love", "rayleigh")}
    rows = np.argsort(np.argsort(1 / periods))  # the sorted entry of each period given
    both = vemlari.dispersion(model, periods=periods, wave="Both")
    for wave, r in both.items():
        assert same(r.period, periods) and same(r.frequency, 1 / periods)
        for f in FIELDS:
            assert same(getattr(r, f), getattr(plain[wave], f)[rows]), (wave, f)
    # The counted search refines a mode of a set from brackets of its own: to the last bits.
    two = vemlari.dispersion(model, periods=periods, modes=[3, 1])
    assert same(two.mode, np.array([1, 3]))
    assert np.allclose(two.phase_velocity, plain["rayleigh"].phase_velocity[rows][:, [1, 3]], rtol=1e-13, atol=0,
                       equal_nan=True)
    with pytest.warns(DeprecationWarning, match="highest_mode"):
        old = vemlari.dispersion(model, 0.5, modes=1)
    assert same(old.phase_velocity, vemlari.dispersion(model, [0.5], highest_mode=1).phase_velocity)


def test_a_model_in_km_is_the_same_model_in_si_units():
    km = vemlari.Model.from_km([1.0, 2.0, 0.0], [1.8, 3.0, 3.5], [1.0, 1.5, 2.0], [2.0, 2.2, 2.5])
    assert all(same(getattr(km, c), getattr(vemlari.Model(**LAYERS), c).astype(float)) for c in LAYERS)
    assert vemlari.Model.units["rho"] == "kg/m^3" and km.units["vs"] == "m/s"


def test_every_call_has_a_signature_that_inspect_reads_and_that_binds_as_the_call_does():
    import inspect
    for name in ("dispersion", "dispersion_many", "kernels", "eigenfunctions", "secular", "frequency_limits",
                 "Model", "Frequencies"):
        assert inspect.signature(getattr(vemlari, name)).parameters, name
    s = inspect.signature(vemlari.dispersion)
    assert s.parameters["periods"].kind is inspect.Parameter.KEYWORD_ONLY and s.parameters["threads"].default is None
    assert list(inspect.signature(vemlari.Model.from_km).parameters)[:4] == ["thickness", "vp", "vs", "rho"]
    # What the signature binds, the call takes.
    model = vemlari.Model(**LAYERS)
    bound = s.bind(model, periods=[2.0], wave="LOVE")
    assert same(vemlari.dispersion(*bound.args, **bound.kwargs).period, np.array([2.0]))
    assert pickle.loads(pickle.dumps(vemlari.dispersion)) is vemlari.dispersion


def test_water_on_top():
    """A fluid layer on top: the Scholte wave under deep water, H/V 0 at the water's surface,
    Love waves those of the solid alone; a fluid layer below a solid one is refused."""
    water = vemlari.Model(thickness=[100, 0], vp=[1500, 1800], vs=[0, 400], rho=[1000, 1800])
    r = vemlari.dispersion(water, [20.0], wave="rayleigh", highest_mode=0)
    assert 350 < r.phase_velocity[0, 0] < 360 and r.ellipticity[0, 0] == 0
    # A solid half-space free of shear traction at its top has, at phase velocity c, an H/V
    # fixed by c alone, whatever presses on it: the sea floor's H/V of every mode.
    c = r.phase_velocity[0, 0]
    p, s = np.sqrt(1 - (c / 1800) ** 2), np.sqrt(1 - (c / 400) ** 2)
    expected = abs(2 - (c / 400) ** 2 - 2 * p * s) / (p * (c / 400) ** 2)
    assert r.seafloor_ellipticity[0, 0] == pytest.approx(expected, rel=1e-9)
    love = vemlari.dispersion(water, [20.0], wave="love")
    assert love.phase_velocity.size == 0 or np.isnan(love.phase_velocity).all()
    with pytest.raises(ValueError, match="layer 2"):
        vemlari.Model(thickness=[10, 100, 0], vp=[1800, 1500, 1800], vs=[400, 0, 400], rho=[1800, 1000, 1800])
