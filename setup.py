"""Builds the Python package with pip: the library's sources and the bindings compiled into
one extension, vemlari._core, beside the package's Python files and type stubs; floating
point exactly as written (as the CMake build compiles it), so that its values equal the
program's.

    /usr/bin/python3 -m pip install --no-build-isolation --break-system-packages .
"""
import glob
import os
import re

from pybind11 import get_include
from pybind11.setup_helpers import ParallelCompile
from setuptools import Extension, setup

LIBRARY = ["model", "kernels", "dispersion", "eigen", "parallel", "api", "io"]
# Out of the way of CMake's build/ (pip builds in the source tree); a test points it elsewhere.
BUILD = os.environ.get("VEMLARI_PIP_BUILD", "build-pip")

sources = sorted(glob.glob("python/src/*.cpp")) + sorted(f for d in LIBRARY for f in glob.glob(d + "/*.cpp"))
headers = sorted(glob.glob("include/vemlari/*.h") + glob.glob("python/src/*.h")
                 + [f for d in LIBRARY for f in glob.glob(d + "/*.h")])
with open("include/vemlari/version.h", encoding="utf-8") as f:
    version = re.search(r'version = "([^"]+)"', f.read()).group(1)
os.makedirs(BUILD, exist_ok=True)

ParallelCompile(default=0).install()
setup(
    version=version,
    packages=["vemlari"],
    package_dir={"": "python"},
    package_data={"vemlari": ["*.pyi", "py.typed"]},
    ext_modules=[
        Extension(
            "vemlari._core",
            sources,
            include_dirs=[".", "include", get_include()],
            depends=headers,
            language="c++",
            extra_compile_args=["-std=c++20", "-ffp-contract=off", "-fno-fast-math", "-fvisibility=hidden",
                                "-pthread", "-g0"],
            extra_link_args=["-pthread"],
        )
    ],
    options={"build": {"build_base": BUILD}, "egg_info": {"egg_base": BUILD}},
)
