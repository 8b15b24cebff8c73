#!/usr/bin/env bash
# Builds the program and takes it through its states against the simulated phone, saving a PNG
# of each (welcome, manual connect, waiting for approval, refused, connected, a queue, an upload
# under way, a name clash, a failed piece, the preferences, the transfer history, a dark theme, a
# name with no free one beside it, the tray's icons and menu, light and dark) into FOLDER (default
# docs/screenshots), and the main states again at 1.5 and 2 times the density into FOLDER/scale-1.5
# and FOLDER/scale-2. Runs under Xvfb when there is no display.
set -euo pipefail
cd "$(dirname "$0")/.."
out="${1:-docs/screenshots}"
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/release -j"$(nproc)" --target vantle-screenshots vantle-phone
mkdir -p "$out"
tour() {
    if [ -n "${DISPLAY:-}" ]; then
        build/release/bin/vantle-screenshots "$@"
    else
        xvfb-run -a -s "-screen 0 2600x1800x24" build/release/bin/vantle-screenshots "$@"
    fi
}
tour "$out"
for scale in 1.5 2; do
    tour "$out/scale-$scale" --scale "$scale" --only welcome,connected,phone-files,queue,dark-queue
done
