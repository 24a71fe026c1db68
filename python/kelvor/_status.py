"""Why a result has no answer, and whether the model holds for it: the
model-true library's failure and validity enums as Python IntEnums, each member
keyed by the name the extension exports for it (never by a restated number),
and the deprecation of old argument names."""

from __future__ import annotations

import functools
import warnings
from enum import IntEnum
from typing import Any, Callable, TypeVar

import numpy as np
import numpy.typing as npt

from . import _kelvor

_FAILURES: list[str] = list(_kelvor.model_failure_names())
_VALIDITIES: list[str] = list(_kelvor.model_validity_names())


class Failure(IntEnum):
    """Why a value has no answer (after scipy's ``OptimizeResult.status``):
    ``NONE`` when it has one. ``describe()`` gives the text a result's
    ``reason`` holds."""
    NONE = _FAILURES.index("none")
    INVALID_INPUT = _FAILURES.index("invalid input")
    PHASE_DEVIATION_OUT_OF_RANGE = _FAILURES.index("phase deviation outside 0 to 2 cycles")
    LEVEL_NOT_REACHED = _FAILURES.index("level never reached")
    NO_MAIN_LOBE_SOLUTION = _FAILURES.index("no main-lobe solution")
    NULL_ON_AXIS = _FAILURES.index("pattern null on the axis")
    NOT_CONVERGED = _FAILURES.index("solver did not converge")
    TOO_MUCH_WORK = _FAILURES.index("too much work: outside the stated limit")

    def describe(self) -> str:
        return _FAILURES[self]


class Validity(IntEnum):
    """Whether the model (the balanced hybrid mode's J0 aperture field and the
    quadratic aperture phase) holds for a horn at a frequency: ``VALID``, or
    the limit it crosses. ``describe()`` gives the text of ``validity_reason``."""
    VALID = _VALIDITIES.index("valid")
    BELOW_CUTOFF = _VALIDITIES.index("below the input guide's cut-off")
    APERTURE_TOO_SMALL = _VALIDITIES.index("aperture too small for the balanced hybrid mode")
    FLARE_TOO_WIDE = _VALIDITIES.index("flare too wide for the quadratic phase")

    def describe(self) -> str:
        return _VALIDITIES[self]


def reasons(codes: npt.NDArray[Any], kind: type[Failure] | type[Validity] = Failure
            ) -> npt.NDArray[np.object_]:
    """The text of each code."""
    return np.array([kind(int(c)).describe() for c in codes], dtype=object)


F = TypeVar("F", bound=Callable[..., Any])


def renamed(**old: str) -> Callable[[F], F]:
    """Accept the keyword arguments ``old=new`` under their old names, with a
    DeprecationWarning, for one minor release."""
    def wrap(function: F) -> F:
        @functools.wraps(function)
        def call(*args: Any, **kwargs: Any) -> Any:
            for was, now in old.items():
                if was in kwargs:
                    warnings.warn(f"{function.__name__}(): {was}= is deprecated, use {now}=",
                                  DeprecationWarning, stacklevel=2)
                    if now in kwargs:
                        raise TypeError(f"{function.__name__}() got both {was}= and {now}=")
                    kwargs[now] = kwargs.pop(was)
            return function(*args, **kwargs)
        return call  # type: ignore[return-value]
    return wrap
