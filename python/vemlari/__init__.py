# The package vemlari: the compiled extension vemlari._core (whose docstring is the package's)
# re-exported, and the parts written in Python: tables, stacking and plots of the results.
import inspect
from typing import Any, Callable, List, Union

from vemlari import _core, _plots, _signatures, _tables, distributed
from vemlari._core import *  # noqa: F401,F403 (the extension's calls and types are the package's)
from vemlari._tables import StackedResult

__doc__ = _core.__doc__
__version__ = _core.__version__


def _adopt() -> None:
    """The extension's types and calls report ``vemlari`` as their module, so that pickles,
    reprs and documentation name the public place, not the private extension."""
    for name in dir(_core):
        item = getattr(_core, name)
        if not name.startswith("_") and getattr(item, "__module__", None) == _core.__name__:
            item.__module__ = __name__


def _methods() -> None:
    """The Python methods of the extension's result types."""
    for cls in (_core.DispersionResult, _core.KernelsResult):
        setattr(cls, "to_pandas", _tables.to_pandas)
        setattr(cls, "to_xarray", _tables.to_xarray)
    setattr(_core.DispersionResult, "plot", _plots.plot_dispersion)
    setattr(_core.KernelsResult, "plot", _plots.plot_kernels)
    setattr(_core.ModeField, "to_pandas", _tables.field_to_pandas)
    setattr(_core.ModeField, "to_xarray", _tables.field_to_xarray)


_adopt()
_signatures.expose(globals(), _core)
_methods()
# The readable wrapper of the compiled call that expose() has just put in its place.
_compiled_many: Callable[..., Any] = globals()["dispersion_many"]


def dispersion_many(models: Any, *args: Any, stack: bool = False,  # type: ignore[no-redef]
                    **options: Any) -> Union[List[Any], StackedResult]:
    """dispersion for each of many models, on several threads.

    Takes the arguments of the extension's call (below) and ``stack``: False (default)
    returns a list, one DispersionResult per model or, for a model the library refuses, its
    vemlari.ModelError in its place; True returns one StackedResult, its arrays shaped
    (n_models, n_frequencies, n_modes) and padded with NaN, the refusals in ``errors``.
    """
    results = _compiled_many(models, *args, **options)
    return StackedResult.stack(results) if stack else results


dispersion_many.__doc__ = (dispersion_many.__doc__ or "") + "\n    The compiled call::\n\n" + "\n".join(
    "        " + line for line in (_core.dispersion_many.__doc__ or "").splitlines())
setattr(dispersion_many, "__signature__", inspect.signature(_compiled_many).replace(parameters=[
    *inspect.signature(_compiled_many).parameters.values(),
    inspect.Parameter("stack", inspect.Parameter.KEYWORD_ONLY, default=False)]))
