#!/usr/bin/env bash
# First start without a settings file: the drill start asks for a data file with its dialog, the
# pupil types the path of a question bank, and the settings file then holds that file's directory
# with its trailing "/" and no line terminator. The drill runs from that directory.
#
# usage: test_first_start.sh BUILD_DIR
set -euo pipefail
source "$(dirname "$0")/lib.sh"
e2e_init first_start "$1"

e2e_stage_program
# A directory name with a blank in it, as a pupil's folder may have.
data="$E2E_TMP/school data"
e2e_import bank 'NKaisu,Nani,Kaisu,Bango,Seikaisu,KariHon,Kaisetsu,Seikai,Zu,Mondai
0,0,0,0101,0,1,解説,1,,ただ一つの問題です。' "$data/mondai.cds"
e2e_import_companions "$data"
[ ! -e "$E2E_INF" ] || e2e_fail "a settings file exists before the first start"

e2e_start_xvfb
e2e_start_program "$E2E_PROG"
e2e_wait_menu >/dev/null
e2e_click "${E2E_MENU_EASY[@]}"
dialog=$(e2e_wait_window "$E2E_DIALOG_TITLE")
e2e_shot dialog
# The file-name field has the focus when the dialog opens.
xdotool windowfocus --sync "$dialog" type --delay 20 "$data/mondai.cds"
e2e_key "$dialog" Return
e2e_wait_window_gone "$E2E_DIALOG_TITLE"
e2e_wait_question_window >/dev/null
e2e_shot question

expected=$(printf '%s/' "$data" | od -An -c)
e2e_expect "settings file bytes" "$expected" "$(od -An -c "$E2E_INF")"

# The drill reads and writes the tables of the directory picked.
e2e_answer_true
e2e_click "${E2E_Q_END[@]}"
e2e_wait_window_gone "$E2E_QUESTION_TITLE"
e2e_expect "history" "0101,1" "$(e2e_columns "$data/rireki.cds" Bango Seihi)"
e2e_expect "bank" "0101,1,1,1,0" "$(e2e_columns "$data/mondai.cds" Bango Kaisu Seikaisu NKaisu Nani)"

e2e_click "${E2E_MENU_QUIT[@]}"
e2e_wait_exit
e2e_expect "exit status" 0 "$E2E_PROG_STATUS"
# Still the same line after the program has ended.
e2e_expect "settings file bytes at the end" "$expected" "$(od -An -c "$E2E_INF")"
e2e_log "passed"
