#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the Debian packages a task needs, only those that are missing.
# Usage: scripts/install-deps.sh run|test|windows|package|bench
set -euo pipefail

build=(cmake ninja-build g++ pkg-config qt6-base-dev qt6-serialport-dev libgl-dev fonts-liberation libvterm-dev libqcustomplot-dev liblua5.4-dev)
tests=(libgtest-dev libgmock-dev libbenchmark-dev clang-format clang-tidy clang libclang-rt-14-dev lrzsz ser2net)
windows=(cmake ninja-build g++-mingw-w64-x86-64-posix googletest wine wine64)
package=(dpkg-dev file lintian desktop-file-utils)
# The measuring tools run the program under an X server and click it as a user would;
# socat and ImageMagick are for playing a board and taking screenshots by hand; Qt Charts
# only for comparing it with the Plot tab's library (bench/plot_libraries).
bench=(xvfb xauth xdotool socat imagemagick qt6-charts-dev)

case "${1:-run}" in
  run) wanted=("${build[@]}") ;;
  test) wanted=("${build[@]}" "${tests[@]}") ;;
  windows) wanted=("${windows[@]}") ;;
  package) wanted=("${build[@]}" "${package[@]}") ;;
  bench) wanted=("${build[@]}" "${tests[@]}" "${bench[@]}") ;;
  *) echo "usage: $0 run|test|windows|package|bench" >&2; exit 2 ;;
esac

missing=()
for package in "${wanted[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$package")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

echo "Installing missing packages: ${missing[*]}"
if [[ $(id -u) -eq 0 ]]; then
  as_root=()
elif command -v sudo >/dev/null; then
  as_root=(sudo)
else
  echo "These Debian packages are missing and I cannot become root to install them:" >&2
  echo "  ${missing[*]}" >&2
  echo "Install them (apt-get install ${missing[*]}) or install sudo, then run this again." >&2
  exit 1
fi
export DEBIAN_FRONTEND=noninteractive
"${as_root[@]}" apt-get update -qq -o DPkg::Lock::Timeout=600
"${as_root[@]}" apt-get install -y -qq -o DPkg::Lock::Timeout=600 "${missing[@]}"
