#!/usr/bin/env bash
# The Windows edition: installs the MinGW-w64 cross compiler and Wine where they are missing, cross-builds
# the programs and their tests with warnings as errors, and runs the tests under Wine without a display.
# Called by scripts/test.sh; can be run alone.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh g++-mingw-w64-x86-64-posix wine wine64 ninja-build googletest xvfb

build=build/windows
# The Wine folder belongs to this build tree, so that two trees on one machine never share a Wine server.
export WINEPREFIX="$PWD/$build/wine"
export WINEDEBUG=-all # every message Wine prints costs a test process seconds
export WINEDLLOVERRIDES="mscoree,mshtml=" # no .NET or HTML engine to install
# Wine takes the user's language and formats from the locale, and file names need its UTF-8: English
# (United States) unless a test asks for German.
export LC_ALL=C.UTF-8
wine=/usr/lib/wine/wine64
[ -x "$wine" ] || wine=$(command -v wine64 || command -v wine)

# Wine's helper processes (services, device drivers) outlive "wineserver -k": end the Wine processes of
# this Wine folder by their ids.
stop_wine() {
    wineserver -k 2>/dev/null || true
    for process in /proc/[0-9]*; do
        case "$(readlink "$process/exe" 2>/dev/null)" in
        */wine64 | */wine | */wine64-preloader | */wine-preloader) ;;
        *) continue ;;
        esac
        if tr '\0' '\n' <"$process/environ" 2>/dev/null | grep -qxF "WINEPREFIX=$WINEPREFIX"; then
            kill "${process#/proc/}" 2>/dev/null || true
        fi
    done
}
trap stop_wine EXIT

# One persistent server and its helpers for all tests, started apart from CTest: a helper started by a test
# would keep that test's output open, and CTest would wait for it. A server left running for this Wine
# folder (by an interrupted run, or by hand) is ended first: "wineserver -p" fails where one runs.
mkdir -p "$WINEPREFIX"
stop_wine
started=false
for _ in $(seq 20); do
    if wineserver -p 2>/dev/null; then
        started=true
        break
    fi
    sleep 0.5 # the ended server may still hold its socket
done
$started || { echo "cannot start a Wine server for $WINEPREFIX" >&2; exit 1; }
if [ ! -f "$WINEPREFIX/system.reg" ]; then
    "$wine" wineboot -i </dev/null >/dev/null 2>&1
fi
# Windows, list boxes, tooltips and timers work without any display with the null graphics driver.
"$wine" reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f </dev/null >/dev/null 2>&1

cmake -S . -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/MinGW.cmake -DCMAKE_BUILD_TYPE=Release \
    -DCARROVEX_WERROR=ON
cmake --build "$build" -j"$(nproc)"

# Under Wine a test program has, rarely, ended before printing anything, which no rerun could repeat: a
# test that fails runs once more on its own and is named here; one that fails again fails the stage.
if ! (cd "$build" && ctest --output-on-failure -j"$(nproc)"); then
    failed=$(cut -d: -f2- "$build/Testing/Temporary/LastTestsFailed.log")
    (cd "$build" && ctest --rerun-failed --output-on-failure)
    echo "These Windows tests failed under Wine and passed on a second try:" >&2
    echo "$failed" | sed 's/^/    /' >&2
fi

# The ZIP as a user gets it, unpacked where Wine sees it: carrovex.exe /s moves the files of two folders,
# and carrovex-console.exe --once makes a run with the lines and status of the Linux program.
(cd "$build" && cpack >/dev/null)
trial=$(mktemp -d /tmp/carrovex-zip-XXXXXX)
trap 'stop_wine; rm -rf "$trial"' EXIT
(cd "$trial" && cmake -E tar xf "$OLDPWD/$build"/carrovex-*-windows-x64.zip)
program=$(echo "$trial"/carrovex-*-windows-x64)
# The user's guide, not the developers' README, in both languages and with Windows line ends.
for guide in README.txt LIESMICH.txt; do
    grep -q $'carrovex-console.exe --once.*\r$' "$program/$guide" && ! grep -q "apt-get" "$program/$guide" ||
        { echo "the ZIP's $guide is not the user's guide" >&2; exit 1; }
