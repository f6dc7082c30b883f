"""The oxtarn package over the engine library (OXTARN_LIBRARY names the one built)."""

import dataclasses
import os
import shutil
import subprocess
import sys
from pathlib import Path

import pytest

import oxtarn

ROOT = Path(__file__).resolve().parents[2]
EXAMPLES = sorted(p for p in (ROOT / "examples").iterdir() if p.suffix != ".py")
OPTION_SETS = [(mode, legacy) for mode in oxtarn.MODES for legacy in (False, True)]

# The one condition the bytes-in-memory tests wait for: the loaded engine
# library exporting ZarvoGetInfoFromMemory.
engine_lacks_identify_bytes = not oxtarn.engine().identifies_bytes
needs_identify_bytes = pytest.mark.skipif(
    engine_lacks_identify_bytes, reason="the engine library has no ZarvoGetInfoFromMemory yet")


# --- identify ---------------------------------------------------------------

@pytest.mark.parametrize("file, candidates, description, detail_part", [
    ("picture.bmp", ["bmp", "dib", "2bp", "rle"], "Windows Bitmap File「画像」", ""),
    ("report.pdf", ["zip", "jar", "wmz", "wsz", "nar"], "ZIP Archive File「書庫」", ""),
    ("recording.dat", ["wav"], "WAVE Sound File「ｻｳﾝﾄﾞ」", "サンプル率：44.100 kHz\r\n"),
    ("tune.bin", ["mid", "kar"], "Standard MIDI File「ｻｳﾝﾄﾞ」", "タイトル：Example Tune"),
])
def test_identify_examples(file, candidates, description, detail_part):
    path = ROOT / "examples" / file
    for given in (path, str(path), os.fsencode(path)):
        r = oxtarn.identify(given)
        assert (r.candidates, r.extension, r.description) == (candidates, candidates[0], description)
        assert detail_part in r.detail
    assert r.path == os.fsencode(path)
    assert oxtarn.identify(path).path == str(path)


def test_identify_unknown_and_empty(tmp_path):
    (tmp_path / "empty.xyz").write_bytes(b"")
    r = oxtarn.identify(tmp_path / "empty.xyz")
    assert (r.candidates, r.extension) == ([], None)
    assert isinstance(r.description, str) and isinstance(r.detail, str)


def test_identify_modes_reach_the_engine(tmp_path):
    # A MacBinary header in front of a GIF: only the macbinary mode looks past it.
    f = tmp_path / "wrapped.dat"
    f.write_bytes(bytes(128) + b"GIF89a" + bytes(200))
    assert oxtarn.identify(f).extension != "gif"
    assert oxtarn.identify(f, mode="macbinary").extension == "gif"


def test_texts_are_decoded_from_shift_jis():
    # Every example's texts come back as str, never as bytes, and never lose
    # a character to replacement.
    for f in EXAMPLES:
        r = oxtarn.identify(f)
        for text in (r.description, r.detail, *r.candidates):
            assert isinstance(text, str) and "\ufffd" not in text


@pytest.mark.parametrize("make, error", [
    (lambda d: d / "missing.bin", FileNotFoundError),
    (lambda d: d, IsADirectoryError),
    (lambda d: (d / "dangling").symlink_to(d / "nowhere") or d / "dangling", FileNotFoundError),
])
def test_unreadable_files_raise_oserror_with_the_path(tmp_path, make, error):
    path = make(tmp_path)
    with pytest.raises(error) as caught:
        oxtarn.identify(path)
    assert caught.value.filename == os.fspath(path)


@pytest.mark.parametrize("kwargs", [{"mode": "fast"}, {"sample": -1}, {"sample": 40001}, {"sample": "256"},
                                    {"sample": True}])
def test_bad_arguments_raise_valueerror(kwargs):
    with pytest.raises(ValueError):
        oxtarn.identify(EXAMPLES[0], **kwargs)
    with pytest.raises(ValueError):
        oxtarn.identify_many([EXAMPLES[0]], **kwargs)


def test_kind_name_and_mime_follow_the_engine():
    r = oxtarn.identify(ROOT / "examples" / "picture.bmp")
    if oxtarn.engine().names_kinds:
        assert r.name and "/" in r.mime
    else:
        assert (r.name, r.mime) == (None, None)


# --- identify_many ----------------------------------------------------------

def _tree(tmp_path, count):
    heads = [b"PK\x03\x04", b"Rar!\x1a\x07\x00", b"GIF89a", b"%PDF-1.4\n", b"plain text\n"]
    paths = []
    for i in range(count):
        p = tmp_path / f"f{i:04d}.dat"
        p.write_bytes(heads[i % len(heads)] + b"%04d" % i)
        paths.append(p)
    return paths


def test_identify_many_keeps_input_order(tmp_path):
    paths = _tree(tmp_path, 120)[::-1]
    got = list(oxtarn.identify_many(paths, jobs=4))
    assert got == [oxtarn.identify(p) for p in paths]
    assert [r.path for r in got] == [str(p) for p in paths]


