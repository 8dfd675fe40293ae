#!/bin/sh
# The Windows Installer package in a fresh Wine prefix, as an administrator uses it:
# msiexec /i installs ITrakon.ocx and infotrakon.exe and writes, key by key, what regsvr32
# writes (regsvr32 is run first on the same file in the same folder, and undone); the control
# then works for a script and on a form; Programs and Features lists it; a package of a higher
# version replaces it, one of a lower version is refused; msiexec /x leaves no file and no key.
# Usage: msi_test.sh PACKAGE.MSI PACKAGE.WXS WINDOWS_PROGRAM_FOLDER OCX_TESTS.EXE
#          LINUX_PROGRAM_FOLDER WINE_RUN FILE_EXISTS.VBS CLASS_ID PROG_ID TYPE_LIBRARY_ID
#          DEFAULT_INTERFACE_ID EVENT_INTERFACE_ID UPGRADE_CODE
# (the identities without braces). INFOTRAKON_WINEARCH=win64 runs it in a 64-bit prefix for a
# machine that runs no 32-bit code: then only the Installer's work is checked, since
# regsvr32, cscript and the form host would have to load the 32-bit control.
set -eu
msi=$1 wxs=$2 programs=$3 tests=$4 linux=$5 wine_run=$6 script=$7
class_id=$8 prog_id=$9
shift 9
library_id=$1 default_interface_id=$2 event_interface_id=$3 upgrade_code=$4
if [ ! -x "$linux/infotrakon" ] || [ ! -x "$linux/mkagenda" ]; then
  echo "skipped: no Linux infotrakon and mkagenda in $linux (scripts/build makes them)"
  exit 77
fi
if ! command -v wixl >/dev/null 2>&1 || ! command -v msiinfo >/dev/null 2>&1; then
  echo "skipped: no wixl and msiinfo (scripts/install-windows-deps installs them)"
  exit 77
fi
arch=${INFOTRAKON_WINEARCH:-win32}
control=yes
[ "$arch" = win32 ] || control=no
. "$(dirname "$0")/wine_prefix.sh"
WITH_DISPLAY=$control start_prefix msi "$arch"
started=$(date +%s)
say() { echo "$(( $(date +%s) - started ))s: $*"; }
say "a fresh $arch prefix"

if [ "$arch" = win32 ]; then
  program_files='C:\Program Files' view=""
else
  program_files='C:\Program Files (x86)' view="/reg:32"
fi
folder="$program_files\\InfoTrakon"
unix_folder=$(winepath -u "$folder" 2>/dev/null)
uninstall='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall'

# reg in English, whose "(Default)" is plain ASCII.
reg() { INFOTRAKON_WINE_LOCALE=en_US.UTF-8 "$wine_run" reg "$@" </dev/null 2>/dev/null; }
# Every key of ours under HKEY_CLASSES_ROOT, with its values, as reg query lists them.
our_keys() {
  for key in "CLSID\\{$class_id}" "$prog_id" "TypeLib\\{$library_id}" \
    "Interface\\{$default_interface_id}" "Interface\\{$event_interface_id}"; do
    # (reg says on standard output that a key is missing)
    # shellcheck disable=SC2086 # no view: no word
    reg query "HKCR\\$key" /s $view | tr -d '\r' | grep -e '^HKEY' -e '^    ' ||
      true
  done
}
# The product code of a package, from its Property table.
product_code() { msiinfo export "$1" Property | tr -d '\r' | sed -n 's/^ProductCode\t//p'; }
# The uninstall entries named InfoTrakon: their keys.
entries() {
  # shellcheck disable=SC2086
  reg query "$uninstall" /s $view | tr -d '\r' |
    awk '/^HKEY/ { key = $0 } /^ +DisplayName +REG_SZ +InfoTrakon$/ { print key }'
}
entry_value() {  # entry_value PRODUCT_CODE NAME
  # shellcheck disable=SC2086
  reg query "$uninstall\\$1" /v "$2" $view | tr -d '\r' |
    sed -n "s/^ *$2 *REG_SZ *//p"
}
expect_failure=no
msiexec() {  # msiexec LOG ARGUMENTS...: quiet, its log printed when it fails unexpectedly
  log=$1
  shift
  status=0
  "$wine_run" msiexec "$@" /qn /l*v "$(windows "$work")\\$log" </dev/null || status=$?
  if [ "$status" -ne 0 ] && [ "$expect_failure" = no ]; then
    iconv -f UTF-16LE -t UTF-8 "$work/$log" 2>/dev/null | tr -d '\r' | tail -40 ||
      tail -40 "$work/$log"
    echo "msiexec $* exited with $status"
    exit 1
  fi
  return "$status"
}
installed_files() { (cd "$unix_folder" && ls) | tr '\n' ' '; }

if [ "$control" = yes ]; then
  write_agendas
  # What regsvr32 writes for the control in the folder the package installs it to.
  mkdir -p "$unix_folder"
  cp "$programs/ITrakon.ocx" "$unix_folder/"
  "$wine_run" regsvr32 /s "$folder\\ITrakon.ocx" </dev/null
  our_keys >"$work/regsvr32.keys"
  "$wine_run" regsvr32 /s /u "$folder\\ITrakon.ocx" </dev/null
  rm -rf "$unix_folder"
  [ -z "$(our_keys)" ] || { echo "regsvr32 /u left keys:"; our_keys; exit 1; }
  say "regsvr32 writes $(grep -c '^HKEY' "$work/regsvr32.keys") keys"
fi

# Installed.
msiexec install-1.log /i "$(windows "$msi")"
say "msiexec /i $(basename "$msi")"
[ "$(installed_files)" = "ITrakon.ocx infotrakon.exe " ] ||
  { echo "installed in $folder: $(installed_files)"; exit 1; }
