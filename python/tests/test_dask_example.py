"""The Dask example gives what dispersion_many gives, on its own LocalCluster and on the
cluster of a scheduler named on its command line."""
import runpy
import subprocess
import sys
import types

import numpy as np
import vemlari
from conftest import SOURCE, same
from dask.distributed import LocalCluster

EXAMPLE = SOURCE / "examples" / "python" / "many_models.py"


def example_module():
    # Run as a module of its own name, so that its command-line entry point stays unused.
    return types.SimpleNamespace(**runpy.run_path(str(EXAMPLE), run_name="many_models"))


def run_example(tmp_path, *args):
    out = tmp_path / "c.npy"
    run = subprocess.run([sys.executable, str(EXAMPLE), *args, "--output", str(out)],
                         capture_output=True, text=True, timeout=240)
    assert run.returncode == 0, run.stdout + run.stderr
    assert "100% Completed" in run.stdout  # Dask's progress bar
    return np.load(out)


def expected(models, seed, frequencies):
    mm = example_module()
    return np.array([r.phase_velocity for r in
                     vemlari.dispersion_many(mm.random_models(models, seed), mm.frequencies(frequencies), modes=1)])


def test_a_few_hundred_models_on_a_local_cluster(tmp_path):
    got = run_example(tmp_path, "--models", "200", "--frequencies", "8", "--batch", "25", "--seed", "3")
    assert got.shape == (200, 8, 2) and np.isfinite(got[..., 0]).all()
    assert same(got, expected(200, 3, 8))


def test_a_scheduler_address(tmp_path):
    with LocalCluster(n_workers=1, threads_per_worker=2, processes=False, protocol="tcp", host="127.0.0.1",
                      dashboard_address=None) as cluster:
        got = run_example(tmp_path, cluster.scheduler_address, "--models", "12", "--batch", "5")
    assert same(got, expected(12, 0, 25))
