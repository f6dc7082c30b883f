"""Real data and science files for the current-formats corpus.

Made with Debian's programs and libraries: python3's sqlite3 and the sqlite3
shell (databases, write-ahead logs, rollback journals), numpy (npy, npz), scipy (MAT 5),
h5py (HDF5, also after a user block), netcdf-bin's ncgen (every netCDF
kind), tcpdump (captures rewritten in microsecond and nanosecond form),
plistlib (binary property lists), transmission-create (torrents). Capture
files that tcpdump starts from are written by python from the public record
layouts. A kind whose program is missing is skipped.
"""
import os
import pathlib
import plistlib
import shutil
import sqlite3
import struct
import subprocess
import sys

PACKAGES = ["sqlite3", "python3-numpy", "python3-scipy", "python3-h5py", "netcdf-bin", "tcpdump", "transmission-cli"]

CDL = """netcdf sample {
dimensions:
    time = UNLIMITED ;
    x = 4 ;
variables:
    float temp(time, x) ;
        temp:units = "K" ;
    int x(x) ;
data:
    x = 1, 2, 3, 4 ;
    temp = 280, 281, 282, 283, 284, 285, 286, 287 ;
}
"""

NUMPY_SCRIPT = """
import sys, numpy
out = sys.argv[1]
numpy.save(out + "/array.npy", numpy.arange(100, dtype=numpy.float64).reshape(10, 10))
numpy.save(out + "/labels.npy", numpy.array(["a", "bb", "ccc"]))
numpy.savez(out + "/arrays.npz", a=numpy.arange(10), b=numpy.ones((3, 3)))
numpy.savez_compressed(out + "/packed.npz", numpy.zeros(1000))
"""

MAT_SCRIPT = """
import sys, numpy, scipy.io
out = sys.argv[1]
scipy.io.savemat(out + "/plain.mat", {"a": numpy.arange(12).reshape(3, 4), "s": "text"})
scipy.io.savemat(out + "/packed.mat", {"z": numpy.zeros((20, 20))}, do_compression=True)
"""

HDF5_SCRIPT = """
import sys, h5py, numpy
out = sys.argv[1]
for name, block in [("plain.h5", 0), ("block512.h5", 512), ("block1024.hdf5", 1024), ("block2048.h5", 2048)]:
    with h5py.File(out + "/" + name, "w", userblock_size=block) as f:
        f.create_dataset("data", data=numpy.arange(64))
        f.attrs["title"] = "sample"
with h5py.File(out + "/latest.h5", "w", libver="latest") as f:
    f.create_group("g").create_dataset("d", data=numpy.eye(4))
"""


def _run(*args, cwd=None):
    try:
        return subprocess.run(args, cwd=cwd, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=60).returncode == 0
    except (OSError, subprocess.TimeoutExpired):
        return False


def _have(program):
    return shutil.which(program) is not None


def _frames():
    """A few Ethernet frames carrying UDP datagrams."""
    frames = []
    for i in range(4):
        payload = f"datagram {i}".encode()
        udp = struct.pack(">HHHH", 40000 + i, 53, 8 + len(payload), 0) + payload
        ip = struct.pack(">BBHHHBBH4s4s", 0x45, 0, 20 + len(udp), i, 0, 64, 17, 0,
                         bytes([192, 168, 0, 2]), bytes([192, 168, 0, 1])) + udp
        frames.append(b"\x02\x00\x00\x00\x00\x01" + b"\x02\x00\x00\x00\x00\x02" + b"\x08\x00" + ip)
    return frames


def _pcap(path, order):
    with open(path, "wb") as f:
        f.write(struct.pack(order + "IHHiIII", 0xA1B2C3D4, 2, 4, 0, 0, 65535, 1))
        for i, frame in enumerate(_frames()):
            f.write(struct.pack(order + "IIII", 1_700_000_000 + i, 1000 * i, len(frame), len(frame)) + frame)


def _pcapng(path):
    def block(kind, body):
        body += b"\0" * (-len(body) % 4)
        length = 12 + len(body)
        return struct.pack("<II", kind, length) + body + struct.pack("<I", length)

    with open(path, "wb") as f:
        f.write(block(0x0A0D0D0A, struct.pack("<IHHq", 0x1A2B3C4D, 1, 0, -1)))
        f.write(block(1, struct.pack("<HHI", 1, 0, 65535)))
        for i, frame in enumerate(_frames()):
            stamp = (1_700_000_000 + i) * 1_000_000
            f.write(block(6, struct.pack("<IIIII", 0, stamp >> 32, stamp & 0xFFFFFFFF, len(frame), len(frame)) + frame))


