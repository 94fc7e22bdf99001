# Shared by the end-to-end tests (tests/e2e/test_*.sh) and scripts/demo.sh: a private Xvfb with
# no window manager, the program started from a folder of the caller's choosing, clicks at the
# layout's screen positions, waits that poll, screenshots, and the table files read back with
# tabletool. Source it from bash, then call e2e_init first.
#
# Without a window manager every window sits exactly where the program puts it: the main menu and
# the review window at x -2, the question window at x -1, all at y 0. A screen position is the
# window's client position plus that x. Centres of the components (layout positions in brackets):

# Main menu.
E2E_MENU_EASY=(454 216)     # 仮免(簡単)に挑戦  BitBtn6 (312, 184, 289 x 65)
E2E_MENU_NORMAL=(358 296)   # 仮免(普通)に挑戦  BitBtn4 (216, 264, 289 x 65)
E2E_MENU_HARD=(222 376)     # 仮免(難問)に挑戦  BitBtn5 (80, 344, 289 x 65)
E2E_MENU_REVIEW=(726 480)   # 問題の見直し      BitBtn9 (568, 448, 321 x 65)
E2E_MENU_QUIT=(911 341)     # 終了              BitBtn2 (812, 309, 202 x 65)
E2E_MENU_RECORD=(726 560)   # 学習記録          ProgressButton (568, 528, 321 x 65)
# Question window; the answer buttons lie in GroupBox5 at (16, 477), 終了 in GroupBox4 at (575, 405).
E2E_Q_TRUE=(115 669)        # 正        BitBtn3 (32, 160, 137 x 65)
E2E_Q_FALSE=(259 669)       # 誤        BitBtn4 (176, 160, 137 x 65)
E2E_Q_NEXT=(435 669)        # 次の問題  BitBtn1 (328, 160, 185 x 65)
E2E_Q_END=(913 601)         # 終了      BitBtn5 (271, 176, 137 x 41)
# Screen regions (WxH+X+Y) whose look changes when a button is enabled or disabled.
E2E_Q_TRUE_AREA=137x65+47+637
E2E_Q_NEXT_AREA=185x65+343+637
# Review window.
E2E_R_QUESTION_AREA=545x201+14+32   # DBMemo1 (question text), in GroupBox2 at (16, 8)
E2E_R_GRID_LEFT=14                  # DBGrid1 (16, 476, 993 x 237)
E2E_R_GRID_TOP=476
E2E_R_GRID_WIDTH=993
E2E_R_GRID_HEIGHT=237

E2E_MENU_TITLE='^学科練習システム$'   # exactly: nothing appended by the window system
E2E_QUESTION_TITLE='^問題画面$'
E2E_DIALOG_TITLE='問題データファイルを開いてください。'

# Seconds that any single wait may take before the test gives up. Generous, so that a loaded
# machine or an instrumented build does not fail a test that would pass.
E2E_TIMEOUT=${E2E_TIMEOUT:-30}

export LC_ALL=C.UTF-8
unset XAUTHORITY
# A failure inside $(...) ends the caller too.
shopt -s inherit_errexit

