"""KELVOR: conical corrugated horns designed to beamwidth, from Python.

The exact tables (``kelvor.tables``, re-exported here) give the values the
KELVOR dialogue prints for the same request, widened exactly to float64:

    import kelvor
    d = kelvor.design(10, 30, kelvor.sweep(0.1, 0.5, 0.1), level_db=10)
    r = kelvor.response(2.6118, 28.8985, kelvor.sweep(9, 11, 0.5))
    p = kelvor.pattern(2.6118, 28.8985, 10, kelvor.sweep(0, 60, 0.5))

Every function takes the horn (aperture, slant radius) first, then the
frequency, then the angles, with its options keyword-only; ``kelvor.model``
takes the same names in the same order. Every result carries ``ok``,
``reason`` and ``status`` (a ``Failure``). Lengths are in inches
unless ``unit=`` says "cm", "mm" or "m". ``kelvor.plot`` draws the results
(matplotlib, loaded on first use).
"""

from typing import TYPE_CHECKING, Any

from . import _kelvor
from ._status import Failure
from .tables import (NOMINAL_LEVELS, DesignResult, PatternResult, ResponseResult, design,
                     pattern, response, sweep)

__all__ = ["__version__", "sweep", "design", "response", "pattern", "DesignResult",
           "ResponseResult", "PatternResult", "NOMINAL_LEVELS", "Failure"]

#: The version of the package and of the program, from the file VERSION.
__version__: str = _kelvor.__version__

if TYPE_CHECKING:
    from . import modal as modal
    from . import modal_plot as modal_plot
    from . import model as model
    from . import model_plot as model_plot
    from . import plot as plot


def __getattr__(name: str) -> Any:
    # kelvor.plot, kelvor.model_plot and kelvor.modal_plot load matplotlib,
    # kelvor.model the model-true path and kelvor.modal the mode-matching
    # engine: each is imported on first use only.
    if name in ("plot", "model", "model_plot", "modal", "modal_plot"):
        import importlib
        try:
            return importlib.import_module(f".{name}", __name__)
        except ModuleNotFoundError as e:
            if e.name != f"{__name__}.{name}":
                raise
    raise AttributeError(f"module 'kelvor' has no attribute {name!r}")
