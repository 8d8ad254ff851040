#!/usr/bin/env bash
# End-to-end on Windows: the real dorvel.exe under Wine, on the display and
# with the window manager and wineserver that scripts/wine-suites.sh set up,
# driven through the X server as a person would and judged by the screen
# and the files. Usage: wine-e2e.sh DORVEL_EXE RECORDING_TOOL CASE.
set -uo pipefail
dorvel="$1"
tool="$2"
case_name="$3"
here="$(cd "$(dirname "$0")" && pwd)"
root="$(cd "$here/../.." && pwd)"
export LC_ALL=C.UTF-8

cgrep() { LC_ALL=C grep -a "$@"; }
fail() { echo "E2E $case_name FAILED: $*" >&2; exit 1; }
# Wine sees the machine's folders as drive Z:.
windows_path() { printf 'Z:%s' "${1//\//\\}"; }

work="$(mktemp -d)"
cleanup() {
  [ -n "${pid:-}" ] && kill -9 "$pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
mkdir -p "$work/mail" "$work/letters" "$work/run"
# Three recipients in the DOS code page.
printf 'L_KIEV \x8A\xA8\xA5\xA2\r\nL_LVIV Lviv\r\nL_ODESA Odesa\r\n' > "$work/mail/LUSERS.NDE"
cp "$tool" "$work/mail/TOMAIL.EXE"
printf 'report' > "$work/letters/REPORT.DOC"
printf 'note' > "$work/letters/NOTE.TXT"
ini="$work/run/dorvel.ini"
printf '[Form1]\r\nTop=120\r\nLeft=150\r\nHeight=600\r\nWidth=800\r\n[Options]\r\nLetters=%s\r\nMoveDir=%s\r\n' \
  "$(windows_path "$work/letters")" "$(windows_path "$work/deleted")" > "$ini"
export ZOVOVOD="$(windows_path "$work/mail")"
export DORVEL_RECORD="$(windows_path "$work/record.txt")"

# shellcheck source=waits.sh
source "$here/waits.sh"
# shellcheck source=keys.sh
source "$here/keys.sh"
start() {
  (cd "$work/run" && exec "$root/scripts/wine-run.sh" "$dorvel" >/dev/null 2>&1) &
  pid=$!
  main="$(window '\.')" || fail "the main window never appeared; windows shown: $(
    xdotool search --onlyvisible --name '.' getwindowname %@ 2>/dev/null | tr '\n' '|')"
  # The client area's place on the screen: Wine's own X window is the
  # client area, inside the window manager's frame.
  cx="$(xwininfo -id "$main" | awk '/Absolute upper-left X/ {print $4}')"
  cy="$(xwininfo -id "$main" | awk '/Absolute upper-left Y/ {print $4}')"
  cw="$(xwininfo -id "$main" | awk '/Width:/ {print $2}')"
  ch="$(xwininfo -id "$main" | awk '/Height:/ {print $2}')"
}
close() {
  for _ in $(seq 30); do
    kill -0 "$pid" 2>/dev/null || break
    alt_f4 "$main"
    for _ in $(seq 20); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
  done
  wait "$pid" 2>/dev/null
  pid=""
}
click() { xdotool mousemove "$1" "$2" click 1; sleep 0.2; }
# The check-list starts below the 43-pixel toolbar, inside a 2-pixel edge;
# its rows are 13 pixels high and the box column 13 wide.
tick() { click $((cx + 2 + 6)) $((cy + 43 + 2 + $1 * 13 + 6)); }
toolbutton() { click $((cx + 2 + $1 * 39 + 19)) $((cy + 2 + 19)); }
lines() { [ -f "$work/record.txt" ] && [ "$(wc -l < "$work/record.txt")" -ge "$1" ]; }

