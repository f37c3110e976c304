"""Arguments at and past the edges of what the module can compute: refused with ValueError
(ModelError for a model) or TypeError, never a crash, a hang or silent NaN; thread counts
far beyond the cores; requests whose results would not fit in memory."""
import math

import numpy as np
import pytest
import vemlari
from conftest import same
from hypothesis import HealthCheck, given, settings, strategies as st

LAYERS = dict(thickness=[1000, 2000, 0], vp=[1800, 3000, 3500], vs=[1000, 1500, 2000], rho=[2000, 2200, 2500])
SLOW = dict(thickness=[500, 500, 1000, 0], vp=[3000, 2400, 3500, 5200], vs=[1500, 1000, 2000, 3000],
            rho=[2200, 2000, 2400, 2600])


@pytest.mark.parametrize("call, message", [
    (lambda m: vemlari.dispersion(m, [1e-300]), "outside this model's range"),
    (lambda m: vemlari.dispersion(m, [1e300], search="scan"), "outside this model's range"),
    (lambda m: vemlari.eigenfunctions(m, 1e300, "rayleigh", 0, [0.0]), "outside this model's range"),
    (lambda m: vemlari.eigenfunctions(m, 0.0, "love", 0, [0.0]), "frequency must be a positive"),
    (lambda m: vemlari.eigenfunctions(m, -1.0, "love", 0, [0.0]), "frequency must be a positive"),
    (lambda m: vemlari.secular(m, 1.0, [1e308], "rayleigh"), "phase velocity 1 must lie between"),
    (lambda m: vemlari.secular(m, 1.0, [1e-300], "love"), "phase velocity 1 must lie between"),
    (lambda m: vemlari.secular(m, 1e300, [1500.0], "love"), "outside this model's range"),
    (lambda m: vemlari.Frequencies.regular(1e308, 0, 5), "must be a finite number"),
    (lambda m: vemlari.Frequencies.regular(0.1, 0, 2**31 - 1), "longer than 10000000"),
    (lambda m: vemlari.dispersion(m, np.linspace(0.1, 5.0, 50), highest_mode=10**6), "more than the 2 GiB"),
    (lambda m: vemlari.kernels(m, np.linspace(0.1, 5.0, 10), highest_mode=10**6), "more than the 2 GiB"),
    (lambda m: vemlari.dispersion_many([m] * 50, [0.5], highest_mode=10**6), "more than the 2 GiB"),
])
def test_what_cannot_be_computed_is_refused(call, message):
    with pytest.raises(ValueError, match=message) as caught:
        call(vemlari.Model(**LAYERS))
    assert not isinstance(caught.value, vemlari.ModelError)


@pytest.mark.parametrize("change, message", [
    (dict(thickness=[1e308, 2000, 0]), "layer 1: thickness = 1e\\+308 must be at most"),
    (dict(vp=[1800, 3000, 1e308]), "layer 3: vp = 1e\\+308 must lie between"),
    (dict(rho=[5e-324, 2200, 2500]), "layer 1: density = 4.94.*e-324 must lie between"),
    (dict(vs=[0.125, 1500, 2000], vp=[0.25, 3000, 3500]), "layer 1: vs = 0.125 must be at least the model's largest"),
])
def test_model_values_beyond_the_bounds_are_model_errors(change, message):
    with pytest.raises(vemlari.ModelError, match=message):
        vemlari.Model(**{**LAYERS, **change})


def test_frequency_limits_bound_what_every_call_accepts():
    model = vemlari.Model(**LAYERS)
    lowest, highest = vemlari.frequency_limits(model)
    assert 0 < lowest < 1e-90 and highest > 1e90
    r = vemlari.dispersion(model, [lowest, 1.0], wave="love", highest_mode=0)
    assert np.isfinite(r.phase_velocity).all() and np.isfinite(r.group_velocity).all()
    with pytest.raises(ValueError, match="outside"):
        vemlari.dispersion(model, [lowest / 2])


def test_thread_counts_far_beyond_the_cores_give_the_same_results():
    model = vemlari.Model(**SLOW)
    f = [0.5, 1.0, 2.0]
    one = vemlari.dispersion(model, f, threads=1)
    assert same(vemlari.dispersion(model, f, threads=40000).phase_velocity, one.phase_velocity)
    assert same(vemlari.kernels(model, f, threads=10**5).du_dvs, vemlari.kernels(model, f).du_dvs)
    many = vemlari.dispersion_many([model, model], f, threads=10**5)
    assert all(same(r.group_velocity, one.group_velocity) for r in many)


