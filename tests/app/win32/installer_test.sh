#!/usr/bin/env bash
# The installer under Wine, one case per call, each in a Wine prefix of its own made for the case (a fresh
# Windows with no Heliox in it), so the cases run beside each other and beside the smoke runs:
#
#   installer_test.sh CASE SETUP.EXE DATA.SDD
#
# all_users: an administrator's silent install that makes Heliox the screen saver; the show started the way
#   the system starts it, from another folder, and the copy in the system folder (where the Screen Saver list
#   looks) started by a user without a Path of their own; the Start-menu folder; the settings dialog; a silent
#   uninstall that keeps the settings and undoes the rest, the screen saver's switch included.
# one_user: a folder the saver could not use is refused; a per-user install into a folder of one's own, with its
#   Start-menu folder; installing again keeps the settings; an install for all users replaces the per-user one;
#   an uninstall asked to remove the settings; another saver's choice kept.
set -euo pipefail

case_name=$1
setup=$2
data=$3
top=$(cd "$(dirname "$0")/../../.." && pwd)
wine_run="$top/scripts/wine-run"
settings_key='HKCU\Software\Corvane\Heliox'
desktop_key='HKCU\Control Panel\Desktop'
uninstall_key='Software\Microsoft\Windows\CurrentVersion\Uninstall\Heliox'
version=$(basename "$setup" | sed -n 's/^heliox-\(.*\)-setup-.*\.exe$/\1/p')
export HELIOX_WINE_TIMEOUT=${HELIOX_WINE_TIMEOUT:-120}
export HELIOX_TEST_MESSAGES=stderr

