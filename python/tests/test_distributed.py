"""map_models: a batch on a cluster that loses a worker mid-run still gives every model's
result, equal to one local dispersion_many; its store resumes a stopped batch where it
stopped; refused models stay in place."""
import os
import signal

import numpy as np
import pytest
import vemlari
import vemlari.distributed
from conftest import same

F = np.geomspace(1.0, 20.0, 12)


def random_models(n, seed):
    """n soil profiles of 4 layers as an (n, 4, 4) array; model 3 refused (vs = vp)."""
    rng = np.random.default_rng(seed)
    vs = rng.uniform(150.0, 800.0, (n, 4))
    vs[:, -1] = vs[:, :-1].max(axis=1) + rng.uniform(50.0, 500.0, n)
    vp = 2.0 * vs
    thickness = rng.uniform(2.0, 30.0, (n, 4))
    models = np.stack([thickness, vp, vs, 1600.0 + 0.5 * vs], axis=1)
    models[3, 2, 0] = models[3, 1, 0]
    return models


def expected(models):
    return vemlari.dispersion_many(models, F, highest_mode=2, stack=True)


def assert_same_batch(got, want):
    assert same(got.phase_velocity, want.phase_velocity) and same(got.group_velocity, want.group_velocity)
    assert [None if e is None else str(e) for e in got.errors] == [None if e is None else str(e) for e in want.errors]
    assert isinstance(got.errors[3], vemlari.ModelError) and list(got.models) == list(range(len(got.errors)))


def unpickled_on_a_worker(model, marker):
    """The model, after killing the process that unpickles it, the first time only."""
    if not os.path.exists(marker):
        open(marker, "w").close()
        os.kill(os.getpid(), signal.SIGKILL)
    return model


class KillsItsWorker:
    """A model whose chunk kills the worker it is sent to, once, as a node lost mid-run would."""

    def __init__(self, model, marker):
        self.model, self.marker = model, str(marker)

    def __reduce__(self):
        return unpickled_on_a_worker, (self.model, self.marker)


def test_a_killed_worker_loses_nothing_and_the_store_holds_every_chunk(tmp_path):
    import dask
    from dask.distributed import Client, LocalCluster

    models = random_models(60, 1)
    batch = list(models)
    marker = tmp_path / "killed"
    batch[35] = KillsItsWorker(models[35], marker)
    # The scheduler gives the chunk up at once (KilledWorker), so that map_models submits it again.
    with dask.config.set({"distributed.scheduler.allowed-failures": 0}), \
            LocalCluster(n_workers=2, threads_per_worker=1, processes=True, dashboard_address=None) as cluster, \
            Client(cluster) as client:
        got = vemlari.distributed.map_models(batch, F, client=client, chunk=10, store=tmp_path / "run.zarr", highest_mode=2)
    assert marker.exists(), "no worker was killed"
    assert_same_batch(got, expected(models))
    # Everything is in the store now: a second call reads it back and computes nothing.
    reports = []
    again = vemlari.distributed.map_models(batch, F, chunk=10, store=tmp_path / "run.zarr",
                                           progress=lambda done, total: reports.append(done), highest_mode=2)
    assert reports == [10 * (i + 1) for i in range(6)]
    assert_same_batch(again, got)


def test_a_stopped_batch_resumes_from_its_store_and_refuses_another_batchs_store(tmp_path):
    models = random_models(25, 2)
    store = tmp_path / "run.zarr"

    def stop_after_two_chunks(done, total):
        if done == 20:
            raise KeyboardInterrupt

    with pytest.raises(KeyboardInterrupt):
        vemlari.distributed.map_models(models, F, chunk=10, store=store, progress=stop_after_two_chunks, highest_mode=2)
    reports = []
    got = vemlari.distributed.map_models(models, F, chunk=10, store=store, progress=lambda d, t: reports.append(d),
                                         highest_mode=2)
    assert reports == [10, 20, 25]  # two chunks read back, the last one computed
    assert_same_batch(got, expected(models))
    with pytest.raises(ValueError, match="another batch"):
        vemlari.distributed.map_models(models, F, chunk=10, store=store, highest_mode=1)
