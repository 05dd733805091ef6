# Sourced by the scripts that need an X display: starts a private Xvfb when none is set and
# stops it when the calling script exits.
xvfbPid=""
stopXvfb() { if [ -n "$xvfbPid" ]; then kill "$xvfbPid" 2>/dev/null || true; fi; }
trap stopXvfb EXIT
if [ -z "${DISPLAY:-}" ]; then
    number=90
    while [ -e "/tmp/.X$number-lock" ] || [ -e "/tmp/.X11-unix/X$number" ]; do
        number=$((number + 1))
    done
    Xvfb ":$number" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    xvfbPid=$!
    export DISPLAY=":$number"
    for _ in $(seq 100); do
        xdpyinfo >/dev/null 2>&1 && break
        sleep 0.1
    done
fi
