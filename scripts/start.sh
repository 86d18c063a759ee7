#!/usr/bin/env bash
# Builds and starts Notenstatistik. Without a display it runs the program under Xvfb, saves a
# screenshot of its window and prints where.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${NOTEN_BUILD_DIR:-$root/build}
"$root/scripts/build.sh" --target notenstatistik
program=$build/bin/notenstatistik

if [[ -n "${DISPLAY:-}" || -n "${WAYLAND_DISPLAY:-}" ]]; then
    exec "$program" "$@"
fi

echo "Kein Bildschirm gefunden (DISPLAY ist leer): Notenstatistik läuft unter Xvfb, ein Bildschirmfoto zeigt das Fenster."
echo "No display found (DISPLAY is empty): running Notenstatistik under Xvfb and saving a screenshot."
screenshot=$build/notenstatistik-screenshot.png
# Xvfb picks a free display number itself and reports it on file descriptor 3.
display_file=$(mktemp)
Xvfb -displayfd 3 -screen 0 800x600x24 -nolisten tcp 3>"$display_file" >/dev/null 2>&1 &
xvfb=$!
trap 'kill "$xvfb" 2>/dev/null || true' EXIT
for _ in $(seq 100); do [[ -s "$display_file" ]] && break; sleep 0.05; done
export DISPLAY=":$(tr -d '[:space:]' <"$display_file")"
rm -f "$display_file"
"$program" "$@" &
app=$!
timeout 30 xdotool search --sync --onlyvisible --name '^Notenstatistik$' >/dev/null \
    || { echo "Das Fenster erschien nicht / the window did not appear" >&2; exit 1; }
sleep 0.5
import -window root "$screenshot"
kill "$app" 2>/dev/null || true
wait "$app" 2>/dev/null || true
echo "Bildschirmfoto / screenshot: $screenshot"
