#!/usr/bin/env bash
# Takes the screenshots of the Windows window for the README (docs/screenshots/windows-main-window-de.png
# and -en.png): carrovex.exe under Wine on a virtual display with a small window manager for
# the frame, after its first scheduled run. Run it again when the window changes.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh g++-mingw-w64-x86-64-posix wine wine64 ninja-build xvfb xauth openbox imagemagick x11-utils

build=build/windows
cmake -S . -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/MinGW.cmake -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" -j"$(nproc)" --target carrovex

# A Wine folder of its own that draws on the display (the tests' draws nothing), and a portable layout
# on its drive C: that the shots never share with anyone's settings.
work=$(mktemp -d /tmp/carrovex-shots-XXXXXX)
export WINEPREFIX="$work/wine" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
wine=/usr/lib/wine/wine64
[ -x "$wine" ] || wine=$(command -v wine64 || command -v wine)
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
    rm -rf "$work"
}
trap stop_wine EXIT
mkdir -p "$WINEPREFIX"
"$wine" wineboot -i </dev/null >/dev/null 2>&1
drive="$WINEPREFIX/drive_c"

shoot() { # language, locale, source folder, destination folder, shot
    rm -rf "$drive/Carrovex" "$drive/Scans" "$drive/Archiv"
    mkdir -p "$drive/Carrovex" "$drive/$3" "$drive/$4"
    cp "$build/carrovex.exe" "$drive/Carrovex/"
    cp -r lang "$drive/Carrovex/"
    for name in invoice-2024-03.pdf letter-tax-office.pdf receipt-0042.png contract-signed.pdf; do
        head -c 4096 /dev/zero >"$drive/$3/$name"
    done
    printf '[Options]\r\nFrom=C:\\%s\r\nTo=C:\\%s\r\nAction=Copy\r\nInterval=1\r\nShowLog=1\r\nOverwrite=0\r\nLanguage=%s\r\n' \
        "${3//\//\\}" "${4//\//\\}" "$1" >"$drive/Carrovex/Carrovex.ini"
    # The first run comes with the first minute's tick, when the copies appear; the caption then counts
    # down to the next one. Wine's first window in a new Wine folder takes a while.
    cat >"$work/session.sh" <<END
openbox & manager=\$!
sleep 1
LC_ALL=$2 "$wine" 'C:\\Carrovex\\carrovex.exe' /s </dev/null >/dev/null 2>&1 & program=\$!
for second in \$(seq 300); do
    [ \$(ls "$drive/$4" | wc -l) -eq 4 ] && break
    sleep 1
done
sleep 2
import -window root "$work/screen.png"
# The window with the frame that the window manager drew around it (Wine's own window for its tray
# icons lies elsewhere on the screen).
window=\$(xwininfo -root -tree | grep '"Carrovex Lite - ' | head -1 | awk '{print \$1}')
eval \$(xwininfo -id \$window | awk '/Absolute upper-left X/ {print "x=" \$4} /Absolute upper-left Y/ {print "y=" \$4} /Width:/ {print "w=" \$2} /Height:/ {print "h=" \$2}')
set -- \$(xprop -id \$window _NET_FRAME_EXTENTS | tr -dc '0-9 ')
echo "\$((w + \$1 + \$2))x\$((h + \$3 + \$4))+\$((x - \$1))+\$((y - \$3))" >"$work/frame"
kill \$program \$manager
END
    xvfb-run -a -s "-screen 0 1024x768x24" bash "$work/session.sh"
    convert "$work/screen.png" -crop "$(cat "$work/frame")" +repage -strip "$5"
    identify -format "$5: %w x %h\n" "$5"
}

# Wine's first window in a new Wine folder keeps the formats it started the folder with: English first.
shoot English C.UTF-8 Scans Archiv/Scans docs/screenshots/windows-main-window-en.png
shoot Deutsch de_DE.UTF-8 Scans Archiv/Scans docs/screenshots/windows-main-window-de.png
