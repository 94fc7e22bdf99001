#!/usr/bin/env python3
"""The hazard illustrations, one function per picture; `python3 scenes.py` rewrites every SVG
here (or only the names given), then render.sh makes the PNGs.

Left-hand traffic: a car going up the picture keeps to the left half of a vertical road, one
going right keeps to the upper half of a horizontal road.
"""

import os
import sys

sys.dont_write_bytecode = True   # no cache folder beside the drawings

from draw import (ASPHALT, BLOCK, GRASS, LINE, SIDEWALK, WALL, YELLOW_LINE, Scene, H, W)

SCENES = {}


def scene(fn):
    SCENES[fn.__name__] = fn
    return fn


def crossroads(s, cx=320, cy=170, vw=128, hw=112, sidewalk=24, centre="solid", hcentre="solid", crosswalks=(True, True, True, True)):
    """A four-way crossing: vertical road at CX (VW wide), horizontal at CY (HW wide).
    CROSSWALKS: bottom, top, left, right arm."""
    s.path("M%d 0 V%d" % (cx, H), vw + 2 * sidewalk, SIDEWALK)
    s.path("M0 %d H%d" % (cy, W), hw + 2 * sidewalk, SIDEWALK)
    s.path("M%d 0 V%d" % (cx, H), vw, ASPHALT)
    s.path("M0 %d H%d" % (cy, W), hw, ASPHALT)
    x0, x1 = cx - vw / 2, cx + vw / 2
    y0, y1 = cy - hw / 2, cy + hw / 2
    cw = 22   # crosswalk depth
    gap = 30 if any(crosswalks) else 4
    for x in (x0 + 5, x1 - 5):
        s.vline(x, 0, y0 - gap)
        s.vline(x, y1 + gap, H)
    for y in (y0 + 5, y1 - 5):
        s.hline(y, 0, x0 - gap)
        s.hline(y, x1 + gap, W)
    if centre:
        s.vline(cx, 0, y0 - gap, dash="18 14" if centre == "dashed" else None)
        s.vline(cx, y1 + gap, H, dash="18 14" if centre == "dashed" else None)
    if hcentre:
        s.hline(cy, 0, x0 - gap, dash="18 14" if hcentre == "dashed" else None)
        s.hline(cy, x1 + gap, W, dash="18 14" if hcentre == "dashed" else None)
    bottom, top, left, right = crosswalks
    if bottom:
        s.crosswalk(x0, y1 + 4, vw, cw)
    if top:
        s.crosswalk(x0, y0 - 4 - cw, vw, cw)
    if left:
        s.crosswalk(x0 - 4 - cw, y0, cw, hw, vertical_stripes=False)
    if right:
        s.crosswalk(x1 + 4, y0, cw, hw, vertical_stripes=False)
    return x0, x1, y0, y1


def east_west_crosswalk(s, x, width, own_x, oncoming_brake=False):
    """An east-west road with a crosswalk at X and its diamond before it; the own car comes from
    the left, an oncoming car from the right."""
    s.path("M0 200 H640", width + 40, SIDEWALK)
    s.road("M0 200 H640", width, centre="solid")
    s.crosswalk(x, 200 - width / 2, 26, width, vertical_stripes=False)
    s.diamond(x - 150, 174, 90)
    s.car(own_x, 174, angle=90, own=True)
    s.motion(own_x, 174, 90)
    s.car(560, 226, angle=-90, color="#f0f0f0", brake=oncoming_brake)


def blocks(s, cx, cy, vw, hw, sidewalk, color=BLOCK):
    """Fills the four corners beside a crossing with plots (houses, shops)."""
    a = sidewalk
    s.rect(0, 0, cx - vw / 2 - a, cy - hw / 2 - a, color)
    s.rect(cx + vw / 2 + a, 0, W, cy - hw / 2 - a, color)
    s.rect(0, cy + hw / 2 + a, cx - vw / 2 - a, H, color)
    s.rect(cx + vw / 2 + a, cy + hw / 2 + a, W, H, color)


# --- 1. crossings with signals --------------------------------------------------------------
@scene
def signal_straight(s):
    blocks(s, 320, 170, 128, 112, 24)
    crossroads(s)
    s.signal(222, 258, "green")
    s.car(290, 330, own=True)
    s.motion(290, 330, 0)
    s.truck(352, 60, 180, color="#f0f0f0", cab="#546e7a", blink="right")
    s.car(352, 150, 180, color="#f0f0f0", blink="right")
    s.person(470, 238, -90, shirt="#6a1b9a")
    s.motion(470, 238, -90, 14, "#333")
    s.route("M290 296 V40")


@scene
def signal_yellow_tailgate(s):
    blocks(s, 320, 100, 128, 100, 24)
    crossroads(s, cy=100, hw=100)
    s.stop_line(260, 184, 318, 184)
    s.signal(222, 192, "yellow")
    # a break in the road: the stop line is about 30 m ahead, room to stop from 40 km/h
    s.rect(226, 214, 188, 14, BLOCK)
    for y in (214, 228):
        s.path("M226 %d q11.75 -5 23.5 0 t23.5 0 t23.5 0 t23.5 0 t23.5 0 t23.5 0 t23.5 0 t23.5 0" % y, 2.5, "#555555")
    s.label(510, 226, "停止線まで約30m", "#ffffff")
    s.car(290, 300, own=True)
    s.motion(290, 300, 0)
    s.car(290, 365, color="#212121")
    s.label(395, 370, "後続車が接近", "#ffffff")
    s.car(352, -4, 180, color="#f0f0f0")
    s.route("M290 268 V192")


@scene
def signal_right_hidden_moto(s):
    blocks(s, 320, 170, 128, 112, 24)
    crossroads(s)
    s.signal(222, 258, "green")
    s.car(300, 196, own=True, blink="right", angle=10)
    s.truck(342, 84, 180, color="#e0e0e0", cab="#2e7d32", blink="right", length=96)
    s.moto(376, 40, 180, color="#1e88e5", helmet="#ffeb3b")
    s.motion(376, 40, 180, 20, "#ffeb3b")
    s.route("M305 168 Q330 130 420 118 L470 118")


