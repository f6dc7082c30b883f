#!/usr/bin/env bash
# Cross-builds the engine and the command-line tool for Windows with Debian's
# mingw-w64 (32-bit and 64-bit Zarvo32.dll and oxtarn-cli.exe), checks the
# 32-bit DLL's export table, and runs the 64-bit test suite under wine.
#
# Run as root on Debian (it installs what it needs). Build folders:
# build-win32, build-win64 and build-windeps (GoogleTest and the header-only
# packages for the cross build). Set OXTARN_WINDOWS_JOBS to change -j.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
jobs=${OXTARN_WINDOWS_JOBS:-$(nproc)}
started=$SECONDS

step() { printf '== %s (%ds)\n' "$1" $((SECONDS - started)); }

# --- Packages ---------------------------------------------------------------
# The posix thread model of the cross compilers (std::thread, std::mutex);
# 64-bit wine alone, which needs no second architecture.
packages=(
  cmake python3 libgtest-dev libcli11-dev nlohmann-json3-dev
  g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix
  wine wine64
)
step "packages"
bash scripts/setup.sh "${packages[@]}" >/dev/null

# --- Packages for the cross build -------------------------------------------
# The header-only packages get a prefix of their own: their CMake files point
# at /usr/include, whose C headers must not reach the cross compiler.
deps=$root/build-windeps
prefix=$deps/prefix
step "preparing $prefix"
mkdir -p "$prefix/include" "$prefix/share/cmake"
for h in CLI nlohmann; do
  rm -rf "${prefix:?}/include/$h"
  cp -r "/usr/include/$h" "$prefix/include/"
done
for c in CLI11 nlohmann_json; do
  rm -rf "${prefix:?}/share/cmake/$c"
  cp -r "/usr/share/cmake/$c" "$prefix/share/cmake/"
done

# GoogleTest from Debian's sources, built by the 64-bit cross compiler.
if [[ ! -f $prefix/lib/cmake/GTest/GTestConfig.cmake ]]; then
  step "building GoogleTest for Windows"
  cmake -S /usr/src/googletest -B "$deps/googletest" \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-x86_64.cmake" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX="$prefix" -DBUILD_GMOCK=OFF -DINSTALL_GTEST=ON >/dev/null
  cmake --build "$deps/googletest" -j"$jobs" >/dev/null
  cmake --install "$deps/googletest" >/dev/null
fi

# --- Cross builds -----------------------------------------------------------
common=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DOXTARN_BUILD_DESKTOP=OFF -DOXTARN_BUILD_BENCH=OFF -DOXTARN_BUILD_CLI=ON
        -DOXTARN_WINDOWS_PREFIX="$prefix")

step "32-bit build: Zarvo32.dll, oxtarn-cli.exe"
cmake -S . -B build-win32 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake -DOXTARN_BUILD_TESTS=OFF \
  "${common[@]}" >/dev/null
cmake --build build-win32 -j"$jobs" --target Zarvo32 oxtarn-cli

step "64-bit build: Zarvo32.dll, oxtarn-cli.exe, the test suite"
cmake -S . -B build-win64 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86_64.cmake -DOXTARN_BUILD_TESTS=ON \
  "${common[@]}" >/dev/null
# Test discovery at build time runs the suite under wine: it needs the prefix.
export WINEPREFIX=$root/build-win64/wine WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
if [[ ! -f $WINEPREFIX/system.reg ]]; then
  step "creating the wine prefix"
  wine wineboot --init >/dev/null 2>&1
fi
cmake --build build-win64 -j"$jobs" --target Zarvo32 oxtarn-cli oxtarn_tests

# --- Export table -----------------------------------------------------------
step "checking the export tables"
want="ZarvoGetExNumKind ZarvoGetExNumPattern ZarvoGetExtList ZarvoGetExtListLength ZarvoGetFileCRC
ZarvoGetFileCRC32 ZarvoGetInfo ZarvoGetInfoFromMemory ZarvoGetVersion ZarvoSetErrorReport _Z10gGetNameExPKciPc _Z10gGetWhatExPKciPc
ZarvoGetKindName ZarvoGetCurrentExtListLength ZarvoGetCurrentExtList"
want=$(tr ' ' '\n' <<<"$want" | sort)
for arch in i686:win32 x86_64:win64; do
  dll=build-${arch#*:}/bin/Zarvo32.dll
  got=$("${arch%:*}-w64-mingw32-objdump" -p "$dll" |
        sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/s/^\s*\[ *[0-9]*\] //p' | sort)
  if [[ $got != "$want" ]]; then
    echo "$dll exports differ from the interface:" >&2
    diff <(echo "$want") <(echo "$got") >&2 || true
    exit 1
  fi
  # Nothing beside the system's DLLs: the compiler's runtime is linked in.
  for f in "$dll" "build-${arch#*:}/bin/oxtarn-cli.exe"; do
    if "${arch%:*}-w64-mingw32-objdump" -p "$f" | grep -i "DLL Name" |
       grep -iv -E "KERNEL32|msvcrt|USER32|ADVAPI32|SHELL32|Zarvo32"; then
      echo "$f needs a runtime DLL" >&2
      exit 1
    fi
  done
done

# --- Tests under wine --------------------------------------------------------
step "running the 64-bit test suite under wine"
# LC_ALL gives wine the code page 932 of the systems the engine is made for
# (wine needs no installed locale for it).
LC_ALL=ja_JP.UTF-8 wine build-win64/bin/oxtarn_tests.exe --gtest_brief=1

step "done"
