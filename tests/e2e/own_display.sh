#!/usr/bin/env bash
# Runs a journey on an X server of its own, so that no unit test's window beside it ever covers
# its window or takes its pointer.
unset DISPLAY
source "$(dirname "$0")/../../scripts/display.sh"
"$@"
