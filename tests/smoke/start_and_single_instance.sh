#!/usr/bin/env bash
# Starts the real program under its own Xvfb: one window titled "Tessaro"
# appears, a second start exits at once with status 0 and leaves that window
# the only one, and the window placement is written on the first start.
set -u
program="$1"
scratch=$(mktemp -d)
xvfb_pid=""
app_pid=""
cleanup() {
    [ -n "$app_pid" ] && kill "$app_pid" 2>/dev/null
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
    wait 2>/dev/null
    rm -rf "$scratch"
}
trap cleanup EXIT
fail() { echo "FAIL: $*"; exit 1; }

export HOME="$scratch/home" XDG_DATA_HOME="$scratch/home/.local/share"
export XDG_CONFIG_HOME="$scratch/home/.config" XDG_RUNTIME_DIR="$scratch/runtime"
mkdir -p "$HOME" "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"

Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$scratch/display" 2>/dev/null &
xvfb_pid=$!
for _ in $(seq 100); do [ -s "$scratch/display" ] && break; sleep 0.1; done
[ -s "$scratch/display" ] || fail "Xvfb did not start"
export DISPLAY=":$(cat "$scratch/display")"
export QT_QPA_PLATFORM=xcb

windows() { xwininfo -root -tree 2>/dev/null | grep -c '"Tessaro"'; }

"$program" >"$scratch/first.log" 2>&1 &
app_pid=$!
for _ in $(seq 200); do [ "$(windows)" -ge 1 ] && break; sleep 0.1; done
[ "$(windows)" -ge 1 ] || fail "no window titled Tessaro appeared"
# The first activation (placement written, message boxes, menus) may still add
# windows of its own: count once the first instance has settled.
ini="$XDG_DATA_HOME/Tessaro/TSC.INI"
for _ in $(seq 100); do grep -q '^\[TMainScreen_Placement\]' "$ini" 2>/dev/null && break; sleep 0.1; done
sleep 1
before=$(windows)

timeout 20 "$program" >"$scratch/second.log" 2>&1
rc=$?
[ "$rc" -eq 0 ] || fail "second start exited with $rc"
sleep 0.5
kill -0 "$app_pid" 2>/dev/null || fail "the first instance ended"
[ "$(windows)" -eq "$before" ] || fail "the second start added a window"

grep -q '^\[TMainScreen_Placement\]' "$ini" 2>/dev/null || fail "no placement section in $ini"
echo "1 passed, 0 failed"
