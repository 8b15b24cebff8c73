#!/usr/bin/env bash
# Installs the Debian 12 packages the build, the tests and the demo need; does nothing when all are
# present. Services that packages would start (avahi-daemon above all) are kept from starting: the
# tests start their own inside a private network namespace.
set -euo pipefail

packages=(
    cmake ninja-build ccache g++ clang libclang-rt-14-dev pkg-config python3
    qt6-base-dev qt6-base-dev-tools qt6-image-formats-plugins qt6-svg-dev libqt6svg6
    qt6-tools-dev qt6-l10n-tools qt6-translations-l10n
    libavahi-compat-libdnssd-dev avahi-daemon dbus iproute2 procps
    xvfb xauth imagemagick libplist-dev
    dpkg-dev file lintian desktop-file-utils appstream
)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
policy=/usr/sbin/policy-rc.d
made_policy=""
if [ ! -e "$policy" ]; then
    printf '#!/bin/sh\nexit 101\n' | $sudo tee "$policy" >/dev/null
    $sudo chmod +x "$policy"
    made_policy=1
fi
trap '[ -n "$made_policy" ] && $sudo rm -f "$policy"' EXIT
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
