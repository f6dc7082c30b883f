"""Tells what kind of file a file really is from its bytes, through the Zarvo32 engine.

    >>> import oxtarn
    >>> r = oxtarn.identify("photo.dat")
    >>> r.extension, r.candidates, r.description, r.detail

The engine library is looked for in OXTARN_LIBRARY (a path), beside this
package, and then on the system's library path.
"""

import collections
import concurrent.futures
import dataclasses
import errno
import os
import stat
import sys
from typing import Iterable, Iterator, List, Optional, Union

from ._engine import EngineNotFoundError, decode, engine

__all__ = ["Identification", "EngineNotFoundError", "engine", "identify", "identify_bytes", "identify_many", "MODES"]
__version__ = "1.2.1"

# Inspection methods and their option bits.
MODES = {"normal": 0, "macbinary": 1, "footer": 2, "special": 4}
_QUIET = 8     # no error report from the engine: failures are raised here
_CURRENT = 16  # the current-formats layer first
_MAX_SAMPLE = 40000


@dataclasses.dataclass(frozen=True)
class Identification:
    """What the engine answered for one file or buffer."""

    path: Optional[str]      # the path identified (None for bytes)
    candidates: List[str]    # fitting extensions, the present one first; empty when unknown
    description: str
    detail: str
    name: Optional[str] = None  # English name of the kind, when the engine gives it
    mime: Optional[str] = None  # MIME type of the kind, when the engine gives it

    @property
    def extension(self) -> Optional[str]:
        """The first candidate, or None when the kind is unknown."""
        return self.candidates[0] if self.candidates else None


def _options(sample, mode, legacy):
    if mode not in MODES:
        raise ValueError(f"mode must be one of {', '.join(MODES)}, not {mode!r}")
    if isinstance(sample, bool) or not isinstance(sample, int) or not 0 <= sample <= _MAX_SAMPLE:
        raise ValueError(f"sample must be a whole number from 0 to {_MAX_SAMPLE}, not {sample!r}")
    return MODES[mode] | _QUIET | (0 if legacy else _CURRENT)


def _native(path) -> bytes:
    """A path as the engine takes it: the file system's bytes (the ANSI code page on Windows)."""
    if isinstance(path, bytes):
        return path
    path = os.fspath(path)
    if isinstance(path, bytes):
        return path
    return path.encode("mbcs") if sys.platform == "win32" else os.fsencode(path)


def _result(eng, record, path) -> Identification:
    listed = record.extension
    candidates = [decode(e) for e in listed.split(b",") if e and e != b"?"]
    name, mime = eng.kind_name(listed) if candidates else (None, None)
    return Identification(path, candidates, decode(record.description), decode(record.detail), name, mime)


def _check_readable(path):
    """Raises the OSError the system gives for a file that cannot be read."""
    flags = os.O_RDONLY | getattr(os, "O_NONBLOCK", 0) | getattr(os, "O_BINARY", 0)
    fd = os.open(path, flags)  # never blocks on a FIFO
    try:
        is_dir = stat.S_ISDIR(os.fstat(fd).st_mode)
    finally:
        os.close(fd)
    if is_dir:
        raise IsADirectoryError(errno.EISDIR, os.strerror(errno.EISDIR), os.fspath(path))


def identify(path, sample: int = 256, mode: str = "normal", legacy: bool = False) -> Identification:
    """Identifies the file at `path` from its first `sample` bytes (0 to 40000)
    and, depending on `mode` (normal, macbinary, footer, special), its tail.
    `legacy=True` leaves the current-formats layer out. A file that cannot be
    read raises OSError naming the path."""
    options = _options(sample, mode, legacy)
    eng = engine()
    _check_readable(path)
    return _result(eng, eng.get_info(_native(path), sample, options), os.fspath(path))


def identify_bytes(data, name=None, sample: int = 256, mode: str = "normal",
                   legacy: bool = False) -> Identification:
    """Identifies bytes in memory: the content's head or, where you have it,
    the whole content (the footer and special modes read its tail). `name`
    gives the present extension as a path would."""
    if isinstance(data, str) or not isinstance(data, (bytes, bytearray, memoryview)):
        raise TypeError(f"data must be bytes-like, not {type(data).__name__}")
    options = _options(sample, mode, legacy)
    eng = engine()
    data = data if isinstance(data, bytes) else bytes(data)
    record = eng.get_info_from_memory(data, None if name is None else _native(name), sample, options)
    return _result(eng, record, None)


def identify_many(paths: Iterable, jobs: Optional[int] = None, sample: int = 256, mode: str = "normal",
                  legacy: bool = False, errors: str = "raise") -> Iterator[Union[Identification, OSError]]:
    """Identifies files on `jobs` threads (default: the number of cores) and
    yields the results in the order of `paths`. With errors="raise" a file
    that cannot be read raises its OSError when its turn comes; with
    errors="return" the OSError is yielded in its place."""
    if errors not in ("raise", "return"):
        raise ValueError(f"errors must be 'raise' or 'return', not {errors!r}")
    _options(sample, mode, legacy)
    engine()
    jobs = (os.cpu_count() or 1) if jobs is None else jobs
    if jobs < 1:
        raise ValueError("jobs must be at least 1")
    return _identify_many(iter(paths), jobs, sample, mode, legacy, errors)


def _identify_many(paths, jobs, sample, mode, legacy, errors):
    window = collections.deque()  # futures in input order, at most a few per thread ahead
    with concurrent.futures.ThreadPoolExecutor(max_workers=jobs) as pool:
        try:
            for path in paths:
                window.append(pool.submit(identify, path, sample, mode, legacy))
                if len(window) >= 4 * jobs:
                    yield _take(window.popleft(), errors)
            while window:
                yield _take(window.popleft(), errors)
        finally:
            for f in window:
                f.cancel()


def _take(future, errors):
    try:
        return future.result()
    except OSError as e:
        if errors == "return":
            return e
        raise
