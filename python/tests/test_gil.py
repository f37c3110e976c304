"""Every long call releases the GIL: another Python thread keeps running while it computes.

No clock is read. With a switch interval far longer than the test, a thread that holds the
GIL never hands it over unless it releases it itself; so a second thread makes progress
during a call only if the call releases the GIL.
"""
import sys
import threading

import numpy as np
import pytest
import vemlari
from conftest import Example, same


def steps_beside(call):
    """Loop turns another thread makes while `call` runs."""
    inside, done, steps = threading.Event(), [], 0

    def run():
        inside.set()
        call()
        done.append(True)

    interval = sys.getswitchinterval()
    sys.setswitchinterval(1000.0)
    try:
        t = threading.Thread(target=run)
        t.start()
        inside.wait()
        while not done:
            steps += 1
            threading.Event().wait(1e-4)  # lets the call take the GIL back when it is over
        t.join()
    finally:
        sys.setswitchinterval(interval)
    return steps


@pytest.fixture(scope="module")
def slow():
    return Example("low_velocity")


# Arrays are made before the call: numpy itself releases the GIL while it fills large ones.
DEPTHS = np.linspace(0.0, 3000.0, 10**6)
VELOCITIES = np.linspace(900.0, 2000.0, 10**5)
CALLS = {
    "dispersion": lambda e: vemlari.dispersion(e.model, e.grid(60), **e.options),
    "dispersion_many": lambda e: vemlari.dispersion_many([e.model] * 2, e.grid(30), threads=1, **e.options),
    "eigenfunctions": lambda e: vemlari.eigenfunctions(e.model, 6.0, "rayleigh", 12, DEPTHS),
    "secular": lambda e: vemlari.secular(e.model, 6.0, VELOCITIES, "rayleigh"),
}


@pytest.mark.parametrize("name", CALLS)
def test_another_thread_runs_during_the_call(name, slow):
    assert steps_beside(lambda: CALLS[name](slow)) > 0


def test_a_call_that_holds_the_gil_lets_no_thread_run():
    assert steps_beside(lambda: sum(range(3 * 10**6))) == 0


def test_calls_side_by_side_give_what_calls_in_turn_give(slow):
    waves = ["love", "rayleigh", "love", "rayleigh"]
    alone = [vemlari.dispersion(slow.model, slow.grid(40), wave=w, **slow.options) for w in waves]
    together = [None] * len(waves)

    def run(i):
        together[i] = vemlari.dispersion(slow.model, slow.grid(40), wave=waves[i], **slow.options)

    threads = [threading.Thread(target=run, args=(i,)) for i in range(len(waves))]
    for t in threads:
        t.start()
    for t in threads:
        t.join()
    for a, b in zip(alone, together):
        assert same(a.phase_velocity, b.phase_velocity) and same(a.response, b.response)
