"""Real executables and bytecode for the current-formats corpus.

Made with Debian's compilers and linkers (gcc, clang and lld for other
machines and for Mach-O, mingw-w64 for PE, javac, luac, python3) and copied
from files Debian installs (/usr/bin, the shared libraries, __pycache__,
the jars in /usr/share/java). A kind whose program is missing is skipped.
"""
import glob
import os
import pathlib
import py_compile
import shutil
import subprocess
import zipfile

PACKAGES = ["gcc", "clang", "lld", "llvm", "gcc-mingw-w64", "default-jdk-headless", "lua5.4", "wabt", "gdb"]

HELLO_C = "int f(int x) { return x + 1; }\nint main(void) { return f(0) - 1; }\n"
WINDOWS_C = "int f(int x) { return x + 1; }\nint main(void) { return f(0) - 1; }\n"
EFI_C = "unsigned long long efi_main(void *image, void *table) { (void)image; (void)table; return 0; }\n"
DRIVER_C = "long DriverEntry(void *driver, void *path) { (void)driver; (void)path; return 0; }\n"
WAT = '(module (func (export "add") (param i32 i32) (result i32) local.get 0 local.get 1 i32.add))\n'
JAVA = "public class Hello { public static void main(String[] a) { System.out.println(\"hi\"); } }\n"
LUA = "local t = {} for i = 1, 3 do t[i] = i * i end print(#t)\n"


def _run(*args, cwd=None):
    try:
        return subprocess.run(args, cwd=cwd, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=60).returncode == 0
    except (OSError, subprocess.TimeoutExpired):
        return False


def _have(program):
    return shutil.which(program) is not None


def _small_files(pattern, limit, most_bytes=400_000):
    found = []
    for path in sorted(glob.glob(pattern)):
        if os.path.isfile(path) and not os.path.islink(path) and os.path.getsize(path) <= most_bytes:
            found.append(path)
        if len(found) == limit:
            break
    return found


