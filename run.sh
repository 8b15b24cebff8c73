#!/usr/bin/env bash
# Installs what is missing, builds, starts the simulated phone on 127.0.0.1 with a few sample
# files, and starts Vantle connected to it in a demo profile of its own (settings, queue, logs and
# documents under build/demo, never the user's own). Without a display it runs the same under
# Xvfb for a few seconds and saves a screenshot.
set -euo pipefail
cd "$(dirname "$0")"
./scripts/install-deps.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/release -j"$(nproc)"
bin="$PWD/build/release/bin"
demo="$PWD/build/demo"

# The demo profile: automatic connection off and the manual-mode warning answered, so it never
# picks up a real phone and never opens on an alert.
mkdir -p "$demo/home" "$demo/config/Vantle" "$demo/data" "$demo/cache"
conf="$demo/config/Vantle/Vantle.conf"
if [ ! -e "$conf" ]; then
    printf '[General]\nAutoConnect=0\nDontWarnAboutManual=1\n' >"$conf"
fi
# The display's credentials stay where they are when HOME moves.
export XAUTHORITY="${XAUTHORITY:-$HOME/.Xauthority}"
export HOME="$demo/home" XDG_CONFIG_HOME="$demo/config" XDG_DATA_HOME="$demo/data" \
    XDG_CACHE_HOME="$demo/cache"

phone_pid=""
vantle_pid=""
cleanup() {
    for pid in $vantle_pid $phone_pid; do kill "$pid" 2>/dev/null || true; done
}
trap cleanup EXIT

"$bin/vantle-phone" --bind 127.0.0.1 --port 0 >"$demo/phone.log" 2>&1 &
phone_pid=$!
port=""
for _ in $(seq 100); do
    port=$(sed -n 's/.*listening on 127\.0\.0\.1:\([0-9]*\).*/\1/p' "$demo/phone.log" | head -1)
    [ -n "$port" ] && break
    sleep 0.1
done
if [ -z "$port" ]; then
    echo "The simulated phone did not start:" >&2
    cat "$demo/phone.log" >&2
    exit 1
fi
echo "Simulated phone on 127.0.0.1:$port (its store: see $demo/phone.log)"

if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
    echo "Starting Vantle in the demo profile ($demo)"
    "$bin/vantle" --connect "127.0.0.1:$port" "$@"
    exit 0
fi

echo "No display: running Vantle under Xvfb for a few seconds"
shot="$demo/vantle-demo.png"
rm -f "$shot"
export VANTLE_DEMO_BIN="$bin/vantle" VANTLE_DEMO_ADDRESS="127.0.0.1:$port" VANTLE_DEMO_SHOT="$shot"
xvfb-run -a -s "-screen 0 1024x720x24" bash -c '
    "$VANTLE_DEMO_BIN" --connect "$VANTLE_DEMO_ADDRESS" >"$(dirname "$VANTLE_DEMO_SHOT")/vantle.log" 2>&1 &
    pid=$!
    for _ in $(seq 150); do
        grep -q "connectionGranted" "$(dirname "$VANTLE_DEMO_SHOT")/vantle.log" 2>/dev/null && break
        sleep 0.1
    done
    sleep 2
    import -window root "$VANTLE_DEMO_SHOT"
    kill "$pid"
    wait "$pid" || true
'
if [ -s "$shot" ]; then
    echo "Screenshot of the connected program: $shot"
else
    echo "No screenshot was made; the program's log is $demo/vantle.log" >&2
    exit 1
fi