work=$(mktemp -d)
export HELIOX_WINEPREFIX="$work/prefix"
cleanup() {
    WINEPREFIX="$HELIOX_WINEPREFIX" wineserver -k 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

# A key's values as "Name<TAB>data" lines; nothing when the key is not there.
key_values() {
    { "$wine_run" reg query "$1" 2>/dev/null || true; } | tr -d '\r' |
        awk -F '    ' 'NF >= 4 && $3 ~ /^REG_/ { print $2 "\t" $4 }'
}
# One value's data from key_values' lines, or "missing".
value() { printf '%s\n' "$2" | awk -F '\t' -v n="$1" '$1 == n { print $2; f = 1 } END { if (!f) print "missing" }'; }
expect() {
    [ "$(value "$1" "$2")" = "$3" ] || fail "$4: $1 is '$(value "$1" "$2")', expected '$3'"
}

unix_path() { "$wine_run" winepath -u "$1" 2>/dev/null | tr -d '\r'; }
long_path() { "$wine_run" winepath -l "$1" 2>/dev/null | tr -d '\r'; }

# The Start-menu folder's shortcuts, as file names, one a line; nothing when the folder is not there.
start_menu() {
    find "$HELIOX_WINEPREFIX/drive_c" -path "*/Start Menu/Programs/Heliox/*" -printf '%f\n' 2>/dev/null | sort
}
expect_start_menu() {
    [ "$(start_menu)" = "$(printf 'Heliox settings.lnk\nUse Heliox as my screen saver.lnk')" ] ||
        fail "the Start-menu folder holds: $(start_menu)"
}

# Saves the tenth frame of `SAVER /s` started in a folder of its own; fails unless the frame shows the sky.
expect_show() {
    local saver=$1
    rm -f "$HELIOX_WINEPREFIX/drive_c/frame.bmp"
    mkdir -p "$work/elsewhere"
    (cd "$work/elsewhere" && HELIOX_TEST_FRAME='C:\frame.bmp' "$wine_run" "$saver" /s >"$work/out" 2>"$work/stderr") ||
        fail "$saver /s: exit $?"
    frame="$HELIOX_WINEPREFIX/drive_c/frame.bmp"
    [ -f "$frame" ] || fail "$saver: no frame was saved; the program said: $(grep -v ALSA "$work/stderr")"
    # A drawn frame has at least the sky's stars and milky way lit; one never drawn is black.
    bytes=$(($(stat -c %s "$frame") - 54))
    bright=$(tail -c +55 "$frame" | od -An -v -tu1 | tr -s ' ' '\n' | awk '$1 > 24 { n++ } END { print n + 0 }')
    [ $((bright * 100)) -ge "$bytes" ] || fail "$saver: the frame is nearly black ($bright of $bytes bytes lit)"
}

expect_installed() {
    local folder=$1
    for file in heliox.scr data.sdd LICENSE.txt uninstall.exe; do
        [ -f "$folder/$file" ] || fail "$file is not in $folder"
    done
    cmp -s "$data" "$folder/data.sdd" || fail "the installed data.sdd is not the show"
    cmp -s "$top/LICENSE" "$folder/LICENSE.txt" || fail "the installed LICENSE.txt is not the licence"
}

# The uninstaller copies itself away and returns at once; the copy has ended when the prefix's server has.
uninstall() {
    "$wine_run" "$1/uninstall.exe" "${@:2}" || fail "uninstall.exe ${*:2}: exit $?"
    WINEPREFIX="$HELIOX_WINEPREFIX" timeout 120 wineserver -w
    [ ! -e "$1" ] || fail "the uninstall left $1: $(ls -A "$1")"
}

case $case_name in
all_users)
    [ -z "$(key_values "$settings_key")" ] || fail "a fresh prefix has Heliox's key"
    active_before=$(value ScreenSaveActive "$(key_values "$desktop_key")")
    [ "$active_before" != 1 ] || fail "a fresh prefix has the screen saver on"
    "$wine_run" "$setup" /S /SETSAVER || fail "$(basename "$setup") /S /SETSAVER: exit $?"
    expect ScreenSaveActive "$(key_values "$desktop_key")" 1 "with /SETSAVER"
    expect Path "$(key_values 'HKLM\Software\Corvane\Heliox')" 'C:\Program Files\Heliox' "the machine's key"
    system_copy="$HELIOX_WINEPREFIX/drive_c/windows/system32/heliox.scr"
    cmp -s "$system_copy" "$(unix_path 'C:\Program Files\Heliox')/heliox.scr" ||
        fail "heliox.scr is not in the system folder"
    expect_start_menu
    settings=$(key_values "$settings_key")
    expect Path "$settings" 'C:\Program Files\Heliox' "the settings key"
    [ "$(wc -l <<<"$settings")" = 1 ] || fail "the install wrote settings besides Path: $settings"
    folder=$(unix_path 'C:\Program Files\Heliox')
    expect_installed "$folder"

    entry=$(key_values "HKLM\\$uninstall_key")
    expect DisplayName "$entry" Heliox "the uninstall entry"
    expect DisplayVersion "$entry" "$version" "the uninstall entry"
    expect Publisher "$entry" Corvane "the uninstall entry"
    expect UninstallString "$entry" '"C:\Program Files\Heliox\uninstall.exe"' "the uninstall entry"
    expect QuietUninstallString "$entry" '"C:\Program Files\Heliox\uninstall.exe" /S' "the uninstall entry"
    expect DisplayIcon "$entry" 'C:\Program Files\Heliox\heliox.scr' "the uninstall entry"
    size=$(value EstimatedSize "$entry")
    [ "$size" != missing ] && [ $((size)) -ge $(($(stat -c %s "$data") / 1024)) ] ||
        fail "EstimatedSize $size KiB is less than the show"

    # The system names the saver by its short path, and starts it in its own folder, not Heliox's.
    saver=$(value SCRNSAVE.EXE "$(key_values "$desktop_key")")
    case $saver in *' '*) fail "SCRNSAVE.EXE is not a short path: $saver" ;; esac
    [ "$(long_path "$saver")" = 'C:\Program Files\Heliox\heliox.scr' ] || fail "SCRNSAVE.EXE names $saver"
    expect_show "$saver"
    # The copy the Screen Saver list shows, chosen by a user who has no Path: the machine's Path finds the show.
    "$wine_run" reg delete "$settings_key" /v Path /f >/dev/null 2>&1 || fail "cannot remove Path"
    expect_show 'C:\windows\system32\heliox.scr'
    "$wine_run" reg add "$settings_key" /v Path /d 'C:\Program Files\Heliox' /f >/dev/null 2>&1 ||
        fail "cannot put Path back"

    # The dialog saves its settings beside Path and leaves Path alone; the next start shows them.
    HELIOX_TEST_DIALOG="slide:1057:80;click:1" "$wine_run" "$folder/heliox.scr" /c >/dev/null 2>&1 ||
        fail "heliox.scr /c: exit $?"
    settings=$(key_values "$settings_key")
    expect Speed "$settings" 0x50 "after the dialog's OK"
    expect Path "$settings" 'C:\Program Files\Heliox' "after the dialog's OK"
    HELIOX_TEST_DIALOG="dump;click:2" "$wine_run" "$folder/heliox.scr" /c >"$work/dump" 2>/dev/null ||
        fail "heliox.scr /c: exit $?"
    grep "^1057 " "$work/dump" | grep -q " pos=80" || fail "the dialog does not show the saved speed"

    # Silent uninstall: the files, Path, the entry and the saver choice go; the settings stay.
    uninstall "$folder" /S
    settings=$(key_values "$settings_key")
    expect Path "$settings" missing "after the uninstall"
    expect Speed "$settings" 0x50 "after the uninstall"
    [ -z "$(key_values "HKLM\\$uninstall_key")" ] || fail "the uninstall entry is still there"
    expect SCRNSAVE.EXE "$(key_values "$desktop_key")" missing "after the uninstall"
    expect ScreenSaveActive "$(key_values "$desktop_key")" "$active_before" "after the uninstall"
    [ ! -e "$system_copy" ] || fail "the uninstall left heliox.scr in the system folder"
    [ -z "$(key_values 'HKLM\Software\Corvane\Heliox')" ] || fail "the uninstall left the machine's Path"
    [ -z "$(start_menu)" ] || fail "the uninstall left the Start-menu folder: $(start_menu)"
    ;;
