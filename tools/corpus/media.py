"""Real files of the media group: ISO base media, JPEG 2000 / XL, Matroska, RIFF kinds, Ogg.

Made with Debian's own programs from generated test pictures and tones; each
kind is skipped quietly when its program is missing or fails.
"""
from __future__ import annotations

import pathlib
import shutil
import subprocess

PACKAGES = ["ffmpeg", "libheif-examples", "libavif-bin", "libjxl-tools", "flac", "opus-tools", "vorbis-tools",
            "imagemagick"]

VIDEO = ["-f", "lavfi", "-i", "testsrc=size=96x64:rate=10:duration=1"]
AUDIO = ["-f", "lavfi", "-i", "sine=frequency=440:sample_rate=22050:duration=1"]


def run(args: list[str], cwd: pathlib.Path | None = None) -> bool:
    if shutil.which(args[0]) is None:
        return False
    try:
        done = subprocess.run(args, cwd=cwd, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=60)
    except (OSError, subprocess.TimeoutExpired):
        return False
    return done.returncode == 0


def ffmpeg(out: pathlib.Path, name: str, *args: str) -> bool:
    return run(["ffmpeg", "-nostdin", "-y", "-loglevel", "error", *args, str(out / name)])


def picture(out: pathlib.Path) -> pathlib.Path | None:
    """A small PNG picture the still-image encoders start from."""
    src = out / "source.png"
    if src.exists() or ffmpeg(out, "source.png", "-f", "lavfi", "-i", "testsrc=size=96x64", "-frames:v", "1"):
        return src
    return None


