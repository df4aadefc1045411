#!/usr/bin/env bash
# Smoke runs of heliox.scr under Wine, one case per call:
#
#   scr_smoke_test.sh CASE HELIOX.SCR DATA.SDD
#
# The program's test hooks stand in for the person at the screen: HELIOX_TEST_DIALOG works the settings
# dialog, HELIOX_TEST_FRAME saves a frame of the show and ends it, HELIOX_TEST_MESSAGES=stderr writes the
# message boxes' texts to standard error. Every case uses the program's own registry key, so CTest runs them
# one at a time.
set -euo pipefail

case_name=$1
scr=$2
data=$3
top=$(cd "$(dirname "$0")/../../.." && pwd)
wine_run="$top/scripts/wine-run"
key='HKCU\Software\Corvane\Heliox'
export HELIOX_WINE_TIMEOUT=${HELIOX_WINE_TIMEOUT:-120}
export HELIOX_TEST_MESSAGES=stderr

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

reg() { "$wine_run" reg "$@" >/dev/null 2>&1; }
set_dword() { reg add "$key" /v "$1" /t REG_DWORD /d "$2" /f || fail "cannot set $1"; }

# The key's values as "Name TYPE value" lines, sorted.
values() {
    "$wine_run" reg query "$key" 2>/dev/null | tr -d '\r' | awk 'NF >= 3 && $2 ~ /^REG_/ { print $1, $2, $3 }' | sort
}

# One value's number in decimal, from the key as it was at the last `snapshot` (each query starts Wine).
snapshot() { values >"$work/values"; }
value_of() {
    local line
    line=$(awk -v n="$1" '$1 == n' "$work/values")
    [ -n "$line" ] || { echo missing; return; }
    printf '%d\n' "$(echo "$line" | awk '{ print $3 }')"
}

expect_value() {
    local got
    got=$(value_of "$1")
    [ "$got" = "$2" ] || fail "$1 is $got in the registry, expected $2"
}

# Runs the program with a dialog script (and the switch, /c unless given); its dump lines go to $work/dump.
run_dialog() {
    HELIOX_TEST_DIALOG="$1" "$wine_run" "$scr" "${2:-/c}" >"$work/dump" 2>"$work/stderr" ||
        fail "heliox.scr ${2:-/c}: exit $?"
}

# A control's line in the dump must hold every given field (e.g. checked=1 enabled=0).
expect_control() {
    local id=$1
    shift
    local line
    line=$(grep -m1 "^$id " "$work/dump" | tr -d '\r') || fail "control $id is not in the dialog"
    for field in "$@"; do
        case " $line" in
        *" $field"*) ;;
        *) fail "control $id: expected $field in: $line" ;;
        esac
    done
}

windows_path() { "$wine_run" winepath -w "$1" 2>/dev/null | tr -d '\r'; }
# The show the Linux build made, in an installation folder of this case's own that Path names, the other
# settings removed.
install_show() {
    [ -f "$data" ] || fail "$data is missing: build the Linux preset first (it makes data.sdd)"
    mkdir "$work/installed"
    cp "$data" "$work/installed/data.sdd"
    reg delete "$key" /f || true
    reg add "$key" /v Path /d "$(windows_path "$work/installed")" /f || fail "cannot set Path"
}

case $case_name in
dialog_round_trip)
    # Every kind of control changed, OK pressed: the registry holds all sixteen values (Multisample, which the
    # dialog does not show, as it was); the next start shows them.
    reg delete "$key" /f || true
    run_dialog "click:1001;click:1027;click:1011;click:1054;click:1004;slide:1057:80;slide:1026:35;click:1032;slide:1029:70;click:1028;click:1003;click:1"
    snapshot
    [ "$(wc -l <"$work/values")" = 16 ] || { cat "$work/values" >&2; fail "the key does not hold the 16 values"; }
    expect_value ShowFlame 0
    expect_value ShowClock 0
    expect_value TimeFormat 1
    expect_value EnableMusic 0
    expect_value UseDesktop 0
    expect_value DefGamma 0
    expect_value Volume 35
    expect_value Speed 80
    expect_value Gamma 70
    expect_value VSync 1
    expect_value MouseExit 1
    expect_value ShowFPS 1
    expect_value Multisample 1
    [ "$(value_of Path)" = missing ] || fail "Path was written"
    # The list kept the desktop's mode when Use Desktop Settings was cleared; OK saved that mode.
    [ "$(value_of Width)" -ge 640 ] && [ "$(value_of Height)" -ge 480 ] || fail "no display mode was saved"

    run_dialog "dump;click:2"
    expect_control 1001 checked=0
    expect_control 1000 enabled=1 "text=$(value_of Width) x $(value_of Height) $(value_of Depth) bits"
    expect_control 1027 checked=1
    expect_control 1011 checked=1
    expect_control 1004 checked=0
    expect_control 1054 checked=1 enabled=0
    expect_control 1049 checked=0 enabled=0
    expect_control 1057 pos=80
    expect_control 1026 pos=35 enabled=0
    expect_control 1017 "text=&Volume (35%)" enabled=0
    expect_control 1003 checked=0
    expect_control 1032 checked=0
    expect_control 1029 pos=70 enabled=1
    expect_control 1030 "text=&Brightness (120%)"
    expect_control 1028 checked=1
    ;;
