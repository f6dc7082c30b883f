#!/usr/bin/env bash
# Installs what building and testing Oxtarn needs on Debian (run as root).
# With package names as arguments, installs those instead (for the other
# scripts' own needs). Packages already there are not touched.
set -euo pipefail

default_packages=(
  build-essential cmake python3
  libgtest-dev libgmock-dev libbenchmark-dev
  libcli11-dev nlohmann-json3-dev
  qt6-base-dev
  pkgconf dpkg-dev file      # the install and Debian package tests (cpack, dpkg-shlibdeps)
  python3-pytest python3-setuptools python3-wheel python3-pip python3-distributed  # the Python package
)
if (($#)); then packages=("$@"); else packages=("${default_packages[@]}"); fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
