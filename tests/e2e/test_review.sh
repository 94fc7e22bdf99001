#!/usr/bin/env bash
# The review after a drill: the grid lists the drill's answers, one row each in the order given,
# and selecting a row with the mouse shows that row's question in the question pane.
#
# Nothing of the grid can be read from outside the program, so the screen is compared with
# itself: the rows are found by their separating lines, and cells or panes that must show the
# same thing must be identical in pixels, those that must differ must differ.
#
# usage: test_review.sh BUILD_DIR
set -euo pipefail
source "$(dirname "$0")/lib.sh"
e2e_init review "$1"

e2e_stage_program
data=$E2E_TMP/data
e2e_import bank 'NKaisu,Nani,Kaisu,Bango,Seikaisu,KariHon,Kaisetsu,Seikai,Zu,Mondai
0,0,0,0301,0,1,一の解説,1,,一つ目の問題です。
0,0,0,0302,0,1,二の解説,0,,二つ目の問題は少し長めの文にしてあります。
0,0,0,0303,0,1,三の解説,1,,三つ目。' "$data/mondai.cds"
e2e_import_companions "$data"

e2e_start_xvfb
e2e_start_on "$data"

# An easy drill (level 0) of four answers:
#  0301 正 right (level then 1); 0302 正 wrong (level 0); 0303 正 right (level 0); every question
#  is then settled at pass limit 0, the limit rises to 1 and 0301 comes again: 誤, wrong.
e2e_click "${E2E_MENU_EASY[@]}"
e2e_wait_question_window >/dev/null
e2e_answer_true
e2e_next_question
e2e_answer_true
e2e_next_question
e2e_answer_true
e2e_next_question
e2e_answer_false
e2e_click "${E2E_Q_END[@]}"
e2e_wait_window_gone "$E2E_QUESTION_TITLE"
e2e_expect "history written by the drill" "0301,1
0302,0
0303,1
0301,0" "$(e2e_columns "$data/rireki.cds" Bango Seihi)"
history_before=$(md5sum <"$data/rireki.cds")
bank_before=$(md5sum <"$data/mondai.cds")

e2e_click "${E2E_MENU_REVIEW[@]}"
# The review window has no caption of its own; the title shows the application's name.
e2e_wait_placed '^Tomivel$' -2 0 1022 768 >/dev/null

grid_area=${E2E_R_GRID_WIDTH}x${E2E_R_GRID_HEIGHT}+${E2E_R_GRID_LEFT}+${E2E_R_GRID_TOP}

# Row lines of the grid in screenshot SHOT: the y of every line that closes a row. They are found
# in a one-pixel column near the right end of the 問題 column, where this test's short texts never
# reach: a one-pixel run between two long runs (cell backgrounds) is a row line. The header's
# shading is made of short runs and is skipped; the grid's frame lies outside the column scanned.
row_lines() {
  local x=$((E2E_R_GRID_LEFT + 966)) top=$((E2E_R_GRID_TOP + 1)) height=$((E2E_R_GRID_HEIGHT - 2))
  convert "$1" -crop "1x${height}+${x}+${top}" +repage txt:- | awk -v top="$top" '
    NR == 1 { next }
    { split($1, p, "[,:]"); y[n] = p[2]; c[n] = $3; n++ }
    END {
      # runs of one colour: start and length
      r = 0; start[0] = 0; len[0] = 1
      for (i = 1; i < n; i++) {
        if (c[i] == c[i - 1]) { len[r]++ } else { r++; start[r] = i; len[r] = 1; col[r] = c[i] }
      }
      col[0] = c[0]
      for (k = 1; k < r; k++)
        if (len[k] == 1 && len[k - 1] >= 10 && len[k + 1] >= 10) print top + start[k], col[k]
    }'
}

# Vertical lines of the grid along row Y of SHOT, in the row lines' colour COLOUR: their x.
column_lines() {
  local width=$E2E_R_GRID_WIDTH
  convert "$1" -crop "${width}x1+${E2E_R_GRID_LEFT}+$2" +repage txt:- |
    awk -v left="$E2E_R_GRID_LEFT" -v colour="$3" 'NR > 1 && $3 == colour { split($1, p, ","); print left + p[1] }'
}

crop_print() { convert "$1" -crop "$2" +repage ppm:- | md5sum | cut -d' ' -f1; }

