"""Real fonts: files Debian's font packages ship, and collections and web fonts made from them."""
from __future__ import annotations

import pathlib
import shutil

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


def make(out: pathlib.Path) -> list[tuple[str, str]]:
    out.mkdir(parents=True, exist_ok=True)
    made: list[tuple[str, str]] = []
    for path, ext in SHIPPED:
        src = pathlib.Path(path)
        if src.exists():
            shutil.copyfile(src, out / src.name)
            made.append((src.name, ext))
    try:
        from fontTools.ttLib import TTCollection, TTFont
    except ImportError:
        return made
    serif = pathlib.Path("/usr/share/fonts/truetype/liberation/LiberationSerif-Regular.ttf")
    sans = pathlib.Path("/usr/share/fonts/truetype/liberation/LiberationSans-Bold.ttf")
    if serif.exists() and sans.exists():
        try:
            collection = TTCollection()
            collection.fonts = [TTFont(serif), TTFont(sans)]
            collection.save(out / "pair.ttc")
            made.append(("pair.ttc", "ttc"))
        except Exception:  # noqa: BLE001 - a kind the installed tools cannot make is skipped
            pass
        for flavor in ("woff", "woff2"):
            try:
                font = TTFont(serif)
                font.flavor = flavor
                font.save(out / f"serif.{flavor}")
                made.append((f"serif.{flavor}", flavor))
            except Exception:  # noqa: BLE001
                pass
    return made
