"""pip installs the module from the source tree without network, through the CMake build
of this test run (setup.py takes the extension from it rather than compiling the library
again), and the installed module writes the program's values too."""
import os
import pathlib
import subprocess
import sys

from conftest import SOURCE


def test_the_pip_built_module_gives_the_program_values(tmp_path):
    site = tmp_path / "site"
    build = dict(os.environ, VEMLARI_PIP_BUILD=str(tmp_path / "build"))
    # Under ctest, the extension of this build; run alone, pip builds one of its own.
    if "VEMLARI_BUILD_DIR" in os.environ:
        build["VEMLARI_CMAKE_BUILD"] = os.environ["VEMLARI_BUILD_DIR"]
    pip = subprocess.run([sys.executable, "-m", "pip", "install", "--no-build-isolation", "--no-deps", "--no-index",
                          "--target", str(site), str(SOURCE)], env=build, capture_output=True, text=True, timeout=900)
    assert pip.returncode == 0, pip.stdout + pip.stderr
    # Run elsewhere than in the build's folder, whose module the working directory would import.
    installed = dict(os.environ, PYTHONPATH=str(site))
    where = subprocess.run([sys.executable, "-c", "import vemlari; print(vemlari.__file__)"], env=installed,
                           cwd=tmp_path, capture_output=True, text=True, check=True)
    assert pathlib.Path(where.stdout.strip()).parents[1] == site
    tests = pathlib.Path(__file__).with_name("test_program_files.py")
    run = subprocess.run([sys.executable, "-m", "pytest", "-q", "-p", "no:cacheprovider", str(tests)], env=installed,
                         cwd=tmp_path, capture_output=True, text=True, timeout=600)
    assert run.returncode == 0, run.stdout + run.stderr