@scene
def signal_right_gap(s):
    blocks(s, 320, 180, 128, 108, 24)
    x0, x1, y0, y1 = crossroads(s, cy=180, hw=108, vw=150)
    s.signal(210, 266, "green")
    s.car(282, 210, own=True, blink="right", angle=8)
    # a queue of oncoming cars stopped in the right-hand lanes, leaving a gap at the crossing
    for y, c in ((6, "#8e24aa"), (72, "#f0f0f0")):
        s.car(344, y, 180, color=c, brake=True)
    s.moto(381, 60, 180, color="#222", helmet="#e53935")
    s.motion(381, 60, 180, 20, "#e53935")
    s.label(470, 70, "渋滞中の対向車", "#ffffff")
    s.route("M290 180 Q320 140 430 150 L480 150")


@scene
def signal_right_pedestrians(s):
    blocks(s, 320, 170, 128, 112, 24)
    crossroads(s)
    s.signal(222, 258, "green")
    s.car(306, 170, own=True, angle=45, blink="right")
    for x, y, c in ((408, 128, "#c62828"), (410, 200, "#00897b")):
        s.person(x, y, 0 if y > 150 else 180, shirt=c)
    s.bicycle(400, 90, 180, shirt="#fb8c00")
    s.motion(400, 90, 180, 16, "#333")
    s.route("M322 150 Q360 120 470 118 L520 118")


@scene
def signal_left_cyclist(s):
    blocks(s, 320, 150, 128, 112, 24)
    crossroads(s, cy=150)
    s.signal(222, 238, "green")
    s.car(288, 290, own=True, blink="left")
    s.bicycle(266, 318, 0, shirt="#43a047")
    s.motion(266, 318, 0, 18, "#333")
    s.person(241, 186, 0, shirt="#5e35b1")
    s.route("M288 258 V220 Q288 180 230 174 L170 174")


@scene
def signal_left_crosswalk(s):
    blocks(s, 320, 150, 128, 112, 24)
    crossroads(s, cy=150)
    s.signal(222, 238, "green")
    s.car(282, 268, own=True, blink="left")
    s.ped_signal(214, 82, "green", angle=90)                # on its post at the crosswalk's far corner
    s.person(241, 192, 0, shirt="#ef6c00")                   # on the crosswalk, from the near side
    s.motion(241, 192, 0, 10, "#333")
    s.person(241, 118, 180, shirt="#1565c0")                 # on the crosswalk, from the far side
    s.motion(241, 118, 180, 10, "#333")
    s.bicycle(168, 218, 90, shirt="#00838f")                 # on the sidewalk, riding to the corner
    s.motion(168, 218, 90, 18, "#333")
    s.route("M282 236 Q282 180 240 176 L150 176")


# --- 2. crossings without signals and blind corners -----------------------------------------
@scene
def crosswalk_waiting(s):
    east_west_crosswalk(s, 390, 100, 150, oncoming_brake=True)
    s.person(404, 262, 0, shirt="#6d4c41", elderly=True)
    s.tree(520, 300)
    s.tree(80, 100)


@scene
def crosswalk_stopped_car(s):
    s.path("M320 0 V400", 200, SIDEWALK)
    s.road("M320 0 V400", 160, centre="solid")
    s.vline(280, 0, 400, dash="18 14")
    s.vline(360, 0, 400, dash="18 14")
    s.crosswalk(240, 120, 160, 26, True)
    s.car(258, 180, color="#f0f0f0", brake=True)
    s.car(304, 356, own=True)                                # about 14 m short of the crosswalk at 30 km/h
    s.motion(304, 356, 0, 14)
    s.person(226, 132, 90, shirt="#d81b60", child=True, hat="#ffd400")
    s.label(140, 184, "停止中の車", "#ffffff")
    s.route("M304 324 V60")


@scene
def blind_stop_sign(s):
    s.rect(0, 0, W, H, BLOCK)
    s.road("M0 160 H640", 90, centre="solid")
    s.road("M320 205 V400", 64, edge=False)
    s.stop_line(290, 232, 352, 232)
    s.rect(0, 205, 286, 195, WALL)
    s.rect(354, 205, 286, 195, WALL)
    s.stop_sign(268, 250)
    s.car(304, 300, own=True)
    s.bicycle(60, 140, 90, shirt="#f4511e")
    s.motion(60, 140, 90, 18, "#333")
    s.car(600, 182, -90, color="#90a4ae")
    s.label(140, 330, "塀", "#ffffff")
    s.route("M304 268 V238")


@scene
def blind_equal(s):
    s.rect(0, 0, W, H, BLOCK)
    s.road("M0 150 H640", 64, edge=False)
    s.road("M320 0 V400", 64, edge=False)
    for x, y in ((0, 0), (356, 0), (0, 186), (356, 186)):
        s.rect(x, y, 284, 114 if y == 0 else 214, WALL)
    s.house(40, 20, 120, 70)
    s.house(420, 220, 150, 120)
    s.car(306, 300, own=True)
    s.motion(306, 300, 0)
    s.child(46, 140, 90)
    s.ball(20, 150)
    s.car(600, 162, -90, color="#fdd835")
    s.label(140, 330, "塀", "#ffffff")
    s.route("M306 268 V40")


@scene
def t_junction_mirror(s):
    s.rect(0, 0, W, H, BLOCK)
    s.road("M0 140 H640", 76, edge=False)
    s.road("M320 178 V400", 64, edge=False)
    s.rect(0, 178, 288, 222, WALL)
    s.rect(352, 178, 288, 222, WALL)
    s.add('<g transform="translate(380,92)"><circle r="20" fill="#ff7043" stroke="#fff" stroke-width="4"/><circle r="14" fill="#cfe8ff"/></g>')
    s.label(430, 60, "カーブミラー", "#ffffff")
    s.car(306, 290, own=True, blink="right")
    s.moto(560, 158, -90, color="#212121", helmet="#f5f5f5")
    s.motion(560, 158, -90, 20, "#ffffff")
    s.person(200, 168, 90, shirt="#7cb342")
    s.route("M306 258 V200 Q306 122 350 122 L420 122")


