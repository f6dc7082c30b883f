"""Real fonts: files Debian's font packages ship, and collections and web fonts made from them."""
from __future__ import annotations

import pathlib
import shutil
import subprocess
import sys

PACKAGES = ["fonts-dejavu-core", "fonts-dejavu-web", "fonts-liberation", "fonts-urw-base35", "python3-fonttools",
            "python3-brotli"]

SHIPPED = [
    ("/usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf", "ttf"),
    ("/usr/share/fonts/truetype/dejavu/DejaVuSerif.ttf", "ttf"),
    ("/usr/share/fonts/truetype/liberation/LiberationSans-Regular.ttf", "ttf"),
    ("/usr/share/fonts/truetype/liberation/LiberationMono-Bold.ttf", "ttf"),
    ("/usr/share/fonts/opentype/urw-base35/C059-Roman.otf", "otf"),
    ("/usr/share/fonts/opentype/urw-base35/NimbusSans-Regular.otf", "otf"),
    ("/usr/share/fonts/woff/dejavu/DejaVuSans-Bold.woff", "woff"),
    ("/usr/share/fonts/woff/dejavu/DejaVuSerif.woff", "woff"),
]

# Run by a Python that has fontTools: a collection of two fonts, or one font as a web font.
MAKE_FONT = """
import sys
from fontTools.ttLib import TTCollection, TTFont
serif, sans, target, kind = sys.argv[1:]
if kind == "ttc":
    collection = TTCollection()
    collection.fonts = [TTFont(serif), TTFont(sans)]
    collection.save(target)
else:
    font = TTFont(serif)
    font.flavor = kind
    font.save(target)
"""


def make(out: pathlib.Path) -> list[tuple[str, str]]:
    out.mkdir(parents=True, exist_ok=True)
    made: list[tuple[str, str]] = []
    for path, ext in SHIPPED:
        src = pathlib.Path(path)
        if src.exists():
            shutil.copyfile(src, out / src.name)
            made.append((src.name, ext))
    serif = "/usr/share/fonts/truetype/liberation/LiberationSerif-Regular.ttf"
    sans = "/usr/share/fonts/truetype/liberation/LiberationSans-Bold.ttf"
    if not (pathlib.Path(serif).exists() and pathlib.Path(sans).exists()):
        return made
    # Debian's fontTools may belong to the system's Python rather than the one running this.
    python = sys.executable
    if subprocess.run([python, "-c", "import fontTools"], capture_output=True).returncode != 0:
        python = "/usr/bin/python3"
    for name, ext in (("pair.ttc", "ttc"), ("serif.woff", "woff"), ("serif.woff2", "woff2")):
        try:
            done = subprocess.run([python, "-c", MAKE_FONT, serif, sans, str(out / name), ext], capture_output=True,
                                  timeout=60)
        except (OSError, subprocess.TimeoutExpired):
            continue
        if done.returncode == 0 and (out / name).exists():
            made.append((name, ext))
    return made
