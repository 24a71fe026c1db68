# Types of the compiled row layer (module.cpp).
from typing import Any, Union

import numpy as np
import numpy.typing as npt

# A scalar argument: a Python float or a numpy float (the package passes float32).
_F = Union[float, np.floating[Any]]

__version__: str
NOMINAL_LEVELS: tuple[float, float, float, float]
CENTIMETRES: int
INCHES: int

def nominal_level_index(level: _F, /) -> int: ...
def column_levels(level: _F, index: int, /) -> tuple[float, float, float, float]: ...
def sweep(start: _F, stop: _F, step: _F, /) -> npt.NDArray[np.float32]: ...
def design(freq: _F, beamwidth: _F, level: _F, index: int, unit: int,
           phase_deviation: npt.NDArray[np.float32], /) -> npt.NDArray[np.float32]: ...
def response(aperture: _F, slant: _F, level: _F, index: int, unit: int,
             freq: npt.NDArray[np.float32], /) -> npt.NDArray[np.float32]: ...
def pattern(aperture: _F, slant: _F, freq: _F, unit: int, obliquity: bool,
            theta: npt.NDArray[np.float32], /) -> npt.NDArray[np.float32]: ...
def wavelength(freq: _F, unit: int, /) -> float: ...
