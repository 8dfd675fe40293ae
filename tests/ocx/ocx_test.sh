#!/bin/sh
# ITrakon.ocx in a fresh Wine prefix on an Xvfb display of its own, both stopped at the end:
# regsvr32, a VBScript run by Wine's cscript, and the host test program, which puts the panel
# on a form of Wine's ATL host and compares it with the Linux program's element model of the
# same agenda on the same day.
# Usage: ocx_test.sh ITRAKON.OCX OCX_TESTS.EXE LINUX_PROGRAM_FOLDER WINE_RUN FILE_EXISTS.VBS
set -eu
ocx=$1 tests=$2 linux=$3 wine_run=$4 script=$5
if [ ! -x "$linux/infotrakon" ] || [ ! -x "$linux/mkagenda" ]; then
  echo "skipped: no Linux infotrakon and mkagenda in $linux (scripts/build makes them)"
  exit 77
fi
WINEPREFIX=$(mktemp -d "${TMPDIR:-/tmp}/infotrakon-wine-ocx.XXXXXX")
work=$(mktemp -d "${TMPDIR:-/tmp}/infotrakon-ocx.XXXXXX")
export WINEPREFIX WINEARCH=win32
xvfb=""
stop() {
  wineserver -k 2>/dev/null || true
  wineserver -w 2>/dev/null || true
  if [ -n "$xvfb" ]; then kill "$xvfb" 2>/dev/null || true; wait "$xvfb" 2>/dev/null || true; fi
  rm -rf "$WINEPREFIX" "$work"
}
trap stop EXIT INT TERM

# A display of this test's own: Xvfb picks a free number and tells it.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
xvfb=$!
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
DISPLAY=":$(cat "$work/display")"
export DISPLAY

WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d" wineboot -i \
  </dev/null >/dev/null 2>&1

# The agenda the host opened last, a damaged copy and one without the panel's tables.
today=$(date +%F)
data="$WINEPREFIX/drive_c/Trakon/Data"
mkdir -p "$data"
"$linux/mkagenda" --demo "$data/agenda.mdb" --today "$today" >/dev/null
head -c 6000 "$data/agenda.mdb" >"$data/damaged.mdb"
printf '%s' '{"tables": [{"name": "firma", "columns": [{"name": "nazev", "type": "text"}],
  "rows": [["Jiná firma"]]}]}' >"$work/bare.json"
"$linux/mkagenda" --from "$work/bare.json" "$data/bare.mdb" >/dev/null
"$wine_run" reg add 'HKLM\Software\Velmora\Trakon\ProgramSeting' /v LastFullFileNameOpen \
  /d 'C:\Trakon\Data\agenda.mdb' /f </dev/null >/dev/null 2>&1
wineserver -k; wineserver -w

# What the Linux program shows of the same agenda on the same day.
LC_ALL=cs_CZ.UTF-8 "$linux/infotrakon" print --json --wine-prefix "$WINEPREFIX" \
  --today "$today" >"$work/start.json"
LC_ALL=cs_CZ.UTF-8 "$linux/infotrakon" print --json --wine-prefix "$WINEPREFIX" \
  --today "$today" --size 6000x4000 --view 4 --period "Tento měsíc" --refresh >"$work/events.json"

windows() { winepath -w "$1" 2>/dev/null; }
"$wine_run" regsvr32 /s "$(windows "$ocx")" </dev/null

echo "cscript:"
"$wine_run" cscript //nologo "$(windows "$script")" 'C:\Trakon\Data\agenda.mdb' </dev/null \
  | tr -d '\r' | iconv -f CP852 -t UTF-8 | tee "$work/script.out"
for line in 'agenda -1 C:\Trakon\Data\agenda.mdb' 'missing 0' 'folder 0' \
  'unchanged C:\Trakon\Data\agenda.mdb' 'done'; do
  # VBScript writes Booleans in the user's language; the numbers are the same everywhere.
  sed -e 's/ Pravda/ -1/; s/ Nepravda/ 0/; s/ True/ -1/; s/ False/ 0/' "$work/script.out" |
    grep -qxF "$line" || { echo "cscript did not give: $line"; exit 1; }
done

echo "host:"
INFOTRAKON_OCX=$(windows "$ocx") \
INFOTRAKON_AGENDA='C:\Trakon\Data\agenda.mdb' \
INFOTRAKON_DAMAGED_AGENDA='C:\Trakon\Data\damaged.mdb' \
INFOTRAKON_AGENDA_WITHOUT_TABLES='C:\Trakon\Data\bare.mdb' \
INFOTRAKON_EXPECTED_START=$(windows "$work/start.json") \
INFOTRAKON_EXPECTED_EVENTS=$(windows "$work/events.json") \
INFOTRAKON_SCREENSHOT=${INFOTRAKON_OCX_SCREENSHOT:+$(windows "$INFOTRAKON_OCX_SCREENSHOT")} \
  "$wine_run" "$tests" </dev/null
