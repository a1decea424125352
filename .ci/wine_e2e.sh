#!/usr/bin/env bash
# End-to-end checks of the 32-bit Windows build under Wine, against the Linux build.
#   .ci/wine_e2e.sh LINUX_BIN WINDOWS_BIN [SAMPLE_DIR]
# With the clock fixed (PST2XMZ_FIXED_CLOCK) both programs must write the same archives, byte for
# byte, and end with the same exit code, for examples/sample.pst and every file of SAMPLE_DIR: with
# Wine's ANSI code page UTF-8 (65001, the Linux program's own), and again with 1252 against
# the Linux program told to use 1252 (PST2XMZ_ANSI_CODE_PAGE). Then the Windows program alone: the
# banner, invalid parameters, a missing or broken MAPI32.DLL and MAPIX absent. The Wine prefix is
# WINDOWS_BIN/../wineprefix, set up by .ci/wine_prefix.sh.
set -euo pipefail
cd "$(dirname "$0")/.."

linux_bin=$(realpath "$1")
windows_bin=$(realpath "$2")
samples=${3:-}

export WINEPREFIX=$(realpath "$windows_bin/..")/wineprefix
export WINEDEBUG=-all
export PST2XMZ_FIXED_CLOCK=1700000000,123456,60
work=$(mktemp -d)
trap 'wineserver -k >/dev/null 2>&1 || true; rm -rf "$work"' EXIT

failures=0
passed=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
pass() { passed=$((passed + 1)); }
win_path() { winepath -w "$1" 2>/dev/null; }

messaging_key='HKLM\SOFTWARE\Microsoft\Windows Messaging Subsystem'
client_key='HKLM\SOFTWARE\Clients\Mail\Microsoft Outlook'
reg_set() { wine reg add "$1" /v "$2" /t REG_SZ /d "$3" /f >/dev/null 2>&1; }
reg_delete() { wine reg delete "$1" /v "$2" /f >/dev/null 2>&1 || true; }

.ci/wine_prefix.sh "$windows_bin"
# The ANSI code page of the Windows programs started after the call. Wine 8 takes it from the
# locale of the process (the prefix's registry value ACP is not read): a locale whose Windows
# counterpart has no ANSI code page of its own gets UTF-8.
use_code_page() {
  case "$1" in
    65001) wine_locale=hi_IN.UTF-8 ;;
    1252) wine_locale=en_US.UTF-8 ;;
  esac
  code_page=$1
}

# The passwords of the protected sample files, as their README gives them.
password_of() {
  case "$1" in
    aspose-password.pst) echo Password1 ;;
    jlp-passworded.pst) echo testpassword ;;
    pstsdk-test-ansi.pst | pstsdk-test-unicode.pst) echo test ;;
    *) echo "" ;;
  esac
}

# Exports one file with both programs at the current code page and compares archives, console
# output and exit codes.
compare_export() {
  local pst=$1 name
  name=$(basename "$pst")
  export PST2XMZ_PST_PASSWORD=$(password_of "$name")
  local linux="$work/linux$code_page" windows="$work/windows$code_page"
  mkdir -p "$linux" "$windows"
  local linux_rc=0 windows_rc=0
  PST2XMZ_ANSI_CODE_PAGE=$code_page "$linux_bin/pst2xmz" -s "$pst" -d "$linux/$name.dat" \
    -f "$linux/$name.fl" >"$linux/$name.out" 2>"$linux/$name.err" || linux_rc=$?
  local windows_dir
  windows_dir=$(win_path "$windows")
  LC_ALL=$wine_locale wine "$windows_bin/pst2xmz.exe" -s "$(win_path "$pst")" \
    -d "$windows_dir\\$name.dat" -f "$windows_dir\\$name.fl" \
    >"$windows/$name.out" 2>"$windows/$name.err" || windows_rc=$?
  if [ "$linux_rc" != "$windows_rc" ]; then
    fail "$name at $code_page: exit code $windows_rc on Windows, $linux_rc on Linux"
    return
  fi
  if [ "$linux_rc" != 1 ] && [ ! -e "$linux/$name.xmz" ]; then
    fail "$name at $code_page: no archive written"
    return
  fi
  local extension
  for extension in xmz idx fl; do
    if [ -e "$linux/$name.$extension" ] || [ -e "$windows/$name.$extension" ]; then
      if ! cmp -s "$linux/$name.$extension" "$windows/$name.$extension"; then
        fail "$name at $code_page: the .$extension files differ"
        return
      fi
    fi
  done
  # The folder lines of the console; the path lines name different directories.
  if ! cmp -s <(grep -av '^Reading \|^Writing ' "$linux/$name.out") \
      <(grep -av '^Reading \|^Writing ' "$windows/$name.out"); then
    fail "$name at $code_page: the console's folder lines differ"
    return
  fi
  echo "same archive at $code_page: $name (exit code $linux_rc)"
  pass
}

