#!/usr/bin/env bash
# Builds the Debian package in a release build folder (default build/release), checks it with
# lintian, its desktop entry with desktop-file-validate and its AppStream metadata with
# appstreamcli, then unpacks it, checks it holds the file managers' entries and runs the programs
# from the unpacked tree against the system's libraries. Exits 1 when any check fails.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/release}
status=0
fail() {
    echo "check-package: $*" >&2
    status=1
}

if [ ! -f "$build/CMakeCache.txt" ]; then
    cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
fi
cmake --build "$build" --target vantle_installable
rm -f "$build"/vantle_*.deb
(cd "$build" && cpack -G DEB >/dev/null)
debs=("$build"/vantle_*.deb)
if [ ${#debs[@]} -ne 1 ] || [ ! -f "${debs[0]}" ]; then
    echo "check-package: cpack made no single vantle_*.deb in $build" >&2
    exit 1
fi
deb=${debs[0]}
echo "package: $deb"
dpkg-deb --field "$deb" Version Depends Recommends Suggests
# CPack leaves the computed dependencies out, with only a note, when it lacks dpkg-shlibdeps or
# file; every program needs the C library, so its absence tells.
grep -q '\blibc6\b' <<<"$(dpkg-deb --field "$deb" Depends)" ||
    fail "the Depends field lacks the libraries the programs link"

lintian --fail-on error,warning --display-info "$deb" || fail "lintian finds faults in $deb"

tree=$(mktemp -d)
trap 'rm -rf "$tree"' EXIT
dpkg-deb -x "$deb" "$tree"

# Without the desktop program the package has no desktop entry or metadata; the sources are then
# checked, so a broken entry is found before the program that needs it lands.
entries=("$tree"/usr/share/applications/*.desktop)
metadata=("$tree"/usr/share/metainfo/*.metainfo.xml)
[ -e "${entries[0]}" ] || entries=(packaging/*.desktop)
[ -e "${metadata[0]}" ] || metadata=(packaging/*.metainfo.xml)
for entry in "${entries[@]}"; do
    desktop-file-validate "$entry" || fail "desktop-file-validate rejects $entry"
done
for file in "${metadata[@]}"; do
    appstreamcli validate --no-net "$file" || fail "appstreamcli rejects $file"
done

bin="$tree/usr/bin"
version=$(dpkg-deb --field "$deb" Version)
if [ -e "$bin/vantle" ]; then
    # "Send to Phone" in each file manager, where each looks for it.
    for entry in nautilus-python/extensions/vantle_send_to_phone.py \
        kio/servicemenus/vantle-send-to-phone.desktop \
        nemo/actions/vantle-send-to-phone.nemo_action \
        Thunar/sendto/vantle-send-to-phone.desktop; do
        [ -f "$tree/usr/share/$entry" ] || fail "the package lacks /usr/share/$entry"
    done
    # The version the program shows is the project's, which the package's version extends.
    shown=$(env -u LD_LIBRARY_PATH QT_QPA_PLATFORM=offscreen "$bin/vantle" --version) ||
        fail "the packaged vantle --version fails"
    echo "vantle --version: $shown"
    shown_version=$(grep -oE '[0-9]+(\.[0-9]+)+' <<<"$shown" | head -n 1 || true)
    if [ -z "$shown_version" ] ||
        [[ "$version" != "$shown_version" && "$version" != "$shown_version".* ]]; then
        fail "vantle --version shows \"$shown\", the package is $version"
    fi
fi
help=$(env -u LD_LIBRARY_PATH "$bin/vantle-cli" --help) || fail "the packaged vantle-cli --help fails"
grep -q '^Usage: vantle-cli' <<<"$help" || fail "the packaged vantle-cli --help shows no usage"

[ $status -eq 0 ] && echo "package checks passed"
exit $status
