#!/usr/bin/env bash
# Runs the README's test command on another Debian release without another
# machine: in a fresh root of that release, made with debootstrap from the
# Debian mirror this machine already uses, as a new user would run it there.
#   scripts/test-release.sh [CODENAME [ARGS...]]
# CODENAME defaults to trixie (Debian 13); ARGS go to scripts/test.sh
# (i686 or x86_64 for one flavour). QV_I386=qemu is passed on. Needs root (or
# sudo); exits with the test command's exit code.
#
# The root holds nothing but the minimal system (debootstrap's minbase) and
# what the project's scripts install in it. The minimal system is made once
# and kept as an archive under QV_RELEASE_CACHE (/var/cache/qvoptinf-release),
# with the packages that apt downloads inside the root, so later runs skip
# the downloads but still install everything. Each run unpacks a new root under
# QV_RELEASE_ROOTS (/var/tmp/qvoptinf-release) and copies the working tree
# into it (the files git tracks or would track: uncommitted work is tried
# too, build/ is not copied). The root stays there after the run, for a look
# inside; the next run of the same release replaces it.
set -euo pipefail
source "$(dirname "$0")/lib.sh"

codename=${1:-trixie}
[ $# -gt 0 ] && shift
case $codename in
  *[!a-z]* | "") echo "usage: scripts/test-release.sh [CODENAME [i686|x86_64]]" >&2; exit 2 ;;
esac
cache=${QV_RELEASE_CACHE:-/var/cache/qvoptinf-release}
root=${QV_RELEASE_ROOTS:-/var/tmp/qvoptinf-release}/$codename
base="$cache/$codename-minbase.tar"
archives="$cache/$codename-apt-archives"
started=$(date +%s)

command -v debootstrap >/dev/null || qv_apt_install debootstrap
[ -f "/usr/share/debootstrap/scripts/$codename" ] ||
  { qv_log "this machine's debootstrap does not know \"$codename\""; exit 1; }

# The mounts of a root, innermost last; undone in the reverse order.
mounts=(proc sys dev dev/pts dev/shm tmp var/cache/apt/archives)
unmount_root() {
  local i
  for ((i = ${#mounts[@]} - 1; i >= 0; i--)); do
    mountpoint -q "$root/${mounts[i]}" 2>/dev/null && qv_sudo umount -l "$root/${mounts[i]}"
  done
  return 0
}

if [ ! -f "$base" ]; then
  mirror=$(qv_debian_mirror)
  [ -n "$mirror" ] || { qv_log "no enabled Debian source for this release in /etc/apt to take $codename from"; exit 1; }
  qv_log "making a minimal $codename root from $mirror (once; kept as $base)"
  work="$cache/$codename-minbase.new" log="$QV_BUILD/debootstrap-$codename.log"
  qv_sudo rm -rf "$work"
  qv_sudo mkdir -p "$work"
  mkdir -p "$QV_BUILD"
  include=
  case $mirror in https:*) include=--include=ca-certificates ;; esac
  qv_sudo debootstrap --variant=minbase $include "$codename" "$work" "$mirror" >"$log" 2>&1 ||
    { qv_log_failure "$log" $? "debootstrap $codename"; exit 1; }
  qv_sudo rm -f "$work"/var/cache/apt/archives/*.deb
  qv_sudo tar -C "$work" -cf "$base.new" .
  qv_sudo mv "$base.new" "$base"
  qv_sudo rm -rf "$work"
fi

# A fresh root, even when an earlier run was cut short with its mounts in place.
unmount_root
qv_sudo rm -rf --one-file-system "$root"
qv_sudo mkdir -p "$root" "$archives"
qv_sudo tar -C "$root" -xf "$base"
trap unmount_root EXIT
qv_sudo cp /etc/resolv.conf "$root/etc/resolv.conf"
qv_sudo mount -t proc proc "$root/proc"
qv_sudo mount -t sysfs sys "$root/sys"
qv_sudo mount --bind /dev "$root/dev"
qv_sudo mount --bind /dev/pts "$root/dev/pts"
qv_sudo mount -t tmpfs shm "$root/dev/shm"
# The root shares this machine's network namespace, and with it the X
# servers' abstract sockets: with one /tmp, xvfb-run inside and outside sees
# the other's displays (their lock files) and picks a free one.
qv_sudo mount --bind /tmp "$root/tmp"
qv_sudo mount --bind "$archives" "$root/var/cache/apt/archives"

src=/root/qvoptinf
qv_sudo mkdir -p "$root$src"
git -C "$QV_ROOT" ls-files -z --cached --others --exclude-standard |
  (cd "$QV_ROOT" && tar --null -T - --ignore-failed-read -cf - 2>/dev/null) |
  qv_sudo tar -C "$root$src" -xf -
state=$(git -C "$QV_ROOT" rev-parse --short HEAD)
[ -z "$(git -C "$QV_ROOT" status --porcelain)" ] || state="$state with uncommitted changes"

qv_log "running scripts/test.sh${*:+ $*} in a fresh $codename root ($root), commit $state"
rc=0
qv_sudo chroot "$root" /usr/bin/env -i HOME=/root TERM="${TERM:-dumb}" LANG=C.UTF-8 \
  PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin ${QV_I386:+QV_I386=$QV_I386} \
  bash -c 'cd "$0" && . /etc/os-release && echo "== $PRETTY_NAME" >&2 && scripts/test.sh "$@"' "$src" "$@" || rc=$?
qv_log "$codename: scripts/test.sh${*:+ $*} exited with $rc after $(( ($(date +%s) - started) / 60 )) min $(( ($(date +%s) - started) % 60 )) s"
exit $rc
