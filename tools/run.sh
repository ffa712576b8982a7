#!/usr/bin/env bash
# `make run`: starts Virel64 and Virel32 and a text window to type in.
#   On Windows: the two programs and Notepad, directly.
#   With a display: the two programs and Notepad under Wine, in $VIREL_WINEPREFIX (default
#     build/run/prefix); press Alt+K in Notepad and type. Ctrl+C ends them all.
#   Headless (no DISPLAY): a private virtual display; a sample is typed in each layout and pictures
#     of the settings window and of the typed text are saved in build/run/.
set -euo pipefail

repo=$(cd "$(dirname "$0")/.." && pwd)
build=${VIREL_BUILD:-$repo/build}
out=$build/run
mkdir -p "$out"

case "$(uname -s)" in
  MINGW* | MSYS* | CYGWIN*)
    "$build/win64/Virel64.exe" &
    "$build/win32/Virel32.exe" &
    notepad.exe &
    exit 0
    ;;
esac

if [ -z "${DISPLAY:-}" ]; then
  exec env VIREL_BUILD="$build" python3 "$repo/tray/e2e/demo.py" "$out"
fi

export WINEPREFIX=${VIREL_WINEPREFIX:-$out/prefix}
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
wine64=/usr/lib/wine/wine64
wine32=/usr/lib/wine/wine
"$wine64" wineboot -i >/dev/null 2>&1
# The Tamil captions want a TSCII face named TSCVirel.
"$wine64" reg add 'HKCU\Software\Wine\Fonts\Replacements' /v TSCVirel /t REG_SZ /d TSCu_Paranar /f >/dev/null

pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
}
trap cleanup EXIT INT TERM

(cd "$build/win64" && exec "$wine64" Virel64.exe) &
pids+=($!)
if "$wine32" --version >/dev/null 2>&1; then
  (cd "$build/win32" && exec "$wine32" Virel32.exe) &
  pids+=($!)
else
  echo "run: Virel32 not started: this machine cannot run 32-bit programs under Wine" >&2
fi
"$wine64" notepad &
pids+=($!)
echo "run: Virel64, Virel32 and Notepad are running; press Alt+K in Notepad and type. Ctrl+C ends them."
wait "${pids[0]}"
