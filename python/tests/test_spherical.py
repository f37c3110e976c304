"""A spherical Earth from Python: the upper-mantle example at 20 to 200 s, Love and
Rayleigh, its velocities, kernels on its own layers and eigenfunctions at true depth."""
import numpy as np
import vemlari
from conftest import EXAMPLES


def upper_mantle():
    rows = [line.split() for line in (EXAMPLES / "earth" / "upper_mantle.txt").read_text().splitlines()
            if line.strip() and not line.startswith("#")]
    layers = np.array(rows[1:], dtype=float)
    assert len(layers) == int(rows[0][0])
    return vemlari.Model(*layers.T)


def test_the_upper_mantle_on_a_sphere_from_20_to_200_s():
    model = upper_mantle()
    f = 1 / np.array([200.0, 100.0, 50.0, 20.0])
    for wave in ("love", "rayleigh"):
        sphere = vemlari.dispersion(model, f, wave=wave, highest_mode=0, spherical=True)
        flat = vemlari.dispersion(model, f, wave=wave, highest_mode=0)
        # Curvature speeds the fundamental mode up, the more the longer the period:
        # 2.5 to 3 % at 200 s, 0.2 % at 20 s.
        rise = sphere.phase_velocity[:, 0] / flat.phase_velocity[:, 0] - 1
        assert 0.015 < rise[0] < 0.04 and 0.0005 < rise[-1] < 0.005 and (np.diff(rise) < 0).all(), rise
        assert np.isfinite(sphere.group_velocity).all()
        # A batch of models is each model's call, the sphere's too.
        [many] = vemlari.dispersion_many([model], f, wave=wave, highest_mode=0, spherical=True)
        assert (many.phase_velocity == sphere.phase_velocity).all()
        # A larger sphere is flatter.
        larger = vemlari.dispersion(model, f[:1], wave=wave, highest_mode=0, spherical=True, radius=4 * 6371e3)
        assert flat.phase_velocity[0, 0] < larger.phase_velocity[0, 0] < sphere.phase_velocity[0, 0]
        k = vemlari.kernels(model, f[1:2], wave=wave, highest_mode=0, spherical=True)
        assert k.dc_dvs.shape == (1, 1, len(model.vs)) and np.isfinite(k.dc_dvs).all()
        assert abs(k.phase_velocity[0, 0] / sphere.phase_velocity[1, 0] - 1) < 1e-12
        depths = np.array([0.0, 100e3, 400e3])
        e = vemlari.eigenfunctions(model, f[1], wave, 0, depths, spherical=True)
        assert (e.depth == depths).all() or np.allclose(e.depth, depths, rtol=1e-12)
        surface = e.displacement if wave == "love" else e.vertical
        assert abs(surface[2]) < abs(surface[0])


def test_ellipticity_kernels_of_the_sphere_match_differences_at_200_s():
    # At 200 s the flat model's mode is referred to a deep layer's top; its H/V kernels
    # still follow the change of the sphere's signed H/V with a layer's vs.
    model, f = upper_mantle(), [1 / 200.0]
    k = vemlari.kernels(model, f, wave="rayleigh", highest_mode=0, spherical=True, ellipticity=True)
    kernel = k.dhv_dvs[0, 0]
    largest = np.max(np.abs(kernel * model.vs))
    for j in (0, len(model.vs) // 2):
        hv = []
        for sign in (1, -1):
            vs = np.array(model.vs, dtype=float)
            vs[j] *= 1 + sign * 1e-4
            moved = vemlari.Model(model.thickness, model.vp, vs, model.rho)
            hv.append(vemlari.dispersion(moved, f, highest_mode=0, spherical=True).ellipticity_signed[0, 0])
        slope = (hv[0] - hv[1]) / (2e-4 * model.vs[j])
        assert abs(kernel[j] - slope) * model.vs[j] < 1e-5 * largest, (j, kernel[j], slope)
