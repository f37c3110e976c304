#!/usr/bin/python3
"""The library's counted search, its scan and the public peer's timing script on the same
work, in one sitting, one core each (taskset -c 0), medians of --repeats runs:

- fundamental Love and Rayleigh curves at 60 periods (the peer's --curve 60) of the gradient
  models with 2, 10, 20 and 50 layers;
- phase and group velocity of every mode at every frequency of each example model and of the
  20-layer gradient model (200 frequencies).

  /usr/bin/python3 bench/search_side_by_side.py build/vemlari_bench ../shared/peers/time_disba.py

Prints the load average before and after, and for each case the times and the ratio of the
peer's time to ours.
"""
import argparse
import json
import os
import re
import subprocess

HERE = os.path.dirname(os.path.abspath(__file__))
SOURCE = os.path.dirname(HERE)
CURVES = ["bench/models/gradient2.csv", "bench/models/gradient10.csv", "bench/models/gradient20.csv",
          "bench/models/gradient50.csv"]
EVERY = ["examples/crust.csv", "examples/two_layer.csv", "examples/soil.csv", "examples/low_velocity.csv",
         "examples/halfspace.csv", "bench/models/gradient20.csv"]


def ours(bench, repeats):
    out = subprocess.run(["taskset", "-c", "0", bench, "--benchmark_filter=BM_fundamental_curves|BM_every_mode",
                          f"--benchmark_repetitions={repeats}", "--benchmark_report_aggregates_only=true",
                          "--benchmark_format=json"], capture_output=True, text=True, check=True).stdout
    times = {}
    for b in json.loads(out)["benchmarks"]:
        if b.get("aggregate_name") == "median":
            times[b["run_name"]] = (b["real_time"] / 1e3, b.get("evals_per_mode", 0.0))  # ms -> s
    return times


def peer(script, model, repeats, curve):
    cmd = ["taskset", "-c", "0", "/usr/bin/python3", script, os.path.join(SOURCE, model), "--repeats", str(repeats)]
    if curve:
        cmd += ["--curve", "60"]
    out = subprocess.run(cmd, capture_output=True, text=True, check=True).stdout
    return float(re.search(r"median of \d+ runs ([0-9.e-]+) s", out).group(1))


def main():
    ap = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    ap.add_argument("bench")
    ap.add_argument("peer")
    ap.add_argument("--repeats", type=int, default=5)
    a = ap.parse_args()
    print("load average before: %.2f %.2f %.2f" % os.getloadavg())
    t = ours(a.bench, a.repeats)
    print("| work | model | counted (s) | evaluations per mode | scan (s) | peer (s) | peer / counted |")
    print("|---|---|---|---|---|---|---|")
    for i, m in enumerate(CURVES):
        c, e = t[f"BM_fundamental_curves/{i}"]
        p = peer(a.peer, m, a.repeats, True)
        print(f"| fundamental curves | {m} | {c:.6f} | {e:.1f} | | {p:.6f} | {p / c:.1f} |")
    for i, m in enumerate(EVERY):
        c, e = t[f"BM_every_mode/{i}/0"]
        s, _ = t[f"BM_every_mode/{i}/1"]
        p = peer(a.peer, m, a.repeats, False)
        print(f"| every mode | {m} | {c:.6f} | {e:.1f} | {s:.6f} | {p:.6f} | {p / c:.1f} |")
    print("load average after: %.2f %.2f %.2f" % os.getloadavg())


if __name__ == "__main__":
    main()
