#!/usr/bin/python3
"""Whole normal runs of the program on one core (taskset -c 0) and on every core, two
independent one-core runs at once (one per core: what the machine's two cores give work that
shares nothing), and the public peer's time_disba.py on the same model (phase and group
velocity of every mode), in one sitting, alternating; prints medians and the ratios ours / peer.

  /usr/bin/python3 bench/side_by_side.py build/vemlari ../shared/peers/time_disba.py --repeats 3

Each round waits until the machine has been idle 90 % of 2 s. Each run of the program works in a fresh temporary folder with the model file and its answers
(tolerance 1e-7, 100 iterations, 500 partitions) and writes every output file there.
"""
import argparse
import os
import re
import shutil
import statistics
import subprocess
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
SOURCE = os.path.dirname(HERE)
CASES = [
    ("crust100", os.path.join(HERE, "models", "crust100.csv")),
    ("soil", os.path.join(SOURCE, "examples", "soil.csv")),
    ("gradient20", os.path.join(HERE, "models", "gradient20.csv")),
]


def wait_idle(share=0.9, tries=30):
    """Waits (up to a minute) until the machine was idle for at least `share` of 2 s."""
    def ticks():
        v = [int(x) for x in open("/proc/stat").readline().split()[1:9]]
        return sum(v), v[3]
    for _ in range(tries):
        t0, i0 = ticks()
        time.sleep(2)
        t1, i1 = ticks()
        if i1 - i0 >= share * (t1 - t0):
            return True
    return False


def ours(exe, model, answers, pin):
    with tempfile.TemporaryDirectory() as d:
        shutil.copy(model, os.path.join(d, os.path.basename(model)))
        cmd = (["taskset", "-c", "0"] if pin else []) + [os.path.abspath(exe)]
        with open(answers, "rb") as a:
            t = time.perf_counter()
            subprocess.run(cmd, stdin=a, stdout=subprocess.DEVNULL, cwd=d, check=True)
            return time.perf_counter() - t


def ours_pair(exe, model, answers):
    """Two independent one-core runs at once, one pinned to each core: the throughput the two
    cores give work that shares nothing, which bounds any speed-up of one run on both."""
    with tempfile.TemporaryDirectory() as d0, tempfile.TemporaryDirectory() as d1:
        runs = []
        t = time.perf_counter()
        for core, d in ((0, d0), (1, d1)):
            shutil.copy(model, os.path.join(d, os.path.basename(model)))
            a = open(answers, "rb")
            runs.append((subprocess.Popen(["taskset", "-c", str(core), os.path.abspath(exe)], stdin=a,
                                          stdout=subprocess.DEVNULL, cwd=d), a))
        for r, a in runs:
            r.wait()
            a.close()
        return time.perf_counter() - t


def peer(script, model, pin):
    cmd = (["taskset", "-c", "0"] if pin else []) + ["/usr/bin/python3", script, model, "--repeats", "1"]
    out = subprocess.run(cmd, capture_output=True, text=True, check=True).stdout
    return float(re.search(r"([0-9.]+) s", out).group(1))


def main():
    p = argparse.ArgumentParser()
    p.add_argument("exe")
    p.add_argument("peer")
    p.add_argument("--repeats", type=int, default=3)
    a = p.parse_args()
    print("load average at start:", open("/proc/loadavg").read().split()[:3])
    for name, model in CASES:
        answers = os.path.join(HERE, "models", name + ".answers")
        ours(a.exe, model, answers, True)  # warm-up
        one, two, pair, ref = [], [], [], []
        for _ in range(a.repeats):
            if not wait_idle():
                print("(machine busy)")
            one.append(ours(a.exe, model, answers, True))
            two.append(ours(a.exe, model, answers, False))
            pair.append(ours_pair(a.exe, model, answers))
            ref.append(peer(a.peer, model, True))
        m1, m2, mq, mp = (statistics.median(x) for x in (one, two, pair, ref))
        print(f"{name}: 1 core {m1:.3f} s, 2 cores {m2:.3f} s (x{m1 / m2:.2f}), peer {mp:.3f} s; "
              f"ours/peer {m1 / mp:.2f} (1 core), {m2 / mp:.2f} (2 cores); "
              f"two one-core runs at once {mq:.3f} s (throughput x{2 * m1 / mq:.2f})")
    print("load average at end:", open("/proc/loadavg").read().split()[:3])


if __name__ == "__main__":
    main()