# e2e_init NAME BUILD_DIR [SCREENSHOT_DIR]
# Makes the test's temporary folder and arranges for the cleanup. Screenshots are taken into the
# temporary folder; they are kept under SCREENSHOT_DIR (default BUILD_DIR/e2e-screenshots/NAME)
# when the caller fails, or always when E2E_KEEP_SHOTS is 1.
e2e_init() {
  E2E_NAME=$1
  E2E_BUILD=$(cd "$2" && pwd)
  E2E_SHOTS=${3:-$E2E_BUILD/e2e-screenshots/$E2E_NAME}
  E2E_KEEP_SHOTS=${E2E_KEEP_SHOTS:-0}
  E2E_TMP=$(mktemp -d "${TMPDIR:-/tmp}/lentavo-e2e.XXXXXX")
  E2E_STEP_SHOTS=$E2E_TMP/shots
  E2E_SHOT_COUNT=0
  E2E_XVFB_PID=
  E2E_PROG_PID=
  E2E_PROG_STATUS=
  E2E_STARTED=$(date +%s%N)
  mkdir -p "$E2E_STEP_SHOTS"
  trap e2e_cleanup EXIT
  trap 'exit 130' INT
  trap 'exit 143' TERM
  local tool
  for tool in Xvfb xdotool xdpyinfo import convert; do
    command -v "$tool" >/dev/null || e2e_fail "$tool is not installed (scripts/packages.sh installs it)"
  done
  # The program and tabletool under test: the build's, unless the caller names installed ones.
  E2E_PROGRAM=${E2E_PROGRAM:-$E2E_BUILD/lentavo}
  E2E_TABLETOOL=${E2E_TABLETOOL:-$E2E_BUILD/tabletool}
  [ -x "$E2E_PROGRAM" ] || e2e_fail "no program at $E2E_PROGRAM"
  [ -x "$E2E_TABLETOOL" ] || e2e_fail "no tabletool at $E2E_TABLETOOL"
}

e2e_log() { printf '[%s %6ss] %s\n' "$E2E_NAME" "$(e2e_elapsed)" "$*"; }

e2e_elapsed() {
  local ms=$(( ($(date +%s%N) - E2E_STARTED) / 1000000 ))
  printf '%d.%d' $((ms / 1000)) $((ms % 1000 / 100))
}

e2e_fail() {
  printf 'FAIL [%s]: %s\n' "${E2E_NAME:-e2e}" "$*" >&2
  exit 1
}

# e2e_poll TIMEOUT COMMAND...: runs COMMAND every tenth of a second until it succeeds; false
# when TIMEOUT seconds pass first.
e2e_poll() {
  local timeout=$1; shift
  local deadline=$(( $(date +%s%N) + timeout * 1000000000 ))
  until "$@"; do
    [ "$(date +%s%N)" -lt "$deadline" ] || return 1
    sleep 0.1
  done
}

# ---------------------------------------------------------------------------------------------
# The X server

# Starts Xvfb on a free display (the server picks it and reports it through -displayfd) and
# exports DISPLAY. The screen is 1024 x 768 unless E2E_SCREEN names another (WxHxDEPTH).
e2e_start_xvfb() {
  local fdfile=$E2E_TMP/xvfb.display
  : >"$fdfile"
  Xvfb -displayfd 9 -screen 0 "${E2E_SCREEN:-1024x768x24}" -nolisten tcp -noreset 9>"$fdfile" \
    >"$E2E_TMP/xvfb.log" 2>&1 &
  E2E_XVFB_PID=$!
  e2e_poll "$E2E_TIMEOUT" e2e__display_known "$fdfile" ||
    e2e_fail "Xvfb did not start: $(cat "$E2E_TMP/xvfb.log")"
  export DISPLAY=":$(head -n1 "$fdfile")"
  e2e_poll "$E2E_TIMEOUT" e2e__display_answers || e2e_fail "Xvfb on $DISPLAY does not answer"
  e2e_log "Xvfb on $DISPLAY"
}

e2e__display_known() {
  grep -q '^[0-9][0-9]*$' "$1" && return 0
  kill -0 "$E2E_XVFB_PID" 2>/dev/null || e2e_fail "Xvfb ended: $(cat "$E2E_TMP/xvfb.log")"
  return 1
}

e2e__display_answers() { xdpyinfo >/dev/null 2>&1; }

# ---------------------------------------------------------------------------------------------
# Data

# e2e_stage_program: copies the built program into a fresh folder of its own, where its settings
# file will live; sets E2E_PROG and E2E_INF.
e2e_stage_program() {
  mkdir -p "$E2E_TMP/prog"
  cp "$E2E_PROGRAM" "$E2E_TMP/prog/lentavo"
  E2E_PROG=$E2E_TMP/prog/lentavo
  E2E_INF=$E2E_TMP/prog/Lentavo.inf
}