restore_defaults_cancel)
    # Restore Defaults shows the defaults, and Cancel afterwards leaves the registry exactly as it was.
    reg delete "$key" /f || true
    set_dword UseDesktop 0
    set_dword Width 800
    set_dword Height 600
    set_dword Depth 32
    set_dword ShowFPS 1
    set_dword Volume 30
    set_dword EnableMusic 0
    set_dword DefGamma 0
    set_dword Gamma 10
    set_dword Speed 90
    set_dword TimeFormat 1
    before=$(values)
    run_dialog "click:1006;dump;click:2"
    expect_control 1001 checked=1
    expect_control 1000 enabled=0
    expect_control 1003 checked=1
    expect_control 1026 pos=100 enabled=1
    expect_control 1017 "text=&Volume (100%)"
    expect_control 1032 checked=1
    expect_control 1029 pos=50 enabled=0
    expect_control 1030 "text=&Brightness (100%)" enabled=0
    expect_control 1027 checked=0
    expect_control 1057 pos=50
    expect_control 1054 checked=0
    expect_control 1049 checked=1
    [ "$(values)" = "$before" ] || fail "Cancel after Restore Defaults changed the registry"
    ;;
missing_values)
    # A first start with no settings at all shows the defaults, and Cancel writes nothing. The window number
    # names no window: the dialog opens without an owner.
    reg delete "$key" /f || true
    run_dialog "dump;click:1008;popup:1;click:2" /c:99999
    grep -q "^popup caption=About" "$work/dump" || fail "About... opened no About box: $(cat "$work/dump")"
    tr -d "\r" <"$work/dump" | grep -q "^1100 .*text=Heliox [0-9][0-9.]*$" || fail "the About box shows no version"
    expect_control 1001 checked=1
    expect_control 1000 enabled=0
    expect_control 1003 checked=1
    expect_control 1026 pos=100
    expect_control 1032 checked=1
    expect_control 1029 pos=50 enabled=0
    expect_control 1057 pos=50
    expect_control 1004 checked=1
    expect_control 1049 checked=1
    expect_control 1027 checked=0
    # The product label says what the program is; the .scr comes without the README, so it names none.
    expect_control 1035 "text=Heliox: the Sun"
    ! grep "^1035 " "$work/dump" | grep -qi readme || fail "the product label still points to a README"
    [ -z "$(values)" ] || fail "Cancel wrote values"
    ;;
preview_without_window)
    # The host's page makes and destroys preview windows as the user browses: a window number that names no
    # live window (one already gone, none, 0) ends the preview at once, silently, with exit 0.
    for switches in "/p 99999" "/P" "/p:0" "/p"; do
        # shellcheck disable=SC2086
        HELIOX_WINE_TIMEOUT=60 "$wine_run" "$scr" $switches >"$work/out" 2>"$work/stderr" ||
            fail "heliox.scr $switches: exit $?"
        said=$(grep -v ALSA "$work/stderr" "$work/out" || true)
        [ -z "$said" ] || fail "heliox.scr $switches said: $said"
    done
    ;;
