"""The bundled examples as the program reads them, the records it wrote of them, and its
number images, for comparing the module with the program."""
import math
import os
import pathlib

import numpy as np
import pytest
import vemlari

SOURCE = pathlib.Path(os.environ.get("VEMLARI_SOURCE_DIR", pathlib.Path(__file__).resolve().parents[2]))
EXAMPLES = SOURCE / "examples"
GOLDEN = SOURCE / "tests" / "golden"


def numbers(line):
    return [float(x) for x in line.replace(",", " ").split()]


class Example:
    """Model, frequency grid and search options of examples/<tag>.csv and <tag>.answers."""

    def __init__(self, tag):
        lines = (EXAMPLES / f"{tag}.csv").read_text().splitlines()
        answers = (EXAMPLES / f"{tag}.answers").read_text().splitlines()
        dt, nt = numbers(lines[2])[:2]
        duration = int(nt) * dt
        self.nom = int(duration / numbers(lines[4])[0])
        self.step = 8.0 * math.atan(1.0) / duration
        # layer, density, vp, qp, fp, vs, qs, fs, thickness
        layers = np.array([numbers(lines[9 + i]) for i in range(int(numbers(lines[7])[0]))])
        self.model = vemlari.Model(layers[:, 8], layers[:, 2], layers[:, 5], layers[:, 1], layers[:, 3], layers[:, 6],
                                   layers[:, 4], layers[:, 7])
        # The program's own search and options: its files are what the scan gives.
        self.options = dict(search="scan", tolerance=numbers(answers[2])[0], iterations=int(numbers(answers[3])[0]))
        if len(layers) > 1:
            self.options["partitions"] = int(numbers(answers[4])[0])

    def grid(self, last=None):
        return vemlari.Frequencies.regular(self.step, 0, self.nom if last is None else last)


@pytest.fixture(scope="session")
def example():
    cache = {}
    return lambda tag: cache.setdefault(tag, Example(tag))


def golden(tag, name):
    return (GOLDEN / tag / name).read_text()


def e_image(x, digits):
    """x as the program's Ew.d fields show it, 0.dddE+xx, without the padding."""
    if x == 0:
        return "0." + "0" * digits + "E+00"
    mantissa, exponent = ("%.*e" % (digits - 1, abs(x))).split("e")
    return ("-" if x < 0 else "") + "0." + mantissa.replace(".", "") + "E%+03d" % (int(exponent) + 1)


def same(a, b):
    """Equal arrays, NaN where NaN."""
    return a.shape == b.shape and np.array_equal(a, b, equal_nan=True)
