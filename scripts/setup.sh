#!/usr/bin/env bash
# Installs every Debian package the project needs. Idempotent: asks apt only
# when something is missing.
set -euo pipefail
packages=(
  cmake ninja-build g++ googletest           # host build and tests
  libbenchmark-dev                           # core benchmarks (bench/)
  g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 mingw-w64-x86-64-dev  # Windows build
  wine wine64 fonts-wine                     # runs the Windows build; its fonts draw captions and title-bar buttons
  xvfb xdotool x11-utils imagemagick         # a display, key presses, screenshots
  clang libclang-rt-14-dev                   # the fuzz targets (libFuzzer runtime of clang 14)
  nsis zip                                   # release packages (scripts/package.sh)
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  SUDO=""
  [ "$(id -u)" -eq 0 ] || SUDO=sudo
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