def make(out: pathlib.Path) -> list[tuple[str, str]]:
    out.mkdir(parents=True, exist_ok=True)
    made = []

    def keep(name, ext):
        if (out / name).is_file() and (out / name).stat().st_size > 0:
            made.append((name, ext))

    # SQLite databases in several page sizes and encodings.
    for name, pragmas in [("plain.sqlite", []), ("small-pages.db", ["PRAGMA page_size=1024"]),
                          ("utf16.sqlite3", ["PRAGMA encoding='UTF-16le'"]), ("big-pages.db", ["PRAGMA page_size=65536"])]:
        con = sqlite3.connect(out / name)
        for p in pragmas:
            con.execute(p)
        con.execute("CREATE TABLE t(id INTEGER PRIMARY KEY, name TEXT)")
        con.executemany("INSERT INTO t(name) VALUES (?)", [(f"row {i}",) for i in range(50)])
        con.commit()
        con.close()
        keep(name, name.rsplit(".", 1)[1])
    if _have("sqlite3"):
        _run("sqlite3", str(out / "shell.sqlite"), "CREATE TABLE a(x); INSERT INTO a VALUES (1),(2);")
        keep("shell.sqlite", "sqlite")
    # A write-ahead log and a rollback journal, copied while their database is open.
    con = sqlite3.connect(out / "wal.db", isolation_level=None)
    con.execute("PRAGMA journal_mode=WAL")
    con.execute("CREATE TABLE t(x)")
    con.execute("INSERT INTO t VALUES (1)")
    if os.path.exists(out / "wal.db-wal"):
        shutil.copyfile(out / "wal.db-wal", out / "copy.db-wal")
        keep("copy.db-wal", "db-wal")
    con.close()
    con = sqlite3.connect(out / "journal.db", isolation_level=None)
    con.execute("PRAGMA cache_size=1")
    con.execute("CREATE TABLE t(x)")
    con.execute("BEGIN")
    con.executemany("INSERT INTO t VALUES (?)", [("x" * 500,) for _ in range(200)])
    if os.path.exists(out / "journal.db-journal"):
        shutil.copyfile(out / "journal.db-journal", out / "copy.db-journal")
        keep("copy.db-journal", "db-journal")
    con.execute("ROLLBACK")
    con.close()
    for name in ["wal.db", "journal.db"]:
        keep(name, "db")
    for leftover in ["wal.db-shm", "wal.db-wal", "journal.db-journal"]:
        if os.path.exists(out / leftover):
            os.unlink(out / leftover)

    # NumPy arrays and archives of them, HDF5 from h5py (at the start and
    # after user blocks): written by Debian's python, where Debian's numpy
    # and h5py live.
    python = "/usr/bin/python3" if os.path.exists("/usr/bin/python3") else sys.executable
    if _run(python, "-c", NUMPY_SCRIPT, str(out)):
        for name in ["array.npy", "labels.npy", "arrays.npz", "packed.npz"]:
            keep(name, name.rsplit(".", 1)[1])
    if _run(python, "-c", MAT_SCRIPT, str(out)):
        for name in ["plain.mat", "packed.mat"]:
            keep(name, "mat")
    if _run(python, "-c", HDF5_SCRIPT, str(out)):
        for name in ["plain.h5", "block512.h5", "block1024.hdf5", "block2048.h5", "latest.h5"]:
            keep(name, name.rsplit(".", 1)[1])

    # netCDF in every kind ncgen writes.
    if _have("ncgen"):
        cdl = out / "sample.cdl"
        cdl.write_text(CDL)
        for kind, name in [("classic", "classic.nc"), ("64-bit-offset", "offset64.nc"), ("64-bit-data", "cdf5.nc"),
                           ("netCDF-4", "nc4.nc"), ("netCDF-4 classic model", "nc4classic.nc")]:
            _run("ncgen", "-k", kind, "-o", str(out / name), str(cdl))
            keep(name, "nc")
        cdl.unlink()

    # Packet captures: python writes them, tcpdump rewrites them.
    _pcap(out / "little.pcap", "<"); keep("little.pcap", "pcap")
    _pcap(out / "big.pcap", ">"); keep("big.pcap", "pcap")
    _pcapng(out / "capture.pcapng"); keep("capture.pcapng", "pcapng")
    if _have("tcpdump"):
        _run("tcpdump", "-r", str(out / "little.pcap"), "-w", str(out / "tcpdump.pcap")); keep("tcpdump.pcap", "pcap")
        _run("tcpdump", "--time-stamp-precision=nano", "-r", str(out / "big.pcap"), "-w", str(out / "nano.pcap"))
        keep("nano.pcap", "pcap")

    # Binary property lists.
    (out / "prefs.plist").write_bytes(plistlib.dumps({"Name": "sample", "Count": 3, "List": [1, 2.5, True]},
                                                     fmt=plistlib.FMT_BINARY))
    keep("prefs.plist", "plist")
    (out / "big.plist").write_bytes(plistlib.dumps({f"key{i}": "v" * i for i in range(300)}, fmt=plistlib.FMT_BINARY))
    keep("big.plist", "plist")

    # Torrents, with and without a tracker.
    if _have("transmission-create"):
        payload = out / "payload.bin"
        payload.write_bytes(os.urandom(100_000))
        _run("transmission-create", "-o", str(out / "tracked.torrent"), "-t", "http://tracker.example/announce", str(payload))
        keep("tracked.torrent", "torrent")
        _run("transmission-create", "-o", str(out / "trackerless.torrent"), "-c", "no tracker", str(payload))
        keep("trackerless.torrent", "torrent")
        _run("transmission-create", "-p", "-o", str(out / "private.torrent"), "-t", "udp://t.example:80", str(payload))
        keep("private.torrent", "torrent")
        payload.unlink()

    # Finder folder data: the template cmake ships for its disk images.
    import glob
    for path in sorted(glob.glob("/usr/share/cmake*/Modules/Internal/CPack/CPack.DS_Store.in"))[:1]:
        shutil.copyfile(path, out / "cpack.DS_Store")
        keep("cpack.DS_Store", "ds_store")

    return made