# e2e_import LAYOUT CSV_TEXT FILE: writes CSV_TEXT to a file and makes the table file from it.
e2e_import() {
  local layout=$1 text=$2 out=$3
  local csv=$E2E_TMP/$(basename "$out").csv
  printf '%s\n' "$text" >"$csv"
  mkdir -p "$(dirname "$out")"
  "$E2E_TABLETOOL" import --layout "$layout" "$csv" "$out" ||
    e2e_fail "tabletool import of $csv failed"
}

# e2e_import_companions DATA_DIR: the two tables a bank needs beside it in DATA_DIR: an advice
# table of one row and an empty history.
e2e_import_companions() {
  e2e_import advice 'Nani,Seikai,Fuseikai
-1,はじめの助言,まちがいの助言' "$1/advice.cds"
  e2e_import history 'Bango,Seihi,Mondai' "$1/rireki.cds"
}

# e2e_export FILE: the table file's records as CSV, header first, lines ending in a bare line
# feed (the CSV itself ends them in CR LF).
e2e_export() {
  local csv
  csv=$("$E2E_TABLETOOL" export "$1") || e2e_fail "tabletool export $1 failed"
  printf '%s\n' "$csv" | tr -d '\r'
}

# e2e_columns FILE FIELD...: the named fields of every record, comma-separated, one record a line.
# The fields named must not hold commas or quotes (numbers and question numbers).
e2e_columns() {
  local file=$1; shift
  e2e_export "$file" | awk -F, -v want="$*" '
    NR == 1 { n = split(want, names, " ")
              for (i = 1; i <= NF; i++) pos[$i] = i
              for (j = 1; j <= n; j++) if (!(names[j] in pos)) { print "no field " names[j] > "/dev/stderr"; exit 1 }
              next }
    { line = ""
      for (j = 1; j <= n; j++) line = line (j > 1 ? "," : "") $(pos[names[j]])
      print line }'
}

# e2e_expect WHAT EXPECTED ACTUAL: fails with both texts when they differ.
e2e_expect() {
  if [ "$2" != "$3" ]; then
    printf -- '--- expected %s\n%s\n--- found\n%s\n' "$1" "$2" "$3" >&2
    e2e_fail "$1 differs from what was expected"
  fi
}

# ---------------------------------------------------------------------------------------------
# The program

# e2e_start_program PROGRAM [WORKDIR]: starts PROGRAM, invoked by its absolute path so that it
# finds its settings file beside itself, in WORKDIR (a fresh folder by default), with a home,
# configuration and data folder of its own so no real user's files are touched. With
# E2E_OWN_HOME=1 the program has the caller's home instead, and no XDG folders named: the
# installed program's test runs as a user of its own, who has nothing else to lose. The words of
# the array E2E_PROG_ARGS, when set, are given to the program.
e2e_start_program() {
  local prog=$1 work=${2:-$E2E_TMP/work}
  local home=(HOME="$E2E_TMP/home" XDG_CONFIG_HOME="$E2E_TMP/home/.config"
              XDG_DATA_HOME="$E2E_TMP/home/.local/share")
  if [ "${E2E_OWN_HOME:-0}" = 1 ]; then
    home=(-u XDG_CONFIG_HOME -u XDG_DATA_HOME)
  else
    mkdir -p "$E2E_TMP/home/.config" "$E2E_TMP/home/.local/share"
  fi
  mkdir -p "$work"
  mkdir -p -m 700 "$E2E_TMP/runtime"
  (
    cd "$work" &&
      exec env -u QT_QPA_PLATFORM -u SESSION_MANAGER "${home[@]}" \
        XDG_RUNTIME_DIR="$E2E_TMP/runtime" QT_QPA_PLATFORM=xcb "$prog" ${E2E_PROG_ARGS[@]+"${E2E_PROG_ARGS[@]}"}
  ) >"$E2E_TMP/program.log" 2>&1 &
  E2E_PROG_PID=$!
  E2E_PROG_STATUS=
  e2e_log "program started (pid $E2E_PROG_PID)"
}