# --- 3. people near the road -----------------------------------------------------------------
@scene
def children_parked(s):
    s.rect(0, 0, W, H, BLOCK)
    s.road("M320 0 V400", 110, edge=True, centre=None)
    s.house(30, 40, 160, 100)
    s.house(430, 200, 160, 120)
    s.rect(200, 0, 55, 400, "#bdb6a6")   # a verge without a kerb
    s.car(291, 140, color="#f0f0f0")
    s.car(291, 210, color="#546e7a")
    s.child(244, 180, 90, shirt="#e53935")
    s.child(230, 198, 90, shirt="#1e88e5")
    s.ball(262, 120)
    s.car(350, 330, own=True)
    s.motion(350, 330, 0)
    s.route("M350 298 V40")


@scene
def school_zone(s):
    s.rect(0, 0, W, H, BLOCK)
    s.road("M320 0 V400", 150, edge=False, centre=None)
    s.rect(245, 0, 38, 400, "#4f9a55")    # the side strip, painted green on a school route
    s.vline(285, 0, 400, 4)
    s.add('<text x="340" y="90" font-family="Noto Sans CJK JP" font-size="22" font-weight="bold" fill="#f2c200" text-anchor="middle" transform="rotate(0 300 90)">通学路</text>')
    for i, (y, c) in enumerate(((70, "#e53935"), (100, "#1e88e5"), (130, "#43a047"), (160, "#fb8c00"))):
        s.child(264, y + 80, 180, shirt=c)
    s.child(300, 200, 120, shirt="#8e24aa")
    s.motion(300, 200, 120, 14, "#333")
    s.rect(410, 20, 200, 140, "#e9e2cf", stroke="#8d8478")
    s.label(510, 95, "小学校", "#ffffff")
    s.car(340, 330, own=True)
    s.route("M340 298 V40")


@scene
def elderly_midblock(s):
    s.path("M0 200 H640", 150, SIDEWALK)
    s.road("M0 200 H640", 110, centre="solid")
    s.person(330, 194, 180, shirt="#8d6e63", elderly=True)   # from the own car's side, towards the oncoming lane
    s.motion(330, 194, 180, 10, "#333")
    s.car(70, 172, 90, own=True)
    s.motion(70, 172, 90)
    s.car(520, 228, -90, color="#f0f0f0")
    s.house(420, 30, 120, 80)
    s.bus_stop(360, 300)
    s.route("M104 172 H270")


@scene
def elderly_bicycle(s):
    s.rect(0, 0, W, H, GRASS)
    s.road("M320 0 V400", 120, centre="dashed")
    s.bicycle(272, 150, -8, shirt="#795548", helmet="#cfcfcf")
    s.label(200, 120, "ふらつく自転車", "#ffffff")
    s.car(290, 320, own=True)
    s.motion(290, 320, 0)
    s.car(350, 60, 180, color="#f0f0f0", lights=False)
    s.tree(140, 80)
    s.tree(520, 250)
    s.route("M290 288 V190")


# --- 4. buses, parked cars, doors ------------------------------------------------------------
@scene
def bus_stop_passengers(s):
    s.path("M320 0 V400", 200, SIDEWALK)
    s.road("M320 0 V400", 140, centre="solid")
    s.bus(280, 150)
    s.bus_stop(222, 110)
    s.person(230, 200, 90, shirt="#1e88e5")
    s.person(236, 226, 90, shirt="#c62828", child=True, hat="#ffd400")
    s.car(280, 330, own=True)
    s.car(360, 90, 180, color="#fdd835")
    s.route("M280 298 V270 Q280 242 322 226 V40")


@scene
def bus_pulling_out(s):
    s.path("M320 0 V400", 200, SIDEWALK)
    s.road("M320 0 V400", 140, centre="solid")
    s.bus(278, 150, blink="right")
    s.bus_stop(222, 110)
    s.car(282, 320, own=True)
    s.motion(282, 320, 0)
    s.car(358, 40, 180, color="#eceff1")


@scene
def door_opening(s):
    s.path("M320 0 V400", 190, SIDEWALK)
    s.road("M320 0 V400", 130, centre="solid")
    s.car(276, 160, color="#455a64", door="right")
    s.person(298, 158, 90, shirt="#37474f")
    s.car(296, 320, own=True)
    s.motion(296, 320, 0)
    s.car(356, 60, 180, color="#f0f0f0")
    s.route("M296 288 V216")


@scene
def parked_truck_pass(s):
    s.rect(0, 0, W, H, GRASS)
    s.road("M320 0 V400", 120, centre="dashed")
    s.truck(288, 150, color="#fafafa", cab="#e65100")
    s.car(290, 330, own=True)
    s.car(350, 40, 180, color="#26a69a")
    s.person(270, 88, 90, shirt="#1565c0")
    s.tree(120, 300)
    s.route("M290 298 V250 Q290 220 330 200")


# --- 5. weather and light --------------------------------------------------------------------
@scene
def night_vanishing(s):
    s.path("M0 200 H640", 150, SIDEWALK)
    s.road("M0 200 H640", 110, centre="solid")
    s.house(60, 40, 140, 70)
    s.night()
    s.car(130, 172, 90, own=True, lights=True)
    s.car(520, 228, -90, color="#eceff1", lights=True)
    s.person(330, 196, 180, shirt="#78909c")
    s.motion(330, 204, 180, 10, "#9e9e9e")


@scene
def night_dark_road(s):
    s.rect(0, 0, W, H, GRASS)
    s.road("M320 0 V400", 110, centre="dashed")
    s.night()
    s.car(292, 320, own=True, lights=True)
    s.person(272, 40, 180, shirt="#212121")
    s.bicycle(278, 150, 0, shirt="#37474f")                  # at the road's left edge, not off it
    s.label(170, 150, "無灯火の自転車", "#ffffff")


