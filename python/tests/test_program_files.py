"""The module's values are those the program wrote for the bundled examples: every mode of
both waves, at the precision of each file."""
import math

import numpy as np
import pytest
import vemlari
from conftest import EXAMPLES, Example, e_image, golden, numbers

TAGS = ["crust", "low_velocity", "soil", "two_layer", "halfspace"]


def modes_of(r):
    """Per frequency, the indices of the modes that exist."""
    return [np.flatnonzero(r.found_at[k]) for k in range(len(r.frequency))]


def table(tag, name):
    """Rows of a CSV record after its heading, without the frequency column."""
    return [line.replace(",", " ").split()[1:] for line in golden(tag, name).splitlines()[1:]]


@pytest.mark.parametrize("tag", TAGS)
def test_every_mode_of_both_waves_is_as_written(tag, example):
    e = example(tag)
    n = e.nom + 1
    om = golden(tag, "om_dat").split()
    for wave, w in (("love", "l"), ("rayleigh", "r")):
        r = vemlari.dispersion(e.model, e.grid(), wave=wave, **e.options)
        assert r.frequency.shape == (n,)
        assert [e_image(2 * math.pi * f, 7) for f in r.frequency[1:]] == om[1:]
        if len(e.model) == 1 and wave == "love":
            assert r.phase_velocity.shape == (n, 0)  # the program writes a mode of velocity 0
            continue
        present = modes_of(r)
        highest = [int(x) for x in golden(tag, f"md{w}_dat").split()]
        assert [len(p) for p in present] == [h + 1 for h in highest]
        assert all(list(p) == list(range(len(p))) for p in present), "a gap before a mode"
        assert [e_image(c, 7) for k, p in enumerate(present) for c in r.phase_velocity[k, p]] == \
            golden(tag, f"phs{w}1_dat").split()
        # Group velocities mode after mode, modes up to the highest at the last frequency.
        written = np.array(golden(tag, f"grp{w}_dat").split()).reshape(-1, n).T
        response = table(tag, f"{w.upper()}medres.csv")
        hv = table(tag, "HoverV.csv")
        for k, p in enumerate(present):
            for j in p[p < written.shape[1]]:
                assert e_image(r.group_velocity[k, j], 7) == written[k, j], (k, j)
            for j in p:
                assert e_image(r.response[k, j], 4) == response[k][j], (k, j)
                if wave == "rayleigh":
                    assert e_image(r.ellipticity[k, j], 4) == hv[k][j], (k, j)
        if wave == "love":
            assert np.isnan(r.ellipticity).all()


def check_run(tag):
    """Frequency, depths and search options of examples/<tag>_check.answers."""
    a = [numbers(x)[0] for x in (EXAMPLES / f"{tag}_check.answers").read_text().splitlines()[2:]]
    frequency, tolerance, iterations, partitions, depth, steps = a
    depths = depth / int(steps) * np.arange(int(steps) + 1)
    return frequency, depths, dict(search="scan", tolerance=tolerance, iterations=int(iterations),
                                   partitions=int(partitions))


@pytest.mark.parametrize("tag", ["crust", "low_velocity", "soil", "two_layer"])
def test_eigenfunctions_of_every_mode_are_those_of_the_check_run(tag):
    frequency, depths, options = check_run(tag)
    model = Example(tag).model
    files = {"love": {"vl1_dat": "displacement", "vl2_dat": "stress"},
             "rayleigh": {"vr1_dat": "horizontal", "vr2_dat": "vertical", "vr3_dat": "shear", "vr4_dat": "normal"}}
    for wave, fields in files.items():
        written = {f: np.array(golden(f"{tag}_check", f).split()).reshape(-1, len(depths)) for f in fields}
        modes = len(next(iter(written.values())))
        for mode in range(modes):
            ef = vemlari.eigenfunctions(model, frequency, wave, mode, depths, **options)
            assert np.array_equal(ef.depth, depths)
            for f, name in fields.items():
                assert [e_image(x, 7) for x in getattr(ef, name)] == list(written[f][mode]), (wave, mode, name)
        with pytest.raises(ValueError, match=f"{wave} mode {modes} does not exist"):
            vemlari.eigenfunctions(model, frequency, wave, modes, depths, **options)


def test_the_three_model_formats_read_as_the_same_model(tmp_path):
    formats = EXAMPLES / "formats"
    program, model96 = vemlari.read_models(formats / "crust.csv"), vemlari.read_models(str(formats / "crust.mod"))
    listed = vemlari.read_models(formats / "models.txt")
    assert len(program) == len(model96) == 1 and len(listed) == 3
    for m in (model96[0], listed[0]):
        for column in ("thickness", "vp", "vs", "rho"):
            assert np.array_equal(getattr(m, column), getattr(program[0], column)), column
    # Quality factors after rho (qs, then qp), and a refusal in its place.
    (tmp_path / "q.txt").write_text("2\n1000 1800 1000 2000 50 100\n0 3500 2000 2500 200\n"
                                    "2\n1000 1800 1900 2000\n0 3500 2000 2500\n")
    q, bad = vemlari.read_models(tmp_path / "q.txt")
    assert list(q.qs) == [50, 200] and list(q.qp) == [100, 0]
    assert isinstance(bad, vemlari.ModelError) and str(bad).startswith(str(tmp_path / "q.txt") + ":5: layer 1: vp")
