#!/usr/bin/env bash
# Cuts the power of the destination disk at several moments of a Copy run and of a Move run onto another
# file system, and checks that no file is lost: every file exists whole at least once (in the source, or on
# the disk as it was at the cut), a destination file is whole or absent, and every file that the program had
# reported as copied or moved is on the disk.
#
# The destination is an ext4 image inside an xfs image with reflink. At each moment the program is stopped
# (SIGSTOP; the preloaded fault library stops it just before the nth call of a chosen system call, so the
# moments fall between the steps that matter), the ext4 image is cloned with cp --reflink=always, which holds
# exactly what the disk had been sent, not what still waited in the page cache, and the program is killed.
# The clone is repaired and mounted like a disk after a power cut. Plain mv is put through the same once, to
# show that the method sees loss: it must lose files.
#
#   crash_consistency.sh CONSOLE_PROGRAM FAULT_LIBRARY   (needs root, loop devices, xfs, ext4; exits 77 to skip)
set -uo pipefail

console=${1:?the carrovex-console program}
shim=${2:?the fault library}
skip() {
    echo "SKIPPED: $*"
    exit 77
}
[ "$(id -u)" -eq 0 ] || skip "cutting a disk's power needs root (loop devices and mounts)"
for tool in mkfs.xfs mkfs.ext4 e2fsck losetup sha256sum; do
    command -v "$tool" >/dev/null || skip "needs $tool (scripts/install-test-deps.sh)"
done
grep -qw xfs /proc/filesystems || modprobe xfs 2>/dev/null || skip "the kernel has no xfs"

