# The package vemlari: the compiled extension vemlari._core (whose docstring is the package's)
# re-exported, and the parts written in Python.
from vemlari import _core, _signatures
from vemlari._core import *  # noqa: F401,F403 (the extension's calls and types are the package's)

__doc__ = _core.__doc__
__version__ = _core.__version__


def _adopt():
    """The extension's types and calls report ``vemlari`` as their module, so that pickles,
    reprs and documentation name the public place, not the private extension."""
    for name in dir(_core):
        item = getattr(_core, name)
        if not name.startswith("_") and getattr(item, "__module__", None) == _core.__name__:
            item.__module__ = __name__


_adopt()
_signatures.expose(globals(), _core)
