# Sourced: makes sure there is an X display, starting a private Xvfb when the
# environment has none. `stop_private_display` ends the one started here.
VESPERON_XVFB_PID=""
ensure_display() {
  if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then return 0; fi
  local n
  for n in $(seq 91 130); do
    [ -e "/tmp/.X$n-lock" ] && continue
    Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    VESPERON_XVFB_PID=$!
    export DISPLAY=":$n"
    for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && return 0; sleep 0.1; done
    # Another run may have taken this number between the check and the start.
    kill "$VESPERON_XVFB_PID" 2>/dev/null || true
    VESPERON_XVFB_PID=""
  done
  echo "could not start Xvfb" >&2
  return 1
}
stop_private_display() {
  [ -n "$VESPERON_XVFB_PID" ] && kill "$VESPERON_XVFB_PID" 2>/dev/null || true
}
