#!/usr/bin/env bash
# A drill as a pupil runs it: 仮免(難問) from the menu, six answers right and wrong with 次の問題
# between them, 終了. Afterwards the history holds exactly those answers in order, the bank's
# counters and difficulties are what judging gives, and the learning record holds the answers.
#
# usage: test_drill.sh BUILD_DIR
set -euo pipefail
source "$(dirname "$0")/lib.sh"
e2e_init drill "$1"

# A tiny bank makes the order of the questions exact. The search takes the first stored question
# at the highest difficulty not above the drill level among those not yet settled (NKaisu at most
# the pass limit) with KariHon 1 or more.
#   0001  Nani 40: above every level this drill reaches (15, 16, ...); stored first, so a search
#         that ignored the level would take it.
#   0002  Nani 15 but KariHon 0: never asked, although it sits at the starting level.
#   0003  9 of 9 answered right before, Nani 12.
#   0004  2 of 4 answered right before, Nani 14.
#   0005, 0006  never asked, Nani 0.   0007  never asked, Nani -1.
e2e_stage_program
data=$E2E_TMP/data
e2e_import bank 'NKaisu,Nani,Kaisu,Bango,Seikaisu,KariHon,Kaisetsu,Seikai,Zu,Mondai
0,40,0,0001,0,1,一の解説,1,,一番の問題文です。
0,15,0,0002,0,0,二の解説,1,,二番の問題文です。
0,12,9,0003,9,1,三の解説,1,,三番の問題文です。
0,14,4,0004,2,1,四の解説,1,,四番の問題文です。
0,0,0,0005,0,1,五の解説,0,,五番の問題文です。
0,0,0,0006,0,1,六の解説,0,,六番の問題文です。
0,-1,0,0007,0,1,七の解説,1,,七番の問題文です。' "$data/mondai.cds"
e2e_import advice 'Nani,Seikai,Fuseikai
-1,はじめの助言,まちがいの助言' "$data/advice.cds"
# An earlier drill's answers, which the drill start must remove.
e2e_import history 'Bango,Seihi,Mondai
0001,1,前回の答え' "$data/rireki.cds"

e2e_start_xvfb
e2e_start_on "$data"
e2e_click "${E2E_MENU_HARD[@]}"
e2e_wait_question_window >/dev/null
e2e_shot question-1

# Drill level L starts at 15, pass limit 0. Difficulty d = 100 - s/k*100 truncated, in extended
# precision; for these small k that is 100 - ceil(100 s/k), except that exactly 60 % gives 39.
# A wrong answer lowers L by one; 次の問題 moves it by the share of right answers among the
# answers so far (fewer than 20): 100 % +1, below 70 % -2.
#  1. Search 15 (0002 has KariHon 0), 14: 0004. 正, right: k 5, s 3, 60 % -> Nani 39, NKaisu 1.
#     Next: 1 of 1 right, L 16.
e2e_answer_true
e2e_shot answered-1
e2e_next_question
#  2. Search 16 .. 12: 0003. 誤, wrong (Seikai 1): k 10, s 9, d 10 <= 12 stored, so Nani 10 + 5 =
#     15 and NKaisu stays 0. L 15; next: 1 of 2, L 13.
e2e_answer_false
e2e_next_question
#  3. Search 13 .. 0: 0005. 誤, right (Seikai 0): k 1, s 1, Nani 0, NKaisu 1. Next: 2 of 3, L 11.
e2e_answer_false
e2e_next_question
#  4. Search 11 .. 0: 0006. 正, wrong: k 1, s 0, d 100 > 0 stored, so Nani 100, NKaisu 1. L 10;
#     next: 2 of 4, L 8.
e2e_answer_true
e2e_next_question
#  5. Search 8 .. 0 finds none unsettled; -1: 0007. 正, right: k 1, s 1, Nani 0, NKaisu 1.
#     Next: 3 of 5, L 6.
e2e_answer_true
e2e_next_question
#  6. A whole pass 6 .. -1 finds nothing with NKaisu <= 0, so the pass limit rises to 1 and the
#     search starts again at 6: Nani 0, stored first: 0005 again. 正, wrong: k 2, s 1, d 50 > 0,
#     so Nani 50, NKaisu 2.
e2e_answer_true
e2e_shot answered-6

e2e_click "${E2E_Q_END[@]}"
e2e_wait_window_gone "$E2E_QUESTION_TITLE"
e2e_shot menu-after-drill

# The tables are written back when the question window closes, while the program still runs.
e2e_expect "history (Bango,Seihi)" "0004,1
0003,0
0005,1
0006,0
0007,1
0005,0" "$(e2e_columns "$data/rireki.cds" Bango Seihi)"
e2e_expect "history texts" "四番の問題文です。
三番の問題文です。
五番の問題文です。
六番の問題文です。
七番の問題文です。
五番の問題文です。" "$(e2e_export "$data/rireki.cds" | tail -n +2 | cut -d, -f3)"
e2e_expect "bank (Bango,Kaisu,Seikaisu,NKaisu,Nani,KariHon,Seikai)" "0001,0,0,0,40,1,1
0002,0,0,0,15,0,1
0003,10,9,0,15,1,1
0004,5,3,1,39,1,1
0005,2,1,2,50,1,0
0006,1,0,1,100,1,0
0007,1,1,1,0,1,1" "$(e2e_columns "$data/mondai.cds" Bango Kaisu Seikaisu NKaisu Nani KariHon Seikai)"
e2e_expect "advice table" "Nani,Seikai,Fuseikai
-1,はじめの助言,まちがいの助言" "$(e2e_export "$data/advice.cds")"

# The learning record beside the history: one drill session at the starting level, ended, with
# one row per answer, right and wrong as the history has them.
record=$data/kiroku.sqlite
[ -f "$record" ] || e2e_fail "no learning record in the data directory"
e2e_expect "record sessions (kind,level,ended)" "drill|15|1" \
  "$(sqlite3 -readonly "$record" "SELECT kind, level, ended_at IS NOT NULL FROM sessions")"
e2e_expect "record answers (source,Bango,item,answer,correct)" "bank|0004|0|1|1
bank|0003|0|0|0
bank|0005|0|0|1
bank|0006|0|1|0
bank|0007|0|1|1
bank|0005|0|1|0" "$(sqlite3 -readonly "$record" "SELECT source, bango, item, answer, correct FROM answers ORDER BY id")"
e2e_expect "record answers as the history (Bango,Seihi)" "$(e2e_columns "$data/rireki.cds" Bango Seihi)" \
  "$(sqlite3 -readonly -separator , "$record" "SELECT bango, correct FROM answers ORDER BY id")"
e2e_expect "answer times measured" 0 \
  "$(sqlite3 -readonly "$record" "SELECT count(*) FROM answers WHERE seconds IS NULL OR seconds < 0")"

e2e_click "${E2E_MENU_QUIT[@]}"
e2e_wait_exit
e2e_expect "exit status" 0 "$E2E_PROG_STATUS"
e2e_log "passed"