case "$case_name" in
  both_faces)
    # shellcheck source=both-faces.sh
    source "$here/both-faces.sh"
    # The desktop at the top of the name space is the user's folder, named
    # for whoever made the prefix; Public is everyone's.
    desktop=""
    for d in "$WINEPREFIX"/drive_c/users/*/Desktop; do
      case "$d" in */Public/Desktop) ;; *) desktop="$(readlink -f "$d")/$both_faces_folder" ;; esac
    done
    [ -n "$desktop" ] || fail "the prefix has no user's desktop"
    rm -rf "$desktop" && mkdir -p "$desktop"
    trap 'rm -rf "$desktop"; cleanup' EXIT
    printf 'report' > "$desktop/REPORT.DOC"
    printf 'note' > "$desktop/NOTE.TXT"
    both_faces_settings "$(windows_path "$work/deleted")" > "$ini"
    start
    tick 0
    tick 2
    # The root stays the desktop; the letters are in a folder on it.
    click $((cx + cw - 20)) $((cy + 200))
    xdotool type --delay 60 "$both_faces_folder"
    xdotool key Return
    sleep 1
    xdotool type --delay 60 REPORT
    sleep 0.3
    toolbutton 0
    until_true lines 2 || fail "the mail tool did not run twice"
    cgrep -q 'REPORT.DOC' "$work/record.txt" || fail "sent: $(cat "$work/record.txt")"
    toolbutton 1
    until_true test -f "$work/deleted/REPORT.DOC" || fail "the letter was not moved"
    close
    both_faces_check "$ini" "$cw" "$(windows_path "$work/deleted")\\" \
      "$root/tests/data/both-faces-written.ini"
    ;;
  send_delete_and_restart)
    start
    # 800 by 600 outside, as stored: the client is that less the frame.
    [ "$cw" -lt 800 ] && [ "$cw" -gt 760 ] && [ "$ch" -lt 600 ] && [ "$ch" -gt 540 ] ||
      fail "the window is $cw x $ch inside, not the stored 800 x 600 outside"
    tick 0
    tick 2
    # The letters: NOTE.TXT, REPORT.DOC; End selects the last.
    click $((cx + 400)) $((cy + ch - 20))
    xdotool key End
    sleep 0.3
    toolbutton 0
    until_true lines 2 || fail "the mail tool did not run twice"
    sed -n 1p "$work/record.txt" | cgrep -q -- ' -NL_KIEV -F.*REPORT.DOC -X -SOFFICE	0' ||
      fail "first run: $(sed -n 1p "$work/record.txt")"
    sed -n 2p "$work/record.txt" | cgrep -q -- ' -NL_ODESA -F.*REPORT.DOC -X -SOFFICE	0' ||
      fail "second run: $(sed -n 2p "$work/record.txt")"
    toolbutton 1
    until_true test -f "$work/deleted/REPORT.DOC" || fail "the letter was not moved"
    [ -f "$work/letters/REPORT.DOC" ] && fail "the letter is still in its folder"
    close
    cgrep -q $'^L_KIEV \xCA\xE8\xE5\xE2=1\r$' "$ini" || fail "the first tick was not written"
    cgrep -q $'^L_LVIV Lviv=0\r$' "$ini" || fail "the second row was written ticked"
    cgrep -q $'^L_ODESA Odesa=1\r$' "$ini" || fail "the third tick was not written"
    cgrep -q $'^Top=120\r$' "$ini" && cgrep -q $'^Width=800\r$' "$ini" ||
      fail "the geometry changed: $(cgrep -E '^(Top|Left|Height|Width)=' "$ini" | tr -d '\r' | tr '\n' ' ')"
    before="$(cgrep -E '^(Top|Left|Height|Width|L_)' "$ini")"
    start
    close
    [ "$(cgrep -E '^(Top|Left|Height|Width|L_)' "$ini")" = "$before" ] ||
      fail "a restart changed the geometry or the ticks"
    ;;
  minimise_and_restore)
    start
    # The taskbar's window is the main window's owner, titled with the
    # program's title; the main window itself stays off the taskbar.
    owner="$(xprop -id "$main" WM_TRANSIENT_FOR | awk '{print $NF}')"
    [ "$(xprop -id "$owner" WM_NAME | cut -d'"' -f2)" = "dorvel" ] ||
      fail "the owner is titled $(xprop -id "$owner" WM_NAME)"
    xprop -id "$main" _NET_WM_STATE | cgrep -q SKIP_TASKBAR || fail "the main window has a button"
    viewable() { xwininfo -id "$1" 2>/dev/null | cgrep -q 'IsViewable'; }
    iconic() { xprop -id "$1" WM_STATE 2>/dev/null | cgrep -q Iconic; }
    xdotool windowminimize "$main"
    until_true iconic "$owner" || fail "the program's button was not minimised"
    until_true eval '! viewable "$main"' || fail "the main window stayed on the screen"
    xdotool windowactivate "$owner" 2>/dev/null || xdotool windowmap "$owner"
    until_true viewable "$main" || fail "the main window did not come back"
    close
    cgrep -q $'^WindowState=0\r$' "$ini" || fail "WindowState: $(cgrep WindowState "$ini" | tr -d '\r')"
    ;;
  keyboard_only)
    start
    # No click at all: the recipients have the focus from the start, once
    # the window manager has given the window the keyboard. A window manager
    # busy at the moment of the map can leave the focus where it was; a
    # person then brings the window forward (Alt+Tab), and so does this.
    focused() { [ "$(xdotool getwindowfocus 2>/dev/null)" = "$main" ]; }
    for _ in $(seq 30); do focused && break; sleep 0.1; done
    focused || xdotool windowactivate "$main" 2>/dev/null
    until_true focused || fail "the main window never got the keyboard (focus on $(
      xdotool getwindowfocus getwindowname 2>&1))"
    xdotool key space Down Down space
    sleep 0.3
    xdotool key Tab End
    sleep 0.3
    xdotool key Tab
    sleep 0.3
    [ -n "${DORVEL_SHOT:-}" ] && import -window root "$DORVEL_SHOT"
    xdotool key space
    until_true lines 2 || fail "Space on the toolbar's first button did not send to two recipients"
    sed -n 1p "$work/record.txt" | cgrep -q -- ' -NL_KIEV -F.*REPORT.DOC' ||
      fail "first run: $(sed -n 1p "$work/record.txt")"
    sed -n 2p "$work/record.txt" | cgrep -q -- ' -NL_ODESA -F.*REPORT.DOC' ||
      fail "second run: $(sed -n 2p "$work/record.txt")"
    # The progress window has the keyboard while it sends; the next keys
    # are for the main window, once it has them back.
    progress_shown() { xdotool search --onlyvisible --name '^Отправка почты$' >/dev/null 2>&1; }
    until_true eval '! progress_shown' || fail "the progress window stayed"
    until_true focused || fail "the main window did not get the keyboard back after sending"
    xdotool key Right space
    until_true test -f "$work/deleted/REPORT.DOC" || fail "Right and Space did not delete"
    # On to the settings button, the option ticked in the dialog, the
    # dialog closed by its button and the program by Alt+F4: still no click.
    progress_gone() { ! xdotool search --onlyvisible --name '^Перемещается файл$' >/dev/null 2>&1; }
    until_true progress_gone || fail "the progress window stayed after deleting"
    until_true focused || fail "the main window did not get the keyboard back after deleting"
    xdotool key Right Right space
    dialog="$(window 'Настройки')" || fail "Right, Right and Space did not open the settings"
    sleep 0.3
    # The first field has the focus; then the other field, the option.
    xdotool key Tab Tab space
    sleep 0.3
    xdotool key Tab Tab space
    dialog_shown() { xdotool search --onlyvisible --name '^Настройки$' >/dev/null 2>&1; }
    until_true eval '! dialog_shown' || fail "Space on the dialog's button did not close it"
    until_true focused || fail "the main window did not get the keyboard back from the dialog"
    close
    cgrep -q $'^PostMove=1\r$' "$ini" || fail "the option ticked from the keyboard was not saved: $(cgrep PostMove "$ini" | tr -d '\r')"
    ;;
  dpi_144 | dpi_192)
    # The system's scale set as Windows' display settings set it, for the
    # programs started after; put back whatever happens.
    dpi="${case_name#dpi_}"
    set_dpi() {
      "$root/scripts/wine-run.sh" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD \
        /d "$1" /f >/dev/null 2>&1
      wineserver -k 2>/dev/null
      "$root/scripts/wine-run.sh" wineboot.exe --init >/dev/null 2>&1
    }
    trap 'cleanup; set_dpi 96' EXIT
    set_dpi "$dpi"
    # Small enough to fit the screen whole at 2x, so that it is kept.
    printf '[Form1]\r\nTop=20\r\nLeft=20\r\nHeight=450\r\nWidth=600\r\n[Options]\r\nLetters=%s\r\nMoveDir=%s\r\n' \
      "$(windows_path "$work/letters")" "$(windows_path "$work/deleted")" > "$ini"
    start
    scaled() { echo $((($1 * dpi + 48) / 96)); }
    [ -n "${DORVEL_SHOT:-}" ] && import -window root "$DORVEL_SHOT"
    # The frame stored as 600 by 450 at 96 DPI is that many inches here.
    [ "$cw" -ge "$(scaled 570)" ] && [ "$cw" -le "$(scaled 600)" ] ||
      fail "the window is $cw pixels wide at $dpi DPI, not 600 scaled"
    # The third recipient's box, where the toolbar, the rows and the box
    # column are all scaled: with any of them at 96 DPI the click misses.
    click $((cx + 3 + $(scaled 6))) $((cy + $(scaled 43) + 3 + $(scaled 13) * 2 + $(scaled 6)))
    close
    cgrep -q $'^L_ODESA Odesa=1\r$' "$ini" && cgrep -q $'^L_LVIV Lviv=0\r$' "$ini" ||
      fail "the click at the scaled third row did not tick it alone: $(cgrep '^L_' "$ini" | tr -d '\r' | tr '\n' ' ')"
    # The settings file keeps 96-DPI pixels: what was stored comes back.
    for kept in Top=20 Left=20 Height=450 Width=600; do
      cgrep -q "^$kept"$'\r$' "$ini" || fail "$kept was not kept at $dpi DPI: $(cgrep -E '^(Top|Left|Height|Width)=' "$ini" | tr -d '\r' | tr '\n' ' ')"
    done
    ;;
  end_session)
    start
    tick 1
    # Wine's log-off: each window is asked and told that the session ends,
    # then the processes are ended, as Windows ends them.
    "$root/scripts/wine-run.sh" wineboot.exe --end-session --force --kill >/dev/null 2>&1
    until_true eval '! kill -0 "$pid" 2>/dev/null' || fail "the program outlived the session"
    pid=""
    cgrep -q $'^L_LVIV Lviv=1\r$' "$ini" || fail "the tick of the session was lost: $(tr -d '\r' < "$ini")"
    cgrep -q $'^L_ODESA Odesa=0\r$' "$ini" || fail "the settings file is not whole"
    cgrep -q $'^Top=120\r$' "$ini" && cgrep -q $'^Width=800\r$' "$ini" ||
      fail "the geometry was not written"
    ;;
  *)
    fail "no such case"
    ;;
esac
echo "E2E $case_name passed"
