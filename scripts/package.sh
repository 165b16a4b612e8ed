#!/usr/bin/env bash
# package.sh [BUILD_DIR]: builds Vesperon.exe (win64 preset) and writes the
# two release packages:
#   dist/Vesperon-<version>-portable.zip  Vesperon.exe and its Localization folder
#   dist/Vesperon-<version>-setup.exe     the 64-bit NSIS installer
# Both carry the program stripped of its symbols; the symbols stay in
# Vesperon.debug beside the built program and in dist/, and the shipped exe
# names that file (.gnu_debuglink), so that a debugger finds them for a
# crash report.
# The Localization folder is the one the build placed beside the program,
# else the one in the source tree; without either the program goes alone.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(cd "$here/.." && pwd)
build=${1:-$root/build/win64}
mkdir -p "$build"
build=$(cd "$build" && pwd)
bash "$here/setup.sh"

# VESPERON_PACKAGE_NO_BUILD=1: package the program as built (the tests do).
if [ "${VESPERON_PACKAGE_NO_BUILD:-0}" != 1 ]; then
  if [ ! -f "$build/CMakeCache.txt" ]; then
    cmake --preset win64 -B "$build" >/dev/null
  fi
  cmake --build "$build" -j2 --target Vesperon
fi

version=$(sed -n 's/^project(Vesperon VERSION \([0-9.]*\).*/\1/p' "$root/CMakeLists.txt")
[ -n "$version" ] || { echo "package: no version in CMakeLists.txt" >&2; exit 1; }
exe="$build/app/Vesperon.exe"
[ -f "$exe" ] || { echo "package: $exe missing" >&2; exit 1; }

localization=""
if [ -d "$build/app/Localization" ]; then
  localization="$build/app/Localization"
else
  localization=$(find "$root" \( -path "$root/build" -o -path "$root/dist" -o -path "$root/.git" \) -prune \
                   -o -type d -name Localization -print | sort | head -n 1)
fi

stage="$build/package/stage"
rm -rf "$stage"
mkdir -p "$stage/files"
objcopy=x86_64-w64-mingw32-objcopy
debug="$build/app/Vesperon.debug"
"$objcopy" --only-keep-debug "$exe" "$debug"
"$objcopy" --strip-all --add-gnu-debuglink="$debug" "$exe" "$stage/files/Vesperon.exe"
if [ -n "$localization" ]; then
  cp -r "$localization" "$stage/files/Localization"
  echo "package: Localization from ${localization#"$root"/}"
else
  echo "package: no Localization folder yet; packaging the program alone"
fi

# The installer's file lists: what it installs and, deepest first, exactly
# what its uninstaller removes again.
nsis_path() { printf '%s' "$1" | tr '/' '\\'; }
{
  (cd "$stage/files" && find . -mindepth 1 -type d | sort) | while read -r dir; do
    echo "CreateDirectory \"\$INSTDIR\\$(nsis_path "${dir#./}")\""
  done
  (cd "$stage/files" && find . -type f | sort) | while read -r file; do
    rel=${file#./}
    sub=$(dirname "$rel")
    target='$INSTDIR'
    [ "$sub" = "." ] || target="\$INSTDIR\\$(nsis_path "$sub")"
    echo "SetOutPath \"$target\""
    echo "File \"$stage/files/$rel\""
  done
  echo 'SetOutPath "$INSTDIR"'
} >"$stage/files.nsh"
{
  (cd "$stage/files" && find . -type f | sort) | while read -r file; do
    echo "Delete \"\$INSTDIR\\$(nsis_path "${file#./}")\""
  done
  (cd "$stage/files" && find . -mindepth 1 -type d | sort -r) | while read -r dir; do
    echo "RMDir \"\$INSTDIR\\$(nsis_path "${dir#./}")\""
  done
} >"$stage/unfiles.nsh"

dist="$root/dist"
mkdir -p "$dist"
zip_file="$dist/Vesperon-$version-portable.zip"
setup_file="$dist/Vesperon-$version-setup.exe"
rm -f "$zip_file" "$setup_file"
(cd "$stage/files" && zip -q -r -X "$zip_file" .)
makensis -V2 -DVERSION="$version" -DSTAGE="$stage" -DOUTFILE="$setup_file" \
  "$root/resources/installer/Vesperon.nsi" >"$stage/makensis.log"
cp "$debug" "$dist/Vesperon.debug"
size() { printf '%s (%d KB)' "$(stat -c %s "$1")" $(( ($(stat -c %s "$1") + 1023) / 1024 )); }
echo "package: $zip_file: $(size "$zip_file")"
echo "package: $setup_file: $(size "$setup_file")"
echo "package: Vesperon.exe as built $(size "$exe"), shipped $(size "$stage/files/Vesperon.exe")"
echo "package: symbols $debug: $(size "$debug")"
