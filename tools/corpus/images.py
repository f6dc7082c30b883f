"""Real files of the images group: WebP, QOI, OpenEXR, Radiance HDR, DDS, ICO holding PNG, TGA, APNG."""
from __future__ import annotations

import pathlib
import sys

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parent))  # the media module's helpers
from media import ffmpeg, run  # noqa: E402

PACKAGES = ["ffmpeg", "webp", "imagemagick"]

STILL = ["-f", "lavfi", "-i", "testsrc=size=96x64", "-frames:v", "1"]
MAGICK = "convert-im6.q16"


def make(out: pathlib.Path) -> list[tuple[str, str]]:
    out.mkdir(parents=True, exist_ok=True)
    made: list[tuple[str, str]] = []

    def add(name: str, ext: str, ok: bool) -> None:
        if ok and (out / name).exists() and (out / name).stat().st_size > 0:
            made.append((name, ext))

    src = out / "source.png"
    if not ffmpeg(out, "source.png", *STILL):
        return made
    alpha = out / "alpha.png"
    ffmpeg(out, "alpha.png", "-f", "lavfi", "-i", "testsrc=size=80x40", "-frames:v", "1", "-vf", "format=rgba")
    add("lossy.webp", "webp", run(["cwebp", "-quiet", str(src), "-o", str(out / "lossy.webp")]))
    add("lossless.webp", "webp", run(["cwebp", "-quiet", "-lossless", str(src), "-o", str(out / "lossless.webp")]))
    add("alpha.webp", "webp", run(["cwebp", "-quiet", "-exact", "-alpha_q", "50", str(alpha), "-o",
                                   str(out / "alpha.webp")]))
    add("ffmpeg.webp", "webp", ffmpeg(out, "ffmpeg.webp", "-i", str(src)))
    add("still.qoi", "qoi", ffmpeg(out, "still.qoi", "-i", str(src)))
    add("still.exr", "exr", ffmpeg(out, "still.exr", "-i", str(src), "-pix_fmt", "gbrpf32le"))
    add("still.hdr", "hdr", run([MAGICK, str(src), str(out / "still.hdr")]))
    add("still.dds", "dds", run([MAGICK, str(src), str(out / "still.dds")]))
    add("png.ico", "ico", ffmpeg(out, "png.ico", "-i", str(src), "-c:v", "png", "-pix_fmt", "rgba"))
    add("magick.tga", "tga", run([MAGICK, str(src), str(out / "magick.tga")]))
    add("ffmpeg.tga", "tga", ffmpeg(out, "ffmpeg.tga", "-i", str(src)))
    add("anim.apng", "apng", ffmpeg(out, "anim.apng", "-f", "lavfi", "-i", "testsrc=size=48x32:rate=5:duration=1",
                                    "-plays", "0", "-f", "apng"))
    # The classic kinds, to see that the layer stays out of their way.
    add("still.png", "png", ffmpeg(out, "still.png", "-i", str(src)))
    add("still.jpg", "jpg", ffmpeg(out, "still.jpg", "-i", str(src)))
    add("still.gif", "gif", ffmpeg(out, "still.gif", "-i", str(src)))
    add("still.bmp", "bmp", ffmpeg(out, "still.bmp", "-i", str(src)))
    add("still.tif", "tif", ffmpeg(out, "still.tif", "-i", str(src)))
    add("still.psd", "psd", run([MAGICK, str(src), str(out / "still.psd")]))
    src.unlink()
    alpha.unlink(missing_ok=True)
    return made
