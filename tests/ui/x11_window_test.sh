#!/usr/bin/env bash
# Starts quillmore (the program given) under a real X server and checks that it
# maps one top-level window titled "Quillmore" of 950 x 650, that the window
# stays up, and that its close button ends the program. The test run's offscreen
# platform is left out: this one needs the X server.
set -euo pipefail
program=$1
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT

HOME=$home env -u QT_QPA_PLATFORM xvfb-run -a -s "-screen 0 1280x800x24" bash -c '
    "$1" >/dev/null 2>&1 &
    pid=$!
    windows=$(xdotool search --sync --onlyvisible --name "^Quillmore\$")
    count=$(echo "$windows" | wc -l)
    [ "$count" -eq 1 ] || { echo "expected one window, found $count"; exit 1; }
    geometry=$(xdotool getwindowgeometry "$windows" | sed -n "s/.*Geometry: //p")
    [ "$geometry" = "950x650" ] || { echo "window is $geometry"; exit 1; }
    sleep 1
    kill -0 "$pid" || { echo "the program ended by itself"; exit 1; }
    # The close caption button: 918,11 and 21 pixels square.
    xdotool mousemove --window "$windows" 928 21 click 1
    for _ in $(seq 50); do
        kill -0 "$pid" 2>/dev/null || exit 0
        sleep 0.1
    done
    echo "the close button did not end the program"
    kill "$pid"
    exit 1
' bash "$program"
