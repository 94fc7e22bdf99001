#!/usr/bin/env bash
# School mode as a pupil meets it: a school's server (a throwaway cluster) with one pupil and a
# three-question bank, Lentavo.school beside the program. The sign-in comes first; the pupil
# signs in by keys (number, Tab, PIN, Return), the menu and the question window name them, a
# three-answer drill ends with 終了, and the server then holds exactly those three answers for
# that pupil, as the PC's learning record has them.
#
# usage: test_school.sh BUILD_DIR
set -euo pipefail
source "$(dirname "$0")/lib.sh"
e2e_init school "$1"

pgcluster=$(dirname "$0")/../school/pgcluster.sh
pgdir=$(mktemp -d "${TMPDIR:-/tmp}/lentavo-pg.XXXXXX")
# The cluster goes with the test, whatever the way out; e2e_cleanup reads the status it ends with.
trap 'status=$?; "$pgcluster" stop "$pgdir" || true; (exit $status); e2e_cleanup' EXIT
owner=$("$pgcluster" start "$pgdir") || e2e_fail "no throwaway PostgreSQL cluster"
sql() { psql -X -q -A -t -v ON_ERROR_STOP=1 "$owner" -c "$1"; }

"$E2E_TABLETOOL" school init --db "$owner" >/dev/null || e2e_fail "school init failed"
printf '教習生番号,氏名,ふりがな,PIN\n1001,山田 花子,やまだ はなこ,4321\n' >"$E2E_TMP/roster.csv"
"$E2E_TABLETOOL" school pupils import "$E2E_TMP/roster.csv" --db "$owner" >/dev/null || e2e_fail "roster import failed"
bank=$E2E_TMP/bank
e2e_import bank 'NKaisu,Nani,Kaisu,Bango,Seikaisu,KariHon,Kaisetsu,Seikai,Zu,Mondai
0,0,0,0401,0,1,一の解説,1,,一つ目の問題です。
0,0,0,0402,0,1,二の解説,0,,二つ目の問題です。
0,0,0,0403,0,1,三の解説,1,,三つ目の問題です。' "$bank/mondai.cds"
e2e_import_companions "$bank"
# A bank version carries its hazard items too; one is enough.
cp "$(dirname "$0")/../../sample/hazard/signal_straight.png" "$E2E_TMP/hazard.png"
e2e_import hazard 'Bango,Bunrui,Zu,Jokyo,Mondai1,Mondai2,Mondai3,Seikai1,Seikai2,Seikai3,Kaisetsu1,Kaisetsu2,Kaisetsu3
5001,201,file:hazard.png,状況です。,一,二,三,1,0,1,い,ろ,は' "$bank/kiken.cds"
"$E2E_TABLETOOL" school bank push "$bank" --db "$owner" >/dev/null || e2e_fail "bank push failed"
# The PC signs in as a member of lentavo_pc, which may only call the sign-in's functions.
sql "CREATE ROLE pc_e2e LOGIN IN ROLE lentavo_pc"

e2e_stage_program
printf '# the test school\n%s user=pc_e2e\n' "$owner" >"$E2E_TMP/prog/Lentavo.school"

e2e_start_xvfb
export QT_LOGGING_RULES="lentavo.school.info=true"
e2e_start_program "$E2E_PROG"
pupil=' — 山田 花子 \(1001\)$'
signin=$(e2e_wait_window '^ログイン$')
# The fields take keys once the server has answered, and the window shows it.
eval "$(xdotool getwindowgeometry --shell "$signin")"
e2e_wait_settled "${WIDTH}x${HEIGHT}+${X}+${Y}"
e2e_shot sign-in
e2e_key "$signin" 1 0 0 1 Tab 4 3 2 1 Return
menu=$(e2e_wait_placed "^学科練習システム$pupil" -2 0 1022 768)
e2e_wait_window_gone '^ログイン$'
e2e_shot menu
e2e_log "$(grep -o 'sign-in to menu.*' "$E2E_TMP/program.log" || echo 'no sign-in timing logged')"

e2e_click "${E2E_MENU_EASY[@]}"
e2e_wait_placed "^問題画面$pupil" -1 0 1022 768 >/dev/null
e2e_answer_true
e2e_next_question
e2e_answer_true
e2e_next_question
e2e_answer_false
e2e_shot drill
e2e_click "${E2E_Q_END[@]}"
e2e_wait_window_gone "^問題画面"

folder=$(ls -d "$E2E_TMP"/home/.local/share/lentavo/school/*/pupils/1001)
[ "$(stat -c %a "$folder")" = 700 ] || e2e_fail "the pupil's folder is not the user's alone"
local_answers=$(sqlite3 -readonly -separator , "$folder/kiroku.sqlite" \
  "SELECT bango, answer, correct FROM answers ORDER BY id")
[ "$(printf '%s\n' "$local_answers" | wc -l)" = 3 ] || e2e_fail "the PC recorded: $local_answers"
e2e_expect "the first two answers (0401 right, 0402 wrong)" "0401,1,1
0402,1,0" "$(printf '%s\n' "$local_answers" | head -n 2)"

server_answers() {
  sql "SELECT bango, answer, correct::int FROM lentavo.answers_export WHERE number = '1001' ORDER BY answered_at"
}
delivered() { [ "$(server_answers | tr '|' ',')" = "$local_answers" ]; }
e2e_poll "$E2E_TIMEOUT" delivered ||
  e2e_expect "the server's answers for 1001" "$local_answers" "$(server_answers | tr '|' ',')"
e2e_expect "answers on the server in all" 3 "$(sql 'SELECT count(*) FROM lentavo.answers')"

e2e_click "${E2E_MENU_QUIT[@]}"
e2e_wait_exit
e2e_expect "exit status" 0 "$E2E_PROG_STATUS"
e2e_log "passed"
