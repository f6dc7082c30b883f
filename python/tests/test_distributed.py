"""examples/distributed.py on a local Dask cluster of two workers."""

import json
import subprocess
import sys
from collections import Counter
from pathlib import Path

ROOT = Path(__file__).resolve().parents[2]

HEADS = {"zip": b"PK\x03\x04", "gif": b"GIF89a", "pdf": b"%PDF-1.4\n"}


def test_every_file_answered_once(tmp_path):
    tree = tmp_path / "tree"
    want = {}
    for i in range(300):
        kind = list(HEADS)[i % len(HEADS)]
        folder = tree / f"d{i % 7}" / f"e{i % 3}"
        folder.mkdir(parents=True, exist_ok=True)
        path = folder / f"file{i:03d}.dat"
        path.write_bytes(HEADS[kind] + b"%03d" % i + bytes(40))
        want[str(path)] = kind
    (tree / "broken").symlink_to(tree / "nowhere")  # listed, cannot be read

    out = tmp_path / "out"
    run = subprocess.run(
        [sys.executable, str(ROOT / "examples" / "distributed.py"), "--local", "2", "--partitions", "6",
         "--jobs", "2", str(out), str(tree)],
        capture_output=True, text=True, timeout=240)
    assert run.returncode == 0, run.stderr[-3000:]

    parts = sorted(out.iterdir())
    assert [p.name for p in parts] == [f"part-{i:05d}.jsonl" for i in range(6)]
    records = [json.loads(line) for p in parts for line in p.read_text(encoding="utf-8").splitlines()]
    answered = Counter(r["path"] for r in records)
    assert set(answered) == set(want) | {str(tree / "broken")}
    assert set(answered.values()) == {1}
    for r in records:
        if r["path"] == str(tree / "broken"):
            assert "error" in r
        else:
            assert r["extension"] == want[r["path"]] and r["candidates"][0] == r["extension"]
            assert isinstance(r["description"], str)
