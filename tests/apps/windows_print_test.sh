#!/bin/sh
# The Windows program under Wine and the Linux program print the same panel from the same
# Wine prefix on the same day: a fresh prefix whose registry names an agenda on drive C, in a
# folder with Czech letters. Only the short dates differ, each in its platform's form. The prefix
# is of WINEARCH's kind (win32 unless set), and in a 64-bit one the setting is written where a
# 32-bit host program writes it, in the 32-bit view.
# Usage: windows_print_test.sh WINDOWS_INFOTRAKON LINUX_PROGRAM_FOLDER WINE_RUN
set -eu
windows=$1 linux=$2 wine_run=$3
if [ ! -x "$linux/infotrakon" ] || [ ! -x "$linux/mkagenda" ]; then
  echo "skipped: no Linux infotrakon and mkagenda in $linux (scripts/build makes them)"
  exit 77
fi
. "$(dirname "$0")/../ocx/wine_prefix.sh"
WINEPREFIX=$(mktemp -d "${TMPDIR:-/tmp}/infotrakon-wine-print.XXXXXX")
WINEARCH=${WINEARCH:-win32}
export WINEPREFIX WINEARCH
work=$(mktemp -d "${TMPDIR:-/tmp}/infotrakon-print.XXXXXX")
trap 'wineserver -k 2>/dev/null || true; wineserver -w 2>/dev/null || true; remove_server_folder
  rm -rf "$WINEPREFIX" "$work"' EXIT
"$wine_run" wineboot -i </dev/null >/dev/null 2>&1
today=2026-12-07
mkdir -p "$WINEPREFIX/drive_c/Trakon/Účetní data"
"$linux/mkagenda" --demo "$WINEPREFIX/drive_c/Trakon/Účetní data/agenda.mdb" --today $today \
  >/dev/null
"$wine_run" reg add 'HKLM\Software\Velmora\Trakon\ProgramSeting' /v LastFullFileNameOpen \
  /d 'C:\Trakon\Účetní data\agenda.mdb' /f /reg:32 </dev/null >/dev/null 2>&1
# Wine writes its registry to system.reg when its server ends.
wineserver -k; wineserver -w

for events in "" "--view 4 --period Tento\ měsíc" "--view 3 --period Za\ poslední\ týden --refresh"; do
  eval "set -- $events"
  LC_ALL=cs_CZ.UTF-8 "$linux/infotrakon" print --json --wine-prefix "$WINEPREFIX" --today $today \
    "$@" >"$work/linux.json"
  "$wine_run" "$windows" print --json --today $today "$@" </dev/null | tr -d '\r' \
    >"$work/windows.json"
  grep -q '"caption": "C:\\\\Trakon\\\\Účetní data\\\\agenda.mdb"' "$work/windows.json" ||
    { echo "the Windows program did not find the agenda ($events)"; cat "$work/windows.json"; exit 1; }
  # The Windows short date of a Czech user is "7. 12. 2026", glibc's "7.12.2026".
  sed -E 's/([0-9]{1,2})\. ([0-9]{1,2})\. ([0-9]{4})/\1.\2.\3/g' "$work/windows.json" \
    >"$work/windows-dates.json"
  if ! diff -u "$work/linux.json" "$work/windows-dates.json"; then
    echo "the two programs differ ($events)"
    exit 1
  fi
  rows=$(grep -c '"subItems"' "$work/linux.json" || true)
  echo "same element model with $rows list rows ($events)"
done

# In a 64-bit prefix: a setting in the 64-bit view only (a 64-bit host's) is read where the
# 32-bit view has none, and where both have one the 32-bit host program's wins.
[ "$WINEARCH" = win64 ] || exit 0
setting() {  # setting add|delete VIEW [PATH]
  key='HKLM\Software\Velmora\Trakon\ProgramSeting'
  if [ "$1" = delete ]; then
    "$wine_run" reg delete "$key" /f "$2" </dev/null >/dev/null 2>&1
  else
    "$wine_run" reg add "$key" /v LastFullFileNameOpen /d "$3" /f "$2" </dev/null >/dev/null 2>&1
  fi
}
agenda_caption() {
  "$wine_run" "$windows" print --json --today $today </dev/null | tr -d '\r' |
    grep -o '"caption": "C:\\\\Trakon\\\\[^"]*"' | head -1
}
setting delete /reg:32
setting add /reg:64 'C:\Trakon\Účetní data\agenda.mdb'
[ "$(agenda_caption)" = '"caption": "C:\\Trakon\\Účetní data\\agenda.mdb"' ] ||
  { echo "the setting of the 64-bit view alone was not read: $(agenda_caption)"; exit 1; }
echo "the 64-bit view's setting is read where the 32-bit view has none"
setting add /reg:64 'C:\Trakon\jiná.mdb'
setting add /reg:32 'C:\Trakon\Účetní data\agenda.mdb'
[ "$(agenda_caption)" = '"caption": "C:\\Trakon\\Účetní data\\agenda.mdb"' ] ||
  { echo "the 32-bit view's setting did not win: $(agenda_caption)"; exit 1; }
echo "the 32-bit view's setting wins over the 64-bit view's"
