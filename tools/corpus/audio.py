"""Real files of the audio group: FLAC, MP3 with and without ID3, AAC ADTS, WavPack."""
from __future__ import annotations

import pathlib
import sys

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parent))  # the media module's helpers
from media import AUDIO, ffmpeg, run  # noqa: E402

PACKAGES = ["ffmpeg", "flac", "wavpack"]


def make(out: pathlib.Path) -> list[tuple[str, str]]:
    out.mkdir(parents=True, exist_ok=True)
    made: list[tuple[str, str]] = []

    def add(name: str, ext: str, ok: bool) -> None:
        if ok and (out / name).exists() and (out / name).stat().st_size > 0:
            made.append((name, ext))

    add("ffmpeg.flac", "flac", ffmpeg(out, "ffmpeg.flac", *AUDIO))
    add("tagged.mp3", "mp3", ffmpeg(out, "tagged.mp3", *AUDIO, "-c:a", "libmp3lame", "-b:a", "64k",
                                    "-metadata", "title=Tone"))
    add("bare.mp3", "mp3", ffmpeg(out, "bare.mp3", *AUDIO, "-c:a", "libmp3lame", "-b:a", "64k",
                                  "-id3v2_version", "0", "-write_xing", "0"))
    add("xing.mp3", "mp3", ffmpeg(out, "xing.mp3", *AUDIO, "-c:a", "libmp3lame", "-id3v2_version", "0"))
    add("mono48.mp3", "mp3", ffmpeg(out, "mono48.mp3", "-f", "lavfi", "-i", "sine=sample_rate=48000:duration=1",
                                    "-c:a", "libmp3lame", "-b:a", "128k", "-id3v2_version", "0"))
    add("shine.mp3", "mp3", ffmpeg(out, "shine.mp3", "-f", "lavfi", "-i", "sine=sample_rate=44100:duration=1",
                                   "-c:a", "libshine", "-id3v2_version", "0"))
    add("adts.aac", "aac", ffmpeg(out, "adts.aac", *AUDIO, "-c:a", "aac", "-b:a", "32k"))
    wav = out / "tone.wav"
    if ffmpeg(out, "tone.wav", *AUDIO):
        add("flac.flac", "flac", run(["flac", "-s", "-f", "-o", str(out / "flac.flac"), str(wav)]))
        add("tone.wv", "wv", run(["wavpack", "-q", "-y", str(wav), "-o", str(out / "tone.wv")]))
        wav.unlink()
    return made
