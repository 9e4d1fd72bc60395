#!/usr/bin/env bash
# Builds the Debian packages into build/package/: carrovex (window, console, languages, desktop files,
# service) and carrovex-console (the same without the window and Qt), and validates the desktop entry,
# the metainfo and the manual page. As root on a machine where neither package is installed (CI), it then
# installs each package with apt-get, checks the service unit, runs the installed programs against
# temporary folders and removes the packages again.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh lintian

# The distribution's hardening: stack protection, checked buffer functions, read-only relocations bound at start.
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
compile_flags="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)"
link_flags=$(dpkg-buildflags --get LDFLAGS)

packages=build/package
for name in carrovex carrovex-console; do
    gui=ON
    [ "$name" = carrovex ] || gui=OFF
    cmake -S . -B "$packages/$name" -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr -DCARROVEX_WERROR=ON \
        -DCARROVEX_GUI=$gui -DCARROVEX_TESTS=OFF -DCARROVEX_BENCH=OFF -DCMAKE_CXX_FLAGS="$compile_flags" \
        -DCMAKE_EXE_LINKER_FLAGS="$link_flags" >/dev/null
    cmake --build "$packages/$name" -j"$(nproc)"
    rm -f "$packages/$name"/*.deb
    (cd "$packages/$name" && cpack -G DEB >/dev/null)
done
window_deb=$(realpath "$packages"/carrovex/carrovex_*.deb)
console_deb=$(realpath "$packages"/carrovex-console/carrovex-console_*.deb)

fail()
{
    echo "package test: $*" >&2
    exit 1
}

for deb in "$window_deb" "$console_deb"; do
    echo "$(basename "$deb"): $(stat -c %s "$deb") bytes, $(dpkg-deb -f "$deb" Installed-Size) KiB installed"
    echo "  Depends: $(dpkg-deb -f "$deb" Depends)"
done
! grep -qi qt <<<"$(dpkg-deb -f "$console_deb" Depends)" || fail "carrovex-console depends on Qt"
lintian --fail-on error,warning "$window_deb" "$console_deb" \
    || fail "lintian found errors or warnings"
echo "lintian: no errors, no warnings"

work=$(mktemp -d)
installed_here=false
cleanup()
{
    # A failed run must not leave its packages behind, where the next run would take them for the user's.
    if $installed_here; then
        DEBIAN_FRONTEND=noninteractive apt-get -y -q -o DPkg::Lock::Timeout=300 purge carrovex carrovex-console \
            >/dev/null 2>&1 || true
    fi
    chmod -R u+w "$work"
    rm -rf "$work"
}
trap cleanup EXIT
chmod 755 "$work" # the unprivileged user below must reach its folders

dpkg-deb -x "$window_deb" "$work/stage"
desktop-file-validate "$work"/stage/usr/share/applications/*.desktop
echo "desktop entry: valid"
appstreamcli validate --no-net --explain "$work"/stage/usr/share/metainfo/*.metainfo.xml
for page in "$work"/stage/usr/share/man/man1/*.gz; do
    warnings=$(zcat "$page" | LC_ALL=C.UTF-8 groff -man -ww -z -Tutf8 2>&1)
    [ -z "$warnings" ] || fail "the manual page $(basename "$page"): $warnings"
    echo "manual page $(basename "$page"): no warnings"
done

installed()
{
    dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'
}
if [ "$(id -u)" -ne 0 ]; then
    echo "package test: not root, so the packages are not installed on this machine (CI installs them)"
    exit 0
fi
if installed carrovex || installed carrovex-console; then
    echo "package test: a carrovex package is installed on this machine already; it is left alone and the" \
        "install test skipped"
    exit 0
fi

apt_get()
{
    DEBIAN_FRONTEND=noninteractive apt-get -y -q -o DPkg::Lock::Timeout=300 "$@" >"$work/apt.log" 2>&1 \
        || fail "apt-get $*: $(cat "$work/apt.log")"
}

# The installed console program as the given user (root or nobody) with its own home: prints what it prints.
console_as()
{
    local user=$1 home=$2
    shift 2
    local program=(env -i PATH=/usr/bin:/bin LC_ALL=C HOME="$home" XDG_CONFIG_HOME="$home/config" "$@")
    if [ "$user" = nobody ]; then
        setpriv --reuid=65534 --regid=65534 --clear-groups "${program[@]}"
    else
        "${program[@]}"
    fi
}

# A home with settings that copy one file from its inbox into its archive, owned by the user.
make_home()
{
    local user=$1 home=$2 settings=$3
    mkdir -p "$settings" "$home/inbox" "$home/archive"
    printf '[Options]\nFrom=%s\nTo=%s\nAction=Copy\nLanguage=English\n' "$home/inbox" "$home/archive" \
        >"$settings/Carrovex.ini"
    printf 'one\n' >"$home/inbox/report one.txt"
    [ "$user" = root ] || chown -R 65534:65534 "$home"
}

# One run of the installed console program: the file arrives and the settings came from where expected.
check_once()
{
    local user=$1 home=$2 settings=$3 program=$4
    make_home "$user" "$home" "$settings"
    local version
    version=$(console_as "$user" "$home" "$program" --version)
    grep -qF "$settings/Carrovex.ini" <<<"$version" || fail "$program as $user does not use $settings: $version"
    local output
    output=$(console_as "$user" "$home" "$program" --once) || fail "$program --once as $user: status $?"
    grep -q ' - Copied: report one.txt$' <<<"$output" || fail "$program --once as $user printed: $output"
    cmp -s "$home/inbox/report one.txt" "$home/archive/report one.txt" || fail "the copy differs"
    echo "  $program as $user: settings in $settings, one file copied"
}

echo "Installing carrovex-console:"
installed_here=true
apt_get install "$console_deb"
installed carrovex-console || fail "carrovex-console is not installed"
[ ! -e /usr/bin/carrovex ] || fail "carrovex-console brought the window program"
! grep -qi qt <<<"$(ldd /usr/bin/carrovex-console)" || fail "carrovex-console links Qt"
check_once root "$work/console-root" "$work/console-root/config/carrovex" /usr/bin/carrovex-console

echo "Installing carrovex in its place:"
apt_get install "$window_deb"
installed carrovex || fail "carrovex is not installed"
! installed carrovex-console || fail "carrovex did not replace carrovex-console"
dpkg -L carrovex >"$work/files"
while read -r path; do
    [ -e "$path" ] || fail "$path is listed but not installed"
done <"$work/files"

if ! command -v systemd-analyze >/dev/null; then
    echo "  service unit: not verified, this machine has no systemd-analyze"
else
    printf '[Service]\nExecStart=/bin/true\n' >"$work/carrovex-probe.service"
    if ! systemd-analyze verify "$work/carrovex-probe.service" >/dev/null 2>&1; then
        echo "  service unit: not verified, systemd-analyze cannot load units here (no systemd as PID 1?)"
    else
        complaints=$(systemd-analyze verify carrovex-console@archive.service 2>&1) \
            || fail "systemd-analyze verify: $complaints"
        [ -z "$complaints" ] || fail "systemd-analyze verify: $complaints"
        echo "  service unit: verified; $(systemd-analyze security --offline=yes carrovex-console@archive.service \
            2>/dev/null | tail -n 1)"
    fi
fi

# The program folder /usr/bin holds no languages: the settings go to the per-user folder, also for root.
check_once root "$work/root" "$work/root/config/carrovex" /usr/bin/carrovex-console
[ ! -e /usr/bin/Carrovex.ini ] || fail "the settings were written beside the installed program"
check_once nobody "$work/nobody" "$work/nobody/config/carrovex" /usr/bin/carrovex-console

# The user's own language file of a name wins over the installed one.
mkdir "$work/root/config/carrovex/lang"
sed 's/^t25=.*/t25=Copied (own words)/' /usr/share/carrovex/lang/English.dat \
    >"$work/root/config/carrovex/lang/English.dat"
