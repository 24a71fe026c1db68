"""Why a result has no answer: the model-true library's failure enum as a
Python IntEnum, its members keyed by the names the extension exports, and the
deprecation of old argument names."""

from __future__ import annotations

import functools
import warnings
from enum import IntEnum
from typing import Any, Callable, TypeVar

import numpy as np
import numpy.typing as npt

from . import _kelvor


def _exported() -> dict[str, int]:
    """The failure enum's names and values, as the extension exports them."""
    if hasattr(_kelvor, "model_failures"):
        return {str(name): int(code) for name, code in _kelvor.model_failures()}
    # An extension that exports only the descriptions: the enum's names in its order.
    order = ("none", "invalid_input", "phase_deviation_out_of_range", "level_not_reached",
             "no_main_lobe_solution", "null_on_axis")
    return {name: code for code, name in enumerate(order)}


_CODES = _exported()
_DESCRIPTIONS: dict[int, str] = {int(code): str(text)
                                 for code, text in enumerate(_kelvor.model_failure_names())}


class Failure(IntEnum):
    """Why a value has no answer (after scipy's ``OptimizeResult.status``):
    ``NONE`` when it has one. ``describe()`` gives the sentence a result's
    ``reason`` holds."""
    NONE = _CODES["none"]
    INVALID_INPUT = _CODES["invalid_input"]
    PHASE_DEVIATION_OUT_OF_RANGE = _CODES["phase_deviation_out_of_range"]
    LEVEL_NOT_REACHED = _CODES["level_not_reached"]
    NO_MAIN_LOBE_SOLUTION = _CODES["no_main_lobe_solution"]
    NULL_ON_AXIS = _CODES["null_on_axis"]

    def describe(self) -> str:
        return _DESCRIPTIONS[int(self)]


def reasons(codes: npt.NDArray[Any]) -> npt.NDArray[np.object_]:
    """The reason text of each failure code."""
    return np.array([Failure(int(c)).describe() for c in codes], dtype=object)


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
