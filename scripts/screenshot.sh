#!/usr/bin/env bash
# Takes the screenshot that the AppStream metainfo shows (docs/main-window.png): the window program in
# English after its first scheduled run, on a virtual display with a small window manager for the frame.
# Run it again when the window changes, and put the new size into the metainfo.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh xvfb xauth openbox imagemagick fonts-dejavu-core

cmake -S . -B build/release -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/release -j"$(nproc)" --target carrovex

# A portable layout of its own, so that the shot never touches the user's settings. The folders it shows
# lie on a tmpfs over /home that only the program's own mount namespace sees.
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/program"
cp build/release/carrovex "$work/program/"
cp -r lang "$work/program/"
cat >"$work/program/Carrovex.ini" <<END
[Options]
From=/home/anna/Scans
To=/home/anna/Archive/Scans
Action=Copy
Interval=1
ShowLog=1
Overwrite=0
Language=English
END
cat >"$work/start.sh" <<END
mount -t tmpfs -o size=1m tmpfs /home
mkdir -p /home/anna/Scans /home/anna/Archive/Scans
for name in invoice-2024-03.pdf letter-tax-office.pdf receipt-0042.png contract-signed.pdf; do
    head -c 4096 /dev/zero >"/home/anna/Scans/\$name"
done
exec "$work/program/carrovex" /s
END
namespace=(unshare --mount --propagation private)
[ "$(id -u)" -eq 0 ] || namespace+=(--map-root-user)

# The first run comes with the first minute's tick; the caption then counts down to the next one.
cat >"$work/session.sh" <<END
openbox & manager=\$!
sleep 1
${namespace[*]} sh "$work/start.sh" & program=\$!
sleep 65
import -window root "$work/screen.png"
kill \$program \$manager
END
LC_ALL=C.UTF-8 xvfb-run -a -s "-screen 0 1024x768x24" bash "$work/session.sh"

# The root window stays black around the framed window: cut it away.
convert "$work/screen.png" -trim +repage -strip docs/main-window.png
identify -format 'docs/main-window.png: %w x %h\n' docs/main-window.png
