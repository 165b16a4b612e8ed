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
  ) 9>"$WINEPREFIX.lock"
}
