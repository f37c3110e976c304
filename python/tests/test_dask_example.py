"""The Dask example gives what dispersion_many gives, on its own LocalCluster and on the
cluster of a scheduler named on its command line, and names the models it refused."""
import runpy
import subprocess
import sys
import types

import numpy as np
import vemlari
from conftest import SOURCE, same
from dask.distributed import Client, LocalCluster

EXAMPLE = SOURCE / "examples" / "python" / "many_models.py"


def example_module():
    # Run as a module of its own name, so that its command-line entry point stays unused.
    return types.SimpleNamespace(**runpy.run_path(str(EXAMPLE), run_name="many_models"))


def run_example(tmp_path, *args):
    out = tmp_path / "c.npy"
    run = subprocess.run([sys.executable, str(EXAMPLE), *args, "--output", str(out)],
                         capture_output=True, text=True, timeout=240)
    assert run.returncode == 0, run.stdout + run.stderr
    assert "100%" in run.stderr  # the progress bar
    return np.load(out)


def expected(models, seed, frequencies):
    mm = example_module()
    return np.array([r.phase_velocity for r in
                     vemlari.dispersion_many(mm.random_models(models, seed), mm.frequencies(frequencies), highest_mode=1)])


def test_a_few_hundred_models_on_a_local_cluster(tmp_path):
    got = run_example(tmp_path, "--models", "200", "--frequencies", "8", "--batch", "25", "--seed", "3")
    assert got.shape == (200, 8, 2) and np.isfinite(got[..., 0]).all()
    assert same(got, expected(200, 3, 8))


def test_a_scheduler_address(tmp_path):
    with LocalCluster(n_workers=1, threads_per_worker=2, processes=False, protocol="tcp", host="127.0.0.1",
                      dashboard_address=None) as cluster:
        got = run_example(tmp_path, cluster.scheduler_address, "--models", "12", "--batch", "5")
    assert same(got, expected(12, 0, 25))


def test_refused_models_are_counted_and_named():
    mm = example_module()
    models = mm.random_models(7, 1)
    models[2, 2, 0] = models[2, 1, 0]  # vs = vp
    models[5, 3, 1] = 0.0  # no density
    with LocalCluster(n_workers=1, threads_per_worker=1, processes=False, dashboard_address=None) as cluster:
        with Client(cluster) as client:
            c, refused = mm.compute(client, models, mm.frequencies(3), 3)
    assert [i for i, _ in refused] == [2, 5]
    assert np.isnan(c[[2, 5]]).all() and np.isfinite(c[[0, 1, 3, 4, 6], :, 0]).all()
    report = mm.refusal_report(refused, 7)
    assert report.splitlines()[0] == "refused 2 of 7 models (their rows are NaN):"
    assert "model 2: layer 1: vp" in report and "model 5: layer 2: density = 0" in report
