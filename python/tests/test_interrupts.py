"""Ctrl-C during a long call, and its progress reports."""
import os
import signal
import subprocess
import sys
import time

import numpy as np
import pytest
import vemlari

LAYERS = dict(thickness=[2000, 13000, 0], vp=[4500, 6000, 8000], vs=[2600, 3500, 4500], rho=[2500, 2700, 3300])

# Ten thousand models, some ten seconds of work on two cores: it prints "running" once the
# work is under way, and the monotonic time (shared by every process) at which Python gets
# the KeyboardInterrupt.
CHILD = """
import sys, time
import numpy as np
import vemlari
model = vemlari.Model(**%r)
started = []
def progress(done, total):
    if done and not started:
        started.append(done)
        print("running", flush=True)
try:
    vemlari.dispersion_many([model] * 10000, np.linspace(0.02, 1.0, 50), threads=2, progress=progress)
    print("finished", flush=True)
except KeyboardInterrupt:
    print("interrupted", time.monotonic(), flush=True)
""" % LAYERS


def test_ctrl_c_stops_a_long_batch_within_half_a_second():
    child = subprocess.Popen([sys.executable, "-c", CHILD], stdout=subprocess.PIPE, text=True)
    try:
        assert child.stdout.readline().strip() == "running"
        time.sleep(0.5)
        sent = time.monotonic()
        os.kill(child.pid, signal.SIGINT)
        out, _ = child.communicate(timeout=60)
    finally:
        child.kill()
    word, at = out.split()
    assert word == "interrupted" and child.returncode == 0
    # The poll wakes every 50 ms; the workers stop at their next frequency entry.
    assert float(at) - sent < 0.5


def test_progress_counts_up_to_the_total_and_its_exception_stops_the_call():
    model = vemlari.Model(**LAYERS)
    seen = []
    r = vemlari.dispersion(model, np.linspace(0.02, 1.0, 40), progress=lambda done, total: seen.append((done, total)))
    assert seen[-1] == (40, 40) and all(t == 40 for _, t in seen)
    assert [d for d, _ in seen] == sorted(set(d for d, _ in seen))
    assert r.phase_velocity.shape[0] == 40

    class Enough(Exception):
        pass

    def stop(done, total):
        raise Enough

    with pytest.raises(Enough):
        vemlari.dispersion_many([model] * 2000, np.linspace(0.02, 1.0, 50), progress=stop)
    with pytest.raises(TypeError, match="progress must be"):
        vemlari.dispersion(model, [0.1], progress="yes")


def test_a_tqdm_bar_is_imported_only_when_asked_for():
    code = ("import sys, vemlari; m = vemlari.Model(**%r); vemlari.dispersion(m, [0.1]); before = 'tqdm' in sys.modules;"
            "vemlari.dispersion(m, [0.1, 0.2], progress=True); print(before, 'tqdm' in sys.modules)" % LAYERS)
    run = subprocess.run([sys.executable, "-c", code], capture_output=True, text=True, check=True)
    assert run.stdout.split() == ["False", "True"] and "2/2" in run.stderr
