# Shared by tools/test and tools/run (sourced, not run): installs what is missing,
# configures and builds, and runs Windows programs under Wine on a virtual display.
# Everything this starts is stopped by wine_env_stop, which the callers trap on EXIT.

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
# The caller's arguments, to start it again once the locale exists (ensure_packages).
script_args=("$@")
build=${SCANCFG_BUILD_DIR:-$root/build}
packages=(cmake make g++-mingw-w64-x86-64-posix mingw-w64-tools googletest wine wine64
          fonts-wine xvfb xauth fonts-noto-cjk imagemagick locales)
# What the 32-bit program adds: its compiler, and Wine's 32-bit half from Debian's i386
# architecture.
win32_packages=(g++-mingw-w64-i686-posix wine32:i386)

# arch_build_dir win64|win32: where that program and its tests are built. The 32-bit build
# lies inside the 64-bit one, so both share its Wine prefix.
arch_build_dir() { if [ "$1" = win32 ]; then echo "$build/win32"; else echo "$build"; fi; }
arch_toolchain() { if [ "$1" = win32 ]; then echo mingw-w64-i686.cmake; else echo mingw-w64-x86_64.cmake; fi; }

# Wine needs a home folder, even with a prefix of its own.
if [ -z "${HOME:-}" ]; then HOME=$(getent passwd "$(id -u)" | cut -d: -f6); export HOME; fi
export WINEPREFIX="$build/wineprefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="

as_root() { if [ "$(id -u)" = 0 ]; then "$@"; else sudo "$@"; fi; }

# apt-get's output cut down to a line per tenth of the packages fetched, unpacked and set up, so a
# first run shows where it is without a screen of package names.
apt_progress() {
  awk '
    function report(count, what) {
      if (count % step == 0 || count == total) { printf "== %s %d of %d packages\n", what, count, total; fflush() }
    }
    BEGIN { step = 1 }
    / newly installed/ { total = $1 + $3; step = int(total / 10); if (step < 1) step = 1 }
    /^Need to get/ { print "== " $0; fflush() }
    /^Get:/ { report(++fetched, "fetched") }
    /^Unpacking / { report(++unpacked, "unpacked") }
    /^Setting up / { report(++set_up, "set up") }
  '
}