def make(out: pathlib.Path) -> list[tuple[str, str]]:
    out.mkdir(parents=True, exist_ok=True)
    made: list[tuple[str, str]] = []

    def add(name: str, ext: str, ok: bool) -> None:
        if ok and (out / name).exists() and (out / name).stat().st_size > 0:
            made.append((name, ext))

    vid = [*VIDEO, *AUDIO, "-c:v", "mpeg4", "-q:v", "10", "-c:a", "aac", "-b:a", "32k", "-shortest"]
    add("video.mp4", "mp4", ffmpeg(out, "video.mp4", *vid))
    add("faststart.mp4", "mp4", ffmpeg(out, "faststart.mp4", *vid, "-movflags", "+faststart"))
    add("h264.mp4", "mp4", ffmpeg(out, "h264.mp4", *VIDEO, "-c:v", "libx264", "-preset", "ultrafast"))
    add("mp42.mp4", "mp4", ffmpeg(out, "mp42.mp4", *vid, "-brand", "mp42"))
    add("fragmented.mp4", "mp4", ffmpeg(out, "fragmented.mp4", *vid, "-movflags", "frag_keyframe+empty_moov"))
    add("video.m4v", "m4v", ffmpeg(out, "video.m4v", *VIDEO, "-c:v", "libx264", "-preset", "ultrafast"))
    add("video.mov", "mov", ffmpeg(out, "video.mov", *vid))
    add("video.3gp", "3gp", ffmpeg(out, "video.3gp", *VIDEO, *AUDIO, "-s", "176x144", "-c:v", "mpeg4",
                                   "-c:a", "aac", "-ar", "22050", "-shortest"))
    add("video.3g2", "3g2", ffmpeg(out, "video.3g2", *VIDEO, *AUDIO, "-s", "176x144", "-c:v", "mpeg4",
                                   "-c:a", "aac", "-ar", "22050", "-shortest"))
    add("sound.m4a", "m4a", ffmpeg(out, "sound.m4a", *AUDIO, "-c:a", "aac", "-b:a", "32k"))
    add("book.m4b", "m4b", ffmpeg(out, "book.m4b", *AUDIO, "-c:a", "aac", "-b:a", "32k", "-f", "ipod", "-brand", "M4B "))
    # Sound alone in a plain MP4: the track handler makes it m4a.
    add("audio-only.mp4", "m4a", ffmpeg(out, "audio-only.mp4", *AUDIO, "-c:a", "aac", "-b:a", "32k"))

    add("video.mkv", "mkv", ffmpeg(out, "video.mkv", *vid))
    add("sound.mka", "mka", ffmpeg(out, "sound.mka", *AUDIO, "-c:a", "libvorbis"))
    add("flac.mka", "mka", ffmpeg(out, "flac.mka", *AUDIO, "-c:a", "flac"))
    srt = out / "subtitles.srt"
    srt.write_text("1\n00:00:00,000 --> 00:00:01,000\nHello\n\n2\n00:00:01,000 --> 00:00:02,000\nWorld\n")
    add("subtitles.mks", "mks", ffmpeg(out, "subtitles.mks", "-i", str(srt), "-f", "matroska"))
    srt.unlink()
    add("video.webm", "webm", ffmpeg(out, "video.webm", *VIDEO, *AUDIO, "-c:v", "libvpx", "-b:v", "100k",
                                     "-c:a", "libopus", "-shortest"))
    add("vp9.webm", "webm", ffmpeg(out, "vp9.webm", *VIDEO, "-c:v", "libvpx-vp9", "-deadline", "realtime",
                                   "-b:v", "100k"))
    add("sound.webm", "webm", ffmpeg(out, "sound.webm", *AUDIO, "-c:a", "libopus"))

    add("vorbis.ogg", "ogg", ffmpeg(out, "vorbis.ogg", *AUDIO, "-c:a", "libvorbis"))
    add("opus.opus", "opus", ffmpeg(out, "opus.opus", *AUDIO, "-c:a", "libopus"))
    add("theora.ogv", "ogv", ffmpeg(out, "theora.ogv", *VIDEO, "-c:v", "libtheora", "-q:v", "3"))
    add("ffmpeg.oga", "oga", ffmpeg(out, "ffmpeg.oga", *AUDIO, "-c:a", "flac", "-f", "ogg"))
    add("speex.spx", "spx", ffmpeg(out, "speex.spx", *AUDIO, "-ar", "16000", "-c:a", "libspeex"))

    wav = out / "tone.wav"
    if ffmpeg(out, "tone.wav", *AUDIO):
        add("oggenc.ogg", "ogg", run(["oggenc", "-Q", "-o", str(out / "oggenc.ogg"), str(wav)]))
        add("opusenc.opus", "opus", run(["opusenc", "--quiet", str(wav), str(out / "opusenc.opus")]))
        add("flac.oga", "oga", run(["flac", "-s", "-f", "--ogg", "-o", str(out / "flac.oga"), str(wav)]))
        wav.unlink()
    add("rf64.wav", "wav", ffmpeg(out, "rf64.wav", *AUDIO, "-rf64", "always"))
    add("wave64.w64", "w64", ffmpeg(out, "wave64.w64", *AUDIO))

    src = picture(out)
    if src is not None:
        add("still.heic", "heic", run(["heif-enc", "-q", "50", "-o", str(out / "still.heic"), str(src)]))
        add("still.avif", "avif", run(["avifenc", "-s", "10", str(src), str(out / "still.avif")]))
        add("still.jxl", "jxl", run(["cjxl", "--quiet", str(src), str(out / "still.jxl")]))
        add("container.jxl", "jxl", run(["cjxl", "--quiet", "--container=1", str(src), str(out / "container.jxl")]))
        add("still.jp2", "jp2", ffmpeg(out, "still.jp2", "-i", str(src), "-c:v", "libopenjpeg", "-format", "jp2"))
        add("still.j2k", "j2k", ffmpeg(out, "still.j2k", "-i", str(src), "-c:v", "jpeg2000", "-format", "j2k"))
        add("magick.jp2", "jp2", run(["convert-im6.q16", str(src), str(out / "magick.jp2")]))
        src.unlink()
    return made
