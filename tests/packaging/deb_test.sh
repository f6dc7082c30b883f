#!/usr/bin/env bash
# Makes the Debian package with cpack, checks that dpkg-shlibdeps filled in
# its dependencies, unpacks it with dpkg-deb -x and runs the unpacked
# oxtarn-cli on the examples: it must answer as the build's own tool does.
#
#   deb_test.sh BUILD_DIR SOURCE_DIR
set -euo pipefail
build=$1 source=$2
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

cpack -G DEB --config "$build/CPackConfig.cmake" -B "$scratch/out" >"$scratch/cpack.log" 2>&1 ||
  { cat "$scratch/cpack.log" >&2; fail "cpack"; }
debs=("$scratch"/out/*.deb)
[[ ${#debs[@]} == 1 && -f ${debs[0]} ]] || fail "expected one package, got: ${debs[*]}"
deb=${debs[0]}

depends=$(dpkg-deb -f "$deb" Depends)
for d in libc6 libstdc++6; do [[ $depends == *"$d ("* ]] || fail "Depends lacks $d: '$depends'"; done

dpkg-deb -x "$deb" "$scratch/root"
cli=$scratch/root/usr/bin/oxtarn-cli
[[ -x $cli && -e $scratch/root/usr/include/zarvo32.h ]] || fail "package contents"
compgen -G "$scratch/root/usr/lib/libZarvo32.so.*.*.*" >/dev/null || fail "no versioned library"
"$cli" --version >/dev/null || fail "unpacked oxtarn-cli --version"
cd "$source/examples"
"$cli" --crc --format json ./* >"$scratch/unpacked.jsonl" || fail "unpacked oxtarn-cli on the examples"
"$build/cli/oxtarn-cli" --crc --format json ./* >"$scratch/built.jsonl"
[[ -s $scratch/unpacked.jsonl ]] || fail "no output"
cmp "$scratch/unpacked.jsonl" "$scratch/built.jsonl" || fail "unpacked tool answers differently"
echo "package: $(basename "$deb"), Depends: $depends"
