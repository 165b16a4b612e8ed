# Sourced by the scripts that run Windows binaries: one private, quiet Wine
# prefix below the build folder, created once and then reused.
: "${VESPERON_ROOT:=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)}"
export WINEPREFIX="${VESPERON_WINEPREFIX:-$VESPERON_ROOT/build/wineprefix}"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
export WINEARCH=win64

wine_prefix_ready() {
  mkdir -p "$(dirname "$WINEPREFIX")"
  (
    flock 9
    if [ ! -f "$WINEPREFIX/.vesperon-ready" ]; then
      wineboot -i >/dev/null 2>&1 || true
      wineserver -w
      touch "$WINEPREFIX/.vesperon-ready"
    fi
    # Wine's own fonts (fonts-wine: Tahoma for the dialogs, Marlett for the
    # title-bar buttons, the system bitmap fonts). Debian's Wine 8 looks for
    # them beside its data through a path it cannot resolve, so without them
    # in the prefix's Fonts folder captions and buttons fall back to other
    # fonts ("0 1 r" for the buttons).
    local fonts="$WINEPREFIX/drive_c/windows/Fonts" font
    if [ -d /usr/share/wine/fonts ] && [ -d "$fonts" ]; then
      for font in /usr/share/wine/fonts/*; do
        [ -e "$fonts/${font##*/}" ] || ln -s "$font" "$fonts/"
      done
    fi
  ) 9>"$WINEPREFIX.lock"
  # Keep one server for the whole run, and start Wine's own background
  # processes here with their output going nowhere: started from inside a
  # test they would inherit the test's output pipe and keep CTest waiting.
  wineserver -p >/dev/null 2>&1 </dev/null || true
  wine cmd /c exit >/dev/null 2>&1 </dev/null || true
}

# Runs wine with its output captured in a file and replayed afterwards. Wine
# starts helper processes (the desktop, console hosts) on demand, and those
# inherit the output of whoever started them; were that CTest's pipe, CTest
# would wait for them long after the test itself ended.
wine_run_captured() {
  local out rc
  out=$(mktemp "${TMPDIR:-/tmp}/vesperon-wine.XXXXXX")
  wine "$@" >"$out" 2>&1 </dev/null && rc=0 || rc=$?
  cat "$out"
  rm -f "$out"
  return "$rc"
}
