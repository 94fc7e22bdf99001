#!/usr/bin/env bash
# The headless demo that scripts/run.sh runs when there is no display: the trainer in a private
# Xvfb, a short drill clicked through as a pupil would, and a screenshot of each window saved
# under BUILD_DIR/screenshots/.
#
#   scripts/demo.sh BUILD_DIR
#
# BUILD_DIR holds the built lentavo and the settings file Lentavo.inf beside it (run.sh stages it,
# naming BUILD_DIR/sample-data/). The drill is a real one: its answers are stored in that data
# directory, as they would be for a pupil.
#
# This edition never shows the information dialog (only the edition built with Public false
# does, at start-up): its screenshot comes from the dialog's own test, run in the same Xvfb.
set -euo pipefail
[ $# -eq 1 ] || { echo "usage: $0 BUILD_DIR" >&2; exit 2; }
source "$(dirname "$0")/../tests/e2e/lib.sh"

E2E_KEEP_SHOTS=1
e2e_init demo "$1" "$(cd "$1" && pwd)/screenshots"
[ -s "$E2E_BUILD/Lentavo.inf" ] ||
  e2e_fail "$E2E_BUILD/Lentavo.inf is missing: scripts/run.sh stages the sample data and writes it"

e2e_start_xvfb
e2e_start_program "$E2E_BUILD/lentavo"
e2e_wait_menu >/dev/null
e2e_shot menu
e2e_log "main menu"

e2e_click "${E2E_MENU_EASY[@]}"
e2e_wait_question_window >/dev/null
e2e_shot question
e2e_log "drill started: 仮免(簡単)に挑戦"
e2e_answer_true
e2e_shot answered
e2e_log "answered 正"
e2e_next_question
e2e_answer_false
e2e_log "answered 誤"
e2e_next_question
e2e_answer_true
e2e_log "answered 正"
e2e_click "${E2E_Q_END[@]}"
e2e_wait_window_gone "$E2E_QUESTION_TITLE"
e2e_log "drill ended with 終了"

e2e_click "${E2E_MENU_REVIEW[@]}"
# The review window's title is only the program's name.
e2e_wait_placed '^Tomivel$' -2 0 1022 768 >/dev/null
e2e_wait_settled 1022x768+0+0
e2e_shot review
e2e_log "review window"

# The review's 終了 (Button1 at 568, 416, 161 x 49) ends the program.
e2e_click 646 440
e2e_wait_exit
[ "$E2E_PROG_STATUS" -eq 0 ] || e2e_fail "the program ended with status $E2E_PROG_STATUS"
e2e_log "the program ended; the drill's answers are in $(cat "$E2E_BUILD/Lentavo.inf")rireki.cds"

info_test=$E2E_BUILD/tests/info/tst_info
[ -x "$info_test" ] || e2e_fail "no $info_test to show the information dialog with"
E2E_SHOT_COUNT=$((E2E_SHOT_COUNT + 1))
shot=$E2E_STEP_SHOTS/$(printf '%02d' "$E2E_SHOT_COUNT")-information-dialog.png
QT_QPA_PLATFORM=xcb LENTAVO_SCREENSHOT="$shot" "$info_test" screenshotInARealServer >"$E2E_TMP/info.log" 2>&1 ||
  e2e_fail "the information dialog could not be shown: $(cat "$E2E_TMP/info.log")"
e2e_log "information dialog"