dialog_keyboard)
    # Sliders moved by the keyboard (line steps, Home) and the wheel show their new value at once and OK saves
    # what they show. OK with Use Desktop Settings ticked keeps the stored Width and Height: the show runs in
    # the desktop's mode, but the user's own mode waits for the day the box is cleared.
    reg delete "$key" /f || true
    set_dword UseDesktop 1
    set_dword Width 800
    set_dword Height 600
    set_dword DefGamma 0
    set_dword Gamma 50
    set_dword Volume 100
    set_dword Speed 50
    # 37 left, 39 right, 36 Home, 35 End.
    run_dialog "key:1026:37;key:1026:37;key:1026:37;key:1057:36;key:1029:39;key:1029:35;wheel:1029:120;dump;click:1"
    for slider in 1026:1017:0 1029:1030:50; do
        IFS=: read -r id label offset <<<"$slider"
        pos=$(grep -m1 "^$id " "$work/dump" | sed -n 's/.* pos=\([0-9]*\).*/\1/p')
        [ -n "$pos" ] || fail "slider $id is not in the dialog"
        expect_control "$label" "($((pos + offset))%)"
    done
    expect_control 1026 pos=97
    expect_control 1057 pos=0
    snapshot
    expect_value Volume 97
    expect_value Speed 0
    expect_value Gamma "$(grep -m1 "^1029 " "$work/dump" | sed -n 's/.* pos=\([0-9]*\).*/\1/p')"
    [ "$(value_of Gamma)" != 50 ] || fail "the keys and the wheel did not move the brightness"
    expect_value UseDesktop 1
    expect_value Width 800
    expect_value Height 600
    ;;
show_draws_frame)
    # The show loads from data.sdd in the installation folder (Path) and draws: its tenth frame is saved.
    install_show
    set_dword EnableMusic 1 # no sound device here: the show must go on in silence
    HELIOX_TEST_FRAME="$(windows_path "$work/frame.bmp")" "$wine_run" "$scr" /s >"$work/out" 2>"$work/stderr" ||
        fail "heliox.scr /s: exit $?"
    [ -f "$work/frame.bmp" ] || fail "no frame was saved; the program said: $(grep -v ALSA "$work/stderr")"
    [ "$(head -c 2 "$work/frame.bmp")" = BM ] || fail "the frame is not a BMP file"
    size=$(stat -c %s "$work/frame.bmp")
    # The picture must show something. The camera's path starts from the clock, so the view differs from run to
    # run, but the sky alone lights a few percent of the screen with stars and the milky way; a frame that was
    # never drawn is black.
    bright=$(tail -c +55 "$work/frame.bmp" | od -An -v -tu1 | tr -s ' ' '\n' | awk '$1 > 24 { n++ } END { print n + 0 }')
    [ $((bright * 100)) -ge $((size - 54)) ] || fail "the frame is nearly black ($bright of $((size - 54)) bytes lit)"
    ;;
show_beside_program)
    # Without Path the program reads the data.sdd that lies beside it, whatever folder it is started from.
    [ -f "$data" ] || fail "$data is missing: build the Linux preset first (it makes data.sdd)"
    mkdir "$work/copied"
    cp "$scr" "$work/copied/heliox.scr"
    cp "$data" "$work/copied/data.sdd"
    reg delete "$key" /f || true
    set_dword EnableMusic 0
    (cd "$top" && HELIOX_TEST_FRAME="$(windows_path "$work/frame.bmp")" "$wine_run" "$work/copied/heliox.scr" /t \
        >"$work/out" 2>"$work/stderr") || fail "heliox.scr /t: exit $?"
    [ -f "$work/frame.bmp" ] || fail "no frame was saved; the program said: $(grep -v ALSA "$work/stderr")"
    ;;
show_without_data)
    # An installation folder without data.sdd, and none beside the program: the user is told which file is
    # missing and what brings it back; no hang, exit 0.
    mkdir "$work/empty"
    reg delete "$key" /f || true
    reg add "$key" /v Path /d "$(windows_path "$work/empty")" /f || fail "cannot set Path"
    "$wine_run" "$scr" /t >"$work/out" 2>"$work/stderr" || fail "heliox.scr /t: exit $?"
    grep -q "^Heliox: .*empty.data.sdd: cannot open the show's archive.* Reinstall Heliox" "$work/stderr" ||
        fail "heliox.scr /t said: $(cat "$work/stderr")"
    ;;