@scene
def rain_puddle(s):
    s.path("M0 200 H640", 160, SIDEWALK)
    s.road("M0 200 H640", 110, centre="solid")
    s.puddle(360, 156, 60, 12)
    s.bus_stop(380, 112)
    for x, c in ((340, "#e91e63"), (410, "#3949ab")):
        s.person(x, 132, 180, umbrella=c)
    s.car(150, 174, 90, own=True)
    s.motion(150, 174, 90)
    s.car(560, 226, -90, color="#f0f0f0")
    s.rain()


@scene
def rain_following(s):
    s.rect(0, 0, W, H, GRASS)
    s.road("M320 0 V400", 130, centre="solid")
    s.car(290, 150, color="#3949ab", brake=True)
    s.car(290, 260, own=True)
    s.car(350, 60, 180, color="#f0f0f0")
    s.puddle(290, 208, 26, 10)
    s.rain(110, 3)


@scene
def snow_bridge(s):
    s.rect(0, 0, W, H, "#f4f6f8")
    s.rect(0, 120, W, 160, "#7fa7c9")     # river
    s.road("M320 0 V400", 110, centre="solid")
    s.rect(258, 110, 124, 180, "#c8d6e5", opacity=0.6)   # frozen surface on the bridge
    s.rect(258, 110, 6, 180, "#9e9e9e")
    s.rect(376, 110, 6, 180, "#9e9e9e")
    s.label(180, 180, "橋の上", "#ffffff")
    s.car(292, 340, own=True)
    s.motion(292, 340, 0)
    s.car(348, 120, 180, color="#37474f")
    for x in (60, 140, 520, 600):
        s.tree(x, 60, 18)
        s.tree(x + 10, 340, 18)


@scene
def tunnel_exit(s):
    s.rect(0, 0, W, H, GRASS)
    s.road("M320 0 V400", 120, centre="solid")
    s.rect(170, 230, 300, 170, "#455a64")     # the mountain over the tunnel
    s.rect(260, 230, 120, 170, "#2b2b2b")
    s.path("M260 230 H380", 8, "#9e9e9e")
    s.car(290, 300, own=True, lights=True)
    s.motion(290, 300, 0)
    s.add('<g transform="translate(460,150)"><rect x="-3" y="-40" width="6" height="60" fill="#555"/><polygon points="3,-40 60,-34 60,-22 3,-16" fill="#ff7043"/></g>')
    s.label(530, 100, "吹き流し", "#ffffff")
    for y in (60, 100, 140):
        s.path("M40 %d q20 -10 40 0 t40 0 t40 0" % y, 3, "#ffffff", opacity=0.8)
    s.moto(350, 90, 180, color="#fdd835", helmet="#222")
    s.route("M290 268 V40")


# --- 6. roads: curves, narrow streets, crossings -----------------------------------------------
@scene
def curve_oncoming(s):
    s.rect(0, 0, W, H, GRASS)
    s.road("M80 400 C 80 160, 200 60, 640 70", 110, centre="solid", centre_color=YELLOW_LINE)
    s.add('<path d="M340 60 C 260 120, 220 200, 200 260" fill="#557a3a" opacity="0.0"/>')
    for x, y in ((230, 250), (260, 215), (300, 190), (200, 300)):
        s.tree(x, y, 26)
    s.car(62, 330, own=True)
    s.motion(62, 330, 0)
    s.truck(330, 114, -99, color="#eceff1", cab="#1565c0")   # oncoming lane, up to the centre line
    s.motion(358, 110, -99, 16, "#ffffff")
    s.route("M62 298 V240 Q66 190 135 150")


@scene
def curve_downhill(s):
    s.rect(0, 0, W, H, "#9fbf86")
    s.road("M560 400 C 560 200, 420 110, 0 110", 100, centre="solid", centre_color=YELLOW_LINE)
    for x, y in ((420, 220), (380, 250), (470, 240), (340, 290)):
        s.tree(x, y, 28)
    s.car(532, 330, own=True)
    s.motion(532, 330, 0)
    s.car(200, 132, -90, color="#eceff1", brake=True)
    s.label(210, 190, "渋滞の最後尾", "#ffffff")
    s.label(600, 200, "下り坂", "#ffffff")
    s.route("M532 298 V250 Q525 175 470 150")


@scene
def narrow_oncoming(s):
    s.rect(0, 0, W, H, BLOCK)
    s.road("M320 0 V400", 90, edge=True, centre=None)
    s.house(60, 40, 180, 120)
    s.house(400, 230, 180, 130)
    s.pole(286, 190)
    s.car(300, 320, own=True)
    s.car(340, 80, 180, color="#eceff1")
    s.person(348, 200, 0, shirt="#00897b")
    s.label(236, 214, "電柱", "#ffffff")


@scene
def narrow_pass_cyclist(s):
    s.rect(0, 0, W, H, BLOCK)
    s.road("M320 0 V400", 120, edge=True, centre=None)
    s.house(40, 40, 180, 120)
    s.house(420, 220, 180, 130)
    s.bicycle(272, 170, 0, shirt="#43a047", helmet="#1565c0")
    s.motion(272, 170, 0, 16, "#333")
    s.car(306, 330, own=True)
    s.car(352, 40, 180, color="#f0f0f0")
    s.label(140, 300, "中央線のない道路", "#ffffff")


