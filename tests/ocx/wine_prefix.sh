# What the tests of ITrakon.ocx under Wine share, sourced by ocx_test.sh and msi_test.sh (and by
# scripts/test-windows and windows_print_test.sh, for the server folder of a prefix): a fresh
# Wine prefix and a work folder of the test's own, an Xvfb display of its own, all stopped and
# removed at the end; the host's agenda in the prefix with what the Linux program shows of it;
# the VBScript check of FileExists and the form host test program.
# The sourcing script sets wine_run (scripts/wine-run) and linux (the Linux programs' folder).

# Windows paths of Unix files through the drive Z: that every prefix maps to the root, and Unix
# paths of files on drive C; written out here, as asking winepath would start a Wine process
# each time.
windows() { printf 'Z:%s\n' "$1" | tr / '\\'; }
windows_to_unix() { printf '%s/drive_c/%s\n' "$WINEPREFIX" "${1#C:\\}" | tr '\\' /; }
# Whether the kernel starts Wine's 32-bit loader (some virtual machines run no 32-bit programs).
runs_32_bit_programs() { /usr/lib/wine/wine --version >/dev/null 2>&1; }

# Debian's Wine keeps the socket of a prefix's server in /tmp/wine-XXXXXX/server-DEVICE-INODE,
# named after the prefix's folder, and leaves both folders behind when the server has ended.
remove_server_folder() {
  name="server-$(stat -c %D "$WINEPREFIX")-$(printf %x "$(stat -c %i "$WINEPREFIX")")"
  for folder in /tmp/wine-*/"$name"; do
    [ -d "$folder" ] || continue
    rm -f "$folder/lock"
    rmdir "$folder" "${folder%/*}" 2>/dev/null || true
  done
}

xvfb=""
stop_prefix() {
  wineserver -k 2>/dev/null || true
  wineserver -w 2>/dev/null || true
  if [ -n "$xvfb" ]; then kill "$xvfb" 2>/dev/null || true; wait "$xvfb" 2>/dev/null || true; fi
  remove_server_folder
  rm -rf "$WINEPREFIX" "$work"
}

# start_prefix NAME [ARCH]: a fresh prefix (of ARCH, else WINEARCH, else win32), a work folder,
# and a display when WITH_DISPLAY is not "no".
start_prefix() {
  WINEPREFIX=$(mktemp -d "${TMPDIR:-/tmp}/infotrakon-wine-$1.XXXXXX")
  work=$(mktemp -d "${TMPDIR:-/tmp}/infotrakon-$1.XXXXXX")
  WINEARCH=${2:-${WINEARCH:-win32}}
  export WINEPREFIX WINEARCH
  trap stop_prefix EXIT INT TERM
  if [ "${WITH_DISPLAY:-yes}" != no ]; then
    # Xvfb picks a free display number and tells it.
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
    xvfb=$!
    for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
    DISPLAY=":$(cat "$work/display")"
    export DISPLAY
  fi
  # A failure here is Wine's own start: say so, with what Wine wrote, instead of ending silently.
  status=0
  "$wine_run" wineboot -i </dev/null >"$work/wineboot.log" 2>&1 || status=$?
  if [ "$status" -ne 0 ]; then
    echo "wineboot failed with status $status in a fresh $WINEARCH prefix:"
    cat "$work/wineboot.log"
    return 1
  fi
}

# wait_for_a_whole_day: the control reads the date from the clock of the prefix, and the
# expected outputs are for the day they were written on; a run that crossed midnight compared
# the panel of the next day with them. Close to midnight, the day's change is waited out.
wait_for_a_whole_day() {
  to_midnight=$(( $(date -d 'tomorrow 00:00' +%s) - $(date +%s) ))
  if [ "$to_midnight" -lt 300 ]; then
    echo "waiting ${to_midnight}s for midnight: the control reads the date of the clock"
    sleep $((to_midnight + 1))
  fi
}

