# Sourced by the scripts that need an X display: starts a private Xvfb when none is set and
# stops it when the calling script exits. XVFB_SCREEN is its screen's size (1280x1024 by default).
xvfbPid=""
stopXvfb() { if [ -n "$xvfbPid" ]; then kill "$xvfbPid" 2>/dev/null || true; fi; }
trap stopXvfb EXIT
if [ -z "${DISPLAY:-}" ]; then
    for number in $(seq 90 140); do
        [ -e "/tmp/.X$number-lock" ] || [ -e "/tmp/.X11-unix/X$number" ] && continue
        # Without -noreset the server resets whenever its last client leaves, refusing whoever
        # connects meanwhile: tests that each open and close a window would now and then fail.
        Xvfb ":$number" -screen 0 "${XVFB_SCREEN:-1280x1024}x24" -nolisten tcp -noreset \
            >/dev/null 2>&1 &
        xvfbPid=$!
        for _ in $(seq 100); do
            DISPLAY=":$number" xdpyinfo >/dev/null 2>&1 && break
            kill -0 "$xvfbPid" 2>/dev/null || break
            sleep 0.1
        done
        # Another server may have taken the number meanwhile: ours then exits, try the next.
        if kill -0 "$xvfbPid" 2>/dev/null; then
            export DISPLAY=":$number"
            break
        fi
        xvfbPid=""
    done
fi
