# The documentation site: the README, the Python package's docstrings (numpydoc) and the C++
# headers (Doxygen's XML through Breathe). Built by .ci/run with warnings as errors:
#   doxygen docs/Doxyfile && sphinx-build -W -b html docs build/docs
# with the package on PYTHONPATH (build/python) and VEMLARI_DOXYGEN_XML naming Doxygen's output.
import inspect
import os
import pathlib

import vemlari
from docutils.parsers.rst import Directive
from docutils.statemachine import StringList

project = "vemlari"
release = version = vemlari.__version__
extensions = ["myst_parser", "sphinx.ext.autodoc", "numpydoc", "breathe", "matplotlib.sphinxext.plot_directive"]
source_suffix = {".rst": "restructuredtext", ".md": "markdown"}
exclude_patterns = ["_build"]
root_doc = "index"
html_theme = "alabaster"
myst_heading_anchors = 3

numpydoc_show_class_members = False
numpydoc_validation_checks = set()
autodoc_member_order = "bysource"

ROOT = pathlib.Path(__file__).resolve().parents[1]
# An absolute path (Sphinx reads this file from docs/).
breathe_projects = {"vemlari": os.environ.get("VEMLARI_DOXYGEN_XML", str(ROOT / "build" / "doxygen" / "xml"))}
breathe_default_project = "vemlari"

plot_working_directory = str(ROOT)
plot_pre_code = "import numpy as np\nimport vemlari"
plot_html_show_source_link = False
plot_html_show_formats = False
plot_formats = [("png", 80)]


def extension_docstrings_as_written(app, what, name, obj, options, lines):
    """The compiled extension's docstrings are plain text laid out for help(): shown as
    written, in a literal block, rather than read as reStructuredText."""
    target = inspect.unwrap(obj.fget if isinstance(obj, property) else obj)
    compiled = inspect.isbuiltin(target) or type(target).__name__ in ("pybind11_type", "instancemethod")
    if (compiled or obj is vemlari) and lines:
        lines[:] = ["::", ""] + ["    " + line for line in lines] + [""]


class EveryHeader(Directive):
    """Each public header as written, in name order: every header, however many there are."""

    def run(self):
        text = []
        for header in sorted((ROOT / "include" / "vemlari").glob("*.h")):
            text += [f"``vemlari/{header.name}``", "", f".. literalinclude:: ../include/vemlari/{header.name}",
                     "   :language: c++", ""]
        self.state_machine.insert_input(StringList(text, source="docs/cpp.rst"), "docs/cpp.rst")
        return []


def setup(app):
    app.connect("autodoc-process-docstring", extension_docstrings_as_written, priority=100)
    app.add_directive("every-header", EveryHeader)
