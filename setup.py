"""Builds the Python package with pip: CMake builds the extension vemlari._core (the
library's sources and compiler flags are those of CMakeLists.txt, so that its values equal
the program's), and setuptools packs it beside the package's Python files and type stubs.

    /usr/bin/python3 -m pip install --no-build-isolation --break-system-packages .

VEMLARI_CMAKE_BUILD names a CMake build folder of this tree to take the extension from (it is
brought up to date there, which costs nothing when it is); without it, pip configures a
folder of its own. VEMLARI_PIP_BUILD: where pip's build files go (default build-pip, out of
the way of CMake's build/).
"""
import glob
import os
import re
import shutil
import subprocess
import sys

from setuptools import Extension, setup
from setuptools.command.build_ext import build_ext

ROOT = os.path.dirname(os.path.abspath(__file__))
BUILD = os.environ.get("VEMLARI_PIP_BUILD", "build-pip")

with open(os.path.join(ROOT, "CMakeLists.txt"), encoding="utf-8") as f:
    version = re.search(r"project\(vemlari VERSION ([0-9.]+)", f.read()).group(1)


class CMakeBuild(build_ext):
    """The extension as the CMake target vemlari_python builds it."""

    def build_extension(self, ext):
        cmake = os.environ.get("VEMLARI_CMAKE_BUILD") or os.path.abspath(os.path.join(BUILD, "cmake"))
        if not os.path.exists(os.path.join(cmake, "CMakeCache.txt")):
            configure = ["cmake", "-S", ROOT, "-B", cmake, "-DCMAKE_BUILD_TYPE=Release",
                         "-DPython_EXECUTABLE=" + sys.executable, "-DVEMLARI_PYTHON=ON", "-DVEMLARI_PROGRAM=OFF",
                         "-DVEMLARI_TESTS=OFF", "-DVEMLARI_BENCH=OFF"]
            try:
                # The pybind11 that pip provides, when there is one; else CMake finds the system's.
                import pybind11
                configure.append("-Dpybind11_DIR=" + pybind11.get_cmake_dir())
            except ImportError:
                pass
            subprocess.run(configure, check=True)
        jobs = os.environ.get("CMAKE_BUILD_PARALLEL_LEVEL", "2")
        subprocess.run(["cmake", "--build", cmake, "--target", "vemlari_python", "--parallel", jobs], check=True)
        built = glob.glob(os.path.join(cmake, "python", "vemlari", "_core*.so"))
        if len(built) != 1:
            raise RuntimeError(f"expected one vemlari/_core extension in {cmake}/python, found {built}")
        target = self.get_ext_fullpath(ext.name)
        os.makedirs(os.path.dirname(target), exist_ok=True)
        shutil.copyfile(built[0], target)


os.makedirs(BUILD, exist_ok=True)
setup(
    version=version,
    packages=["vemlari"],
    package_dir={"": "python"},
    package_data={"vemlari": ["*.pyi", "py.typed"]},
    ext_modules=[Extension("vemlari._core", sources=[])],
    cmdclass={"build_ext": CMakeBuild},
    options={"build": {"build_base": BUILD}, "egg_info": {"egg_base": BUILD}},
)