# write_agendas: the agenda the host opened last, a damaged copy, one without the panel's
# tables, a long one and a failing one, and in $work/*.json what the Linux program shows of
# them on the same day, with five minutes before midnight at least.
write_agendas() {
  wait_for_a_whole_day
  today=$(date +%F)
  data="$WINEPREFIX/drive_c/Trakon/Data"
  mkdir -p "$data"
  "$linux/mkagenda" --demo "$data/agenda.mdb" --today "$today" >/dev/null
  head -c 6000 "$data/agenda.mdb" >"$data/damaged.mdb"
  printf '%s' '{"tables": [{"name": "firma", "columns": [{"name": "nazev", "type": "text"}],
    "rows": [["Jiná firma"]]}]}' >"$work/bare.json"
  "$linux/mkagenda" --from "$work/bare.json" "$data/bare.mdb" >/dev/null
  # A long agenda, whose month holds over 5,000 rows of the first view, and a failing one, whose
  # third view meets a record without a date after two rows.
  "$linux/mkagenda" --rows 245000 --today "$today" "$data/long.mdb" >/dev/null
  sed "s/TODAY/$today/g" "$(dirname "$0")/failing_agenda.json" >"$work/failing.json"
  "$linux/mkagenda" --from "$work/failing.json" "$data/failing.mdb" >/dev/null
  # A data link as an attacker would plant it: it names a library of its own as the driver.
  planted_link=""
  if [ -e "$linux/planted_driver.so" ]; then
    printf '[oledb]\r\nProvider=MSDASQL.1;Extended Properties="DRIVER=%s;DATABASE=x"\r\n' \
      "$linux/planted_driver.so" >"$data/planted.udl"
    planted_link='C:\Trakon\Data\planted.udl'
    INFOTRAKON_PLANTED_MARKER="$work/planted-loaded"
    export INFOTRAKON_PLANTED_MARKER
  fi
  # A data link to a server whose driver the prefix has not got: the driver manager is asked,
  # and the link is refused before anything is connected.
  printf '[oledb]\r\nProvider=MSDASQL.1;Extended Properties="DRIVER={%s};SERVER=%s;DATABASE=%s"\r\n' \
    'PostgreSQL Unicode' 127.0.0.1 agenda >"$data/server.udl"
  "$wine_run" reg add 'HKLM\Software\Velmora\Trakon\ProgramSeting' /v LastFullFileNameOpen \
    /d 'C:\Trakon\Data\agenda.mdb' /f /reg:32 </dev/null >/dev/null 2>&1
  wineserver -k; wineserver -w
  LC_ALL=cs_CZ.UTF-8 "$linux/infotrakon" print --json --wine-prefix "$WINEPREFIX" \
    --today "$today" >"$work/start.json"
  LC_ALL=cs_CZ.UTF-8 "$linux/infotrakon" print --json --wine-prefix "$WINEPREFIX" \
    --today "$today" --size 6000x4000 --view 4 --period "Tento měsíc" --refresh \
    >"$work/events.json"
  LC_ALL=cs_CZ.UTF-8 "$linux/infotrakon" print --json --wine-prefix "$WINEPREFIX" \
    --today "$today" --view 2 >"$work/view2.json"
  for agenda in long failing; do
    printf 'Windows Registry Editor Version 5.00\r\n\r\n%s\r\n"LastFullFileNameOpen"="%s"\r\n' \
      '[HKEY_LOCAL_MACHINE\SOFTWARE\Velmora\Trakon\ProgramSeting]' \
      "C:\\\\Trakon\\\\Data\\\\$agenda.mdb" >"$work/$agenda.reg"
  done
  LC_ALL=cs_CZ.UTF-8 "$linux/infotrakon" print --json --settings "$work/long.reg" \
    --wine-prefix "$WINEPREFIX" --today "$today" --period "Tento měsíc" >"$work/long.json"
  # The third view stops at the record without a date: the program fails, with the rows before.
  LC_ALL=cs_CZ.UTF-8 "$linux/infotrakon" print --json --settings "$work/failing.reg" \
    --wine-prefix "$WINEPREFIX" --today "$today" --view 3 >"$work/failing-view.json" 2>/dev/null ||
    true
}

# check_script FILE_EXISTS.VBS [CSCRIPT]: a script's CreateObject("ITrakon.InfoTrakon") and
# FileExists, in the script host of the prefix's width, or in CSCRIPT (the 32-bit one of a
# 64-bit prefix: C:\windows\syswow64\cscript.exe).
check_script() {
  printf "%s:\n" "${2:-cscript}"
  "$wine_run" "${2:-cscript}" //nologo "$(windows "$1")" 'C:\Trakon\Data\agenda.mdb' </dev/null \
    | tr -d '\r' | iconv -f CP852 -t UTF-8 | tee "$work/script.out"
  for line in 'agenda -1 C:\Trakon\Data\agenda.mdb' 'missing 0' 'folder 0' \
    'unchanged C:\Trakon\Data\agenda.mdb' 'done'; do
    # VBScript writes Booleans in the user's language; the numbers are the same everywhere.
    sed -e 's/ Pravda/ -1/; s/ Nepravda/ 0/; s/ True/ -1/; s/ False/ 0/' "$work/script.out" |
      grep -qxF "$line" || { echo "cscript did not give: $line"; return 1; }
  done
}

# run_host OCX_TESTS.EXE OCX_WINDOWS_PATH [ARGUMENTS...]: the host test program on the control
# at OCX_WINDOWS_PATH, with the agendas of write_agendas; the planted library must not have been
# loaded.
run_host() {
  host_tests=$1 host_ocx=$2
  shift 2
  echo "host:"
  INFOTRAKON_OCX=$host_ocx \
  INFOTRAKON_AGENDA='C:\Trakon\Data\agenda.mdb' \
  INFOTRAKON_DAMAGED_AGENDA='C:\Trakon\Data\damaged.mdb' \
  INFOTRAKON_AGENDA_WITHOUT_TABLES='C:\Trakon\Data\bare.mdb' \
  INFOTRAKON_PLANTED_LINK=$planted_link \
  INFOTRAKON_SERVER_LINK='C:\Trakon\Data\server.udl' \
  INFOTRAKON_LONG_AGENDA='C:\Trakon\Data\long.mdb' \
  INFOTRAKON_EXPECTED_LONG=$(windows "$work/long.json") \
  INFOTRAKON_FAILING_AGENDA='C:\Trakon\Data\failing.mdb' \
  INFOTRAKON_EXPECTED_FAILING=$(windows "$work/failing-view.json") \
  INFOTRAKON_EXPECTED_START=$(windows "$work/start.json") \
  INFOTRAKON_EXPECTED_EVENTS=$(windows "$work/events.json") \
  INFOTRAKON_EXPECTED_VIEW2=$(windows "$work/view2.json") \
  INFOTRAKON_SCREENSHOT=${INFOTRAKON_OCX_SCREENSHOT:+$(windows "$INFOTRAKON_OCX_SCREENSHOT")} \
    "$wine_run" "$host_tests" "$@" </dev/null
  if [ -e "$work/planted-loaded" ]; then
    echo "the library a data link named was loaded into the host"
    return 1
  fi
}
