#!/usr/bin/env bash
# The main menu's close box pressed while a drill is open: the program ends, with status 0, and
# the drill's answers and counters are stored.
#
# With no window manager there is no close box to press. A window manager, when the pupil presses
# it, sends the window a WM_PROTOCOLS client message carrying WM_DELETE_WINDOW; e2e_closewindow
# (built from closewindow.cpp) sends exactly that message, which the program handles as the close
# box. (xdotool windowclose would destroy the window behind the program's back instead, and
# wmctrl -c only asks a window manager, which is not there.)
#
# usage: test_close_box.sh BUILD_DIR   (E2E_CLOSEWINDOW: the helper's path)
set -euo pipefail
source "$(dirname "$0")/lib.sh"
e2e_init close_box "$1"
[ -x "${E2E_CLOSEWINDOW:-}" ] || e2e_fail "E2E_CLOSEWINDOW does not name the built e2e_closewindow"

e2e_stage_program
data=$E2E_TMP/data
e2e_start_xvfb
e2e_open_drill "$data"

menu=$(e2e_find_window "$E2E_MENU_TITLE") || e2e_fail "the main menu is not shown"
"$E2E_CLOSEWINDOW" "$menu" || e2e_fail "could not send WM_DELETE_WINDOW to the main menu"
e2e_wait_exit
e2e_expect "exit status" 0 "$E2E_PROG_STATUS"
e2e_check_open_drill_stored "$data"
e2e_log "passed"