show_path_fallback)
    # Path names a folder that lost its show: the data.sdd beside the program is shown. Path stored as
    # REG_EXPAND_SZ names the folder its variables expand to.
    [ -f "$data" ] || fail "$data is missing: build the Linux preset first (it makes data.sdd)"
    mkdir "$work/empty" "$work/copied" "$work/expanded"
    cp "$scr" "$work/copied/heliox.scr"
    cp "$data" "$work/copied/data.sdd"
    cp "$data" "$work/expanded/data.sdd"
    reg delete "$key" /f || true
    set_dword EnableMusic 0
    reg add "$key" /v Path /d "$(windows_path "$work/empty")" /f || fail "cannot set Path"
    HELIOX_TEST_FRAME="$(windows_path "$work/frame.bmp")" "$wine_run" "$work/copied/heliox.scr" /s \
        >"$work/out" 2>"$work/stderr" || fail "heliox.scr /s: exit $?"
    [ -f "$work/frame.bmp" ] || fail "Path without the show: no frame; the program said: $(grep -v ALSA "$work/stderr")"
    rm "$work/frame.bmp"
    reg add "$key" /v Path /t REG_EXPAND_SZ /d "%HELIOX_TEST_SHOW%" /f || fail "cannot set Path"
    HELIOX_TEST_SHOW="$(windows_path "$work/expanded")" HELIOX_TEST_FRAME="$(windows_path "$work/frame.bmp")" \
        "$wine_run" "$scr" /s >"$work/out" 2>"$work/stderr" || fail "heliox.scr /s: exit $?"
    [ -f "$work/frame.bmp" ] || fail "Path to expand: no frame; the program said: $(grep -v ALSA "$work/stderr")"
    ;;
show_refused_mode)
    # A mode the display refuses (this display has only 1024 x 768): the show stays in the desktop's mode and
    # draws the whole picture in the shape of Width x Height, as large as the monitor allows.
    install_show
    set_dword EnableMusic 0
    set_dword UseDesktop 0
    set_dword Width 1280
    set_dword Height 720
    set_dword Depth 32
    HELIOX_TEST_FRAME="$(windows_path "$work/frame.bmp")" "$wine_run" "$scr" /s >"$work/out" 2>"$work/stderr" ||
        fail "heliox.scr /s: exit $?"
    [ -f "$work/frame.bmp" ] || fail "no frame was saved; the program said: $(grep -v ALSA "$work/stderr")"
    size=$(od -An -tu4 -j18 -N8 "$work/frame.bmp" | awk '{ print $1 "x" $2 }')
    [ "$size" = 1024x576 ] || fail "the picture is $size, expected 1024x576 (1280 x 720 fitted to 1024 x 768)"
    ;;
unknown_switches)
    # Switches the host does not send start nothing, and end at once with exit 0.
    install_show
    for switch in /a "/?" /x; do
        HELIOX_WINE_TIMEOUT=60 HELIOX_TEST_FRAME="$(windows_path "$work/frame.bmp")" HELIOX_TEST_DIALOG=dump \
            "$wine_run" "$scr" "$switch" >"$work/out" 2>"$work/stderr" || fail "heliox.scr $switch: exit $?"
        [ ! -f "$work/frame.bmp" ] || fail "heliox.scr $switch started the show"
        [ ! -s "$work/out" ] || fail "heliox.scr $switch opened the settings"
    done
    ;;
one_show_at_a_time)
    # A second show started while the first runs ends at once; the first goes on.
    install_show
    set_dword EnableMusic 0
    HELIOX_WINE_TIMEOUT=240 "$wine_run" "$scr" /s >"$work/first.out" 2>"$work/first.err" &
    first=$!
    trap 'kill "$first" 2>/dev/null || true; rm -rf "$work"' EXIT
    # The first show's window appears once it holds the show; Wine names its X window after it.
    export DISPLAY=${DISPLAY:-$(cat "$top/build/wine/xvfb.display" 2>/dev/null || true)}
    for _ in $(seq 120); do
        [ -n "$DISPLAY" ] && xdotool search --name '^Heliox$' >/dev/null 2>&1 && break
        kill -0 "$first" 2>/dev/null || fail "the first show ended: $(grep -v ALSA "$work/first.err")"
        sleep 1
        export DISPLAY=${DISPLAY:-$(cat "$top/build/wine/xvfb.display" 2>/dev/null || true)}
    done
    xdotool search --name '^Heliox$' >/dev/null 2>&1 || fail "the first show's window never appeared"
    HELIOX_WINE_TIMEOUT=60 HELIOX_TEST_FRAME="$(windows_path "$work/frame.bmp")" "$wine_run" "$scr" /s \
        >"$work/out" 2>"$work/stderr" || fail "the second heliox.scr /s: exit $?"
    [ ! -f "$work/frame.bmp" ] || fail "a second show ran beside the first"
    kill -0 "$first" 2>/dev/null || fail "the first show ended when the second started"
    kill "$first"
    wait "$first" 2>/dev/null || true
    ;;
*)
    fail "no such case: $case_name"
    ;;
esac
echo "ok: $case_name"
