#!/usr/bin/env bash
# Builds the program and takes it through its states against the simulated phone, saving a PNG
# of each (welcome, manual connect, waiting for approval, refused, connected, a queue, an upload
# under way, a name clash, a failed piece, the preferences, the transfer history, a dark theme, a
# name with no free one beside it, the tray's icons and menu, light and dark) into FOLDER (default
# docs/screenshots). Runs under Xvfb when there is no display.
set -euo pipefail
cd "$(dirname "$0")/.."
out="${1:-docs/screenshots}"
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/release -j"$(nproc)" --target vantle-screenshots vantle-phone
mkdir -p "$out"
if [ -n "${DISPLAY:-}" ]; then
    build/release/bin/vantle-screenshots "$out"
else
    xvfb-run -a -s "-screen 0 1280x900x24" build/release/bin/vantle-screenshots "$out"
fi