# e2e_start_on DATA_DIR: the staged program's settings file names DATA_DIR; the program is
# started and the main menu awaited.
e2e_start_on() {
  printf '%s' "$1/" >"$E2E_INF"
  e2e_start_program "$E2E_PROG"
  e2e_wait_menu >/dev/null
}

# True while the program runs (a finished child that is not yet reaped counts as ended).
e2e_program_running() {
  [ -n "$E2E_PROG_PID" ] || return 1
  local pid comm state
  read -r pid comm state _ 2>/dev/null <"/proc/$E2E_PROG_PID/stat" || return 1
  [ "$state" != Z ]
}

e2e__program_ended() { ! e2e_program_running; }

# e2e_wait_exit [TIMEOUT]: waits for the program to end and sets E2E_PROG_STATUS.
e2e_wait_exit() {
  e2e_poll "${1:-$E2E_TIMEOUT}" e2e__program_ended || e2e_fail "the program did not end"
  E2E_PROG_STATUS=0
  wait "$E2E_PROG_PID" || E2E_PROG_STATUS=$?
  E2E_PROG_PID=
  e2e_log "program ended with status $E2E_PROG_STATUS"
}

# e2e_find_window NAME_REGEX [MAX_WIDTH]: prints the id of a visible top-level window whose name
# matches the extended regular expression (and, when given, no wider than MAX_WIDTH); false when
# there is none. The name is the one xdotool getwindowname reports, so a window whose title is
# only in _NET_WM_NAME (the review window: the program's name and an empty WM_NAME) is found too.
e2e_find_window() {
  local id name width
  for id in $(xdotool search --onlyvisible --maxdepth 1 --class '' 2>/dev/null); do
    name=$(xdotool getwindowname "$id" 2>/dev/null) || continue
    [[ $name =~ $1 ]] || continue
    if [ -n "${2:-}" ]; then
      width=$(xdotool getwindowgeometry --shell "$id" 2>/dev/null | sed -n 's/^WIDTH=//p')
      [ -n "$width" ] && [ "$width" -le "$2" ] || continue
    fi
    echo "$id"
    return 0
  done
  return 1
}

e2e__window_shown() { e2e_find_window "$@" >/dev/null; }

# e2e_wait_window NAME_REGEX [MAX_WIDTH]: waits for such a window and prints its id.
e2e_wait_window() {
  e2e_poll "$E2E_TIMEOUT" e2e__window_shown "$@" || e2e_fail "no window named '$1' appeared"
  e2e_find_window "$@"
}

e2e__window_gone() { ! e2e_find_window "$@" >/dev/null; }

# e2e_wait_window_gone NAME_REGEX: waits until no visible window has that name.
e2e_wait_window_gone() {
  e2e_poll "$E2E_TIMEOUT" e2e__window_gone "$@" || e2e_fail "the window '$1' is still shown"
}

e2e__window_at() {
  local X Y WIDTH HEIGHT SCREEN WINDOW
  eval "$(xdotool getwindowgeometry --shell "$1" 2>/dev/null)" || return 1
  [ "${X:-}" = "$2" ] && [ "${Y:-}" = "$3" ] && [ "${WIDTH:-}" = "$4" ] && [ "${HEIGHT:-}" = "$5" ]
}

# e2e_wait_placed NAME_REGEX X Y WIDTH HEIGHT: waits until the window is shown and the program has
# placed it (its show handler sets the geometry last), and prints its id.
e2e_wait_placed() {
  local id
  id=$(e2e_wait_window "$1")
  e2e_poll "$E2E_TIMEOUT" e2e__window_at "$id" "$2" "$3" "$4" "$5" ||
    e2e_fail "window '$1' is not at $2,$3 ${4}x$5: $(xdotool getwindowgeometry "$id" | tr '\n' ' ')"
  echo "$id"
}

