"""vemlari.kernels: its modes are dispersion's, its arrays padded as dispersion's are, the
kernels obey the scaling sum rules, 1/Q is the Q-weighted sum of the kernels returned,
and a model without Q or reference frequencies is not moved by physical dispersion."""
import pickle

import numpy as np
import pytest
import vemlari
from conftest import same
from test_api import FIELDS, LAYERS, assert_same_result

PER_LAYER = ["dc_dvs", "dc_dvp", "dc_drho", "dc_dh", "du_dvs", "du_dvp", "du_drho"]


def test_modes_padding_and_pickling_on_the_low_velocity_example(example):
    e = example("low_velocity")
    f = np.linspace(0.5, 7.0, 14)
    for wave in ("love", "rayleigh"):
        r = vemlari.kernels(e.model, f, wave=wave, threads=2, **e.options)
        assert isinstance(r, vemlari.DispersionResult)
        assert_same_result(r, vemlari.dispersion(e.model, f, wave=wave, **e.options))
        absent = r.found_at == 0
        assert absent.any() and (r.found_at == 2).any(), "trapped modes and padding both met"
        for name in PER_LAYER:
            k = getattr(r, name)
            assert k.shape == r.phase_velocity.shape + (len(e.model),), name
            assert (np.isnan(k).all(axis=2) == absent).all() and not np.isnan(k[~absent]).any(), name
        assert (r.dc_dh[~absent][:, -1] == 0).all()
        for name in ("inverse_q", "gamma"):
            assert (np.isnan(getattr(r, name)) == absent).all(), name
        back = pickle.loads(pickle.dumps(r))
        assert_same_result(back, r)
        for name in PER_LAYER + ["inverse_q", "gamma"]:
            assert same(getattr(back, name), getattr(r, name)), name


@pytest.mark.parametrize("tag", ["crust", "low_velocity", "soil"])
def test_sum_rules_and_attenuation_on_the_returned_arrays(tag, example):
    e = example(tag)
    m = e.model
    f = e.grid(min(e.nom, 60)).hertz[1:]
    # The kernels hold at the exact root, which the counted search returns.
    for wave in ("love", "rayleigh"):
        r = vemlari.kernels(m, f, wave=wave)
        c = r.phase_velocity
        scaled = (m.vp * r.dc_dvp + m.vs * r.dc_dvs + m.thickness * r.dc_dh).sum(axis=2)
        present = ~np.isnan(c)
        assert present.sum() > len(f)
        assert np.abs(scaled - c)[present].max() < 1e-6 * c[present].max(), wave
        density = np.abs((m.rho * r.dc_drho).sum(axis=2))
        assert density[present].max() < 1e-6 * c[present].max(), wave
        inverse_q = ((m.vp * r.dc_dvp / m.qp + m.vs * r.dc_dvs / m.qs).sum(axis=2)) / c
        assert np.allclose(r.inverse_q[present], inverse_q[present], rtol=1e-8, atol=0), wave
        assert (r.inverse_q[present] > 0).all()
        omega = 2 * np.pi * f[:, None]
        assert np.allclose(r.gamma[present], (omega * r.inverse_q / (2 * c))[present], rtol=1e-8, atol=0)


def test_physical_dispersion_moves_only_layers_with_q_and_a_reference_frequency(example):
    e = example("crust")
    f = [0.02, 0.05, 0.1, 0.2]
    elastic = vemlari.Model(e.model.thickness, e.model.vp, e.model.vs, e.model.rho, e.model.qp, e.model.qs)
    plain = vemlari.kernels(elastic, f, physical_dispersion=False)
    alone = vemlari.kernels(elastic, f, physical_dispersion=True)  # frequency by frequency
    # The same modes; a root may be refined at another interface where two serve alike.
    assert same(alone.found_at > 0, plain.found_at > 0)
    for name in FIELDS[:-1] + PER_LAYER + ["inverse_q"]:
        a, b = getattr(alone, name), getattr(plain, name)
        assert np.allclose(a, b, rtol=1e-6, atol=1e-6 * np.nanmax(np.abs(b)), equal_nan=True), name
    # Velocities given at 1 Hz are slower below it.
    dispersed = vemlari.kernels(e.model, f, physical_dispersion=True)
    assert (dispersed.phase_velocity[:, 0] < plain.phase_velocity[:, 0]).all()


@pytest.mark.parametrize("call, message", [
    (lambda m: vemlari.kernels(m, [0.5, 0.5]), "frequencies must all differ"),
    (lambda m: vemlari.kernels(m, [0.5], wave="sh"), 'wave must be "love", "rayleigh" or "both"'),
    (lambda m: vemlari.kernels(m, [0.5], highest_mode=-1), "highest_mode must be None"),
    (lambda m: vemlari.kernels(m, [0.5], threads=0), "threads"),
    (lambda m: vemlari.kernels(m, [0.0, 0.5], physical_dispersion=True), "frequenc"),
])
def test_refusals_are_value_errors(call, message):
    with pytest.raises(ValueError, match=message):
        call(vemlari.Model(**LAYERS))