one_user)
    other='C:\windows\system32\other.scr'
    "$wine_run" reg add "$desktop_key" /v SCRNSAVE.EXE /d "$other" /f >/dev/null 2>&1 || fail "cannot set SCRNSAVE.EXE"

    # The program reads Path with room for 254 characters: a longer folder is refused, and nothing is written.
    long="C:\\$(printf 'x%.0s' {1..120})\\$(printf 'y%.0s' {1..140})"
    if "$wine_run" "$setup" /S /CurrentUser "/D=$long"; then fail "a folder of ${#long} characters was taken"; fi
    [ -z "$(key_values "$settings_key")" ] || fail "the refused install wrote the settings key"

    # /D= takes the rest of the command line unquoted, as a user types it; Wine would quote one argument
    # with a blank in it, so the folder's name comes in two.
    "$wine_run" "$setup" /S /CurrentUser '/D=C:\Saver' Folder || fail "the per-user install: exit $?"
    folder=$(unix_path 'C:\Saver Folder')
    expect_installed "$folder"
    expect InstallLocation "$(key_values "HKCU\\$uninstall_key")" 'C:\Saver Folder' "the per-user uninstall entry"
    [ -z "$(key_values "HKLM\\$uninstall_key")" ] || fail "a per-user install wrote the entry for all users"
    expect SCRNSAVE.EXE "$(key_values "$desktop_key")" "$other" "without /SETSAVER"
    expect_start_menu

    # Installing again, without naming the folder, updates the same installation and keeps the settings.
    for setting in Speed:80 ShowClock:0 Volume:35; do
        "$wine_run" reg add "$settings_key" /v "${setting%:*}" /t REG_DWORD /d "${setting#*:}" /f >/dev/null 2>&1 ||
            fail "cannot set $setting"
    done
    before=$(key_values "$settings_key")
    "$wine_run" "$setup" /S /CurrentUser || fail "the second install: exit $?"
    [ "$(key_values "$settings_key")" = "$before" ] ||
        fail "installing again changed the settings: $(key_values "$settings_key")"
    expect_installed "$folder"

    # An install for all users replaces the one for this user (silently: it would ask), keeping the settings.
    "$wine_run" "$setup" /S /AllUsers || fail "the install for all users: exit $?"
    WINEPREFIX="$HELIOX_WINEPREFIX" timeout 120 wineserver -w
    [ ! -e "$folder" ] || fail "the per-user installation is still there: $(ls -A "$folder")"
    [ -z "$(key_values "HKCU\\$uninstall_key")" ] || fail "the per-user entry is still there"
    expect InstallLocation "$(key_values "HKLM\\$uninstall_key")" 'C:\Program Files\Heliox' "the entry for all users"
    expect Speed "$(key_values "$settings_key")" 0x50 "after the replacing install"
    folder=$(unix_path 'C:\Program Files\Heliox')
    expect_installed "$folder"
    expect_start_menu

    # Asked to, the uninstall removes the settings key whole; another saver's choice stays.
    uninstall "$folder" /S /REMOVESETTINGS
    [ -z "$(key_values "$settings_key")" ] || fail "the settings are still there"
    [ -z "$(key_values "HKLM\\$uninstall_key")" ] || fail "the uninstall entry is still there"
    [ -z "$(start_menu)" ] || fail "the uninstall left the Start-menu folder: $(start_menu)"
    expect SCRNSAVE.EXE "$(key_values "$desktop_key")" "$other" "after the uninstall"

    # The per-user default folder lies in a folder the installer may have to make; the uninstall removes both.
    "$wine_run" "$setup" /S /CurrentUser || fail "the per-user install into the default folder: exit $?"
    location=$(value InstallLocation "$(key_values "HKCU\\$uninstall_key")")
    folder=$(unix_path "$location")
    expect_installed "$folder"
    parent=$(dirname "$folder")
    parent_was_there=$(find "$parent" -mindepth 1 -maxdepth 1 ! -name Heliox | head -1)
    uninstall "$folder" /S
    [ -n "$parent_was_there" ] || [ ! -e "$parent" ] || fail "the uninstall left the folder it made: $parent"
    ;;
*)
    fail "no such case: $case_name"
    ;;
esac
echo "ok: $case_name"