# Numbers of every kind: ordinary, at the bounds, tiny, huge, not finite, negative.
NUMBERS = st.one_of(st.floats(allow_nan=True, allow_infinity=True),
                    st.sampled_from([0.0, -0.0, 1e-3, 1e9, 1e12, 1e-12, 5e-324, 1e308, 2.0**53]),
                    st.floats(min_value=0.5, max_value=5000.0))
LAYER_COUNT = st.integers(min_value=0, max_value=4)


@st.composite
def models(draw):
    n = draw(LAYER_COUNT)
    columns = {name: draw(st.lists(NUMBERS, min_size=n, max_size=n)) for name in ("thickness", "vp", "vs", "rho")}
    if draw(st.booleans()):  # a plausible model, whose calls do compute
        vs = draw(st.lists(st.floats(min_value=100.0, max_value=3000.0), min_size=n, max_size=n))
        columns = dict(thickness=draw(st.lists(st.floats(min_value=0.0, max_value=5000.0), min_size=n, max_size=n)),
                       vs=vs, vp=[2.0 * v for v in vs], rho=[2000.0] * n)
    return columns


FREQUENCIES = st.one_of(st.lists(NUMBERS, max_size=4), st.lists(st.floats(min_value=0.01, max_value=20.0),
                                                                 min_size=1, max_size=4, unique=True).map(sorted))
ARGUMENTS = dict(wave=st.sampled_from(["love", "rayleigh", "sh", ""]), highest_mode=st.one_of(st.none(), st.integers(-2, 2)),
                 threads=st.integers(-1, 10**6))


def finite_where_present(r):
    present = ~np.isnan(r.phase_velocity)
    assert (r.found_at[present] > 0).all()
    for name in ("group_velocity", "energy_integral", "response"):
        assert np.isfinite(getattr(r, name)[present]).all(), name


@settings(max_examples=150, deadline=None, derandomize=True, database=None, suppress_health_check=list(HealthCheck))
@given(models(), FREQUENCIES, st.fixed_dictionaries(ARGUMENTS), st.sampled_from(["dispersion", "kernels", "many"]))
def test_random_arguments_give_finite_results_or_documented_exceptions(columns, f, arguments, call):
    if arguments["highest_mode"] is None:
        arguments["highest_mode"] = 2  # every mode of a random model may be a million
    try:
        model = vemlari.Model(**columns)
        if call == "dispersion":
            finite_where_present(vemlari.dispersion(model, f, **arguments))
        elif call == "kernels":
            r = vemlari.kernels(model, f, **arguments)
            finite_where_present(r)
            assert np.isfinite(r.dc_dvs[~np.isnan(r.phase_velocity)]).all()
        else:
            arguments["threads"] = max(arguments["threads"], 1)
            for r in vemlari.dispersion_many([model, columns], f, **arguments):
                if not isinstance(r, vemlari.ModelError):
                    finite_where_present(r)
    except (ValueError, TypeError):
        pass


@settings(max_examples=150, deadline=None, derandomize=True, database=None, suppress_health_check=list(HealthCheck))
@given(models(), NUMBERS, st.lists(NUMBERS, max_size=3), st.sampled_from(["love", "rayleigh", "p"]),
       st.integers(-1, 3), st.integers(-1, 5))
def test_random_fields_give_finite_values_or_documented_exceptions(columns, f, values, wave, mode, layer):
    try:
        model = vemlari.Model(**columns)
    except vemlari.ModelError:
        return
    try:
        s = vemlari.secular(model, f, values, wave, layer=layer)
        assert np.isfinite(s).all()
    except ValueError:
        pass
    try:
        e = vemlari.eigenfunctions(model, f, wave, mode, sorted(abs(v) for v in values if not math.isnan(v)))
        fields = [e.displacement, e.stress] if wave == "love" else [e.horizontal, e.vertical, e.shear, e.normal]
        assert all(np.isfinite(x).all() for x in fields)
    except ValueError:
        pass
