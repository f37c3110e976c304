#!/usr/bin/python3
"""Times the module on fundamental-mode curves of a model file: Rayleigh and Love phase
velocity at N periods log-spaced from the file's shortest period to 50 times it (one
curve of each), median of repeated runs after a warm-up; then dispersion_many on 1 and
2 threads over copies of the model.

    /usr/bin/python3 python/bench/curves.py python/bench/gradient10.csv --curve 60

Options: --repeats R (5), --many M (copies for dispersion_many, 100), --values (print
"wave mode frequency velocity" lines). Needs the module on PYTHONPATH (build/python).
"""
import argparse
import statistics
import time

import numpy as np
import vemlari


def read_model(path):
    lines = open(path, encoding="utf-8").read().splitlines()
    values = lambda line: [float(x) for x in line.replace(",", " ").split()]  # noqa: E731
    period = values(lines[4])[0]
    layers = np.array([values(lines[9 + i]) for i in range(int(values(lines[7])[0]))])
    # layer, density, vp, qp, fp, vs, qs, fs, thickness
    return vemlari.Model(layers[:, 8], layers[:, 2], layers[:, 5], layers[:, 1]), period


def median_time(job, repeats):
    job()  # warm-up
    times = []
    for _ in range(repeats):
        start = time.perf_counter()
        job()
        times.append(time.perf_counter() - start)
    return statistics.median(times)


def main():
    ap = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    ap.add_argument("model")
    ap.add_argument("--curve", type=int, default=60)
    ap.add_argument("--repeats", type=int, default=5)
    ap.add_argument("--many", type=int, default=100)
    ap.add_argument("--values", action="store_true")
    a = ap.parse_args()
    model, period = read_model(a.model)
    f = np.sort(1.0 / np.logspace(np.log10(period), np.log10(50 * period), a.curve))
    waves = ("rayleigh", "love")
    curves = lambda: [vemlari.dispersion(model, f, wave=w, highest_mode=0) for w in waves]  # noqa: E731
    if a.values:
        for w, r in zip(waves, curves()):
            for fk, c in zip(f, r.phase_velocity[:, 0]):
                print("%s 0 %.9g %.9g" % (w, fk, c))
    t = median_time(curves, a.repeats)
    print("dispersion, one thread: %d curves of %d frequencies, median %.6f s, %.1f curves/s"
          % (len(waves), len(f), t, len(waves) / t))
    for threads in (1, 2):
        many = lambda: [vemlari.dispersion_many([model] * a.many, f, wave=w, highest_mode=0, threads=threads)  # noqa: E731
                        for w in waves]
        t = median_time(many, max(1, a.repeats // 2))
        print("dispersion_many, %d thread(s): %d curves, median %.4f s, %.1f curves/s"
              % (threads, len(waves) * a.many, t, len(waves) * a.many / t))


if __name__ == "__main__":
    main()