@scene
def level_crossing_queue(s):
    s.rect(0, 0, W, H, GRASS)
    s.road("M320 0 V400", 110, centre="solid")
    s.rect(0, 170, W, 60, "#a1887f")
    for y in (182, 218):
        s.hline(y, 0, W, 4, "#555")
    for x in range(0, W, 16):
        s.rect(x, 176, 6, 48, "#6d4c41", opacity=0.6)
    s.road("M320 168 V232", 110, edge=False)
    for y in (182, 218):
        s.hline(y, 265, 375, 3, "#9e9e9e")
    for x, y in ((240, 262), (400, 138)):
        s.add('<g transform="translate(%d,%d)"><rect x="-3" y="-10" width="6" height="30" fill="#222"/><path d="M-14 -24 L14 4 M14 -24 L-14 4" stroke="#222" stroke-width="9"/><path d="M-14 -24 L14 4 M14 -24 L-14 4" stroke="#ffd400" stroke-width="5" stroke-dasharray="5 5"/></g>' % (x, y))
    s.stop_line(268, 256, 320, 256)
    s.car(292, 70, 0, color="#8e24aa", brake=True)
    s.car(292, 136, 0, color="#eceff1", brake=True)
    s.car(292, 300, own=True)
    s.route("M292 268 V262")
    s.label(470, 340, "踏切の先が混雑", "#ffffff")


@scene
def level_crossing_walkers(s):
    s.rect(0, 0, W, H, BLOCK)
    s.road("M320 0 V400", 96, edge=False, centre=None)
    s.rect(0, 160, W, 60, "#a1887f")
    for y in (172, 208):
        s.hline(y, 0, W, 4, "#555")
    s.road("M320 158 V222", 96, edge=False)
    for y in (172, 208):
        s.hline(y, 272, 368, 3, "#9e9e9e")
    s.add('<g transform="translate(250,250)"><rect x="-3" y="-10" width="6" height="30" fill="#222"/><path d="M-14 -24 L14 4 M14 -24 L-14 4" stroke="#222" stroke-width="9"/><path d="M-14 -24 L14 4 M14 -24 L-14 4" stroke="#ffd400" stroke-width="5" stroke-dasharray="5 5"/></g>')
    s.stop_line(272, 240, 320, 240)
    s.bicycle(340, 120, 180, shirt="#e53935")
    s.person(290, 110, 180, shirt="#3949ab")
    s.car(296, 290, own=True)
    s.route("M296 258 V248")
    s.label(480, 330, "遮断機のない踏切", "#ffffff")


# --- 7. motorways, lanes, merging ------------------------------------------------------------
@scene
def motorway_merge(s):
    s.rect(0, 0, W, H, GRASS)
    s.add('<g transform="translate(640,0) scale(-1,1)">')   # drawn eastwards, shown westwards
    s.path("M0 130 H640", 150, ASPHALT)
    s.hline(60, 0, 640, 4)
    s.hline(130, 0, 640, 3, dash="24 18")
    s.hline(200, 0, 260, 4)
    s.path("M0 330 Q180 300 260 236 L640 236", 50, ASPHALT)
    s.path("M260 236 H600", 46, ASPHALT)
    s.poly([(560, 212), (640, 205), (640, 212)], ASPHALT)
    s.hline(212, 260, 600, 3, dash="10 10")
    s.hline(259, 260, 620, 4)
    s.path("M600 212 L640 205", 4, LINE)
    s.add('</g>')
    s.label(220, 290, "加速車線", "#ffffff")
    s.car(340, 236, -90, own=True, blink="right")
    s.motion(340, 236, -90)
    s.truck(430, 168, -90, color="#eceff1", cab="#1565c0", length=110)
    s.car(470, 96, -90, color="#546e7a")
    # Only along the lane: the right answer is to let the truck pass first, not to cut in ahead.
    s.route("M306 236 H190")


@scene
def motorway_mainline(s):
    s.rect(0, 0, W, H, GRASS)
    s.add('<g transform="translate(640,0) scale(-1,1)">')   # drawn eastwards, shown westwards
    s.path("M0 150 H640", 170, ASPHALT)
    s.hline(70, 0, 640, 4)
    s.hline(150, 0, 640, 3, dash="24 18")
    s.hline(230, 0, 280, 4)
    s.path("M0 360 Q200 320 300 256 H640", 50, ASPHALT)
    s.path("M280 230 L640 230", 3, LINE, dash="10 10")
    s.hline(281, 300, 640, 4)
    s.add('</g>')
    s.car(400, 190, -90, own=True)
    s.motion(400, 190, -90)
    s.car(260, 258, -90, color="#fdd835", blink="right")
    s.car(550, 110, -90, color="#8e24aa")
    s.label(140, 320, "合流してくる車", "#ffffff")


@scene
def lane_change_blind(s):
    s.rect(0, 0, W, H, BLOCK)
    s.path("M320 0 V400", 240, SIDEWALK)
    s.path("M320 0 V400", 200, ASPHALT)
    s.vline(225, 0, 400, 4)
    s.vline(280, 0, 400, 3, dash="20 14")
    s.vline(320, 0, 400, 4)
    s.vline(370, 0, 400, 3, dash="20 14")
    s.vline(415, 0, 400, 4)
    s.car(250, 190, own=True, blink="right")
    s.moto(300, 260, 0, color="#c62828", helmet="#222")
    s.motion(300, 260, 0, 20, "#fff")
    s.car(300, 360, 0, color="#eceff1")
    s.car(250, 80, 0, color="#5d4037", brake=True)
    s.label(150, 80, "停車中の車", "#ffffff")
    s.route("M258 164 Q262 120 300 100 V40")


# --- 8. leaving a car park, roundabout, emergency vehicle, works --------------------------
@scene
def parking_exit(s):
    s.rect(0, 0, W, H, "#cfd8dc")
    s.path("M0 110 H640", 56, SIDEWALK)
    s.path("M0 40 H640", 84, ASPHALT)
    s.hline(40, 0, 640, 3)
    for x in range(60, 640, 90):
        s.rect(x, 250, 60, 4, LINE)
    s.car(300, 198, 0, own=True, blink="left")
    s.person(430, 110, -90, shirt="#6a1b9a")
    s.motion(430, 110, -90, 14, "#333")
    s.bicycle(150, 112, 90, shirt="#f57c00")
    s.motion(150, 112, 90, 18, "#333")
    s.car(560, 60, -90, color="#eceff1")
    s.label(560, 300, "駐車場", "#ffffff")
    s.route("M300 166 V60 Q300 60 260 58")


