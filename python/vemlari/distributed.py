"""Batches of models on a Dask cluster, in chunks, checkpointed to a Zarr store::

    import vemlari.distributed
    from dask.distributed import Client
    with Client("tcp://scheduler:8786") as client:
        s = vemlari.distributed.map_models(models, frequencies, client=client, chunk=500,
                                           store="run.zarr", progress=True, modes=1)
    s.phase_velocity  # (n_models, n_frequencies, n_modes), NaN-padded; s.errors per model

The store is a Zarr directory (Debian's python3-zarr): Zarr keeps each chunk's arrays as the
n-dimensional arrays they are, each chunk in a group of its own that is marked complete only
after its arrays are written, so a run that stops anywhere leaves only whole chunks behind,
and xarray reads the groups as they are. (Parquet would need pyarrow, which Debian 12 does
not package, and flattens the arrays into columns.) Dask (python3-distributed) and Zarr are
imported only by the calls that need them.
"""
from __future__ import annotations

import hashlib
import pickle
from typing import Any, Callable, Dict, List, Optional, Sequence, Union

import numpy as np

from vemlari import _core
from vemlari._tables import StackedResult

Progress = Union[bool, Callable[[int, int], None]]


def compute_chunk(models: Sequence[Any], args: Sequence[Any], options: Dict[str, Any]) -> StackedResult:
    """One chunk's models through dispersion_many, stacked (what a worker runs)."""
    return StackedResult.stack(_core.dispersion_many(models, *args, **options))


def _fingerprint(models: Sequence[Any], args: Sequence[Any], options: Dict[str, Any], chunk: int) -> str:
    """What identifies a batch in its store: the models, the call's arguments and the chunk
    size (not the threads, which change no result)."""
    digest = hashlib.sha256()
    for part in (list(models), list(args), sorted((k, v) for k, v in options.items() if k != "threads"), chunk):
        digest.update(pickle.dumps(part, protocol=4))
    return digest.hexdigest()


class _Store:
    """Finished chunks in a Zarr group: chunks/<first model>, complete once marked so."""

    def __init__(self, path: Any, fingerprint: str, n_models: int) -> None:
        import zarr

        self.root = zarr.open_group(str(path), mode="a")
        known = self.root.attrs.get("fingerprint")
        if known is None:
            self.root.attrs.update(fingerprint=fingerprint, n_models=n_models)
        elif known != fingerprint:
            raise ValueError(f"the store {path} holds another batch (other models, arguments or chunk size)")
        self.chunks = self.root.require_group("chunks")

    def load(self, start: int) -> Optional[StackedResult]:
        name = str(start)
        if name not in self.chunks or not self.chunks[name].attrs.get("complete", False):
            return None
        g = self.chunks[name]
        errors: List[Optional[BaseException]] = [
            None if e is None else (_core.ModelError if e[0] == "ModelError" else ValueError)(e[1])
            for e in g.attrs["errors"]]
        values = {key: g[key][...] for key in g.array_keys()}
        return StackedResult(g.attrs["wave"], np.asarray(g.attrs["frequency"], dtype=float), values, errors,
                             np.asarray(g.attrs["models"], dtype=int), np.asarray(g.attrs["period"], dtype=float),
                             np.asarray(g.attrs["mode"], dtype=int))

    def save(self, start: int, part: StackedResult) -> None:
        g = self.chunks.require_group(str(start))
        g.attrs["complete"] = False
        for key, a in part.arrays.items():
            g.create_dataset(key, data=a, overwrite=True)
        g.attrs.update(wave=part.wave, frequency=part.frequency.tolist(), period=part.period.tolist(),
                       mode=part.mode.tolist(), models=part.models.tolist(),
                       errors=[None if e is None else [type(e).__name__, str(e)] for e in part.errors])
        g.attrs["complete"] = True


def _reporter(progress: Progress, total: int) -> Callable[[int], None]:
    """A function told how many more models are done: progress's callable, a tqdm bar
    (python3-tqdm) for True, nothing for False."""
    if callable(progress):
        report, done = progress, [0]

        def tell(n: int) -> None:
            done[0] += n
            report(done[0], total)

        return tell
    if progress:
        from tqdm import tqdm

        bar = tqdm(total=total, unit="model")

        def advance(n: int) -> None:
            bar.update(n)
            if bar.n >= total:
                bar.close()

        return advance
    return lambda n: None