def test_identify_many_errors(tmp_path):
    paths = _tree(tmp_path, 10)
    paths.insert(5, tmp_path / "missing.bin")

    got = list(oxtarn.identify_many(paths, jobs=3, errors="return"))
    assert isinstance(got[5], FileNotFoundError) and got[5].filename == str(paths[5])
    assert [r.path for i, r in enumerate(got) if i != 5] == [str(p) for i, p in enumerate(paths) if i != 5]

    seen = []
    with pytest.raises(FileNotFoundError):
        for r in oxtarn.identify_many(paths, jobs=3):
            seen.append(r.path)
    assert seen == [str(p) for p in paths[:5]]

    with pytest.raises(ValueError):
        oxtarn.identify_many(paths, errors="ignore")
    with pytest.raises(ValueError):
        oxtarn.identify_many(paths, jobs=0)


# --- identify_bytes ---------------------------------------------------------

@needs_identify_bytes
@pytest.mark.parametrize("mode, legacy", OPTION_SETS)
@pytest.mark.parametrize("file", EXAMPLES, ids=lambda p: p.name)
def test_identify_bytes_answers_as_the_file(file, mode, legacy):
    from_file = oxtarn.identify(file, mode=mode, legacy=legacy)
    from_bytes = oxtarn.identify_bytes(file.read_bytes(), name=file.name, mode=mode, legacy=legacy)
    assert from_bytes == dataclasses.replace(from_file, path=None)


@needs_identify_bytes
def test_identify_bytes_buffers_and_names(tmp_path):
    data = (ROOT / "examples" / "report.pdf").read_bytes()
    want = oxtarn.identify_bytes(data, name="report.pdf")
    for buffer in (bytearray(data), memoryview(data)):
        assert oxtarn.identify_bytes(buffer, name="report.pdf") == want
    # The name gives the present extension, as a file's name would.
    (tmp_path / "a.jar").write_bytes(data)
    as_jar = oxtarn.identify_bytes(data, name="a.jar")
    assert as_jar.extension == "jar"
    assert as_jar == dataclasses.replace(oxtarn.identify(tmp_path / "a.jar"), path=None)
    (tmp_path / "empty").write_bytes(b"")
    assert oxtarn.identify_bytes(b"") == dataclasses.replace(oxtarn.identify(tmp_path / "empty"), path=None)


def test_identify_bytes_takes_bytes_only():
    for wrong in ("text", 42, [1, 2]):
        with pytest.raises(TypeError):
            oxtarn.identify_bytes(wrong)


def test_identify_bytes_without_the_export(monkeypatch):
    monkeypatch.setattr(oxtarn.engine(), "_from_memory", None)
    with pytest.raises(NotImplementedError, match="ZarvoGetInfoFromMemory"):
        oxtarn.identify_bytes(b"GIF89a")


# --- finding the engine -----------------------------------------------------

def _python(code, env, cwd):
    return subprocess.run([sys.executable, "-c", code], env=env, cwd=cwd, capture_output=True, text=True)


def test_pip_install_and_the_engine_beside_the_package(tmp_path):
    # pip install ./python (from a copy: the build leaves files in the tree),
    # with the engine placed beside the installed package.
    shutil.copytree(ROOT / "python", tmp_path / "src", ignore=shutil.ignore_patterns("tests", "__pycache__"))
    env = {k: v for k, v in os.environ.items() if k not in ("OXTARN_LIBRARY", "PYTHONPATH")}
    env["PIP_DISABLE_PIP_VERSION_CHECK"] = "1"
    subprocess.run([sys.executable, "-m", "pip", "install", "-q", "--no-build-isolation", "--no-deps", "--no-index",
                    "--target", str(tmp_path / "site"), str(tmp_path / "src")], env=env, check=True,
                   capture_output=True)
    library = Path(os.environ["OXTARN_LIBRARY"])
    shutil.copy(library, tmp_path / "site" / "oxtarn" / library.name)

    env["PYTHONPATH"] = str(tmp_path / "site")
    code = "import oxtarn; print(oxtarn.engine().path); print(oxtarn.identify(%r).extension)" % str(
        ROOT / "examples" / "picture.bmp")
    run = _python(code, env, tmp_path)
    assert run.returncode == 0, run.stderr
    assert run.stdout.splitlines() == [str(tmp_path / "site" / "oxtarn" / library.name), "bmp"]


def test_oxtarn_library_names_the_engine(tmp_path):
    env = dict(os.environ, OXTARN_LIBRARY=str(tmp_path / "no-such-library.so"), PYTHONPATH=str(ROOT / "python"))
    run = _python("import oxtarn\ntry:\n oxtarn.identify('x')\nexcept oxtarn.EngineNotFoundError as e:\n print(e)",
                  env, tmp_path)
    assert run.returncode == 0, run.stderr
    assert "no-such-library.so" in run.stdout and "OXTARN_LIBRARY" in run.stdout
