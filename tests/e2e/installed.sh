#!/usr/bin/env bash
# The installed program as a pupil meets it: an ordinary user, no settings file anywhere, the
# program in a folder the pupil cannot write to. The first drill start opens the data-file
# dialog in the pupil's data folder, where the program has put a copy of the bundled sample data
# with the bank selected, so Return (開く) is all it takes. The drill's answers are stored there,
# and after a restart the review window lists them. The first start is by name alone, from a
# folder of the pupil's that is not the home folder, as typed in a terminal: the program must
# still find its own folder and put no settings file where the terminal happens to be.
#
# Run by scripts/package-smoke.sh as the user it creates, after installing the package.
# usage: installed.sh WORK_DIR SCREENSHOT_DIR
set -euo pipefail
source "$(dirname "$0")/lib.sh"
E2E_PROGRAM=/usr/bin/lentavo
E2E_TABLETOOL=/usr/bin/lentavo-tabletool
E2E_OWN_HOME=1
e2e_init installed "$1" "$2"

config=$HOME/.config/lentavo/Lentavo.inf
data=$HOME/.local/share/lentavo
sample=/usr/share/lentavo/sample
[ "$(id -u)" -ne 0 ] || e2e_fail "run this as an ordinary user, not as root"
[ ! -w /usr/bin ] || e2e_fail "the program's folder is writable by this user"
for f in /usr/bin/Lentavo.inf "$config" "$data"; do
  [ ! -e "$f" ] || e2e_fail "$f exists before the first start"
done

# Seihi that answer ANSWER (1 for 正, 0 for 誤) to question BANGO deserves, from the bank.
deserved() {
  local seikai
  seikai=$(e2e_columns "$data/mondai.cds" Bango Seikai | awk -F, -v b="$1" '$1 == b { print $2 }')
  [ -n "$seikai" ] || e2e_fail "question $1 is not in the bank"
  [ "$seikai" = "$2" ] && echo 1 || echo 0
}

e2e_start_xvfb
terminal=$1/terminal
e2e_start_program lentavo "$terminal"
e2e_wait_menu >/dev/null
e2e_shot menu
e2e_click "${E2E_MENU_EASY[@]}"
dialog=$(e2e_wait_window "$E2E_DIALOG_TITLE")
sleep 1   # its text cursor blinks: the screen never settles while it is open
e2e_shot dialog
for f in mondai.cds advice.cds rireki.cds; do
  [ -f "$data/$f" ] && [ -w "$data/$f" ] || e2e_fail "no writable copy of $f in $data"
done
if [ -f "$sample/kiken.cds" ]; then   # the hazard items, once the package carries them
  cmp -s "$sample/kiken.cds" "$data/kiken.cds" || e2e_fail "no copy of kiken.cds in $data"
fi
e2e_key "$dialog" Return
e2e_wait_window_gone "$E2E_DIALOG_TITLE"
e2e_wait_question_window >/dev/null
e2e_shot question
e2e_expect "settings file bytes" "$(printf '%s/' "$data" | od -An -c)" "$(od -An -c "$config")"

e2e_answer_true
e2e_next_question
e2e_answer_false
e2e_click "${E2E_Q_END[@]}"
e2e_wait_window_gone "$E2E_QUESTION_TITLE"
answers=$(e2e_columns "$data/rireki.cds" Bango Seihi)
[ "$(echo "$answers" | wc -l)" -eq 2 ] || e2e_fail "the history holds $(echo "$answers" | wc -l) answers, not 2"
first=${answers%%,*}
second=$(echo "$answers" | sed -n '2s/,.*//p')
[ "$first" != "$second" ] || e2e_fail "the same question came twice in a row"
e2e_expect "history" "$first,$(deserved "$first" 1)
$second,$(deserved "$second" 0)" "$answers"
e2e_expect "answers counted in the bank" "$first,1
$second,1" "$(e2e_columns "$data/mondai.cds" Bango Kaisu | grep -E "^($first|$second),")"
e2e_expect "bundled history" "" "$(e2e_columns "$sample/rireki.cds" Bango)"

e2e_click "${E2E_MENU_QUIT[@]}"
e2e_wait_exit
e2e_expect "exit status" 0 "$E2E_PROG_STATUS"
e2e_expect "files left in the terminal's folder" "" "$(ls -A "$terminal")"

# After a restart, the review window lists the two answers: the grid has the focus, Down moves to
# the second answer (another question in the pane), a further Down finds no third row, Up comes
# back to the first.
history_before=$(md5sum <"$data/rireki.cds")
e2e_start_program "$E2E_PROGRAM" "$HOME"
e2e_wait_menu >/dev/null
e2e_click "${E2E_MENU_REVIEW[@]}"
review=$(e2e_wait_placed '^Tomivel$' -2 0 1022 768)
e2e_wait_settled "$E2E_R_QUESTION_AREA"
e2e_shot review-first
pane_first=$(e2e_region "$E2E_R_QUESTION_AREA")
e2e_key "$review" Down
e2e_poll "$E2E_TIMEOUT" e2e__region_differs "$E2E_R_QUESTION_AREA" "$pane_first" ||
  e2e_fail "Down in the grid showed no second answer"
e2e_wait_settled "$E2E_R_QUESTION_AREA"
e2e_shot review-second
pane_second=$(e2e_region "$E2E_R_QUESTION_AREA")
e2e_key "$review" Down
sleep 1
e2e_wait_settled "$E2E_R_QUESTION_AREA"
e2e_expect "question pane after Down on the last answer" "$pane_second" "$(e2e_region "$E2E_R_QUESTION_AREA")"
e2e_key "$review" Up
e2e_poll "$E2E_TIMEOUT" e2e__region_differs "$E2E_R_QUESTION_AREA" "$pane_second" ||
  e2e_fail "Up in the grid did not go back to the first answer"
e2e_wait_settled "$E2E_R_QUESTION_AREA"
e2e_expect "question pane back on the first answer" "$pane_first" "$(e2e_region "$E2E_R_QUESTION_AREA")"

# The review's 終了 (Button1 at 568, 416, 161 x 49) ends the program; it only read the history.
e2e_click 646 440
e2e_wait_exit
e2e_expect "exit status" 0 "$E2E_PROG_STATUS"
[ "$(md5sum <"$data/rireki.cds")" = "$history_before" ] || e2e_fail "the review rewrote the history"
e2e_log "passed"