def _lost_worker(error: BaseException) -> bool:
    """Whether a chunk failed because its worker went away, not because of its models."""
    from distributed.comm.core import CommClosedError
    from distributed.scheduler import KilledWorker

    return isinstance(error, (KilledWorker, CommClosedError, ConnectionError))


def map_models(models: Sequence[Any], *args: Any, client: Any = None, chunk: int = 500, store: Any = None,
               progress: Progress = False, retries: int = 3, **options: Any) -> StackedResult:
    """vemlari.dispersion_many over a batch of models, chunk by chunk, on a Dask cluster.

    Parameters
    ----------
    models : sequence
        The models: vemlari.Model objects or (thickness, vp, vs, rho) sequences, e.g. an
        (n, 4, n_layers) array.
    *args, **options
        The arguments of vemlari.dispersion_many after the models (frequencies, wave,
        modes, ...). On a cluster ``threads`` defaults to 1: the workers' threads already
        run one chunk each.
    client : dask.distributed.Client, optional
        The cluster to run on. None: here, one chunk after another on every core.
    chunk : int
        Models per task.
    store : str or path, optional
        A Zarr directory where each finished chunk is written as it finishes. Called again
        with the same store, models, arguments and chunk size, the call computes only the
        chunks not yet there; another batch's store is refused with ValueError.
    progress : bool or callable
        True: a bar (python3-tqdm); a callable: called as progress(models_done, n_models)
        whenever a chunk is done (chunks read back from the store count at once).
    retries : int
        How many times a chunk whose worker died is submitted again (the scheduler itself
        moves it from a dying worker a few times first).

    Returns
    -------
    StackedResult
        The models' results in their order, (n_models, n_frequencies, n_modes) arrays
        padded with NaN; ``errors[i]`` the vemlari.ModelError that refused model i, or None.
        A refused model never stops the batch.

    Raises
    ------
    ValueError, TypeError
        Arguments that no model could be computed with (such as the frequencies), as
        dispersion_many raises them; the chunks finished by then stay in the store.
    """
    if chunk < 1:
        raise ValueError(f"chunk = {chunk} must be at least 1")
    if str(options.get("wave", "")).lower() == "both":
        raise ValueError('map_models computes one wave: call it once with wave="love", once with "rayleigh"')
    models = list(models) if not isinstance(models, np.ndarray) else models
    n = len(models)
    if client is not None:
        options.setdefault("threads", 1)
    starts = list(range(0, n, chunk))
    keep = _Store(store, _fingerprint(models, args, options, chunk), n) if store is not None else None
    parts: Dict[int, StackedResult] = {}
    tell = _reporter(progress, n)
    for start in starts:
        part = keep.load(start) if keep is not None else None
        if part is not None:
            parts[start] = part
            tell(len(part.errors))

    def finished(start: int, part: StackedResult) -> None:
        part.models = np.arange(start, start + len(part.errors))
        if keep is not None:
            keep.save(start, part)
        parts[start] = part
        tell(len(part.errors))

    todo = [s for s in starts if s not in parts]
    if client is None:
        for start in todo:
            finished(start, compute_chunk(models[start:start + chunk], args, options))
    else:
        _on_cluster(client, models, todo, chunk, args, options, retries, finished)
    return StackedResult.concatenate([parts[s] for s in starts])


def _on_cluster(client: Any, models: Sequence[Any], todo: List[int], chunk: int, args: Sequence[Any],
                options: Dict[str, Any], retries: int, finished: Callable[[int, StackedResult], None]) -> None:
    """Submits the chunks, takes them as they finish and submits again those whose worker died."""
    from distributed import as_completed

    def submit(start: int) -> Any:
        return client.submit(compute_chunk, models[start:start + chunk], args, options, pure=False)

    start_of = {}
    for start in todo:
        start_of[submit(start)] = start
    tries = dict.fromkeys(todo, 0)
    pending = as_completed(list(start_of))
    for future in pending:
        start = start_of.pop(future)
        if future.status == "finished":
            finished(start, future.result())
            continue
        error = future.exception()
        if not _lost_worker(error) or tries[start] >= retries:
            for other in start_of:
                other.cancel()
            raise error
        tries[start] += 1
        again = submit(start)
        start_of[again] = start
        pending.add(again)
