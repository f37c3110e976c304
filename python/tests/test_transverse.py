"""Radially anisotropic models from Python: both ways of giving the layers, the properties and
kernels of the library, and the list file the command line reads."""
import pickle

import numpy as np
import pytest
import vemlari
from conftest import EXAMPLES


def upper_mantle():
    """examples/formats/upper_mantle_vti.txt: thickness vpv vsv rho [qs qp vph vsh eta] per layer."""
    rows = [line.split() for line in (EXAMPLES / "formats" / "upper_mantle_vti.txt").read_text().splitlines()
            if line.strip() and not line.startswith("#")][1:]
    columns = {name: [] for name in ("thickness", "vp", "vs", "rho", "vph", "vsh", "eta")}
    for r in rows:
        x = [float(v) for v in r]
        x = x[:4] + (x[6:] if len(x) == 9 else [0.0, 0.0, 1.0])
        for name, v in zip(columns, x):
            columns[name].append(v)
    return {k: np.array(v) for k, v in columns.items()}


def test_velocities_and_moduli_give_one_model_and_its_modes_at_20_to_200_s():
    c = upper_mantle()
    model = vemlari.Model(**c)
    assert model.transversely_isotropic
    rho, vph = c["rho"], np.where(c["vph"] > 0, c["vph"], c["vp"])
    vsh = np.where(c["vsh"] > 0, c["vsh"], c["vs"])
    a, cc, l, n = rho * vph**2, rho * c["vp"] ** 2, rho * c["vs"] ** 2, rho * vsh**2
    same = vemlari.Model.from_moduli(c["thickness"], rho, a, cc, c["eta"] * (a - 2 * l), l, n)
    f = 1.0 / np.array([200.0, 100.0, 50.0, 20.0])
    for wave in ("love", "rayleigh"):
        r = vemlari.dispersion(model, f, wave=wave, highest_mode=0)
        np.testing.assert_allclose(vemlari.dispersion(same, f, wave=wave, highest_mode=0).phase_velocity, r.phase_velocity,
                                   rtol=1e-12)
        assert np.all(np.isfinite(r.group_velocity)) and np.all(np.diff(r.phase_velocity[:, 0]) < 0)
    # Love waves see vsh, Rayleigh waves vsv: the Love fundamental is the faster.
    love = vemlari.dispersion(model, f, wave="love", highest_mode=0).phase_velocity[:, 0]
    rayleigh = vemlari.dispersion(model, f, wave="rayleigh", highest_mode=0).phase_velocity[:, 0]
    assert np.all(love > rayleigh)
    assert pickle.loads(pickle.dumps(model)).eta.tolist() == model.eta.tolist()


def test_kernels_sum_rule_and_refusals():
    model = vemlari.Model(**upper_mantle())
    r, k = vemlari.transverse_kernels(model, [0.01], wave="rayleigh", highest_mode=1)
    c, u = r.phase_velocity[0], r.group_velocity[0]
    v = [model.vp, np.where(model.vph > 0, model.vph, model.vp), model.vs, np.where(model.vsh > 0, model.vsh, model.vs)]
    total = sum((x * k[name][0]).sum(axis=1) for x, name in zip(v, ("dc_dvpv", "dc_dvph", "dc_dvsv", "dc_dvsh")))
    np.testing.assert_allclose(total, c * c / u, rtol=1e-9)
    with pytest.raises(ValueError):
        vemlari.dispersion(model, [0.01], search="scan")
    # The general kernels carry the same velocity kernels, dc_dvs and dc_dvp those of vsv and vpv.
    g = vemlari.kernels(model, [0.01], wave="rayleigh", highest_mode=1)
    for general, own in (("dc_dvs", "dc_dvsv"), ("dc_dvp", "dc_dvpv"), ("dc_dvsh", "dc_dvsh"), ("dc_dvph", "dc_dvph"),
                         ("dc_deta", "dc_deta"), ("dc_drho", "dc_drho_velocities")):
        np.testing.assert_array_equal(getattr(g, general), k[own])
    assert np.all(np.isnan(g.du_dvs))
    with pytest.raises(vemlari.ModelError):
        vemlari.Model([1000.0, 0.0], [6000.0, 8000.0], [3500.0, 4500.0], [2800.0, 3300.0], vph=[6600.0, 0.0],
                      vsh=[3800.0, 0.0], eta=[2.5, 1.0])
