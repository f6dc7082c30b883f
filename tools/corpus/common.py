"""Shared helpers of the corpus modules (tools/corpus/GROUP.py).

Each group module defines PACKAGES (the Debian packages its programs come
from) and make(out) -> [(file name relative to out, expected extension)].
A kind whose program is missing is skipped quietly: these helpers return
False (or None) instead of raising.
"""
import glob
import pathlib
import shutil
import subprocess


def have(program: str) -> bool:
    """The program is on the PATH."""
    return shutil.which(program) is not None


def run(argv, cwd=None, timeout=60, stdin=None) -> bool:
    """Runs a command quietly; True when it ran and succeeded."""
    if not have(str(argv[0])):
        return False
    try:
        done = subprocess.run([str(a) for a in argv], cwd=cwd, timeout=timeout, input=stdin,
                              stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    except (OSError, subprocess.SubprocessError):
        return False
    return done.returncode == 0


def made(out: pathlib.Path, name: str, ext: str, argv, **kwargs):
    """Runs argv to make out/name; the (name, ext) pair when the file is there
    and not empty, else None."""
    path = out / name
    path.parent.mkdir(parents=True, exist_ok=True)
    if run(argv, **kwargs) and path.is_file() and path.stat().st_size > 0:
        return (name, ext)
    if path.exists() and path.is_file():
        path.unlink()
    return None


def shipped(out: pathlib.Path, pattern: str, name: str, ext: str, max_bytes=512 * 1024):
    """Copies the first file a Debian package ships matching the glob pattern
    (sorted, at most max_bytes long) to out/name; the pair, or None."""
    for source in sorted(glob.glob(pattern)):
        p = pathlib.Path(source)
        if p.is_file() and not p.is_symlink() and 0 < p.stat().st_size <= max_bytes:
            target = out / name
            target.parent.mkdir(parents=True, exist_ok=True)
            shutil.copyfile(p, target)
            return (name, ext)
    return None


def pairs(*found):
    """The pairs that were made (drops the Nones)."""
    return [f for f in found if f]