# Reads the grid's geometry from a screenshot: LINES (row lines), PITCH, the column lines
# BANGO_END (right of 番号), SEIHI_END (right of 正誤) and MONDAI_END.
measure_grid() {
  local shot=$1 lines colour
  lines=$(row_lines "$shot")
  ROW_LINES=($(echo "$lines" | awk 'NF { print $1 }'))
  ROWS=${#ROW_LINES[@]}
  [ "$ROWS" -ge 2 ] || e2e_fail "the grid shows $ROWS rows, the drill gave 4"
  colour=$(echo "$lines" | awk 'NR == 1 { print $2 }')
  PITCH=$((ROW_LINES[1] - ROW_LINES[0]))
  local cols
  cols=($(column_lines "$shot" $((ROW_LINES[1] - 1)) "$colour"))
  [ "${#cols[@]}" -ge 3 ] || e2e_fail "the grid shows ${#cols[@]} column lines, expected 3"
  BANGO_END=${cols[0]}
  SEIHI_END=${cols[1]}
  MONDAI_END=${cols[2]}
}

# Cells of row I (from 1), as WxH+X+Y: the row's height less its line.
cell_bango()  { echo "40x$((PITCH - 1))+$((BANGO_END - 40))+$((ROW_LINES[$1 - 1] - PITCH + 1))"; }
cell_seihi()  { echo "$((SEIHI_END - BANGO_END - 1))x$((PITCH - 1))+$((BANGO_END + 1))+$((ROW_LINES[$1 - 1] - PITCH + 1))"; }
cell_mondai() { echo "$((MONDAI_END - SEIHI_END - 1))x$((PITCH - 1))+$((SEIHI_END + 1))+$((ROW_LINES[$1 - 1] - PITCH + 1))"; }

same()    { [ "$(crop_print "$1" "$2")" = "$(crop_print "$1" "$3")" ] || e2e_fail "$4: should look the same"; }
differs() { [ "$(crop_print "$1" "$2")" != "$(crop_print "$1" "$3")" ] || e2e_fail "$4: should differ"; }

e2e_wait_settled "$grid_area"
e2e_shot review-row-1
first=$E2E_LAST_SHOT
measure_grid "$first"
e2e_expect "rows in the grid" 4 "$ROWS"
e2e_log "grid: rows closed at ${ROW_LINES[*]}, columns end at $BANGO_END $SEIHI_END $MONDAI_END"

# Row 1 is selected and drawn highlighted; rows 2 to 4 are plain.
same "$first" "$(cell_seihi 2)" "$(cell_seihi 4)" "正誤 of rows 2 and 4 (both 0)"
differs "$first" "$(cell_seihi 2)" "$(cell_seihi 3)" "正誤 of rows 2 (0) and 3 (1)"
differs "$first" "$(cell_bango 2)" "$(cell_bango 3)" "番号 of rows 2 (0302) and 3 (0303)"
differs "$first" "$(cell_mondai 2)" "$(cell_mondai 3)" "問題 of rows 2 and 3"

# Selecting a row: a click on its 問題 cell.
select_row() {
  local y=$((ROW_LINES[$1 - 1] - PITCH / 2))
  e2e_click_until_changed $((SEIHI_END + 60)) "$y" "$grid_area" "selecting row $1"
  e2e_wait_settled "$E2E_R_QUESTION_AREA"
  e2e_wait_settled "$grid_area"
  e2e_shot "review-row-$1"
}
pane_row_1=$(crop_print "$first" "$E2E_R_QUESTION_AREA")

select_row 2
second=$E2E_LAST_SHOT
pane_row_2=$(crop_print "$second" "$E2E_R_QUESTION_AREA")
[ "$pane_row_2" != "$pane_row_1" ] || e2e_fail "selecting row 2 (0302) left row 1's question (0301) in the pane"
# Row 1 is plain now: rows 1 and 4 both answered 0301.
same "$second" "$(cell_bango 1)" "$(cell_bango 4)" "番号 of rows 1 and 4 (both 0301)"
same "$second" "$(cell_mondai 1)" "$(cell_mondai 4)" "問題 of rows 1 and 4 (both 0301)"
differs "$second" "$(cell_seihi 1)" "$(cell_seihi 4)" "正誤 of rows 1 (1) and 4 (0)"
same "$second" "$(cell_seihi 1)" "$(cell_seihi 3)" "正誤 of rows 1 and 3 (both 1)"
differs "$second" "$(cell_bango 1)" "$(cell_bango 3)" "番号 of rows 1 (0301) and 3 (0303)"

select_row 3
pane_row_3=$(crop_print "$E2E_LAST_SHOT" "$E2E_R_QUESTION_AREA")
[ "$pane_row_3" != "$pane_row_1" ] && [ "$pane_row_3" != "$pane_row_2" ] ||
  e2e_fail "selecting row 3 (0303) did not show a question of its own"

select_row 4
pane_row_4=$(crop_print "$E2E_LAST_SHOT" "$E2E_R_QUESTION_AREA")
[ "$pane_row_4" = "$pane_row_1" ] || e2e_fail "row 4 answered 0301 like row 1, but its pane differs"

# The review only reads.
[ "$(md5sum <"$data/rireki.cds")" = "$history_before" ] || e2e_fail "the review rewrote the history"
[ "$(md5sum <"$data/mondai.cds")" = "$bank_before" ] || e2e_fail "the review rewrote the bank"

# Its 終了 (Button1 at 568, 416, 161 x 49) ends the whole program.
e2e_click 646 440
e2e_wait_exit
e2e_expect "exit status" 0 "$E2E_PROG_STATUS"
[ "$(md5sum <"$data/rireki.cds")" = "$history_before" ] || e2e_fail "the history was rewritten at the end"
e2e_log "passed"
