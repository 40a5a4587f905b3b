#!/usr/bin/env bash
# Builds the Debian package (Release, in build-package), checks it with lintian, installs it on
# this machine with dpkg -i, runs the installed programs (versions, a simulated platform, the
# window started offscreen and on a virtual X display) and removes the package again.
# Needs root (or sudo) for dpkg. Refuses to run when a kenvoplat package is already installed,
# unless KENVO_PACKAGE_TEST_FORCE=1 (the package is then removed at the end).
# KENVO_PACKAGE_BUILD=FOLDER packages an already configured build folder instead (scripts/test.sh
# passes its own, so nothing is compiled twice; the package's binaries are stripped either way).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${KENVO_PACKAGE_BUILD:-$root/build-package}"
SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"

if dpkg-query -W -f='${Status}' kenvoplat 2>/dev/null | grep -q "install ok installed" &&
    [ "${KENVO_PACKAGE_TEST_FORCE:-0}" != 1 ]; then
    echo "package test: kenvoplat is installed on this machine; the test would replace and remove it." >&2
    echo "Remove it first (dpkg -r kenvoplat) or set KENVO_PACKAGE_TEST_FORCE=1." >&2
    exit 1
fi

echo "-- building the package"
if [ ! -f "$build/CMakeCache.txt" ]; then
    cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DKENVO_BUILD_TESTS=OFF \
        -DKENVO_BUILD_BENCH=OFF >/dev/null
fi
cmake --build "$build" -j "$(nproc)" >"$build.log" 2>&1 || { tail -n 40 "$build.log" >&2; exit 1; }
rm -f "$build"/kenvoplat_*.deb
(cd "$build" && cpack -G DEB >>"$build.log" 2>&1) || { tail -n 40 "$build.log" >&2; exit 1; }
deb=$(ls "$build"/kenvoplat_*.deb)
echo "$deb"
dpkg-deb --field "$deb" Package Version Architecture Depends

fail() { echo "package test FAILED: $*" >&2; exit 1; }

# What the package must hold.
contents=$(dpkg-deb --contents "$deb" | awk '{print $6}' | sed 's|^\./|/|')
for path in /usr/bin/kenvoplat /usr/bin/kenvoplat-cli /usr/bin/kenvoplat-emulator \
    /usr/share/applications/kenvoplat.desktop /usr/share/icons/hicolor/scalable/apps/kenvoplat.svg \
    /usr/share/kenvoplat/sounds/alarm.wav /usr/share/kenvoplat/sounds/success.wav \
    /usr/lib/udev/rules.d/70-kenvoplat.rules /usr/share/man/man1/kenvoplat-cli.1.gz \
    /usr/share/man/man1/kenvoplat-emulator.1.gz /usr/share/doc/kenvoplat/copyright \
    /usr/share/doc/kenvoplat/user-guide.md; do
    grep -qx "$path" <<<"$contents" || fail "$path is not in the package"
done
for size in 16 22 24 32 48 64 128 256; do
    grep -qx "/usr/share/icons/hicolor/${size}x${size}/apps/kenvoplat.png" <<<"$contents" || fail "no ${size}x${size} icon"
done
depends=$(dpkg-deb --field "$deb" Depends)
for lib in libqt6widgets6 libqt6gui6 libqt6core6 libfftw3-double3 libc6 libstdc++6 fonts-liberation; do
    grep -q "$lib" <<<"$depends" || fail "Depends does not name $lib: $depends"
done

if command -v lintian >/dev/null; then
    echo "-- lintian"
    # Errors fail the test; warnings are shown.
    lintian --fail-on error --suppress-tags-from-file /dev/null "$deb" || fail "lintian reports errors"
else
    echo "-- lintian is not installed; skipped"
fi

echo "-- installing"
$SUDO dpkg -i "$deb" >/dev/null
trap '$SUDO dpkg -r kenvoplat >/dev/null 2>&1 || true' EXIT

version=$(sed -n 's/^project(KenvoPlat VERSION \([0-9.]*\).*/\1/p' "$root/CMakeLists.txt")
[ "$(/usr/bin/kenvoplat-cli --version)" = "kenvoplat-cli $version" ] || fail "kenvoplat-cli --version"
[ "$(/usr/bin/kenvoplat --version)" = "kenvoplat $version" ] || fail "kenvoplat --version"
[ "$(/usr/bin/kenvoplat-emulator --version)" = "kenvoplat-emulator $version" ] || fail "kenvoplat-emulator --version"
/usr/bin/kenvoplat-cli devices --simulate=2 | grep -q "^2 3KenvoPlatP " || fail "kenvoplat-cli devices --simulate"
zcat /usr/share/man/man1/kenvoplat-cli.1.gz | grep -q "^\.TH KENVOPLAT-CLI" || fail "the manual page of kenvoplat-cli"
for model in 4KenvoPlat 4KenvoPlatW 3KenvoPlatP 3KenvoPlatT; do
    grep -q "ATTRS{product}==\"$model\", TAG+=\"uaccess\"" /usr/lib/udev/rules.d/70-kenvoplat.rules ||
        fail "the udev rule does not give access to $model"
done
command -v desktop-file-validate >/dev/null && { desktop-file-validate /usr/share/applications/kenvoplat.desktop || fail "desktop entry"; }

# The installed window starts, keeps running and closes cleanly on SIGTERM (as at log-out).
start_window() {  # start_window LABEL COMMAND...
    local label="$1" home runtime pid status
    shift
    home=$(mktemp -d) runtime=$(mktemp -d)
    chmod 700 "$runtime"
    KENVOPLAT_HOME="$home" XDG_RUNTIME_DIR="$runtime" "$@" /usr/bin/kenvoplat >"$home/log" 2>&1 &
    pid=$!
    sleep 3
    kill -0 "$pid" 2>/dev/null || { cat "$home/log" >&2; fail "kenvoplat ($label) ended by itself"; }
    kill -TERM "$pid"
    status=0
    wait "$pid" || status=$?
    [ "$status" -eq 0 ] || { cat "$home/log" >&2; fail "kenvoplat ($label) exited with $status after SIGTERM"; }
    rm -rf "$home" "$runtime"
    echo "kenvoplat started and closed ($label)"
}
start_window offscreen env QT_QPA_PLATFORM=offscreen
if command -v Xvfb >/dev/null; then
    # On an X server, as on a desktop: the xcb platform plugin and its libraries are found.
    xdir=$(mktemp -d)
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$xdir/display" 2>/dev/null &
    xvfb=$!
    for _ in $(seq 100); do [ -s "$xdir/display" ] && break; sleep 0.1; done
    [ -s "$xdir/display" ] || fail "Xvfb did not start"
    start_window "X display" env DISPLAY=":$(cat "$xdir/display")" QT_QPA_PLATFORM=xcb
    kill "$xvfb"
    wait "$xvfb" 2>/dev/null || true
    rm -rf "$xdir"
fi

echo "-- removing"
$SUDO dpkg -r kenvoplat >/dev/null
trap - EXIT
[ ! -e /usr/bin/kenvoplat ] || fail "/usr/bin/kenvoplat is still there after dpkg -r"
echo "package test passed"