@scene
def parking_reverse(s):
    s.rect(0, 0, W, H, "#cfd8dc")
    for x in range(40, 640, 80):
        s.rect(x, 30, 4, 130, LINE)
    s.car(122, 96, 0, color="#eceff1")
    s.car(202, 96, 0, own=True, reverse=True)
    s.car(282, 96, 0, color="#455a64")
    s.truck(362, 92, 0, color="#fafafa", cab="#00897b", length=100)
    s.child(250, 210, -90, shirt="#e53935")
    s.person(300, 220, -90, shirt="#1e88e5")
    s.route("M202 150 V200 Q202 240 240 250")
    s.label(470, 300, "駐車場で後退して出る", "#ffffff")


@scene
def roundabout(s):
    s.rect(0, 0, W, H, BLOCK)
    s.path("M320 0 V400", 140, SIDEWALK)
    s.path("M0 200 H640", 140, SIDEWALK)
    s.path("M320 0 V400", 100, ASPHALT)
    s.path("M0 200 H640", 100, ASPHALT)
    s.add('<circle cx="320" cy="200" r="112" fill="%s"/>' % ASPHALT)
    s.add('<circle cx="320" cy="200" r="50" fill="#7cb342" stroke="#fff" stroke-width="4"/>')
    s.stop_line(270, 316, 320, 316)
    s.crosswalk(270, 322, 100, 18)
    s.car(292, 372, own=True)
    s.car(377, 257, 225, color="#fdd835")
    s.motion(377, 257, 225, 20, "#fff")
    s.car(320, 119, 90, color="#1e88e5")
    s.route("M292 340 V305 Q300 280 270 260")
    s.person(260, 331, 90, shirt="#00897b")


@scene
def emergency_behind(s):
    blocks(s, 320, 150, 128, 112, 24)
    crossroads(s, cy=150)
    s.signal(222, 238, "green")
    s.car(290, 280, own=True)
    s.add('<g transform="translate(290,380)"><rect x="-17" y="-34" width="34" height="68" rx="6" fill="#fafafa" stroke="#222" stroke-width="2"/><rect x="-17" y="-6" width="34" height="8" fill="#e53935"/><rect x="-10" y="-28" width="20" height="6" fill="#e53935"/></g>')
    s.label(420, 370, "救急車（サイレン）", "#ffffff")
    s.car(352, 60, 180, color="#eceff1")


@scene
def road_works(s):
    s.rect(0, 0, W, H, GRASS)
    s.road("M320 0 V400", 130, centre="solid")
    s.rect(262, 110, 36, 80, "#ffcc80", opacity=0.6)        # the works, against the kerb
    cones = [(306, y) for y in range(100, 200, 22)] + [(266, 200), (286, 200)]
    for x, y in cones:                                       # on the traffic side, and across the lane before it
        s.add('<polygon points="%d,%d %d,%d %d,%d" fill="#ff6d00" stroke="#fff" stroke-width="2"/>' % (x, y - 10, x + 10, y + 10, x - 10, y + 10))
    s.person(290, 226, 180, shirt="#ff6d00")
    s.label(236, 230, "誘導員", "#ffffff")
    s.car(290, 320, own=True)
    s.car(354, 80, 180, color="#eceff1")
    s.motion(354, 80, 180, 24, "#fff")
    s.route("M290 288 V250")


# --- 9. two-wheelers and small vehicles -----------------------------------------------------
@scene
def kickboard_edge(s):
    s.rect(0, 0, W, H, BLOCK)
    s.path("M320 0 V400", 190, SIDEWALK)
    s.road("M320 0 V400", 130, centre="solid")
    s.kickboard(274, 160, 0)
    s.motion(274, 160, 0, 14, "#333")
    s.label(160, 150, "特定小型原付", "#ffffff")
    s.pole(262, 96)
    s.car(300, 320, own=True)
    s.car(354, 40, 180, color="#f0f0f0")
    s.route("M300 288 V210")


@scene
def kickboard_sidewalk(s):
    blocks(s, 320, 160, 120, 100, 30)
    crossroads(s, cy=160, vw=120, hw=100, sidewalk=30, crosswalks=(False, False, False, False))
    s.kickboard(245, 290, 0, lamp=True)                      # on the sidewalk, not the plot beside it
    s.label(150, 330, "歩道を走る特定小型原付", "#ffffff")
    s.car(290, 300, own=True, blink="left")
    s.route("M290 268 V230 Q290 190 250 186 L160 186")
    s.person(150, 226, 90, shirt="#1565c0")


@scene
def moto_filtering(s):
    s.rect(0, 0, W, H, GRASS)
    s.road("M320 0 V400", 130, centre="solid")
    s.car(292, 120, color="#eceff1", brake=True)
    s.car(292, 300, own=True, blink="left")
    s.moto(272, 372, 0, color="#1e88e5", helmet="#ffeb3b")
    s.motion(272, 372, 0, 16, "#fff")
    s.add('<rect x="160" y="180" width="90" height="80" fill="#cfd8dc" stroke="#888"/>')
    s.label(205, 225, "店の駐車場", "#ffffff")
    s.route("M292 268 V240 Q292 220 250 216")


@scene
def queue_pedestrian(s):
    s.rect(0, 0, W, H, BLOCK)
    s.path("M320 0 V400", 180, SIDEWALK)
    s.road("M320 0 V400", 130, centre="solid")
    for y, c in ((40, "#eceff1"), (110, "#8d6e63"), (180, "#546e7a")):
        s.car(352, y, 180, color=c, brake=True)
    s.person(352, 248, -90, shirt="#e53935", child=True, hat="#ffd400")
    s.motion(352, 248, -90, 12, "#333")
    s.car(292, 330, own=True)
    s.motion(292, 330, 0)
    s.label(470, 130, "止まっている対向車の列", "#ffffff")


