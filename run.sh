#!/usr/bin/env bash
# Installs what is missing, builds, starts the simulated phone on 127.0.0.1 and the desktop
# program (or, while a piece is not built yet, the most useful tool there is), and stops the phone
# when the program ends.
set -euo pipefail
cd "$(dirname "$0")"
./scripts/install-deps.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/release -j"$(nproc)"
bin=build/release/bin

phone_pid=""
cleanup() { [ -n "$phone_pid" ] && kill "$phone_pid" 2>/dev/null || true; }
trap cleanup EXIT

if [ -x "$bin/vantle-phone" ]; then
    echo "Starting the simulated phone on 127.0.0.1:34345"
    "$bin/vantle-phone" --bind 127.0.0.1 --port 34345 &
    phone_pid=$!
    sleep 0.5
fi

if [ -x "$bin/vantle" ]; then
    echo "Starting Vantle; use Manual Connect with 127.0.0.1 to reach the simulated phone"
    if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
        echo "No display: running under Xvfb"
        xvfb-run -a "$bin/vantle" "$@"
    else
        "$bin/vantle" "$@"
    fi
elif [ -x "$bin/vantle-cli" ] && [ -n "$phone_pid" ]; then
    echo "The desktop program is not built yet; dialling the simulated phone with vantle-cli ping"
    "$bin/vantle-cli" ping 127.0.0.1:34345
else
    echo "The desktop program is not built yet; vantle-plist shows a property list of the build:"
    python3 -c 'import plistlib,sys; sys.stdout.buffer.write(plistlib.dumps({"MessageType": "Request", "RequestType": "VersionCheck", "RequestNum": 1}, fmt=plistlib.FMT_BINARY))' \
        | "$bin/vantle-plist" print -
fi
