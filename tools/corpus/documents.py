"""Real documents: PDF and PostScript from Ghostscript, PDF after leading junk, DjVu from DjVuLibre."""
from __future__ import annotations

import pathlib
import sys

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parent))  # the media module's helpers
from media import ffmpeg, run  # noqa: E402

PACKAGES = ["ghostscript", "djvulibre-bin", "ffmpeg"]

PAGE = """%!PS
/Helvetica findfont 24 scalefont setfont
72 700 moveto (A page for the corpus) show
showpage
"""


def make(out: pathlib.Path) -> list[tuple[str, str]]:
    out.mkdir(parents=True, exist_ok=True)
    made: list[tuple[str, str]] = []

    def add(name: str, ext: str, ok: bool) -> None:
        if ok and (out / name).exists() and (out / name).stat().st_size > 0:
            made.append((name, ext))

    src = out / "page.txt"
    src.write_text(PAGE)
    gs = ["gs", "-q", "-dSAFER", "-dBATCH", "-dNOPAUSE"]
    add("page.pdf", "pdf", run([*gs, "-sDEVICE=pdfwrite", f"-sOutputFile={out / 'page.pdf'}", str(src)]))
    add("pdf14.pdf", "pdf", run([*gs, "-sDEVICE=pdfwrite", "-dCompatibilityLevel=1.4",
                                 f"-sOutputFile={out / 'pdf14.pdf'}", str(src)]))
    add("page.ps", "ps", run([*gs, "-sDEVICE=ps2write", f"-sOutputFile={out / 'page.ps'}", str(src)]))
    src.unlink()
    if (out / "page.pdf").exists():
        # A mail gateway's or a download's few bytes before the header.
        (out / "junk.pdf").write_bytes(b"Content-Type: application/pdf\r\n\r\n" + (out / "page.pdf").read_bytes())
        made.append(("junk.pdf", "pdf"))
    if ffmpeg(out, "page.pgm", "-f", "lavfi", "-i", "testsrc=size=200x150", "-frames:v", "1", "-pix_fmt", "gray"):
        add("page.djvu", "djvu", run(["c44", str(out / "page.pgm"), str(out / "page.djvu")]))
        add("book.djvu", "djvu", (out / "page.djvu").exists()
            and run(["djvm", "-c", str(out / "book.djvu"), str(out / "page.djvu"), str(out / "page.djvu")]))
        (out / "page.pgm").unlink()
    return made
