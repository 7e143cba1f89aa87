"""Checks of what Python callers pass, before anything reaches the toolkit.

Each check returns the value in the form the extension module takes, or
raises TypeError (a value of the wrong kind) or ValueError (a value of the
right kind that cannot be used) with a message that names the argument.
"""

import math
import numbers
import os

import numpy as np

# The toolkit's counts and window sizes are C ints; its cell indices longs.
INT_RANGE = (-(2**31), 2**31 - 1)
LONG_RANGE = (-(2**63), 2**63 - 1)


def _kind(value):
    return type(value).__name__


def _is_real(value):
    if isinstance(value, (bool, np.bool_)):
        return False
    if isinstance(value, numbers.Real):
        return True
    return isinstance(value, np.ndarray) and value.ndim == 0 and value.dtype.kind in "iuf"


def real(value, name):
    """The value as a float: any real number but a bool."""
    if not _is_real(value):
        raise TypeError(f"{name} must be a real number, not {_kind(value)}")
    return float(value)


def finite(value, name):
    """A real number that is neither infinite nor not-a-number."""
    number = real(value, name)
    if not math.isfinite(number):
        raise ValueError(f"{name} must be a finite number, not {number!r}")
    return number


def positive(value, name):
    """A finite real number greater than 0."""
    number = finite(value, name)
    if not number > 0.0:
        raise ValueError(f"{name} must be greater than 0, not {number!r}")
    return number


def whole(value, name, bounds=INT_RANGE):
    """An integer (not a bool) within the bounds of the C type it goes to."""
    if isinstance(value, (bool, np.bool_)) or not isinstance(value, numbers.Integral):
        raise TypeError(f"{name} must be a whole number, not {_kind(value)}")
    number = int(value)
    low, high = bounds
    if not low <= number <= high:
        raise ValueError(f"{name} must lie between {low} and {high}, not {number}")
    return number


def flag(value, name):
    """True or False."""
    if not isinstance(value, (bool, np.bool_)):
        raise TypeError(f"{name} must be True or False, not {_kind(value)}")
    return bool(value)


def path(value, name):
    """A file name as bytes, as the file system holds it."""
    try:
        encoded = os.fsencode(os.fspath(value))
    except TypeError:
        raise TypeError(f"{name} must be a path (str, bytes or os.PathLike), not {_kind(value)}") from None
    if b"\0" in encoded:
        raise ValueError(f"{name} must not contain a null character")
    return encoded


def point(value, name):
    """An (x, y) pair of finite numbers."""
    try:
        x, y = value
    except (TypeError, ValueError):
        raise TypeError(f"{name} must be an (x, y) pair, not {_kind(value)}") from None
    return (finite(x, f"{name}'s x"), finite(y, f"{name}'s y"))


def items(values, name, what):
    """The items of an iterable as a list; `what` says what they should be."""
    try:
        return list(values)
    except TypeError:
        raise TypeError(f"{name} must be an iterable of {what}, not {_kind(values)}") from None


def reals(values, name):
    """A list of floats from an iterable of real numbers."""
    return [real(item, f"each of {name}") for item in items(values, name, "real numbers")]


def cells(values):
    """A C-contiguous 2-D float64 array of at least one row and column."""
    try:
        array = np.asarray(values)
    except ValueError as failure:
        raise ValueError(f"values must be rows of equal length ({failure})") from None
    if array.dtype.kind not in "iuf":
        raise TypeError(f"values must be real numbers, not {array.dtype} ({_kind(values)})")
    if array.ndim != 2:
        raise ValueError(f"values must be a 2-D array of rows and columns, not {array.ndim}-D")
    if array.shape[0] == 0 or array.shape[1] == 0:
        raise ValueError(f"values must hold at least one row and one column, not shape {array.shape}")
    return np.ascontiguousarray(array, dtype=np.float64)
