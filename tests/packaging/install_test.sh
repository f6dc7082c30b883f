#!/usr/bin/env bash
# Installs the build into a scratch prefix, moves the tree elsewhere, and
# builds and runs a small C program against it twice: once with the flags
# pkg-config gives, once through the CMake package.
#
#   install_test.sh BUILD_DIR SOURCE_DIR C_COMPILER VERSION DESKTOP(ON|OFF)
set -euo pipefail
build=$1 source=$2 cc=$3 version=$4 desktop=$5
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

cmake --install "$build" --prefix "$scratch/first" >/dev/null
mv "$scratch/first" "$scratch/tree"
p=$scratch/tree
lib=$p/lib

expected=(bin/oxtarn-cli share/man/man1/oxtarn-cli.1 include/zarvo32.h
          "lib/libZarvo32.so.$version" lib/libZarvo32.so lib/pkgconfig/zarvo32.pc
          lib/cmake/Zarvo32/Zarvo32Config.cmake lib/cmake/Zarvo32/Zarvo32ConfigVersion.cmake)
[[ $desktop == ON ]] && expected+=(lib/oxtarn/oxtarn bin/oxtarn share/applications/oxtarn.desktop)
for f in "${expected[@]}"; do [[ -e $p/$f ]] || fail "not installed: $f"; done
soname=$(objdump -p "$lib/libZarvo32.so.$version" | awk '$1 == "SONAME" {print $2}')
[[ $soname == "libZarvo32.so.${version%%.*}" ]] || fail "SONAME is '$soname'"
[[ $(readlink "$lib/libZarvo32.so") == "$soname" && -e $lib/$soname ]] || fail "development link"
head -n 1 "$p/share/man/man1/oxtarn-cli.1" | grep -q '^\.TH' || fail "manual page"
"$p/bin/oxtarn-cli" --version | grep -q "^oxtarn-cli $version\$" || fail "installed oxtarn-cli --version"

want="121 bmp,dib,2bp,rle"
export PKG_CONFIG_PATH=$lib/pkgconfig
[[ $(pkg-config --modversion zarvo32) == "$version" ]] || fail "pkg-config version"
# shellcheck disable=SC2046
"$cc" -std=c99 -Wall -Werror "$source/tests/packaging/consumer/consumer.c" -o "$scratch/by-pkg-config" \
  $(pkg-config --cflags --libs zarvo32)
got=$(LD_LIBRARY_PATH=$lib "$scratch/by-pkg-config" "$source/examples/picture.bmp")
[[ $got == "$want" ]] || fail "pkg-config program printed '$got'"

cmake -S "$source/tests/packaging/consumer" -B "$scratch/consumer" -DCMAKE_C_COMPILER="$cc" -DCMAKE_PREFIX_PATH="$p" >/dev/null
cmake --build "$scratch/consumer" >/dev/null
got=$("$scratch/consumer/consumer" "$source/examples/picture.bmp")
[[ $got == "$want" ]] || fail "find_package program printed '$got'"
echo "installed tree: links with pkg-config and find_package(Zarvo32)"
