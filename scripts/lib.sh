# Shared helpers of the project's scripts: sourced, not run.
# Everything here is idempotent and quick when the machine is already set up.

QV_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
QV_BUILD=${QV_BUILD:-$QV_ROOT/build}

qv_log() { printf '== %s\n' "$*" >&2; }

qv_sudo() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

# True when the kernel runs 32-bit x86 Linux programs, natively or through a
# registered binfmt handler. 32-bit Wine needs that.
qv_can_run_i386() {
  [ -x /lib/ld-linux.so.2 ] && /lib/ld-linux.so.2 --version >/dev/null 2>&1
}

qv_apt_install() {
  qv_log "installing: $*"
  DEBIAN_FRONTEND=noninteractive qv_sudo apt-get install -y -qq --no-install-recommends "$@" >/dev/null
}

# Installs the cross compilers, Wine, Xvfb, GoogleTest and the locale that the
# double-byte tests need. Only what is missing is installed.
qv_install_deps() {
  local need=()
  command -v i686-w64-mingw32-g++-posix >/dev/null || need+=(g++-mingw-w64-i686)
  command -v x86_64-w64-mingw32-g++-posix >/dev/null || need+=(g++-mingw-w64-x86-64)
  [ -x /usr/lib/wine/wine ] || need+=(wine32:i386)
  [ -x /usr/lib/wine/wine64 ] || need+=(wine64)
  command -v wine >/dev/null || need+=(wine)
  command -v xvfb-run >/dev/null || need+=(xvfb xauth)
  [ -d /usr/src/googletest ] || need+=(googletest)
  command -v cmake >/dev/null || need+=(cmake)
  command -v make >/dev/null || need+=(make)
  command -v python3 >/dev/null || need+=(python3)
  [ -f /usr/share/i18n/SUPPORTED ] || need+=(locales)
  command -v import >/dev/null || need+=(imagemagick)
  # Release archives: the import library for Microsoft's linker, the zip
  # files, and signing (tested with a throwaway certificate).
  # llvm-dlltool comes with the release's default LLVM (package llvm; the
  # versioned LLVM packages name it llvm-dlltool-N only).
  [ -n "$(qv_llvm_dlltool)" ] || need+=(llvm)
  command -v osslsigncode >/dev/null || need+=(osslsigncode)
  command -v openssl >/dev/null || need+=(openssl)
  if [ ${#need[@]} -gt 0 ]; then
    if ! dpkg --print-foreign-architectures | grep -qx i386; then
      qv_sudo dpkg --add-architecture i386
    fi
    qv_sudo apt-get update -qq
    qv_apt_install "${need[@]}"
  fi
  qv_enable_i386
  qv_ensure_locale ja_JP.UTF-8 ja_JP UTF-8
}

# Some kernels are booted with 32-bit emulation switched off ("ia32_emulation"),
# which leaves 32-bit Wine unable to start. On such a machine 32-bit programs are
# handed to qemu's user-mode emulator through binfmt_misc (see
# qv_install_qemu_i386 for which qemu).
qv_enable_i386() {
  if [ "${QV_I386:-}" != qemu ]; then
    qv_can_run_i386 && return 0
    qv_log "this kernel does not run 32-bit programs; registering qemu-i386 for them"
  else
    qv_log "QV_I386=qemu: registering qemu-i386 for 32-bit programs (echo -1 >/proc/sys/fs/binfmt_misc/qemu-i386 undoes it)"
  fi
  qv_install_qemu_i386 || return 1
  [ -e /proc/sys/fs/binfmt_misc/register ] ||
    qv_sudo mount -t binfmt_misc binfmt_misc /proc/sys/fs/binfmt_misc
  # A handler registered before an upgrade of qemu keeps the old binary open: renew it.
  [ -e /proc/sys/fs/binfmt_misc/qemu-i386 ] && echo -1 | qv_sudo tee /proc/sys/fs/binfmt_misc/qemu-i386 >/dev/null
  printf '%s' ':qemu-i386:M::\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00:\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff:/usr/bin/qemu-i386-static:FP' |
    qv_sudo tee /proc/sys/fs/binfmt_misc/register >/dev/null
  qv_can_run_i386 || { qv_log "32-bit programs still cannot run"; return 1; }
}

# The oldest qemu fast enough for Wine: from 8.1 on a Wine process starts in
# about 0.3 s; qemu 7 (Debian 12's own) needs almost a minute.
QV_QEMU_MIN=1:8.1

# Installs a qemu-i386-static fast enough for Wine, unless one is there: the
# newest that the machine's apt sources offer (Debian 13's own is 10.x); when
# that is too old, the backports of the machine's own release (Debian 12:
# bookworm-backports, qemu 10), added from the mirror the machine already uses.
qv_install_qemu_i386() {
  local qemu=/usr/bin/qemu-i386-static found
  [ -x $qemu ] && $qemu --version | grep -Eq 'version (8\.[1-9]|9|[1-9][0-9])\.' && return 0
  found=$(qv_apt_newest qemu-user-static)
  if [ -z "$found" ]; then
    qv_sudo apt-get update -qq
    found=$(qv_apt_newest qemu-user-static)
  fi
  if [ -z "$found" ] || dpkg --compare-versions "${found%% *}" lt $QV_QEMU_MIN; then
    local codename mirror
    codename=$(qv_codename)
    mirror=$(qv_debian_mirror "$codename")
    if [ -z "$codename" ] || [ -z "$mirror" ]; then
      qv_log "qemu-user-static ${found%% *} is older than ${QV_QEMU_MIN#1:}, and no enabled Debian source for this release (\"$codename\") in /etc/apt to add its backports from"
      return 1
    fi
    qv_log "qemu-user-static ${found%% *} is older than ${QV_QEMU_MIN#1:}: adding $codename-backports from $mirror"
    printf 'Types: deb\nURIs: %s\nSuites: %s-backports\nComponents: main\nSigned-By: /usr/share/keyrings/debian-archive-keyring.gpg\n' "$mirror" "$codename" |
      qv_sudo tee /etc/apt/sources.list.d/qv-backports.sources >/dev/null
    qv_sudo apt-get update -qq
    found=$(qv_apt_newest qemu-user-static)
    if [ -z "$found" ] || dpkg --compare-versions "${found%% *}" lt $QV_QEMU_MIN; then
      qv_log "no qemu-user-static of ${QV_QEMU_MIN#1:} or later in this machine's apt sources"
      return 1
    fi
  fi
  qv_log "installing qemu-user-static ${found%% *} from ${found#* }"
  DEBIAN_FRONTEND=noninteractive qv_sudo apt-get install -y -qq --no-install-recommends \
    -t "${found#* }" qemu-user-static >/dev/null
}

# The newest version of a package that the machine's apt sources offer and
# the suite that offers it ("1:10.0.2+ds-1 trixie"); nothing when none does.
qv_apt_newest() {
  apt-cache madison "$1" 2>/dev/null | awk -F'|' '
    { version = $2; gsub(/ /, "", version); split($3, where, " "); suite = where[2]
      sub(/\/.*/, "", suite); print version, suite }' |
    while read -r version suite; do
      if [ -z "${best:-}" ] || dpkg --compare-versions "$version" gt "$best"; then
        best=$version; printf '%s %s\n' "$version" "$suite"
      fi
    done | tail -n 1
}

# The codename of this machine's Debian release (bookworm, trixie, ...), from
# /etc/os-release; QV_OS_RELEASE stands for that file, to try other machines.
qv_codename() {
  (. "${QV_OS_RELEASE:-/etc/os-release}" 2>/dev/null && printf '%s\n' "${VERSION_CODENAME:-}")
}

# The mirror this machine already takes a Debian suite from (by default its
# own release, qv_codename): the first URI of an enabled "deb" source for that
# suite, in the deb822 files (/etc/apt/sources.list.d/*.sources) or else in
# the one-line lists (sources.list, *.list). Backports, and the roots of other
# releases (scripts/test-release.sh), come from the same mirror, so machines
# behind a mirror of their own keep using it. Prints nothing when there is none.
# QV_APT_DIR stands for /etc/apt, to try it on other configurations.
qv_debian_mirror() {
  local dir=${QV_APT_DIR:-/etc/apt} suite=${1:-$(qv_codename)} f uri
  [ -n "$suite" ] || return 0
  for f in "$dir"/sources.list.d/*.sources; do
    [ -f "$f" ] || continue
    uri=$(awk -v want="$suite" '
      function stanza_end() {
        if (deb && suite && enabled && uri != "") { print uri; done = 1; exit }
        deb = 0; suite = 0; enabled = 1; uri = ""
      }
      BEGIN { enabled = 1 }
      /^[ \t]*$/ { stanza_end(); next }
      /^[ \t]*#/ { next }
      tolower($1) == "types:"   { for (i = 2; i <= NF; i++) if ($i == "deb") deb = 1 }
      tolower($1) == "uris:"    { uri = $2 }
      tolower($1) == "suites:"  { for (i = 2; i <= NF; i++) if ($i == want) suite = 1 }
      tolower($1) == "enabled:" { enabled = tolower($2) != "no" }
      END { if (!done) stanza_end() }' "$f")
    [ -n "$uri" ] && { printf '%s\n' "$uri"; return 0; }
  done
  for f in "$dir"/sources.list "$dir"/sources.list.d/*.list; do
    [ -f "$f" ] || continue
    # deb [options] URI suite components...
    uri=$(awk -v want="$suite" '$1 == "deb" {
        i = 2
        if ($i ~ /^\[/) { while (i <= NF && $i !~ /\]$/) i++; i++ }
        if ($(i + 1) == want) { print $i; exit }
      }' "$f")
    [ -n "$uri" ] && { printf '%s\n' "$uri"; return 0; }
  done
  return 0
}

# The llvm-dlltool to use: the one on PATH, else the newest versioned one.
qv_llvm_dlltool() {
  command -v llvm-dlltool && return 0
  local tool best=
  for tool in /usr/bin/llvm-dlltool-[0-9]*; do
    [ -x "$tool" ] || continue
    [ -z "$best" ] || [ "${tool##*-}" -gt "${best##*-}" ] && best=$tool
  done
  [ -n "$best" ] && printf '%s\n' "$best"
  return 0
}

# The CMake option that names it, when there is one.
qv_llvm_dlltool_option() {
  local tool
  tool=$(qv_llvm_dlltool)
  [ -z "$tool" ] || printf -- '-DQV_LLVM_DLLTOOL=%s\n' "$tool"
}

qv_ensure_locale() {
  local name=$1 lang=$2 charset=$3
  locale -a 2>/dev/null | grep -qi "^${lang}\.utf-\?8$" && return 0
  qv_log "generating locale $name"
  qv_sudo localedef -i "$lang" -f "$charset" "$name"
}

# Configures and builds one flavour: i686 (the shipped module) or x86_64.
qv_build() {
  local arch=${1:-i686} dir="$QV_BUILD/${1:-i686}"
  if [ ! -f "$dir/CMakeCache.txt" ]; then
    cmake -S "$QV_ROOT" -B "$dir" -DCMAKE_BUILD_TYPE=Release \
      -DCMAKE_TOOLCHAIN_FILE="$QV_ROOT/cmake/toolchain-$arch-mingw.cmake" $(qv_llvm_dlltool_option) >/dev/null
  fi
  cmake --build "$dir" -j"$(nproc)" >/dev/null || cmake --build "$dir"
}

# Wine settings for one build tree: its own prefix, no debug chatter, no
# Mono/Gecko install prompts.
qv_wine_env() {
  local arch=${1:-i686}
  export WINEPREFIX="$QV_BUILD/$arch/wineprefix"
  export WINEDEBUG=-all
  export WINEDLLOVERRIDES="mscoree,mshtml="
  if [ "$arch" = x86_64 ]; then export WINEARCH=win64 QV_WINE=/usr/lib/wine/wine64
  else export WINEARCH=win32 QV_WINE=wine; fi
  export QV_WINE_LOG="$QV_BUILD/$arch/wine.log"
  # Without an absolute XDG_RUNTIME_DIR (CI and sudo leave it unset), every
  # process of Wine 10 starts by printing "error: XDG_RUNTIME_DIR is invalid
  # or not set in the environment." on its standard error, which tests
  # compare. A private folder of the build stands in for the session's.
  case ${XDG_RUNTIME_DIR:-} in
    /*) ;;
    *) export XDG_RUNTIME_DIR="$QV_BUILD/xdg-runtime"
       mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR" ;;
  esac
}

# Runs one command of Wine's set-up (or Xvfb's), detached from the caller's
# pipes, with what it prints appended to the log $QV_WINE_LOG under the build
# folder. When it fails it says so: the command, its exit code and the last
# lines of the log. Returns the command's exit code.
qv_logged() {
  local log=${QV_WINE_LOG:-$QV_BUILD/wine.log} rc=0
  mkdir -p "$(dirname "$log")"
  printf '\n$ %s\n' "$*" >>"$log"
  "$@" </dev/null >>"$log" 2>&1 || rc=$?
  [ $rc -eq 0 ] || qv_log_failure "$log" "$rc" "$*"
  return $rc
}

# Tells of a failed command: what it was, its exit code, the log's last lines.
qv_log_failure() {
  local log=$1 rc=$2 what=$3
  qv_log "failed with exit code $rc: $what"
  qv_log "last lines of $log:"
  tail -n 15 "$log" | sed 's/^/   | /' >&2
}

# Starts a persistent wineserver for $WINEPREFIX, detached from every pipe
# (Wine's helper processes must not inherit ctest's), and boots the prefix.
qv_wine_server() {
  mkdir -p "$(dirname "$QV_WINE_LOG")"
  (wineserver -p </dev/null >>"$QV_WINE_LOG" 2>&1 &)
  qv_logged $QV_WINE wineboot
}

# Runs the calling script again under a private X display (Xvfb; windows need
# one), with QV_IN_X set, and exits with its exit code:
#   qv_rerun_in_x SCREEN "$0" "$@"      (SCREEN as 1280x1024x24)
# What Xvfb prints goes to build/xvfb.log. When Xvfb fails to start (xvfb-run
# -a then runs the command all the same, without a display), the script is
# not run: the exit code and the log's last lines are shown instead.
qv_rerun_in_x() {
  local screen=$1; shift
  local log="$QV_BUILD/xvfb.log" ran="$QV_BUILD/.xvfb-ran" rc=0
  mkdir -p "$QV_BUILD"
  : >"$log"; rm -f "$ran"
  QV_IN_X=1 xvfb-run -a -e "$log" -s "-screen 0 $screen" bash -c \
    '[ -S "/tmp/.X11-unix/X${DISPLAY#:}" ] || exit 1; touch "$0"; exec "$@"' "$ran" "$@" || rc=$?
  [ $rc -eq 0 ] || [ -f "$ran" ] || qv_log_failure "$log" "$rc" "xvfb-run (Xvfb did not start)"
  exit $rc
}

# Creates the prefix once (first use of a fresh prefix must not race), then
# keeps one wineserver running so that each test process starts in a fraction
# of a second and no Wine helper process inherits ctest's pipes.
qv_wine_start() {
  local arch=${1:-i686}
  qv_wine_env "$arch"
  mkdir -p "$(dirname "$QV_WINE_LOG")" && : >"$QV_WINE_LOG"
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    qv_log "creating Wine prefix $WINEPREFIX (its output: $QV_WINE_LOG)"
    qv_logged $QV_WINE wineboot --init || return
    qv_logged wineserver -w || return
    qv_logged $QV_WINE reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f || return
  fi
  qv_wine_server || return
  # Windows not managed by a window manager: there is none under Xvfb, and
  # Wine waits up to 2 s for one at every window that is hidden (each dialog
  # and message box). Wine then draws the caption and frame itself.
  qv_logged $QV_WINE reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f || return
  qv_wine_app_versions || return
  qv_test_printer "$arch"
}

# The simulated printer: a printer named "QV Settings Sheet" in the prefix whose
# port is the pipe "|cat >> build/<arch>/spool/settings-sheet.prn", so the raw
# bytes of every job sent to it (the settings sheet, for one) are appended to
# that file. (A plain unix path as port works too, but each job overwrites the
# file, which would hide a job sent twice.)
QV_TEST_PRINTER="QV Settings Sheet"
qv_test_printer_file() { printf '%s/%s/spool/settings-sheet.prn' "$QV_BUILD" "${1:-i686}"; }

# Adds the printer when it is missing (tests/testprinter, built with the
# tests). With a 9x or Win32s version the spooler looks for its print
# processor under prtprocs\win40, which wineboot leaves empty in a 32-bit
# prefix. The processor copied there must have the bitness of the programs
# that print: a 64-bit prefix keeps its 64-bit one under x64 and a 32-bit one
# under w32x86.
qv_test_printer() {
  local arch=${1:-i686} tool="$QV_BUILD/${1:-i686}/bin/qvtestprinter.exe" file
  file=$(qv_test_printer_file "$arch")
  [ -f "$tool" ] || { qv_log "no $tool yet: build first for the test printer"; return 0; }
  mkdir -p "$(dirname "$file")"
  local prtprocs="$WINEPREFIX/drive_c/windows/system32/spool/prtprocs" native=w32x86
  [ "$arch" = x86_64 ] && native=x64
  if [ -f "$prtprocs/$native/winprint.dll" ] &&
     ! cmp -s "$prtprocs/$native/winprint.dll" "$prtprocs/win40/winprint.dll"; then
    mkdir -p "$prtprocs/win40" && cp "$prtprocs/$native/winprint.dll" "$prtprocs/win40/"
  fi
  qv_logged $QV_WINE "$tool" "$QV_TEST_PRINTER" "|cat >> $file" ||
    qv_log "could not add the test printer \"$QV_TEST_PRINTER\""
  # The same job test once more as a Windows 98 program.
  qv_logged $QV_WINE reg add 'HKCU\Software\Wine\AppDefaults\e2e_settings_sheet_win98.exe' /v Version /d win98 /f
}

qv_wine_stop() {
  qv_wine_env "${1:-i686}"
  local prefix
  # A server that is not running makes wineserver -k fail; under set -e that
  # must not end the caller (scripts/test.sh would stop before the next flavour).
  for prefix in "$WINEPREFIX"-kind*; do
    [ -d "$prefix" ] || continue
    WINEPREFIX=$prefix wineserver -k >/dev/null 2>&1 || true
  done
  wineserver -k >/dev/null 2>&1 || true
}

# Windows versions that Wine reports per executable (AppDefaults), for the
# end-to-end tests of the platform kinds: one test program per kind. Kind 6
# is Wine's default version. Written once; later calls only check.
qv_wine_app_versions() {
  [ -f "$WINEPREFIX/.qv-app-versions" ] && return 0
  local exe version
  for exe in e2e_kind0.exe:win31 e2e_kind1.exe:win95 e2e_kind5.exe:nt351; do
    version=${exe#*:}; exe=${exe%%:*}
    qv_logged $QV_WINE reg add "HKCU\\Software\\Wine\\AppDefaults\\$exe" /v Version /d "$version" /f || return
  done
  touch "$WINEPREFIX/.qv-app-versions"
}

# Prefix of its own for a platform kind that Wine produces only machine-wide
# (2: Windows family 5.0; 3: NT 3.10; 4: NT 3.5). It shares drive_c with the
# main prefix (the programs under test live outside it) and has its own
# registry and its own wineserver. Prints the prefix's path. A prefix set up
# otherwise (by an earlier version of these steps) is made again.
qv_wine_kind_prefix() {
  local kind=$1 main="$QV_BUILD/${2:-i686}/wineprefix"
  local prefix="$main-kind$kind" how
  case $kind in
    2) how="9x VersionNumber 5.0.2000, NT values removed" ;;
    3) how="NT 3.10 in every NT version value" ;;
    4) how="NT 3.5 in every NT version value" ;;
    *) qv_log "no machine-wide version for platform kind $kind"; return 1 ;;
  esac
  if [ "$(cat "$prefix/.qv-version-set" 2>/dev/null)" != "$how" ]; then
    rm -rf "$prefix"
    mkdir -p "$prefix/dosdevices"
    cp "$main"/*.reg "$main/.update-timestamp" "$prefix/"
    ln -s ../wineprefix/drive_c "$prefix/drive_c"
    ln -s ../drive_c "$prefix/dosdevices/c:"
    ln -s / "$prefix/dosdevices/z:"
    local nt='HKLM\Software\Microsoft\Windows NT\CurrentVersion'
    local w9x='HKLM\Software\Microsoft\Windows\CurrentVersion'
    (
      export WINEPREFIX=$prefix
      case $kind in
        2)
          for v in CurrentVersion CurrentMajorVersionNumber CurrentMinorVersionNumber; do
            # (a value that is not there is no failure)
            $QV_WINE reg delete "$nt" /v $v /f </dev/null >>"$QV_WINE_LOG" 2>&1 || true
          done
          qv_logged $QV_WINE reg add "$w9x" /v VersionNumber /d 5.0.2000 /f ;;
        3) qv_wine_nt_version 3.10 ;;
        4) qv_wine_nt_version 3.5 ;;
      esac &&
      qv_logged wineserver -w   # the registry is on disk once the server has gone
    ) || return 1
    printf '%s\n' "$how" >"$prefix/.qv-version-set"
  fi
  printf '%s\n' "$prefix"
}

# Sets the NT version that Wine reports machine-wide (in $WINEPREFIX), as
# "MAJOR.MINOR", in every value that a Wine release reads for it: Wine 8 reads
# CurrentVersion; Wine 10 reads CurrentMajorVersionNumber and
# CurrentMinorVersionNumber first, and CurrentVersion only when they are not
# there (a fresh prefix has them, saying 10.0).
qv_wine_nt_version() {
  local nt='HKLM\Software\Microsoft\Windows NT\CurrentVersion' major=${1%%.*} minor=${1#*.}
  qv_logged $QV_WINE reg add "$nt" /v CurrentVersion /d "$1" /f &&
    qv_logged $QV_WINE reg add "$nt" /v CurrentMajorVersionNumber /t REG_DWORD /d "$major" /f &&
    qv_logged $QV_WINE reg add "$nt" /v CurrentMinorVersionNumber /t REG_DWORD /d "$((10#$minor))" /f
}
