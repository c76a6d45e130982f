#!/usr/bin/env bash
# The Debian package on this machine: installs it with apt, starts grottan3 from the PATH on
# a virtual display and waits for its window, thaws a ZIP through the installed 7-zip32.dll,
# and removes the package again. Usage: check.sh PACKAGE.deb
set -euo pipefail
deb=$(readlink -f "${1:?usage: check.sh PACKAGE.deb}")
work=$(mktemp -d)
display=:94
cleanup() {
  [ -n "${app:-}" ] && kill "$app" 2>/dev/null || true
  [ -n "${xvfb:-}" ] && kill "$xvfb" 2>/dev/null || true
  DEBIAN_FRONTEND=noninteractive apt-get remove -y -qq grottan3 >/dev/null 2>&1 || true
  rm -rf "$work"
}
trap cleanup EXIT
DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "$deb" >/dev/null

test "$(readlink -f "$(command -v grottan3)")" = /usr/lib/grottan3/grottan3
for m in UNLHA32.DLL 7-zip32.dll cab32.dll unrar32.dll; do test -f "/usr/lib/grottan3/DLL/$m"; done
test -f /usr/lib/grottan3/codecs/videoframe.so

# The window appears; settings go to the user's configuration folder.
export HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" XDG_RUNTIME_DIR="$work/run"
mkdir -p "$HOME" "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
export DISPLAY=$display
# tools/test runs its own tests offscreen; the installed program must open a real window.
export QT_QPA_PLATFORM=xcb
sleep 0.5
grottan3 >"$work/grottan3.log" 2>&1 &
app=$!
win=""
for _ in $(seq 1 300); do
  win=$(xdotool search --onlyvisible --pid "$app" 2>/dev/null | head -n 1 || true)
  [ -n "$win" ] && break
  sleep 0.1
done
test -n "$win" || { echo "no window appeared; the program said:"; cat "$work/grottan3.log"; exit 1; }
echo "window: $(xdotool getwindowname "$win")"
kill "$app"; wait "$app" 2>/dev/null || true; app=""
test -d "$XDG_CONFIG_HOME/grottan3" || { echo "settings folder missing"; exit 1; }

# A ZIP thawed through the installed module's entry point, as the program calls it.
mkdir -p "$work/src/sub" && echo "家の中身" > "$work/src/sub/a.txt"
(cd "$work/src" && zip -qr "$work/estate.zip" sub)
python3 - "$work" <<'PY'
import ctypes, sys
work = sys.argv[1]
m = ctypes.CDLL("/usr/lib/grottan3/DLL/7-zip32.dll")
buf = ctypes.create_string_buffer(65000)
line = ('x "%s/estate.zip" -o"%s/out"' % (work, work)).encode()
r = m.SevenZip(None, line, buf, 65000)
print("SevenZip:", r, buf.value.decode(errors="replace").strip())
sys.exit(r)
PY
test "$(cat "$work/out/sub/a.txt")" = "家の中身"
echo "package check passed"