# --- 10. more light, weather and slopes -----------------------------------------------------
@scene
def night_right_turn(s):
    blocks(s, 320, 170, 128, 112, 24)
    crossroads(s)
    s.night()
    s.signal(222, 258, "green")
    s.car(300, 196, own=True, blink="right", angle=10, lights=True)
    s.car(352, 70, 180, color="#eceff1", lights=True)
    s.moto(378, 18, 180, color="#212121", helmet="#9e9e9e")
    s.person(470, 238, -90, shirt="#37474f")
    s.route("M305 168 Q330 130 420 118 L470 118")


@scene
def rain_crosswalk(s):
    east_west_crosswalk(s, 400, 110, 130)
    s.person(414, 134, 180, umbrella="#fbc02d")
    s.person(440, 268, 0, umbrella="#5e35b1")
    s.rain(100, 11)


@scene
def slope_passing(s):
    s.rect(0, 0, W, H, "#9fbf86")
    s.road("M320 400 V0", 70, edge=False)
    s.rect(355, 150, 36, 80, ASPHALT)
    s.label(430, 190, "待避所", "#ffffff")
    s.car(306, 320, own=True)
    s.car(334, 70, 180, color="#eceff1")
    s.label(170, 340, "上り坂", "#ffffff")
    for x, y in ((200, 80), (230, 260), (470, 300), (520, 70)):
        s.tree(x, y, 24)

# --- 11. oncoming buses, night left turns, large vehicles turning right ----------------------
def straight_road(s, width=130, sidewalk=30, centre="dashed"):
    """A north-south road through a built-up block; returns its left and right kerb."""
    s.rect(0, 0, W, H, BLOCK)
    s.path("M320 0 V400", width + 2 * sidewalk, SIDEWALK)
    s.road("M320 0 V400", width, centre=centre)
    return 320 - width / 2, 320 + width / 2


@scene
def bus_oncoming_parked(s):
    straight_road(s)
    s.car(366, 196, 180, color="#fdd835")                  # parked at the oncoming side's kerb
    s.label(460, 200, "駐車車両", "#ffffff")
    s.bus(334, 82, 192, color="#2e8b57", blink="right")    # swinging out over the centre line
    s.motion(342, 45, 192, 14, "#ffffff")                   # behind its tail, not on its roof
    s.car(290, 322, own=True)
    s.motion(290, 322, 0)
    s.person(236, 150, 0, shirt="#6d4c41")
    s.route("M290 290 V150")


@scene
def bus_oncoming_truck(s):
    straight_road(s, width=120)
    s.truck(362, 206, 180, color="#fafafa", cab="#1565c0")  # delivery truck stopped at the kerb
    s.person(396, 196, 90, shirt="#ef6c00")
    s.label(478, 250, "荷物の積みおろし", "#ffffff")
    s.bus(324, 92, 188, color="#1e88e5", blink="right")
    s.motion(329, 54, 188, 14, "#ffffff")                   # behind its tail, not on its roof
    s.moto(358, 10, 180, color="#212121", helmet="#e53935")   # close behind the bus
    s.car(290, 330, own=True)
    s.motion(290, 330, 0)
    s.bicycle(274, 236, 0, shirt="#43a047")
    s.motion(274, 236, 0, 14, "#333")


@scene
def night_left_crosswalk(s):
    blocks(s, 320, 150, 128, 112, 24)
    x0, x1, y0, y1 = crossroads(s, cy=150)
    s.night()
    s.signal(222, 238, "green")
    s.car(288, 266, own=True, blink="left", lights=True)     # short of its own crosswalk
    s.person(240, 130, 180, shirt="#263238")                 # dark clothes, outside the headlights' beam
    s.motion(240, 130, 180, 10, "#9e9e9e")
    s.label(150, 112, "黒い服の歩行者", "#ffffff")
    s.car(352, 40, 180, color="#eceff1", lights=True)
    s.label(130, 222, "照明のない横断歩道", "#ffffff")     # beside the crosswalk the car turns across
    s.route("M288 234 V200 Q288 176 250 174 L170 174")


@scene
def night_left_cyclist(s):
    blocks(s, 320, 150, 128, 112, 24)
    x0, x1, y0, y1 = crossroads(s, cy=150)
    s.night()
    s.signal(222, 238, "green")
    s.car(288, 268, own=True, blink="left", lights=True)
    s.bicycle(238, 330, 0, shirt="#37474f")                  # no lamp, on the sidewalk behind
    s.motion(238, 330, 0, 16, "#9e9e9e")
    s.label(140, 362, "無灯火の自転車", "#ffffff")
    s.label(130, 222, "照明のない横断歩道", "#ffffff")     # beside the crosswalk the car turns across
    s.route("M288 236 V200 Q288 176 250 174 L170 174")


@scene
def right_beside_truck(s):
    blocks(s, 320, 150, 160, 112, 24)
    x0, x1, y0, y1 = crossroads(s, cy=150, vw=160)
    s.vline(280, y1 + 30, H, dash="18 14")
    s.hline(122, x1 + 30, W, dash="18 14")                   # two lanes to turn into, as two turn from
    s.hline(178, 0, x0 - 30, dash="18 14")
    for x in (260, 300):                                     # both lanes: right turn only
        s.path("M%d 370 V336 Q%d 318 %d 318" % (x, x, x + 14), 4, LINE)
        s.path("M%d 312 L%d 318 L%d 324" % (x + 10, x + 16, x + 10), 4, LINE)
    s.signal(214, 238, "green")
    s.truck(266, 158, 18, color="#eceff1", cab="#2e7d32", blink="right")
    s.car(308, 180, 30, own=True, blink="right")
    s.car(360, 20, 180, color="#8e24aa")
    s.motion(360, 20, 180, 20, "#ffffff")
    s.person(424, 180, 0, shirt="#c62828")
    s.route("M322 158 Q352 132 420 130 L470 130")


@scene
def right_behind_truck(s):
    blocks(s, 320, 150, 128, 112, 24)
    x0, x1, y0, y1 = crossroads(s, cy=150)
    s.signal(222, 238, "green")
    s.truck(318, 146, 28, color="#fafafa", cab="#6d4c41", blink="right")
    s.car(294, 266, own=True, blink="right")
    s.moto(352, 24, 180, color="#fdd835", helmet="#222")
    s.motion(352, 24, 180, 18, "#ffffff")
    s.person(398, 118, 0, shirt="#1565c0")


