#!/usr/bin/env bash
# package-test.sh BUILD_DIR START_AND_CLOSE_EXE: makes the release packages
# from the built program, then under Wine (the private prefix): checks the
# zip's contents, installs silently into a temporary folder, checks the
# files, the Start-menu shortcut and the uninstall entry, starts the
# installed program and closes it through its tray menu's Exit, and
# uninstalls silently: the files, the shortcut, the "Run" value and the
# service are gone, the user's settings stay.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
build=$1 closer=$2
source "$here/display.sh"
ensure_display
trap stop_private_display EXIT
source "$here/wine-env.sh"
# No desktop entries on the host for the shortcuts the installer makes.
export WINEDLLOVERRIDES="$WINEDLLOVERRIDES;winemenubuilder.exe=d"
wine_prefix_ready

fail() { echo "package-test: $*" >&2; exit 1; }
reg_has() { wine reg query "$1" /v "$2" >/dev/null 2>&1 </dev/null; }
key_has() { wine reg query "$1" >/dev/null 2>&1 </dev/null; }

VESPERON_PACKAGE_NO_BUILD=1 bash "$here/package.sh" "$build"
root=$(cd "$here/.." && pwd)
version=$(sed -n 's/^project(Vesperon VERSION \([0-9.]*\).*/\1/p' "$root/CMakeLists.txt")
zip_file="$root/dist/Vesperon-$version-portable.zip"
setup="$root/dist/Vesperon-$version-setup.exe"
unzip -Z1 "$zip_file" | grep -x 'Vesperon.exe' || fail "Vesperon.exe missing from the zip"
if [ -d "$build/app/Localization" ]; then
  unzip -Z1 "$zip_file" | grep '^Localization/' || fail "Localization missing from the zip"
fi

settings='HKCU\Software\Brannock\Vesperon3'
run_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Run'
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Vesperon'
tag="vesperon-package-$$"
win_dir="C:\\$tag\\ProgramFiles\\Vesperon"
unix_root=$(winepath -u "C:\\$tag" 2>/dev/null)
unix_dir=$(winepath -u "$win_dir" 2>/dev/null)
menu=$(winepath -u 'C:\ProgramData\Microsoft\Windows\Start Menu\Programs\Vesperon' 2>/dev/null)
cleanup() {
  rm -rf "$unix_root"
  wine reg delete "$settings" /f >/dev/null 2>&1 </dev/null || true
  stop_private_display
}
trap cleanup EXIT

# A fresh start: no stored trigger can be restored by the program we start.
wine reg delete "$settings" /f >/dev/null 2>&1 </dev/null || true
wine_run_captured "$setup" /S "/D=$win_dir" || fail "the silent install failed"
[ -f "$unix_dir/Vesperon.exe" ] || fail "Vesperon.exe not installed in $win_dir"
[ -f "$unix_dir/Uninstall.exe" ] || fail "no uninstaller"
[ -f "$menu/Vesperon.lnk" ] || fail "no Start-menu shortcut"
key_has "$uninstall_key" || fail "no uninstall entry"

wine_run_captured "$closer" "$win_dir\\Vesperon.exe" || fail "the installed program did not start and close"

# What the uninstaller must clear: a "Run" value and a (never started)
# service; what it must keep when silent: the settings.
wine reg add "$run_key" /v Vesperon /d "\"$win_dir\\Vesperon.exe\"" /f >/dev/null 2>&1 </dev/null \
  || fail "cannot write the Run value"
wine reg add "$settings" /v PackageTest /t REG_DWORD /d 1 /f >/dev/null 2>&1 </dev/null \
  || fail "cannot write the settings marker"
wine sc create Vesperon binpath= "$win_dir\\Vesperon.exe" >/dev/null 2>&1 </dev/null \
  || fail "cannot create the service to remove"
key_has 'HKLM\System\CurrentControlSet\Services\Vesperon' || fail "service not created"

wine_run_captured "$unix_dir/Uninstall.exe" /S || fail "the silent uninstall failed"
# The uninstaller runs on from a copy of itself: wait (bounded) until the
# uninstall entry, which it removes last, is gone.
for _ in $(seq 60); do key_has "$uninstall_key" || break; sleep 0.5; done
key_has "$uninstall_key" && fail "the uninstall entry is still there"
[ -e "$unix_dir" ] && fail "the install folder is still there: $(ls -A "$unix_dir")"
[ -e "$menu" ] && fail "the Start-menu folder is still there"
reg_has "$run_key" Vesperon && fail "the Run value is still there"
key_has 'HKLM\System\CurrentControlSet\Services\Vesperon' && fail "the service is still there"
reg_has "$settings" PackageTest || fail "the silent uninstall deleted the settings"
echo "package-test: zip, install, start and close, uninstall: all as expected"
