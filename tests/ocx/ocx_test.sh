#!/bin/sh
# ITrakon.ocx in a fresh Wine prefix on an Xvfb display of its own, both stopped at the end:
# regsvr32, a VBScript run by Wine's cscript, and the host test program, which puts the panel
# on a form of Wine's ATL host and compares it with the Linux program's element model of the
# same agenda on the same day. Given the 32-bit control as well (the x64 tests), and where the
# machine runs 32-bit code, both are registered side by side: a 32-bit and a 64-bit script host
# each create their own, and unregistering either leaves the other working.
# Usage: ocx_test.sh ITRAKON.OCX OCX_TESTS.EXE LINUX_PROGRAM_FOLDER WINE_RUN FILE_EXISTS.VBS
#          [X86_ITRAKON.OCX]
set -eu
ocx=$1 tests=$2 linux=$3 wine_run=$4 script=$5 x86_ocx=${6:-}
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
# The control kept on a form for a thousand events, and random calls at its COM boundary: their
# figures shown, the whole output where one fails.
run_beside() {  # run_beside NAME PROGRAM
  echo "$1:"
  status=0
  "$wine_run" "$(dirname "$tests")/$2" </dev/null >"$work/$2.out" 2>&1 || status=$?
  tr -d '\r' <"$work/$2.out" | grep -v -e '^\[' -e '^$' -e '^Running main' || true
  if [ "$status" -ne 0 ]; then
    tr -d '\r' <"$work/$2.out"
    echo "$2 exited with $status"
    exit 1
  fi
}
run_beside soak ocx_soak.exe
run_beside "COM boundary" ocx_com_fuzz.exe

if [ -z "$x86_ocx" ]; then exit 0; fi
if ! runs_32_bit_programs; then
  echo "side by side: not tried, this machine runs no 32-bit programs"
  exit 0
fi
echo "side by side:"
regsvr32_32() { "$wine_run" 'C:\windows\syswow64\regsvr32.exe' "$@" </dev/null; }
cscript_32='C:\windows\syswow64\cscript.exe'
regsvr32_32 /s "$(windows "$x86_ocx")"
check_script "$script"
check_script "$script" "$cscript_32"
"$wine_run" regsvr32 /s /u "$(windows "$ocx")" </dev/null
check_script "$script" "$cscript_32"
if check_script "$script" >/dev/null 2>&1; then
  echo "a 64-bit script still creates the control after the 64-bit one was unregistered"
  exit 1
fi
"$wine_run" regsvr32 /s "$(windows "$ocx")" </dev/null
regsvr32_32 /s /u "$(windows "$x86_ocx")"
check_script "$script"
if check_script "$script" "$cscript_32" >/dev/null 2>&1; then
  echo "a 32-bit script still creates the control after the 32-bit one was unregistered"
  exit 1
fi
