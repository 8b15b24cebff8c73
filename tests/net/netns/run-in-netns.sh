#!/usr/bin/env bash
# Runs a test program inside a private network namespace that has only its loopback up, with a
# D-Bus bus and an avahi-daemon of its own, then stops what it started and removes the namespace.
# Nothing here sends multicast outside that namespace. Exits 77 (skipped) when the namespace
# cannot be made, for instance without root.
set -u

skip() {
    echo "******************************************************************" >&2
    echo "*** SKIP: real DNS-SD test not run: $*" >&2
    echo "******************************************************************" >&2
    exit 77
}

[ "$#" -ge 1 ] || { echo "usage: $0 PROGRAM [ARGUMENTS...]" >&2; exit 2; }
[ "$(id -u)" -eq 0 ] || skip "needs root to make a network namespace"
for tool in ip dbus-daemon avahi-daemon mount; do
    command -v "$tool" >/dev/null 2>&1 || skip "$tool is not installed"
done

ns="vantle-dnssd-$$"
work=$(mktemp -d "${TMPDIR:-/tmp}/vantle-netns.XXXXXX")
ns_made=0
bus_pid=""
avahi_pid=""
readonly stop_wait_tenths=50

# Waits until process $1 is gone, at most five seconds.
wait_gone() {
    local i
    for ((i = 0; i < stop_wait_tenths; i++)); do
        kill -0 "$1" 2>/dev/null || return 0
        sleep 0.1
    done
    kill -KILL "$1" 2>/dev/null
}

cleanup() {
    local pid
    if [ "$ns_made" = 1 ]; then
        # Whatever the test left running in the namespace, by process id.
        for pid in $(ip netns pids "$ns" 2>/dev/null); do
            [ "$pid" = "$avahi_pid" ] || [ "$pid" = "$bus_pid" ] || kill "$pid" 2>/dev/null
        done
    fi
    if [ -n "$avahi_pid" ]; then kill "$avahi_pid" 2>/dev/null; wait_gone "$avahi_pid"; fi
    if [ -n "$bus_pid" ]; then kill "$bus_pid" 2>/dev/null; wait_gone "$bus_pid"; fi
    [ "$ns_made" = 1 ] && ip netns delete "$ns" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT TERM HUP

ip netns add "$ns" 2>"$work/ip.log" || skip "cannot make a network namespace: $(cat "$work/ip.log")"
ns_made=1
ip -n "$ns" link set lo up || skip "cannot bring up loopback in the namespace"

# A bus of our own, so that a system bus (if any) and other runs are left alone.
bus_socket="$work/system_bus_socket"
cat >"$work/bus.conf" <<CONF
<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>system</type>
  <listen>unix:path=$bus_socket</listen>
  <auth>EXTERNAL</auth>
  <policy context="default">
    <allow user="*"/>
    <allow own="*"/>
    <allow send_destination="*" eavesdrop="true"/>
    <allow receive_sender="*"/>
  </policy>
</busconfig>
CONF
ip netns exec "$ns" dbus-daemon --config-file="$work/bus.conf" --fork --print-pid \
    >"$work/bus.pid" 2>"$work/bus.log" || { cat "$work/bus.log" >&2; exit 1; }
bus_pid=$(head -n1 "$work/bus.pid")
export DBUS_SYSTEM_BUS_ADDRESS="unix:path=$bus_socket"

cat >"$work/avahi-daemon.conf" <<CONF
[server]
use-ipv4=yes
use-ipv6=no
allow-interfaces=lo
enable-dbus=yes
ratelimit-interval-usec=1000000
ratelimit-burst=1000
[wide-area]
enable-wide-area=no
[publish]
publish-hinfo=no
publish-workstation=no
[reflector]
enable-reflector=no
[rlimits]
CONF
# The daemon gets a private /run (its pid file) in the mount namespace that ip netns exec makes.
ip netns exec "$ns" sh -c 'mount -t tmpfs vantle-run /run && mkdir -p /run/avahi-daemon &&
    exec avahi-daemon --no-drop-root --no-chroot --no-rlimits -f "$1"' avahi \
    "$work/avahi-daemon.conf" >"$work/avahi.log" 2>&1 &
avahi_pid=$!

readonly ready_wait_tenths=100
for ((i = 0; i < ready_wait_tenths; i++)); do
    grep -q "Server startup complete" "$work/avahi.log" && break
    kill -0 "$avahi_pid" 2>/dev/null || break
    sleep 0.1
done
if ! grep -q "Server startup complete" "$work/avahi.log"; then
    echo "avahi-daemon did not start in namespace $ns:" >&2
    cat "$work/avahi.log" >&2
    exit 1
fi

ip netns exec "$ns" env VANTLE_NETNS="$ns" "$@"
