"""Real disk, machine and file-system images made with Debian's own programs."""
import pathlib
import shutil
import subprocess

PACKAGES = ["qemu-utils", "e2fsprogs", "dosfstools", "fdisk"]


def _run(args, **kw):
    return subprocess.run(args, check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, **kw)


def _blank(path: pathlib.Path, size: int):
    with open(path, "wb") as f:
        f.truncate(size)


def make(out: pathlib.Path) -> list[tuple[str, str]]:
    out.mkdir(parents=True, exist_ok=True)
    made: list[tuple[str, str]] = []

    def attempt(name, ext, fn):
        path = out / name
        if path.exists():
            path.unlink()
        try:
            fn(path)
        except (OSError, subprocess.CalledProcessError):
            return
        if path.exists():
            made.append((name, ext))

    have = shutil.which
    if have("qemu-img"):
        for name, fmt, opts, ext in (
                ("disk.qcow2", "qcow2", [], "qcow2"),
                ("disk-v2.qcow2", "qcow2", ["-o", "compat=0.10"], "qcow2"),
                ("disk.vmdk", "vmdk", [], "vmdk"),
                ("disk-stream.vmdk", "vmdk", ["-o", "subformat=streamOptimized"], "vmdk"),
                ("disk.vhdx", "vhdx", [], "vhdx"),
                ("disk.vdi", "vdi", [], "vdi"),
                ("disk.vhd", "vpc", [], "vhd"),
                ("disk-fixed.vhd", "vpc", ["-o", "subformat=fixed"], "vhd")):
            attempt(name, ext, lambda p, fmt=fmt, opts=opts: _run(["qemu-img", "create", "-q", "-f", fmt, *opts, str(p),
                                                                   "1M" if "fixed" in str(opts) else "64M"]))
        # The descriptor of a split vmdk.
        def split(p):
            _run(["qemu-img", "create", "-q", "-f", "vmdk", "-o", "subformat=twoGbMaxExtentSparse", str(p), "16M"])
        attempt("split.vmdk", "vmdk", split)
    if have("mkfs.ext4"):
        for gen, size in (("ext2", 512 * 1024), ("ext3", 2 * 1024 * 1024), ("ext4", 2 * 1024 * 1024)):
            def fs(p, gen=gen, size=size):
                _blank(p, size)
                _run(["mkfs." + gen, "-q", "-F", "-L", "CORPUS", str(p)])
            attempt(f"fs-{gen}.img", "img", fs)
    if have("mkfs.vfat"):
        for bits, size in (("12", 1440 * 1024), ("16", 4 * 1024 * 1024)):
            def fat(p, bits=bits, size=size):
                _blank(p, size)
                _run(["mkfs.vfat", "-F", bits, "-s", "1", "-n", "CORPUS", str(p)])
            attempt(f"fs-fat{bits}.img", "img", fat)
    if have("sfdisk"):
        for label in ("dos", "gpt"):
            def disk(p, label=label):
                _blank(p, 1024 * 1024)
                subprocess.run(["sfdisk", "-q", str(p)], input=f"label: {label}\n,,L\n".encode(), check=True,
                               stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            attempt(f"disk-{label}.img", "img", disk)
    return made