e2e_wait_menu() { e2e_wait_placed "$E2E_MENU_TITLE" -2 0 1022 768; }
e2e_wait_question_window() { e2e_wait_placed "$E2E_QUESTION_TITLE" -1 0 1022 768; }

# ---------------------------------------------------------------------------------------------
# Input and the screen

# e2e_click X Y: moves the pointer there and presses the left button.
e2e_click() {
  xdotool mousemove --sync "$1" "$2" click 1 || e2e_fail "xdotool could not click at $1,$2"
}

# e2e_region REGION: a fingerprint of the pixels of REGION (WxH+X+Y) of the screen.
e2e_region() {
  import -window root -crop "$1" +repage ppm:- 2>/dev/null | md5sum | cut -d' ' -f1
}

e2e__region_differs() { [ "$(e2e_region "$1")" != "$2" ]; }

# e2e_click_until_changed X Y REGION WHAT: clicks at X,Y and waits until REGION looks different,
# which tells that the program has handled the click. The pointer must not rest over REGION, or
# a mere hover would count as the change.
e2e_click_until_changed() {
  local before
  before=$(e2e_region "$3")
  e2e_click "$1" "$2"
  e2e_poll "$E2E_TIMEOUT" e2e__region_differs "$3" "$before" || e2e_fail "$4: nothing changed on screen"
}

e2e__settled() {
  local a b
  a=$(e2e_region "$1"); sleep 0.2; b=$(e2e_region "$1"); sleep 0.2
  [ "$a" = "$b" ] && [ "$b" = "$(e2e_region "$1")" ]
}

# e2e_wait_settled REGION: waits until REGION has looked the same for about half a second, that
# is the window has finished painting there.
e2e_wait_settled() {
  e2e_poll "$E2E_TIMEOUT" e2e__settled "$1" || e2e_fail "the screen at $1 does not settle"
}

# Question window: answer, then go on. Each waits until the window has changed state.
e2e_answer_true()  { e2e_click_until_changed "${E2E_Q_TRUE[@]}" "$E2E_Q_NEXT_AREA" "answer 正"; }
e2e_answer_false() { e2e_click_until_changed "${E2E_Q_FALSE[@]}" "$E2E_Q_NEXT_AREA" "answer 誤"; }
e2e_next_question() { e2e_click_until_changed "${E2E_Q_NEXT[@]}" "$E2E_Q_TRUE_AREA" "次の問題"; }

# e2e_key WINDOW KEY...: gives WINDOW the keyboard focus and types KEYs (xdotool key names).
e2e_key() {
  local id=$1; shift
  xdotool windowfocus --sync "$id" key --delay 50 "$@" || e2e_fail "could not press $* in window $id"
}

# e2e_shot NAME: a screenshot of the whole screen into the test's screenshot set; its path is
# left in E2E_LAST_SHOT (not printed, so the numbering survives: no subshell).
e2e_shot() {
  E2E_SHOT_COUNT=$((E2E_SHOT_COUNT + 1))
  E2E_LAST_SHOT=$E2E_STEP_SHOTS/$(printf '%02d' "$E2E_SHOT_COUNT")-$1.png
  import -window root "$E2E_LAST_SHOT" 2>/dev/null
}

# ---------------------------------------------------------------------------------------------
# A drill left open: the scenario of the tests that end the program in the middle of a drill.