our_keys >"$work/msi.keys"
if [ "$control" = yes ]; then
  diff -u "$work/regsvr32.keys" "$work/msi.keys" ||
    { echo "the package's keys differ from regsvr32's (above: - regsvr32, + msiexec)"; exit 1; }
  say "the package's $(grep -c '^HKEY' "$work/msi.keys") keys are regsvr32's"
else
  grep -qxF "    (Default)    REG_SZ    $folder\\ITrakon.ocx" "$work/msi.keys" ||
    { cat "$work/msi.keys"; echo "no InprocServer32 of $folder\\ITrakon.ocx"; exit 1; }
  say "the package wrote $(grep -c '^HKEY' "$work/msi.keys") keys (regsvr32's need 32-bit code)"
fi
old_code=$(product_code "$msi")
old_version=$(msiinfo export "$msi" Property | tr -d '\r' | sed -n 's/^ProductVersion\t//p')
[ "$(entries)" = "HKEY_LOCAL_MACHINE\\${uninstall#HKLM\\}\\$old_code" ] ||
  { echo "Programs and Features lists: $(entries)"; exit 1; }
[ "$(entry_value "$old_code" DisplayVersion)" = "$old_version" ]
[ "$(entry_value "$old_code" Publisher)" = "InfoTrakon maintainers" ]
say "Programs and Features: InfoTrakon $old_version of InfoTrakon maintainers"

if [ "$control" = yes ]; then
  check_script "$script"
  # Without the test of regsvr32 itself, which would register the control a second time.
  run_host "$tests" "$folder\\ITrakon.ocx" --gtest_filter='-*Registering*'
  "$wine_run" "$folder\\infotrakon.exe" --version </dev/null | tr -d '\r' | grep -qF "$old_version"
  say "the installed control and program work"
fi

# A higher version replaces it: the same package with another version and product code.
new_version=$(echo "$old_version" | awk -F. '{ printf "%d.%d.%d", $1, $2, $3 + 1 }')
new_code=$(tr a-f A-F </proc/sys/kernel/random/uuid)
(cd "$programs" && wixl --arch x86 -D ProductVersion="$new_version" -D ProductCode="$new_code" \
  --output "$work/InfoTrakon-$new_version.msi" "$wxs")
msiexec upgrade.log /i "$(windows "$work/InfoTrakon-$new_version.msi")"
say "msiexec /i InfoTrakon-$new_version.msi"
[ "$(entries)" = "HKEY_LOCAL_MACHINE\\${uninstall#HKLM\\}\\{$new_code}" ] ||
  { echo "after the upgrade Programs and Features lists: $(entries)"; exit 1; }
[ "$(entry_value "{$new_code}" DisplayVersion)" = "$new_version" ]
[ "$(installed_files)" = "ITrakon.ocx infotrakon.exe " ] ||
  { echo "after the upgrade $folder holds: $(installed_files)"; exit 1; }
our_keys | diff -u "$work/msi.keys" - ||
  { echo "the upgrade changed the control's keys"; exit 1; }
if [ "$control" = yes ]; then check_script "$script"; fi
say "one copy, of version $new_version"
# A lower version is refused and changes nothing.
expect_failure=yes
if msiexec downgrade.log /i "$(windows "$msi")"; then
  echo "InfoTrakon $old_version was installed over $new_version"; exit 1
fi
expect_failure=no
[ "$(entries)" = "HKEY_LOCAL_MACHINE\\${uninstall#HKLM\\}\\{$new_code}" ]
say "InfoTrakon $old_version refused over $new_version"

# Removed: no file, no key, no entry of ours anywhere in the registry.
msiexec remove.log /x "$(windows "$work/InfoTrakon-$new_version.msi")"
say "msiexec /x"
[ ! -e "$unix_folder" ] || { echo "left in $folder: $(installed_files)"; exit 1; }
[ -z "$(our_keys)" ] || { echo "keys left:"; our_keys; exit 1; }
[ -z "$(entries)" ] || { echo "Programs and Features still lists: $(entries)"; exit 1; }
wineserver -w
# The Installer's own records name the product and upgrade codes in its packed form: each
# part's hexadecimal digits reversed, the last two parts byte by byte.
packed() {
  echo "$1" | tr -d '{}-' | awk '{
    out = ""
    for (i = 8; i >= 1; i--) out = out substr($0, i, 1)
    for (i = 12; i >= 9; i--) out = out substr($0, i, 1)
    for (i = 16; i >= 13; i--) out = out substr($0, i, 1)
    for (i = 17; i <= 32; i += 2) out = out substr($0, i + 1, 1) substr($0, i, 1)
    print out }'
}
# Our names and identities, as the Wine registry files hold them.
for trace in "$prog_id" ITrakon.ocx '"InfoTrakon"' "$class_id" "$library_id" \
  "$default_interface_id" "$event_interface_id" "$upgrade_code" "$new_code" \
  "$(echo "$old_code" | tr -d '{}')" "$(packed "$upgrade_code")" "$(packed "$new_code")" \
  "$(packed "$old_code")"; do
  if grep -i -n -F -e "$trace" "$WINEPREFIX"/*.reg; then
    echo "the registry keeps $trace"; exit 1
  fi
done
files=$(cd "$WINEPREFIX/drive_c" && find . -iname '*trakon*' ! -path './Trakon*' | head)
[ -z "$files" ] || { echo "files left: $files"; exit 1; }
cached=$(find "$WINEPREFIX/drive_c/windows/Installer" -name '*.msi' 2>/dev/null | head)
[ -z "$cached" ] || { echo "the Installer keeps its copy: $cached"; exit 1; }
say "no file and no key of InfoTrakon left"
