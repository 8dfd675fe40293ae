#!/bin/sh
# The control's list filled under Wine, for each Windows width asked for (default: x64, and x86
# where this machine runs 32-bit programs): agendas whose "Tento měsíc" of the first view holds
# about 600, 5,000 and 20,000 rows, the fill timed in a form (list_fill_bench.exe) beside the
# same fill made on the panel's core alone, as infotrakon.exe print makes it. Needs scripts/build (the Linux mkagenda) and scripts/test-windows
# (or scripts/build-windows with -DINFOTRAKON_TESTS=ON) first.
# Usage: bench/list_fill_under_wine.sh [x86] [x64]
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
linux=${INFOTRAKON_BUILD_DIR:-"$root/build"}/bin
wine_run=$root/scripts/wine-run
. "$root/tests/ocx/wine_prefix.sh"
arches=$*
if [ -z "$arches" ]; then
  arches=x64
  if runs_32_bit_programs; then arches="x86 x64"; fi
fi
for arch in $arches; do
  bin=${INFOTRAKON_WINDOWS_BUILD_DIR:-"$root/build-windows"}/$arch/bin
  case $arch in x86) prefix_arch=win32 ;; *) prefix_arch=win64 ;; esac
  (
    # Wine's null graphics driver, with no X server's round trips in the times; with
    # INFOTRAKON_BENCH_DISPLAY=xvfb on an Xvfb display of its own instead.
    if [ "${INFOTRAKON_BENCH_DISPLAY:-null}" = xvfb ]; then
      start_prefix bench "$prefix_arch"
    else
      WITH_DISPLAY=no start_prefix bench "$prefix_arch"
      "$wine_run" reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f \
        </dev/null >/dev/null 2>&1
    fi
    today=$(date +%F)
    data="$WINEPREFIX/drive_c/Trakon/Data"
    mkdir -p "$data"
    agendas=""
    for rows in 29000 242000 966000; do
      "$linux/mkagenda" --rows "$rows" --today "$today" "$data/agenda-$rows.mdb" >/dev/null
      agendas="$agendas C:\\Trakon\\Data\\agenda-$rows.mdb"
    done
    "$wine_run" regsvr32 /s "$(windows "$bin/ITrakon.ocx")" </dev/null
    echo "ITrakon.ocx ($arch), the list filled by choosing \"Tento měsíc\" in a form:"
    # shellcheck disable=SC2086 # one word per agenda
    "$wine_run" "$bin/list_fill_bench.exe" $agendas </dev/null | tr -d '\r' | sed 's/^/  /'
  )
done
