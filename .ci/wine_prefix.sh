#!/usr/bin/env bash
# The Wine prefix in which the 32-bit Windows build is tested: WINDOWS_BIN/../wineprefix, made when
# missing, with Wine's server started and kept (so that no test starts it and finds its output held
# open by it), our MAPI32.DLL as the mail library (Wine's own is not used) and extended messaging on.
#   .ci/wine_prefix.sh WINDOWS_BIN
set -euo pipefail

windows_bin=$(realpath "$1")
export WINEPREFIX=$(realpath "$windows_bin/..")/wineprefix
export WINEDEBUG=-all

reg_set() { wine reg add "$1" /v "$2" /t REG_SZ /d "$3" /f >/dev/null 2>&1; }

wineserver -p >/dev/null 2>&1 </dev/null || true
wineboot -i >/dev/null 2>&1 </dev/null || true
reg_set 'HKCU\Software\Wine\DllOverrides' mapi32 native
reg_set 'HKLM\SOFTWARE\Microsoft\Windows Messaging Subsystem' MAPIX 1
reg_set 'HKLM\SOFTWARE\Clients\Mail\Microsoft Outlook' DLLPathEx \
  "$(winepath -w "$windows_bin/MAPI32.DLL" 2>/dev/null)"