# install_missing package...: installs those that are missing, as root or through sudo.
install_missing() {
  local missing=()
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  if [ ${#missing[@]} -gt 0 ]; then
    echo "== installing: ${missing[*]}"
    # A package of the i386 architecture is found only once dpkg knows that architecture.
    if [[ " ${missing[*]}" == *:i386* ]] && ! dpkg --print-foreign-architectures | grep -qx i386; then
      echo "== adding the i386 architecture"
      as_root dpkg --add-architecture i386
    fi
    echo "== updating the package lists"
    # In C.UTF-8, which always exists: under a missing locale each package script would warn.
    as_root env LC_ALL=C.UTF-8 apt-get update -qq
    as_root env LC_ALL=C.UTF-8 DEBIAN_FRONTEND=noninteractive apt-get install -y -o Dpkg::Use-Pty=0 "${missing[@]}" |
      apt_progress
  fi
}

zh_cn_works() { [ "$(LC_ALL=zh_CN.UTF-8 locale charmap 2>/dev/null)" = UTF-8 ]; }

# ensure_packages [win32]: what the tests need, and with win32 what the 32-bit ones need too,
# installed in one go (Wine's 32-bit half needs the same version as its 64-bit half).
ensure_packages() {
  local wanted=("${packages[@]}")
  if [[ " $* " == *" win32 "* ]]; then wanted+=("${win32_packages[@]}"); fi
  install_missing "${wanted[@]}"
  # Wine needs the locale to exist to use code page 936 and to create non-ASCII file names.
  if ! zh_cn_works; then
    echo "== generating locale zh_CN.UTF-8"
    # Listed in locale.gen too: whenever the locales package is set up again, its locale-gen
    # deletes every locale and builds only those listed.
    grep -qs '^zh_CN.UTF-8 UTF-8' /etc/locale.gen || echo 'zh_CN.UTF-8 UTF-8' | as_root tee -a /etc/locale.gen >/dev/null
    as_root env LC_ALL=C.UTF-8 localedef -i zh_CN -f UTF-8 zh_CN.UTF-8 || true
    # Exported while missing, it would make every shell started below print a warning.
    zh_cn_works || { echo "locale zh_CN.UTF-8 could not be generated" >&2; return 1; }
    # This bash looked for locales before the new one existed and never sees it: each change
    # of LC_ALL would warn. So the script starts again in a new bash, which does see it.
    exec env LC_ALL=zh_CN.UTF-8 LANG=zh_CN.UTF-8 "$BASH" "$0" "${script_args[@]}"
  fi
  # The tool's users run code page 936; Wine takes it from the locale.
  export LC_ALL=zh_CN.UTF-8 LANG=zh_CN.UTF-8
}

# configure_and_build [win64|win32]: the 64-bit program and its tests unless told otherwise.
configure_and_build() {
  local arch=${1:-win64}
  local dir
  dir=$(arch_build_dir "$arch")
  if [ ! -f "$dir/CMakeCache.txt" ]; then
    LC_ALL=C.UTF-8 cmake -S "$root" -B "$dir" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/$(arch_toolchain "$arch")" \
      -DCMAKE_BUILD_TYPE=Release -DSCANCFG_WERROR=ON >/dev/null
  fi
  local targets=()
  # SCANCFG_BUILD_TARGETS="test_support test_config" builds only those (all by default).
  for t in ${SCANCFG_BUILD_TARGETS:-}; do targets+=(--target "$t"); done
  LC_ALL=C.UTF-8 cmake --build "$dir" -j2 "${targets[@]}" -- --no-print-directory
}

xvfb_pid=""
started_wineserver=""
resident_sleep=""
resident_fifo=""

start_display() {
  local n
  for n in $(seq 90 189); do
    [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] && continue
    Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp </dev/null >/dev/null 2>&1 &
    xvfb_pid=$!
    for _ in $(seq 1 100); do
      [ -e "/tmp/.X11-unix/X$n" ] && { export DISPLAY=":$n"; return 0; }
      kill -0 "$xvfb_pid" 2>/dev/null || break
      sleep 0.1
    done
    # An Xvfb that ended at once (its number held by a display whose lock this /tmp does not
    # show) is skipped; under set -e the failing kill of it used to end the caller instead.
    kill "$xvfb_pid" 2>/dev/null || true
    xvfb_pid=""
  done
  echo "could not start a virtual display" >&2
  return 1
}

# Raised whenever the prefix set-up below changes: a prefix made by an older set-up is rebuilt.
prefix_version=2

# Wine's 32-bit loader, where Debian's `wine` looks for it; with it installed, a prefix made
# by the 64-bit half alone no longer starts (kernel32.dll cannot be loaded). Such a prefix
# lacks the 32-bit system DLLs: its syswow64 folder is missing, or empty where a start of
# Wine after the install had begun to update it.
prefix_lacks_win32() { [ -x /usr/lib/wine/wine ] && [ ! -e "$WINEPREFIX/drive_c/windows/syswow64/kernel32.dll" ]; }

start_wine() {
  local marker="$WINEPREFIX/.scancfg-ready"
  if [ "$(cat "$marker" 2>/dev/null)" != "$prefix_version" ] || prefix_lacks_win32; then
    if [ -e "$marker" ] && prefix_lacks_win32; then
      echo "== the Wine prefix was made before Wine's 32-bit half was installed: making it anew"
    fi
    echo "== creating the Wine prefix (first run only, about 10 s)"
    rm -rf "$WINEPREFIX"
    mkdir -p "$WINEPREFIX"
    wineboot --init </dev/null >/dev/null 2>&1
    wineserver -w
    # Window frames draw their caption buttons with the Marlett symbol font, as on Windows.
    # Debian's Wine looks for its own fonts in a folder that does not exist, so without a
    # copy in the prefix the button codes are drawn as the letters "0 1 r".
    cp /usr/share/wine/fonts/marlett.ttf "$WINEPREFIX/drive_c/windows/Fonts/"
    # No window manager under Xvfb: unmanaged windows avoid Wine's 2 s wait per hide.
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
    # A crash must fail its test at once, not wait in a debugger.
    wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
    wine reg delete 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Debugger /f >/dev/null 2>&1 || true
    wine reg delete 'HKLM\Software\Wow6432Node\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Debugger /f >/dev/null 2>&1 || true
    wineserver -w
    echo "$prefix_version" >"$marker"
  fi
  # One persistent server for the whole run: each process then starts in a blink.
  wineserver -p </dev/null >/dev/null 2>&1 || true
  started_wineserver=1
  # Wine ends its desktop process a moment after the last program ends, and the next
  # program to open a window starts it again as its own child. Started from a test, it
  # would inherit the test's output pipe (ctest would wait for it) and end with the test's
  # process group (tests/common/limited_run), taking the desktop from under a test running
  # alongside. So a resident console program, waiting on a pipe that never delivers, keeps
  # one desktop process alive for the whole run, started here with our descriptors closed.
  resident_fifo=$(mktemp -u "${TMPDIR:-/tmp}/scancfg-resident.XXXXXX")
  mkfifo "$resident_fifo"
  wine cmd.exe <"$resident_fifo" >/dev/null 2>&1 &
  sleep infinity >"$resident_fifo" </dev/null 2>/dev/null &
  resident_sleep=$!
  wine rundll32.exe user32.dll,GetDesktopWindow </dev/null >/dev/null 2>&1 || true
}

wine_env_stop() {
  if [ -n "$resident_sleep" ]; then kill "$resident_sleep" 2>/dev/null || true; fi
  if [ -n "$resident_fifo" ]; then rm -f "$resident_fifo"; fi
  if [ -n "$started_wineserver" ]; then wineserver -k </dev/null >/dev/null 2>&1 || true; fi
  if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null || true; wait "$xvfb_pid" 2>/dev/null || true; fi
  resident_sleep="" resident_fifo="" started_wineserver="" xvfb_pid=""
}