printf 'two\n' >"$work/root/inbox/report two.txt"
output=$(console_as root "$work/root" carrovex-console --once)
grep -q ' - Copied (own words): report two.txt$' <<<"$output" || fail "the user's own language was not used: $output"

# A portable layout: its settings beside the program while the folder is writable, else per user.
mkdir "$work/portable"
cp /usr/bin/carrovex-console "$work/portable/"
cp -r /usr/share/carrovex/lang "$work/portable/"
check_once root "$work/portable-root" "$work/portable" "$work/portable/carrovex-console"
chmod -R a-w "$work/portable"
check_once nobody "$work/portable-nobody" "$work/portable-nobody/config/carrovex" "$work/portable/carrovex-console"

# The window program starts with what the package brought, and makes the per-user settings folder.
mkdir "$work/window"
status=0
env HOME="$work/window" XDG_CONFIG_HOME="$work/window/config" QT_QPA_PLATFORM=offscreen \
    timeout 5 carrovex >"$work/window.log" 2>&1 || status=$?
[ "$status" -eq 124 ] || fail "carrovex ended with status $status before it was stopped: $(cat "$work/window.log")"
[ "$(stat -c %a "$work/window/config/carrovex")" = 700 ] || fail "carrovex made no private settings folder"
echo "  carrovex: started, settings folder $work/window/config/carrovex made"

echo "Removing carrovex:"
apt_get purge carrovex carrovex-console
installed_here=false
! installed carrovex || fail "carrovex is still installed"
[ -z "$(dpkg-query -W -f='${Status}' carrovex carrovex-console 2>/dev/null)" ] || fail "dpkg still knows carrovex"
while read -r path; do
    [ -d "$path" ] || [ ! -e "$path" ] || fail "$path is left after the removal"
done <"$work/files"
[ ! -e /usr/share/carrovex ] || fail "/usr/share/carrovex is left after the removal"
echo "  nothing left"
