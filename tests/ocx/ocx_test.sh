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
. "$(dirname "$0")/wine_prefix.sh"
start_prefix ocx
write_agendas
"$wine_run" regsvr32 /s "$(windows "$ocx")" </dev/null
check_script "$script"
run_host "$tests" "$(windows "$ocx")"