def make(out: pathlib.Path) -> list[tuple[str, str]]:
    out.mkdir(parents=True, exist_ok=True)
    made = []

    def keep(name, ext):
        if (out / name).is_file():
            made.append((name, ext))

    src = out / "src"
    src.mkdir(exist_ok=True)
    (src / "hello.c").write_text(HELLO_C)
    (src / "efi.c").write_text(EFI_C)
    (src / "driver.c").write_text(DRIVER_C)

    # ELF from gcc: PIE and fixed-address executables, a shared object, objects.
    if _have("gcc"):
        c = str(src / "hello.c")
        _run("gcc", "-O1", "-o", str(out / "hello-pie"), c); keep("hello-pie", "elf")
        _run("gcc", "-O1", "-no-pie", "-o", str(out / "hello-nopie"), c); keep("hello-nopie", "elf")
        _run("gcc", "-O1", "-static", "-o", str(out / "hello-static"), c)
        if (out / "hello-static").is_file() and (out / "hello-static").stat().st_size < 1_000_000:
            keep("hello-static", "elf")
        _run("gcc", "-O1", "-shared", "-fPIC", "-Wl,-soname,libhello.so.1", "-o", str(out / "libhello.so.1"), c)
        keep("libhello.so.1", "so")
        _run("gcc", "-O1", "-c", "-o", str(out / "hello-gcc.o"), c); keep("hello-gcc.o", "o")
        _run("gcc", "-O1", "-o", str(out / "a.out"), c); keep("a.out", "out")
    # Relocatable objects for other machines and byte orders, from clang.
    if _have("clang"):
        for target in ["aarch64-linux-gnu", "arm-linux-gnueabihf", "riscv64-linux-gnu", "powerpc64-linux-gnu",
                       "s390x-linux-gnu", "mips-linux-gnu", "i386-linux-gnu", "sparcv9-linux-gnu"]:
            name = f"hello-{target}.o"
            _run("clang", f"--target={target}", "-c", "-o", str(out / name), str(src / "hello.c"))
            keep(name, "o")
    # Programs and libraries Debian installs.
    for i, path in enumerate(_small_files("/usr/bin/*", 12, 200_000)):
        if not os.path.basename(path).replace("-", "").replace("_", "").isalnum():
            continue
        with open(path, "rb") as f:
            if f.read(4) != b"\x7fELF":
                continue
        name = "bin-" + os.path.basename(path)
        shutil.copyfile(path, out / name)
        keep(name, "elf")
    for path in _small_files("/usr/lib/x86_64-linux-gnu/*.so*", 12, 300_000):
        name = "lib-" + os.path.basename(path)
        shutil.copyfile(path, out / name)
        keep(name, "so")
    # A core dump of a sleeping program, where gdb can attach.
    if _have("gdb") and _have("sleep"):
        proc = subprocess.Popen(["sleep", "30"])
        try:
            _run("gdb", "-batch", "-nx", "-p", str(proc.pid), "-ex", f"gcore {out / 'sleep.core'}")
        finally:
            proc.kill()
            proc.wait()
        core = out / "sleep.core"
        if core.is_file() and core.stat().st_size > 2_000_000:
            core.unlink()
        keep("sleep.core", "core")

    # Mach-O from clang and lld: objects, executables, dylibs, bundles, universal.
    if _have("clang") and (_have("ld64.lld") or _have("ld64.lld-14")):
        thin = []
        for target in ["x86_64-apple-macos11", "arm64-apple-macos11"]:
            arch = target.split("-")[0]
            base = ["clang", f"--target={target}", "-fuse-ld=lld", "-nostdlib", str(src / "hello.c")]
            _run("clang", f"--target={target}", "-c", "-o", str(out / f"macho-{arch}.o"), str(src / "hello.c"))
            keep(f"macho-{arch}.o", "o")
            _run(*base, "-Wl,-e,_main", "-o", str(out / f"macho-{arch}")); keep(f"macho-{arch}", "macho")
            _run(*base, "-shared", "-o", str(out / f"libmacho-{arch}.dylib")); keep(f"libmacho-{arch}.dylib", "dylib")
            _run(*base, "-bundle", "-o", str(out / f"macho-{arch}.bundle")); keep(f"macho-{arch}.bundle", "bundle")
            thin.append(out / f"macho-{arch}")
        lipo = shutil.which("llvm-lipo") or shutil.which("llvm-lipo-14")
        if lipo and all(p.is_file() for p in thin):
            _run(lipo, "-create", *map(str, thin), "-output", str(out / "macho-universal"))
            keep("macho-universal", "macho")

    # PE from mingw-w64: console and GUI programs, DLLs, EFI applications, a driver.
    for prefix, bits in [("x86_64-w64-mingw32", "64"), ("i686-w64-mingw32", "32")]:
        cc = f"{prefix}-gcc"
        if not _have(cc):
            continue
        c = str(src / "hello.c")
        _run(cc, "-O1", "-o", str(out / f"hello{bits}.exe"), c); keep(f"hello{bits}.exe", "exe")
        _run(cc, "-O1", "-mwindows", "-o", str(out / f"gui{bits}.exe"), c); keep(f"gui{bits}.exe", "exe")
        _run(cc, "-O1", "-shared", "-o", str(out / f"hello{bits}.dll"), c); keep(f"hello{bits}.dll", "dll")
        entry = "efi_main" if bits == "64" else "_efi_main"
        _run(cc, "-O1", "-nostdlib", "-shared", "-Wl,--subsystem,10", f"-Wl,-e,{entry}", "-o",
             str(out / f"boot{bits}.efi"), str(src / "efi.c"))
        keep(f"boot{bits}.efi", "efi")
        entry = "DriverEntry" if bits == "64" else "_DriverEntry@8"
        _run(cc, "-O1", "-nostdlib", "-Wl,--subsystem,native", f"-Wl,-e,{entry}", "-o",
             str(out / f"driver{bits}.sys"), str(src / "driver.c"))
        keep(f"driver{bits}.sys", "sys")

    # WebAssembly from clang and from wat2wasm.
    if _have("clang") and _have("wasm-ld"):
        _run("clang", "--target=wasm32", "-O1", "-nostdlib", "-Wl,--no-entry", "-Wl,--export-all", "-o",
             str(out / "hello.wasm"), str(src / "hello.c"))
        keep("hello.wasm", "wasm")
    if _have("wat2wasm"):
        (src / "add.wat").write_text(WAT)
        _run("wat2wasm", "-o", str(out / "add.wasm"), str(src / "add.wat")); keep("add.wasm", "wasm")

    # Java classes from javac (several releases) and from Debian's jars.
    if _have("javac"):
        (src / "Hello.java").write_text(JAVA)
        for release in ["8", "11", "17"]:
            folder = src / f"java{release}"
            folder.mkdir(exist_ok=True)
            if _run("javac", "--release", release, "-d", str(folder), str(src / "Hello.java")):
                shutil.copyfile(folder / "Hello.class", out / f"Hello{release}.class")
                keep(f"Hello{release}.class", "class")
    for jar in sorted(glob.glob("/usr/share/java/*.jar"))[:6]:
        try:
            with zipfile.ZipFile(jar) as z:
                names = [n for n in z.namelist() if n.endswith(".class")][:1]
                for n in names:
                    name = "jar-" + os.path.basename(jar)[:-4] + "-" + os.path.basename(n)
                    (out / name).write_bytes(z.read(n))
                    keep(name, "class")
        except (OSError, zipfile.BadZipFile):
            pass

    # Python bytecode: Debian's own and freshly compiled.
    for path in _small_files("/usr/lib/python3*/__pycache__/*.pyc", 8, 100_000):
        name = "py-" + os.path.basename(path)
        shutil.copyfile(path, out / name)
        keep(name, "pyc")
    (src / "mod.py").write_text("def f(x):\n    return x + 1\n")
    py_compile.compile(str(src / "mod.py"), cfile=str(out / "mod.pyc"))
    keep("mod.pyc", "pyc")
    py_compile.compile(str(src / "mod.py"), cfile=str(out / "mod-hash.pyc"),
                       invalidation_mode=py_compile.PycInvalidationMode.CHECKED_HASH)
    keep("mod-hash.pyc", "pyc")

    # Lua bytecode.
    luac = next((p for p in ["luac5.4", "luac5.3", "luac5.2", "luac5.1", "luac"] if _have(p)), None)
    if luac:
        (src / "t.lua").write_text(LUA)
        _run(luac, "-o", str(out / "t.luac"), str(src / "t.lua")); keep("t.luac", "luac")
        _run(luac, "-s", "-o", str(out / "luac.out"), str(src / "t.lua")); keep("luac.out", "out")

    shutil.rmtree(src, ignore_errors=True)
    return made
