"""The package's type stubs: mypy accepts the package and the Python examples with them, and
they declare every public call and type of the compiled extension."""
import ast
import os
import pathlib
import subprocess
import sys

import vemlari
from conftest import SOURCE
from vemlari import _core

PACKAGE = pathlib.Path(vemlari.__file__).parent


def test_mypy_accepts_the_package_and_the_examples(tmp_path):
    env = dict(os.environ, MYPYPATH=str(PACKAGE.parent))
    run = subprocess.run([sys.executable, "-m", "mypy", "--config-file", str(SOURCE / "pyproject.toml"), "--cache-dir",
                          str(tmp_path), str(PACKAGE), str(SOURCE / "examples" / "python")],
                         env=env, capture_output=True, text=True, timeout=600)
    assert run.returncode == 0, run.stdout + run.stderr
    assert (PACKAGE / "py.typed").exists()


def test_the_stubs_declare_every_public_name_of_the_extension():
    stub = ast.parse((PACKAGE / "_core.pyi").read_text())
    declared = {n.name: n for n in stub.body if isinstance(n, (ast.FunctionDef, ast.ClassDef))}
    declared.update((t.id, n) for n in stub.body if isinstance(n, ast.AnnAssign) for t in [n.target])

    def members(cls):
        own = {n.name for n in cls.body if isinstance(n, ast.FunctionDef)}
        own.update(n.target.id for n in cls.body if isinstance(n, ast.AnnAssign))
        return own.union(*(members(declared[b.id]) for b in cls.bases if b.id in declared))

    for name in dir(_core):
        if name.startswith("_") and name != "__version__":
            continue
        assert name in declared, f"vemlari._core.{name} has no stub"
        item = getattr(_core, name)
        if isinstance(item, type) and not issubclass(item, Exception):
            missing = {a for a in vars(item) if not a.startswith("_")} - members(declared[name])
            assert not missing, f"vemlari._core.{name}: {sorted(missing)} have no stub"