work=$(mktemp -d /var/tmp/carrovex-crash.XXXXXX)
host=$work/host       # the xfs that can clone the disk image
disk=$work/disk       # the destination file system, ext4 in an image on the host
clone=$work/clone     # the disk as it was at the cut
cleanup() {
    umount "$clone" "$disk" 2>/dev/null
    umount "$host" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
mkdir -p "$host" "$disk" "$clone" "$work/master" "$work/source" "$work/settings"

truncate -s 2G "$work/host.img"
mkfs.xfs -q -m reflink=1 "$work/host.img" && mount -o loop "$work/host.img" "$host" || skip "cannot mount an xfs image"
truncate -s 512M "$host/disk.img"
mkfs.ext4 -q -F "$host/disk.img" && mount -o loop "$host/disk.img" "$disk" || skip "cannot mount an ext4 image"

# 1,000 files of 1 to 64 KiB and two of 8 MiB, with blanks in their names.
for i in $(seq -w 1 1000); do
    head -c $(((10#$i * 7919) % 65536 + 1024)) /dev/urandom >"$work/master/file $i"
done
head -c 8M /dev/urandom >"$work/master/large 1"
head -c 8M /dev/urandom >"$work/master/large 2"
(cd "$work/master" && sha256sum -- *) >"$work/manifest"
total=$(wc -l <"$work/manifest")

failures=0
problem() {
    echo "  LOSS: $*"
    failures=$((failures + 1))
}

# Starts from the master files in the source and an empty disk, all of it on the devices.
reset() {
    umount "$disk" && mount -o loop "$host/disk.img" "$disk" || exit 1
    find "$disk" -mindepth 1 -maxdepth 1 ! -name lost+found -exec rm -rf {} +
    rm -rf "$work/source" && cp -a "$work/master" "$work/source"
    sync
}

# The disk as it was when the program stopped: cloned, repaired as after a power cut, mounted.
cut_power() {
    cp --reflink=always "$host/disk.img" "$host/clone.img" || exit 1
}
mount_clone() {
    e2fsck -fy "$host/clone.img" >/dev/null 2>&1
    [ $? -lt 4 ] || problem "the clone could not be repaired"
    mount -o loop,ro "$host/clone.img" "$clone" || exit 1
}
unmount_clone() {
    umount "$clone"
    rm -f "$host/clone.img"
}

sums() {
    (cd "$1" && find . -maxdepth 1 -type f ! -name '.carrovex-*' -printf '%P\0' | xargs -0 -r sha256sum --)
}

# reported: the names the program had reported as done before the cut.
check() {
    local label=$1 reported=$2
    sums "$work/source" >"$work/source.sums"
    sums "$clone" >"$work/disk.sums"
    awk -v label="$label" -v total="$total" '
        function name(line) { return substr(line, 67) }
        function sum(line) { return substr(line, 1, 64) }
        FILENAME == ARGV[1] { want[name($0)] = sum($0); next }
        FILENAME == ARGV[2] { source[name($0)] = sum($0); next }
        FILENAME == ARGV[3] { disk[name($0)] = sum($0); next }
        FILENAME == ARGV[4] { reported[$0] = 1; count++; next }
        END {
            for (file in want) {
                inSource = (file in source) && source[file] == want[file]
                onDisk = (file in disk) && disk[file] == want[file]
                if ((file in disk) && !onDisk) print "  LOSS: " label ": \"" file "\" is on the disk but not whole"
                if (!inSource && !onDisk) print "  LOSS: " label ": \"" file "\" is nowhere whole"
                if (!onDisk && (file in reported)) print "  LOSS: " label ": \"" file "\" was reported but is not on the disk"
                sources += inSource
                disks += onDisk
            }
            for (file in disk) if (!(file in want)) print "  LOSS: " label ": \"" file "\" on the disk is no file of ours"
            printf "  %s: %d of %d whole in the source, %d on the disk, %d reported\n", label, sources, total, disks, count
        }' "$work/manifest" "$work/source.sums" "$work/disk.sums" "$reported" >"$work/check"
    grep -v LOSS "$work/check"
    grep LOSS "$work/check" | head -n 5
    failures=$((failures + $(grep -c LOSS "$work/check")))
}

settings() {
    printf '[Options]\nFrom=%s\nTo=%s\nAction=%s\nInterval=5\nOverwrite=0\nLanguage=English\n' \
        "$work/source" "$disk" "$1" >"$work/settings/Carrovex.ini"
}

# One moment: the run is stopped just before the given call (or, with "end", once it has ended), and the
# power is cut.
moment() {
    local action=$1 stop=$2 label="$1, $2"
    reset
    settings "$action"
    if [ "$stop" = end ]; then
        "$console" --once --dir "$work/settings" >"$work/log" 2>&1
    else
        CARROVEX_STOP_AT=$stop LD_PRELOAD=$shim "$console" --once --dir "$work/settings" >"$work/log" 2>&1 &
        local program=$! state=""
        while kill -0 $program 2>/dev/null; do
            state=$(awk '{ print $3 }' "/proc/$program/stat" 2>/dev/null)
            [ "$state" = T ] && break
            sleep 0.01
        done
        [ "$state" = T ] || problem "$label: the run never came to this moment"
    fi
    cut_power
    [ "$stop" = end ] || { kill -KILL $program; wait $program 2>/dev/null; }
    sed -n 's/^.* - \(Copied\|Moved\): //p' "$work/log" >"$work/reported"
    mount_clone
    check "$label" "$work/reported"
    unmount_clone
}

echo "Carrovex, $total files, destination ext4 on a loop device:"
# Before the batch is flushed, before the first copy is placed, halfway through placing, before the
# placements are made durable, halfway through removing the sources, and after the run.
for stop in syncfs:1 linkat:1 linkat:500 fsync:1 end; do
    moment Copy $stop
done
for stop in syncfs:1 linkat:500 fsync:1 unlink:1 unlink:500 end; do
    moment Move $stop
done
carrovex_failures=$failures

# The method itself: plain mv, cut right after it returned, must be seen to lose files.
failures=0
reset
(cd "$work/source" && mv -- * "$disk"/)
cut_power
: >"$work/reported"
mount_clone
echo "plain mv, for comparison (it must lose files):"
check "mv" "$work/reported"
unmount_clone
mv_failures=$failures

if [ "$carrovex_failures" -ne 0 ]; then
    echo "FAILED: $carrovex_failures files were lost or damaged"
    exit 1
fi
if [ "$mv_failures" -eq 0 ]; then
    echo "FAILED: plain mv lost nothing, so the method did not cut the power where it matters"
    exit 1
fi
echo "PASSED: nothing lost at 11 moments; plain mv lost $mv_failures files under the same cut"
