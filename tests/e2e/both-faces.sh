# The scenario both faces run from the same stored settings: a frame far off
# the screens, a special folder's name as the letters root and an absurd
# panel width. Each face ticks, sends, deletes and exits; the file it writes
# must be the one in tests/data/both-faces-written.ini, byte for byte, once
# the values each desktop fixes are put back as placeholders: the frame's
# place, the panel as wide as that desktop's window shows it, and the
# deleted-files folder's path on that system.
# Sourced by e2e.sh and wine-e2e.sh; needs fail and cgrep.

both_faces_folder="dorvel-both-faces"

# Three recipients in the DOS code page, the same on both systems.
both_faces_recipients() {
  printf 'L_KIEV \x8A\xA8\xA5\xA2\r\nL_LVIV Lviv\r\nL_ODESA Odesa\r\n'
}

# The stored settings, with this system's form of the deleted-files folder.
both_faces_settings() {
  printf '[Form1]\r\nTop=-3000\r\nLeft=-5000\r\nHeight=600\r\nWidth=800\r\nWindowState=0\r\n'
  printf 'Panel1=99999\r\n[Options]\r\nLetters=rfPersonal\r\nPostMove=0\r\nMoveDir=%s\r\n' "$1"
}

# Checks the written file against the expected one. Arguments: the file,
# the client area's width as the window showed it, the deleted-files folder
# as this system writes it back.
both_faces_check() {
  local ini="$1" client_width="$2" deleted="$3" expected="$4" shown
  cgrep -q $'^Top=-3000\r$' "$ini" && fail "the frame stayed off the screens"
  shown="$(cgrep -a '^Panel1=' "$ini" | tr -d '\r' | cut -d= -f2)"
  [ "$shown" = $((client_width - 33)) ] ||
    fail "Panel1=$shown is not the panel a client area $client_width wide shows"
  LC_ALL=C sed -e 's/^Top=-\{0,1\}[0-9]*\r$/Top=@TOP@\r/' \
    -e 's/^Left=-\{0,1\}[0-9]*\r$/Left=@LEFT@\r/' \
    -e 's/^Panel1=[0-9]*\r$/Panel1=@PANEL@\r/' \
    -e "s|^MoveDir=$(printf '%s' "$deleted" | sed 's/[\\|.]/\\&/g')\r\$|MoveDir=@DELETED@\r|" \
    "$ini" > "$ini.normal"
  cmp -s "$ini.normal" "$expected" ||
    fail "the settings written differ from $expected: $(diff <(tr -d '\r' < "$expected") <(tr -d '\r' < "$ini.normal") | tr '\n' ' ')"
}