done
mkdir "$trial/in" "$trial/out"
windows_path() { echo "Z:${1//\//\\}"; }
printf '[Options]\r\nFrom=%s\r\nTo=%s\r\nAction=Move\r\nLanguage=English\r\nDoActionOnStart=1\r\n' \
    "$(windows_path "$trial/in")" "$(windows_path "$trial/out")" >"$program/Carrovex.ini"

# Starts carrovex.exe /s with two new files in the source folder and waits, at most 30 s, until it has moved
# both, or has ended; ends it and tells whether both were moved, with what it printed where they were not.
window_moves_files() {
    echo one >"$trial/in/one.txt"
    echo two >"$trial/in/two.txt"
    "$wine" "$program/carrovex.exe" /s </dev/null >"$trial/window.log" 2>&1 &
    local window=$!
    for _ in $(seq 300); do
        [ -f "$trial/out/one.txt" ] && [ -f "$trial/out/two.txt" ] && break
        kill -0 "$window" 2>/dev/null || break
        sleep 0.1
    done
    kill "$window" 2>/dev/null || true
    wait "$window" || true
    if [ "$(ls "$trial/in")" != "" ] || [ "$(ls "$trial/out" | tr '\n' ' ')" != "one.txt two.txt " ]; then
        cat "$trial/window.log" >&2
        return 1
    fi
    rm "$trial"/out/*
}

window_moves_files || { echo "carrovex.exe /s did not move the files" >&2; exit 1; }
echo three >"$trial/in/three.txt"
lines=$("$wine" "$program/carrovex-console.exe" --once </dev/null | tr -d '\r')
echo "$lines" | grep -Eq '^[0-9]{1,2}/[0-9]{1,2}/[0-9]{4} [0-9:]+ [AP]M - Moved: three\.txt$' ||
    { echo "carrovex-console.exe --once printed: $lines" >&2; exit 1; }
[ -f "$trial/out/three.txt" ] || { echo "carrovex-console.exe --once did not move the file" >&2; exit 1; }
rm "$trial/out/three.txt"

# A new user's first start, in a Wine folder of its own: the tests above share one that has seen the
# window before. The window moves the files with the null graphics driver and on a display (Xvfb, with
# Wine's X11 driver). Where Wine has no graphics driver (X11 without a display, as for the first program
# after a wineboot without one) the system makes no window: the program says so and ends with status 2,
# and nothing moves. Wine loads the driver when it makes the desktop, which lives on while programs run:
# each driver takes a new Wine server.
first_start() {
    export WINEPREFIX="$trial/first-start/wine"
    unset DISPLAY WAYLAND_DISPLAY
    trap 'stop_wine; [ -z "${xvfb-}" ] || kill "$xvfb"' EXIT
    use_graphics() {
        "$wine" reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d "$1" /f </dev/null >/dev/null 2>&1
        wineserver -w
    }
    mkdir -p "$WINEPREFIX"
    "$wine" wineboot -i </dev/null >/dev/null 2>&1
    use_graphics null
    window_moves_files || { echo "carrovex.exe /s did not move the files at its first start" >&2; exit 1; }
    use_graphics x11

    # -displayfd: the first free display, which the server writes once it takes connections.
    Xvfb -displayfd 3 -nolisten tcp 3>"$trial/display" >/dev/null 2>&1 &
    xvfb=$!
    for _ in $(seq 100); do
        [ -s "$trial/display" ] && break
        sleep 0.1
    done
    DISPLAY=":$(cat "$trial/display")" window_moves_files ||
        { echo "carrovex.exe /s did not move the files on a display" >&2; exit 1; }
    wineserver -w

    echo one >"$trial/in/one.txt"
    local status=0
    timeout 60 "$wine" "$program/carrovex.exe" /s </dev/null >"$trial/window.log" 2>&1 || status=$?
    [ "$status" -eq 2 ] && [ -f "$trial/in/one.txt" ] && grep -q "cannot make its window" "$trial/window.log" ||
        { echo "carrovex.exe /s without a display ended with $status:" >&2; cat "$trial/window.log" >&2; exit 1; }
}
(first_start)
echo "The Windows ZIP works: $(basename "$program").zip"