# --- 12. level crossings, following a left turn, first away on green ------------------------
def level_crossing(s, width, centre=None, y=190):
    """A road going up through a level crossing at Y, with its warning sign and stop line."""
    s.rect(0, 0, W, H, GRASS)
    s.road("M320 0 V400", width, centre=centre)
    s.rect(0, y - 30, W, 60, "#a1887f")
    for r in (y - 18, y + 18):
        s.hline(r, 0, W, 4, "#555")
    for x in range(0, W, 16):
        s.rect(x, y - 24, 6, 48, "#6d4c41", opacity=0.6)
    s.road("M320 %d V%d" % (y - 32, y + 32), width, edge=False)
    for r in (y - 18, y + 18):
        s.hline(r, 320 - width / 2, 320 + width / 2, 3, "#9e9e9e")
    # the gap beside each rail where a wheel drops in
    for x in (320 - width / 2, 320 + width / 2 - 12):
        s.rect(x, y - 32, 12, 64, "#3e2f28")
    s.add('<g transform="translate(%d,%d)"><rect x="-3" y="-10" width="6" height="30" fill="#222"/><path d="M-14 -24 L14 4 M14 -24 L-14 4" stroke="#222" stroke-width="9"/><path d="M-14 -24 L14 4 M14 -24 L-14 4" stroke="#ffd400" stroke-width="5" stroke-dasharray="5 5"/></g>' % (320 - width / 2 - 28, y + 62))
    s.stop_line(320 - width / 2 + 4, y + 52, 320, y + 52)


@scene
def level_crossing_edge(s):
    level_crossing(s, 100)
    s.truck(344, 78, 180, color="#eceff1", cab="#1565c0")
    s.motion(344, 50, 180, 18, "#ffffff")                    # behind its tail
    s.car(296, 300, own=True)
    s.label(450, 246, "狭い踏切", "#ffffff")


@scene
def level_crossing_cyclist(s):
    level_crossing(s, 120, centre="solid")
    s.bicycle(276, 196, 0, shirt="#e53935")
    s.motion(276, 196, 0, 14, "#333")
    s.car(290, 296, own=True)
    s.motion(290, 296, 0)
    s.car(350, 70, 180, color="#eceff1")
    s.motion(350, 70, 180, 20, "#ffffff")


@scene
def follow_left_shop(s):
    s.rect(0, 0, W, H, BLOCK)
    s.path("M320 0 V400", 190, SIDEWALK)
    s.road("M320 0 V400", 130, centre="solid")
    s.rect(60, 80, 160, 120, "#cfd8dc", stroke="#888")      # the shop's car park
    s.label(140, 144, "店の駐車場", "#ffffff")
    s.path("M225 150 H255", 46, "#bdb6a6")                    # its entrance across the sidewalk
    s.car(276, 158, -30, color="#1e88e5", blink="left", brake=True)
    s.person(238, 108, 180, shirt="#7b1fa2")
    s.motion(238, 108, 180, 12, "#333")
    s.car(292, 320, own=True)
    s.motion(292, 320, 0)
    s.car(352, 50, 180, color="#eceff1")
    s.motion(352, 50, 180, 20, "#ffffff")


@scene
def follow_left_crossing(s):
    blocks(s, 320, 130, 128, 112, 24)
    x0, x1, y0, y1 = crossroads(s, cy=130)
    s.signal(222, 218, "green")
    s.car(290, 244, color="#546e7a", blink="left", brake=True)
    s.car(290, 330, own=True)
    s.motion(290, 330, 0)
    s.moto(264, 380, 0, color="#1e88e5", helmet="#ffeb3b")   # coming up on the left
    s.motion(264, 380, 0, 16, "#ffffff")
    s.bicycle(241, 60, 180, shirt="#fb8c00")                 # at the corner, about to use the crosswalk the car turns across
    s.motion(241, 60, 180, 14, "#333")


def two_lane_approach(s, cy=150):
    """A crossing where the road coming up has two lanes each way; returns its stop line's y."""
    blocks(s, 320, cy, 200, 112, 24)
    x0, x1, y0, y1 = crossroads(s, cy=cy, vw=200)
    for x in (270, 370):
        s.vline(x, y1 + 30, H, dash="18 14")
        s.vline(x, 0, y0 - 30, dash="18 14")
    stop = y1 + 34
    s.stop_line(x0 + 4, stop, 318, stop)
    return stop


@scene
def green_start_truck(s):
    stop = two_lane_approach(s)
    s.signal(196, stop + 34, "green")
    s.car(244, stop + 34, own=True)
    s.truck(296, stop + 58, color="#fafafa", cab="#00897b")
    s.person(324, 222, -90, shirt="#c62828")                 # out of the truck's shadow onto the crosswalk
    s.motion(324, 222, -90, 14, "#333")
    s.ped_signal(440, 250, "red")
    s.route("M244 %d V60" % (stop + 2))


@scene
def green_start_child(s):
    stop = two_lane_approach(s)
    s.signal(196, stop + 34, "green")
    s.bus(246, stop + 64, color="#8d6e63")                    # stopped in the left lane, as tall as a wall
    s.car(296, stop + 34, own=True)
    s.child(236, 222, 90, shirt="#1e88e5")                   # running out from the left across the crosswalk
    s.motion(236, 222, 90, 12, "#333")
    s.car(346, 126, 200, color="#eceff1", blink="right")      # oncoming, waiting to turn right
    s.route("M296 %d V60" % (stop + 2))


def main(names):
    here = os.path.dirname(os.path.abspath(__file__))
    for name in names or sorted(SCENES):
        s = Scene()
        SCENES[name](s)
        with open(os.path.join(here, name + ".svg"), "w", encoding="utf-8") as f:
            f.write(s.svg())


if __name__ == "__main__":
    main(sys.argv[1:])