# e2e_open_drill DATA_DIR: makes a three-question bank (and an advice table, and a history holding
# one earlier answer) in DATA_DIR, starts the staged program on it, runs an easy drill (level 0)
# with 正 on 0401 (right; the level rises to 1), 次の問題, 正 on 0402 (wrong) and leaves the
# question window open. Checks that nothing has reached the files yet: the history still holds
# the earlier answer.
e2e_open_drill() {
  local data=$1
  e2e_import bank 'NKaisu,Nani,Kaisu,Bango,Seikaisu,KariHon,Kaisetsu,Seikai,Zu,Mondai
0,0,0,0401,0,1,一の解説,1,,一つ目の問題です。
0,0,0,0402,0,1,二の解説,0,,二つ目の問題です。
0,0,0,0403,0,1,三の解説,1,,三つ目の問題です。' "$data/mondai.cds"
  e2e_import advice 'Nani,Seikai,Fuseikai
-1,よい,わるい' "$data/advice.cds"
  e2e_import history 'Bango,Seihi,Mondai
0403,1,前回の答え' "$data/rireki.cds"
  e2e_start_on "$data"
  e2e_click "${E2E_MENU_EASY[@]}"
  e2e_wait_question_window >/dev/null
  e2e_answer_true
  e2e_next_question
  e2e_answer_true
  e2e_shot drill-open
  e2e_expect "history while the drill is open" "0403,1" "$(e2e_columns "$data/rireki.cds" Bango Seihi)"
}

# e2e_check_open_drill_stored DATA_DIR: the files hold what e2e_open_drill's answers give once the
# tables were written back: 0401 right (Kaisu 1, Seikaisu 1, NKaisu 1, Nani 0), 0402 wrong
# (difficulty 100 above the stored 0: Nani 100, NKaisu 1), 0403 untouched.
e2e_check_open_drill_stored() {
  local data=$1
  e2e_expect "history" "0401,1
0402,0" "$(e2e_columns "$data/rireki.cds" Bango Seihi)"
  e2e_expect "bank (Bango,Kaisu,Seikaisu,NKaisu,Nani)" "0401,1,1,1,0
0402,1,0,1,100
0403,0,0,0,0" "$(e2e_columns "$data/mondai.cds" Bango Kaisu Seikaisu NKaisu Nani)"
}

# ---------------------------------------------------------------------------------------------
# Cleanup: screenshots kept on failure, the program and Xvfb always stopped.

e2e_cleanup() {
  local status=$?
  set +e
  trap - EXIT INT TERM
  if [ "$status" -ne 0 ] && [ -n "$E2E_XVFB_PID" ] && kill -0 "$E2E_XVFB_PID" 2>/dev/null; then
    e2e_shot failure || true
  fi
  if e2e_program_running; then
    kill -TERM "$E2E_PROG_PID" 2>/dev/null || true
    e2e_poll 5 e2e__program_ended || kill -KILL "$E2E_PROG_PID" 2>/dev/null || true
  fi
  [ -n "$E2E_PROG_PID" ] && wait "$E2E_PROG_PID" 2>/dev/null
  E2E_PROG_PID=
  if [ -n "$E2E_XVFB_PID" ]; then
    kill -TERM "$E2E_XVFB_PID" 2>/dev/null || true
    wait "$E2E_XVFB_PID" 2>/dev/null
  fi
  if [ "$status" -ne 0 ] || [ "$E2E_KEEP_SHOTS" = 1 ]; then
    if compgen -G "$E2E_STEP_SHOTS/*.png" >/dev/null; then
      rm -rf "$E2E_SHOTS"
      mkdir -p "$E2E_SHOTS"
      cp "$E2E_STEP_SHOTS"/*.png "$E2E_SHOTS"/
      echo "Screenshots:"
      ls -1 "$E2E_SHOTS"/*.png | sed 's/^/  /'
    fi
  else
    rm -rf "$E2E_SHOTS"
  fi
  if [ "$status" -ne 0 ] && [ -s "$E2E_TMP/program.log" ]; then
    echo "Program output:"
    sed 's/^/  /' "$E2E_TMP/program.log"
  fi
  rm -rf "$E2E_TMP"
  exit "$status"
}