compare_all() {
  compare_export examples/sample.pst
  if [ -n "$samples" ] && [ -d "$samples" ]; then
    for pst in "$samples"/*.pst "$samples"/*.ost; do
      [ -e "$pst" ] && compare_export "$pst"
    done
  fi
}

use_code_page 65001
compare_all
use_code_page 1252
compare_all
# A folder name with letters beyond ASCII is written differently at 1252 than at 65001: the code
# page really was in force.
if [ -e "$samples/iped-sample.pst" ] && cmp -s "$work/windows1252/iped-sample.pst.fl" \
    "$work/windows65001/iped-sample.pst.fl"; then
  fail "the folder list is the same at 1252 as at 65001"
fi
use_code_page 65001

# Runs the Windows program in a case of its own; leaves its standard output, standard error and
# exit code in $work/run.*.
run_windows() {
  local rc=0
  case_ok=1
  (cd "$work" && wine "$windows_bin/pst2xmz.exe" "$@" >"$work/run.out" 2>"$work/run.err") || rc=$?
  run_rc=$rc
}
expect_rc() { [ "$run_rc" = "$1" ] || { echo "  exit code $run_rc, expected $1"; case_ok=0; }; }
expect_in() {
  grep -qF -- "$1" "$work/$2" || { echo "  \"$1\" not in $2: $(head -c 300 "$work/$2")"; case_ok=0; }
}
end_case() { if [ "$case_ok" = 1 ]; then echo "as expected: $1"; pass; else fail "$1"; fi; }

run_windows
printf 'PST2XMZ.EXE\r\nOutlook .PST file to Tolvane .XMZ e-mail export utility\r\nVersion 1.02\r\n' \
  >"$work/banner.head"
printf '\r\nusage :-\r\n  pst2xmz -s pstfilename -d destfilename [-f folderfilename]\r\n\r\n' \
  >"$work/banner.tail"
expect_rc 0
head -n 3 "$work/run.out" | cmp -s - "$work/banner.head" || case_ok=0
tail -n 4 "$work/run.out" | cmp -s - "$work/banner.tail" || case_ok=0
[ "$(wc -l <"$work/run.out")" = 8 ] || case_ok=0
end_case "banner"

run_windows -s only.pst
expect_rc 2
expect_in "invalid parameters" run.out
end_case "invalid parameters"

sample=$(win_path "$(realpath examples/sample.pst)")
# Names that differ only in case are one file on Windows, also before it exists.
run_windows -s "$sample" -d casefold -f CASEFOLD.XMZ
expect_rc 2
expect_in "names the same file as the data file" run.err
end_case "outputs named alike but for case"

reg_set "$client_key" DLLPathEx 'C:\no\such\MAPI32.DLL'
run_windows -s "$sample" -d missing
expect_rc 1
expect_in 'C:\no\such\MAPI32.DLL' run.err
end_case "missing MAPI32.DLL"

printf 'not a library' >"$work/broken.dll"
reg_set "$client_key" DLLPathEx "$(win_path "$work/broken.dll")"
run_windows -s "$sample" -d broken
expect_rc 1
expect_in "broken.dll" run.err
end_case "broken MAPI32.DLL"

reg_set "$client_key" DLLPathEx "$(win_path "$windows_bin/MAPI32.DLL")"
reg_delete "$messaging_key" MAPIX
run_windows -s "$sample" -d nomapix
expect_rc 1
expect_in "MAPIX" run.err
end_case "MAPIX absent"
reg_set "$messaging_key" MAPIX 1

echo "wine end to end: $passed passed, $failures failed"
[ "$failures" -eq 0 ]
