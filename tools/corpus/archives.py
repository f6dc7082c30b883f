"""Real archives and compressed files made with Debian's own programs."""
import pathlib
import shutil
import subprocess

PACKAGES = ["xz-utils", "zstd", "lzip", "lz4", "bzip2", "gzip", "tar", "cpio", "binutils", "dpkg",
            "7zip", "rpm", "genisoimage", "xorriso", "squashfs-tools", "wimtools", "zip"]


def _run(args, **kw):
    return subprocess.run(args, check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, **kw)


def _sample_tree(root: pathlib.Path) -> pathlib.Path:
    src = root / "src"
    (src / "sub").mkdir(parents=True, exist_ok=True)
    (src / "readme.txt").write_text("A small tree for the archive corpus.\n" * 40)
    (src / "sub" / "data.bin").write_bytes(bytes(range(256)) * 16)
    (src / "sub" / ("long-name-" + "x" * 100 + ".txt")).write_text("long name\n")
    return src


def make(out: pathlib.Path) -> list[tuple[str, str]]:
    out.mkdir(parents=True, exist_ok=True)
    work = out / "_work"
    src = _sample_tree(work)
    text = src / "readme.txt"
    made: list[tuple[str, str]] = []

    def attempt(name, ext, fn):
        if (out / name).exists():
            (out / name).unlink()
        try:
            fn(out / name)
        except (OSError, subprocess.CalledProcessError):
            return
        if (out / name).exists():
            made.append((name, ext))

    def pipe(cmd):
        def fn(path):
            with open(text, "rb") as i, open(path, "wb") as o:
                subprocess.run(cmd, stdin=i, stdout=o, stderr=subprocess.DEVNULL, check=True)
        return fn

    have = shutil.which
    if have("xz"):
        attempt("file.xz", "xz", pipe(["xz", "-c"]))
        attempt("file.lzma", "lzma", pipe(["xz", "--format=lzma", "-c"]))
    if have("zstd"):
        attempt("file.zst", "zst", pipe(["zstd", "-q", "-c"]))
        attempt("file-19.zst", "zst", pipe(["zstd", "-q", "-19", "-c"]))
    if have("lzip"):
        attempt("file.lz", "lz", pipe(["lzip", "-c"]))
    if have("lz4"):
        attempt("file.lz4", "lz4", pipe(["lz4", "-q", "-c"]))
        attempt("file-legacy.lz4", "lz4", pipe(["lz4", "-q", "-l", "-c"]))
    if have("gzip"):
        attempt("file.gz", "gz", pipe(["gzip", "-c"]))
        attempt("file-n.gz", "gz", pipe(["gzip", "-n", "-c"]))
    if have("bzip2"):
        attempt("file.bz2", "bz2", pipe(["bzip2", "-c"]))
    if have("tar"):
        for fmt in ("gnu", "ustar", "pax", "v7", "oldgnu"):
            attempt(f"tree-{fmt}.tar", "tar",
                    lambda p, fmt=fmt: _run(["tar", f"--format={fmt}", "-cf", str(p), "-C", str(src),
                                             "readme.txt", "sub/data.bin"]))
        attempt("tree-long.tar", "tar", lambda p: _run(["tar", "--format=gnu", "-cf", str(p), "-C", str(src), "sub"]))
        attempt("tree.tar.gz", "gz", lambda p: _run(["tar", "-czf", str(p), "-C", str(src), "."]))
        if have("xz"):
            attempt("tree.tar.xz", "xz", lambda p: _run(["tar", "-cJf", str(p), "-C", str(src), "."]))
    if have("cpio"):
        for fmt in ("newc", "odc", "bin", "crc"):
            def fn(p, fmt=fmt):
                with open(p, "wb") as o:
                    subprocess.run(["cpio", "-o", "-H", fmt, "--quiet"], input=b"readme.txt\nsub/data.bin\n",
                                   stdout=o, stderr=subprocess.DEVNULL, cwd=src, check=True)
            attempt(f"tree-{fmt}.cpio", "cpio", fn)
    if have("ar"):
        attempt("lib.a", "a", lambda p: _run(["ar", "rc", str(p), str(text), str(src / "sub" / "data.bin")]))
    if have("dpkg-deb"):
        def deb(p):
            pkg = work / "pkg"
            (pkg / "DEBIAN").mkdir(parents=True, exist_ok=True)
            (pkg / "usr" / "share" / "doc" / "corpus").mkdir(parents=True, exist_ok=True)
            shutil.copy(text, pkg / "usr" / "share" / "doc" / "corpus" / "readme.txt")
            (pkg / "DEBIAN" / "control").write_text(
                "Package: corpus\nVersion: 1.0\nArchitecture: all\nMaintainer: Corpus <c@example.org>\n"
                "Description: corpus package\n")
            _run(["dpkg-deb", "--root-owner-group", "--build", str(pkg), str(p)])
        attempt("corpus_1.0_all.deb", "deb", deb)
    if have("7zz"):
        attempt("tree.7z", "7z", lambda p: _run(["7zz", "a", "-bd", str(p), str(src)]))
    if have("zip"):
        attempt("tree64.zip", "zip", lambda p: _run(["zip", "-q", "-fz", "-r", str(p), "."], cwd=src))
    if have("rpmbuild"):
        def rpm(p):
            top = work / "rpm"
            for d in ("SPECS", "BUILD", "RPMS", "SOURCES", "SRPMS", "BUILDROOT"):
                (top / d).mkdir(parents=True, exist_ok=True)
            spec = top / "SPECS" / "corpus.spec"
            spec.write_text("Name: corpus\nVersion: 1.0\nRelease: 1\nSummary: corpus\nLicense: MIT\nBuildArch: noarch\n"
                            "%description\ncorpus\n%install\nmkdir -p %{buildroot}/usr/share/corpus\n"
                            "echo hello > %{buildroot}/usr/share/corpus/hello\n%files\n/usr/share/corpus/hello\n")
            _run(["rpmbuild", "--define", f"_topdir {top}", "-bb", str(spec)])
            shutil.copy(next((top / "RPMS").rglob("*.rpm")), p)
        attempt("corpus-1.0-1.noarch.rpm", "rpm", rpm)
    if have("genisoimage"):
        attempt("disc.iso", "iso", lambda p: _run(["genisoimage", "-quiet", "-R", "-J", "-V", "CORPUS", "-o", str(p), str(src)]))
        attempt("disc-udf.iso", "iso", lambda p: _run(["genisoimage", "-quiet", "-udf", "-o", str(p), str(src)]))
    if have("xorriso"):
        attempt("disc-xorriso.iso", "iso",
                lambda p: _run(["xorriso", "-as", "mkisofs", "-quiet", "-o", str(p), str(src)]))
        attempt("disc-gpt.iso", "iso",
                lambda p: _run(["xorriso", "-as", "mkisofs", "-quiet", "-partition_offset", "16",
                                "--protective-msdos-label", "-o", str(p), str(src)]))
    if have("mksquashfs"):
        for comp in ("gzip", "xz", "zstd"):
            attempt(f"tree-{comp}.squashfs", "squashfs",
                    lambda p, comp=comp: _run(["mksquashfs", str(src), str(p), "-comp", comp, "-noappend", "-quiet"]))
    if have("wimcapture"):
        attempt("tree.wim", "wim", lambda p: _run(["wimcapture", str(src), str(p)]))
    shutil.rmtree(work, ignore_errors=True)
    return made
