"""Drawing kit for the hazard illustrations: top-down traffic scenes at 640 x 400 in flat colours.

Each scene in scenes.py builds a Scene from these parts and writes NAME.svg; render.sh turns
the SVGs into the PNGs the CSV names. Angles are in degrees, 0 pointing up the picture,
90 to the right; (x, y) is a road user's centre.
"""

import math

W, H = 640, 400

GRASS = "#b7cf9b"
BLOCK = "#ddd6c6"      # plots beside the road
WALL = "#8d8478"       # walls and buildings that hide a side road
ASPHALT = "#707070"
SIDEWALK = "#c9c3b5"
LINE = "#ffffff"
YELLOW_LINE = "#f2c200"
OWN = "#d62828"        # the pupil's own car, always this red with a white arrow
FONT = "Noto Sans CJK JP"
LABEL_SIZE = 16


def _f(v):
    return ("%.1f" % v).rstrip("0").rstrip(".")


class Scene:
    def __init__(self, ground=GRASS):
        self.parts = ['<rect width="%d" height="%d" fill="%s"/>' % (W, H, ground)]
        self.top = []    # labels, drawn last so nothing covers them

    def add(self, s):
        self.parts.append(s)

    def svg(self):
        return ('<svg xmlns="http://www.w3.org/2000/svg" width="%d" height="%d" viewBox="0 0 %d %d">\n' % (W, H, W, H)
                + "\n".join(self.parts + self.top) + "\n</svg>\n")

    # --- ground and roads -------------------------------------------------------------------
    def rect(self, x, y, w, h, fill, stroke=None, rx=0, opacity=None):
        extra = ' stroke="%s" stroke-width="2"' % stroke if stroke else ""
        if opacity is not None:
            extra += ' opacity="%s"' % opacity
        self.add('<rect x="%s" y="%s" width="%s" height="%s" rx="%s" fill="%s"%s/>'
                 % (_f(x), _f(y), _f(w), _f(h), _f(rx), fill, extra))

    def poly(self, pts, fill, stroke=None, sw=2, opacity=None):
        p = " ".join("%s,%s" % (_f(a), _f(b)) for a, b in pts)
        extra = ' stroke="%s" stroke-width="%s"' % (stroke, sw) if stroke else ""
        if opacity is not None:
            extra += ' opacity="%s"' % opacity
        self.add('<polygon points="%s" fill="%s"%s/>' % (p, fill, extra))

    def path(self, d, width, color, dash=None, cap="butt", opacity=None):
        extra = ' stroke-dasharray="%s"' % dash if dash else ""
        if opacity is not None:
            extra += ' opacity="%s"' % opacity
        self.add('<path d="%s" fill="none" stroke="%s" stroke-width="%s" stroke-linecap="%s" stroke-linejoin="round"%s/>'
                 % (d, color, _f(width), cap, extra))

    def road(self, d, width, sidewalk=0, edge=True, centre=None, centre_color=LINE):
        """A road along path D: WIDTH of asphalt, optional sidewalks either side, white edge lines,
        and a centre line: None, 'solid', 'dashed' or 'double'."""
        if sidewalk:
            self.path(d, width + 2 * sidewalk, SIDEWALK)
        self.path(d, width, ASPHALT)
        if edge:
            self.path(d, width - 10, LINE)
            self.path(d, width - 14, ASPHALT)
        if centre == "solid":
            self.path(d, 3, centre_color)
        elif centre == "dashed":
            self.path(d, 3, centre_color, dash="18 14")
        elif centre == "double":
            self.path(d, 10, centre_color)
            self.path(d, 4, ASPHALT)

    def hline(self, y, x0=0, x1=W, width=3, color=LINE, dash=None):
        self.path("M%s %s H%s" % (_f(x0), _f(y), _f(x1)), width, color, dash)

    def vline(self, x, y0=0, y1=H, width=3, color=LINE, dash=None):
        self.path("M%s %s V%s" % (_f(x), _f(y0), _f(y1)), width, color, dash)

    def crosswalk(self, x, y, w, h, vertical_stripes=True):
        """Zebra stripes filling the box; stripes run across the direction pedestrians walk."""
        if vertical_stripes:
            n = int(w // 14)
            for i in range(n):
                self.rect(x + i * 14 + 3, y, 8, h, LINE)
        else:
            n = int(h // 14)
            for i in range(n):
                self.rect(x, y + i * 14 + 3, w, 8, LINE)

    def diamond(self, x, y, angle=0):
        """The diamond that announces a crosswalk ahead."""
        self.add('<g transform="translate(%s,%s) rotate(%s)"><polygon points="0,-16 6,0 0,16 -6,0" fill="none" stroke="%s" stroke-width="3"/></g>'
                 % (_f(x), _f(y), _f(angle), LINE))

    def tree(self, x, y, r=16):
        self.add('<circle cx="%s" cy="%s" r="%s" fill="#5f8f3e"/><circle cx="%s" cy="%s" r="%s" fill="#76a84f"/>'
                 % (_f(x), _f(y), _f(r), _f(x - r * 0.25), _f(y - r * 0.25), _f(r * 0.6)))

    def house(self, x, y, w, h, roof="#a35d3c"):
        self.rect(x, y, w, h, roof, stroke="#5b3a2a")
        self.path("M%s %s L%s %s M%s %s L%s %s" % (_f(x), _f(y), _f(x + w), _f(y + h), _f(x + w), _f(y), _f(x), _f(y + h)), 1.5, "#5b3a2a", opacity=0.5)

    def pole(self, x, y):
        self.add('<circle cx="%s" cy="%s" r="7" fill="#9e9e9e" stroke="#555" stroke-width="2"/>' % (_f(x), _f(y)))

    # --- road users -------------------------------------------------------------------------
    def _g(self, x, y, angle, body, scale=1.0):
        self.add('<g transform="translate(%s,%s) rotate(%s) scale(%s)">%s</g>' % (_f(x), _f(y), _f(angle), _f(scale), body))

    def car(self, x, y, angle=0, color="#2f6db5", own=False, length=58, width=30, blink=None, lights=False, brake=False, door=None, reverse=False):
        """A car seen from above. OWN draws the pupil's car: red with a white arrow on the roof.
        BLINK is 'left' or 'right' for a flashing indicator; DOOR 'left' or 'right' opens a door;
        REVERSE turns the own car's arrow backwards for a car about to back out."""
        if own:
            color = OWN
        l2, w2 = length / 2, width / 2
        b = []
        if lights:
            b.append('<polygon points="%s,%s %s,%s %s,%s %s,%s" fill="#fff6b0" opacity="0.55"/>'
                     % (_f(-w2 + 3), _f(-l2), _f(w2 - 3), _f(-l2), _f(w2 + 40), _f(-l2 - 150), _f(-w2 - 40), _f(-l2 - 150)))
        if door == "left":
            b.append('<rect x="%s" y="%s" width="4" height="20" fill="%s" stroke="#222" stroke-width="1.5" transform="rotate(-50 %s %s)"/>'
                     % (_f(-w2 - 2), _f(-8), color, _f(-w2), _f(-8)))
        if door == "right":
            b.append('<rect x="%s" y="%s" width="6" height="24" fill="%s" stroke="#fff" stroke-width="2" transform="rotate(-130 %s %s)"/>'
                     % (_f(w2 - 3), _f(-10), color, _f(w2), _f(-10)))
        b.append('<rect x="%s" y="%s" width="%s" height="%s" rx="7" fill="%s" stroke="#222" stroke-width="2"/>'
                 % (_f(-w2), _f(-l2), _f(width), _f(length), color))
        b.append('<rect x="%s" y="%s" width="%s" height="%s" rx="3" fill="#2b3a4a"/>' % (_f(-w2 + 4), _f(-l2 + 11), _f(width - 8), _f(9)))
        b.append('<rect x="%s" y="%s" width="%s" height="%s" rx="3" fill="#2b3a4a"/>' % (_f(-w2 + 4), _f(l2 - 14), _f(width - 8), _f(7)))
        if lights:
            b.append('<circle cx="%s" cy="%s" r="3.5" fill="#fffbd0"/><circle cx="%s" cy="%s" r="3.5" fill="#fffbd0"/>'
                     % (_f(-w2 + 5), _f(-l2 + 2), _f(w2 - 5), _f(-l2 + 2)))
        if brake:
            b.append('<circle cx="%s" cy="%s" r="4" fill="#ff2a2a"/><circle cx="%s" cy="%s" r="4" fill="#ff2a2a"/>'
                     % (_f(-w2 + 5), _f(l2 - 2), _f(w2 - 5), _f(l2 - 2)))
        if blink in ("left", "right"):
            sx = -w2 if blink == "left" else w2
            for yy in (-l2 + 3, l2 - 3):
                b.append('<circle cx="%s" cy="%s" r="5" fill="#ff9800" stroke="#fff" stroke-width="1.5"/>' % (_f(sx), _f(yy)))
        if own:
            tip, tail, head = (l2 - 14, -l2 + 22, l2 - 21) if reverse else (-l2 + 22, l2 - 18, -l2 + 29)
            b.append('<path d="M0 %s L0 %s M-7 %s L0 %s L7 %s" stroke="#fff" stroke-width="4" fill="none" stroke-linecap="round" stroke-linejoin="round"/>'
                     % (_f(tail), _f(tip), _f(head), _f(tip), _f(head)))
        self._g(x, y, angle, "".join(b))
        if own:
            self.label(x + 38 * math.cos(math.radians(angle)), y + 38 * math.sin(math.radians(angle)) + 4, "自車", OWN, "#fff")

    def truck(self, x, y, angle=0, color="#e0e0e0", cab="#3f7fbf", length=100, width=36, blink=None):
        l2, w2 = length / 2, width / 2
        b = ['<rect x="%s" y="%s" width="%s" height="%s" rx="4" fill="%s" stroke="#222" stroke-width="2"/>'
             % (_f(-w2 + 1), _f(-l2), _f(width - 2), _f(24), cab),
             '<rect x="%s" y="%s" width="%s" height="7" fill="#2b3a4a"/>' % (_f(-w2 + 5), _f(-l2 + 4), _f(width - 10)),
             '<rect x="%s" y="%s" width="%s" height="%s" rx="2" fill="%s" stroke="#222" stroke-width="2"/>'
             % (_f(-w2), _f(-l2 + 27), _f(width), _f(length - 27), color)]
        if blink in ("left", "right"):
            sx = -w2 if blink == "left" else w2
            for yy in (-l2 + 4, l2 - 4):
                b.append('<circle cx="%s" cy="%s" r="5" fill="#ff9800" stroke="#fff" stroke-width="1.5"/>' % (_f(sx), _f(yy)))
        self._g(x, y, angle, "".join(b))

    def bus(self, x, y, angle=0, color="#2e8b57", blink=None):
        l2, w2 = 60, 18
        b = ['<rect x="-18" y="-60" width="36" height="120" rx="6" fill="%s" stroke="#222" stroke-width="2"/>' % color,
             '<rect x="-13" y="-56" width="26" height="8" fill="#2b3a4a"/>',
             '<rect x="-12" y="-40" width="24" height="92" rx="3" fill="#f2f2f2" opacity="0.8"/>']
        if blink in ("left", "right"):
            sx = -w2 if blink == "left" else w2
            for yy in (-l2 + 4, l2 - 4):
                b.append('<circle cx="%s" cy="%s" r="5" fill="#ff9800" stroke="#fff" stroke-width="1.5"/>' % (_f(sx), _f(yy)))
        self._g(x, y, angle, "".join(b))

    def moto(self, x, y, angle=0, color="#222", helmet="#f5f5f5"):
        b = ('<rect x="-5" y="-20" width="10" height="40" rx="5" fill="%s"/>'
             '<rect x="-12" y="-12" width="24" height="4" rx="2" fill="#333"/>'
             '<ellipse cx="0" cy="2" rx="9" ry="7" fill="#455a64"/>'
             '<circle cx="0" cy="-2" r="7" fill="%s" stroke="#222" stroke-width="1.5"/>' % (color, helmet))
        self._g(x, y, angle, b)

    def bicycle(self, x, y, angle=0, shirt="#f9a825", helmet=None, child=False):
        s = 0.8 if child else 1.0
        b = ('<rect x="-2" y="-19" width="4" height="38" rx="2" fill="#333"/>'
             '<rect x="-10" y="-11" width="20" height="3" rx="1.5" fill="#333"/>'
             '<ellipse cx="0" cy="1" rx="10" ry="6" fill="%s"/>'
             '<circle cx="0" cy="-1" r="6" fill="%s" stroke="#222" stroke-width="1"/>' % (shirt, helmet or "#3b2a20"))
        self._g(x, y, angle, b, s)

    def kickboard(self, x, y, angle=0, shirt="#7e57c2", lamp=False):
        """特定小型原付: a standing rider on a narrow board; LAMP shows the flashing speed lamp of the
        sidewalk mode."""
        b = ('<rect x="-4" y="-20" width="8" height="38" rx="3" fill="#263238"/>'
             '<rect x="-11" y="-18" width="22" height="3" rx="1.5" fill="#263238"/>'
             '<ellipse cx="0" cy="2" rx="9" ry="6" fill="%s"/>'
             '<circle cx="0" cy="0" r="6" fill="#eeeeee" stroke="#222" stroke-width="1"/>' % shirt)
        if lamp:
            b += '<circle cx="0" cy="-21" r="4" fill="#39e639" stroke="#fff" stroke-width="1"/>'
        self._g(x, y, angle, b)

    def person(self, x, y, angle=0, shirt="#1565c0", child=False, elderly=False, umbrella=None, hat=None):
        s = 0.75 if child else 1.0
        b = '<ellipse cx="0" cy="0" rx="10" ry="6" fill="%s" stroke="#222" stroke-width="1"/>' % shirt
        if umbrella:
            b = '<circle cx="0" cy="0" r="15" fill="%s" stroke="#222" stroke-width="1" opacity="0.9"/>' % umbrella
        else:
            b += '<circle cx="0" cy="-1" r="5.5" fill="%s" stroke="#222" stroke-width="1"/>' % (hat or ("#cfcfcf" if elderly else "#3b2a20"))
        if elderly:
            b += '<line x1="9" y1="-4" x2="12" y2="-12" stroke="#5d4037" stroke-width="2.5" stroke-linecap="round"/>'
        self._g(x, y, angle, b, s)

    def child(self, x, y, angle=0, shirt="#e53935"):
        self.person(x, y, angle, shirt, child=True, hat="#ffd400")

    def ball(self, x, y):
        self.add('<circle cx="%s" cy="%s" r="6" fill="#fff" stroke="#e53935" stroke-width="2.5"/>' % (_f(x), _f(y)))

    # --- signals, signs, marks --------------------------------------------------------------
    def signal(self, x, y, lit="green", angle=0, arrow=False):
        """A vehicle signal seen from the approaching driver, drawn upright beside the stop line."""
        colors = {"green": "#21c45a", "yellow": "#ffc400", "red": "#ff2d2d"}
        lamps = []
        for i, c in enumerate(("green", "yellow", "red")):
            fill = colors[c] if lit == c else "#3b3b3b"
            lamps.append('<circle cx="%d" cy="0" r="7" fill="%s"/>' % (-18 + 18 * i, fill))
        extra = ""
        if arrow:
            extra = '<rect x="-27" y="10" width="54" height="18" rx="3" fill="#222"/><path d="M6 19 L16 19 M12 14 L17 19 L12 24" stroke="#21c45a" stroke-width="3" fill="none"/>'
        self._g(x, y, angle, '<rect x="-27" y="-10" width="54" height="20" rx="4" fill="#222" stroke="#eee" stroke-width="1"/>' + "".join(lamps) + extra)

    def ped_signal(self, x, y, lit="green", blinking=False, angle=0):
        fill = "#21c45a" if lit == "green" else "#ff2d2d"
        body = ('<rect x="-9" y="-16" width="18" height="32" rx="3" fill="#222" stroke="#eee" stroke-width="1"/>'
                '<circle cx="0" cy="-8" r="5" fill="%s"/><circle cx="0" cy="8" r="5" fill="%s"/>'
                % ("#ff2d2d" if lit == "red" else "#3b3b3b", fill if lit == "green" else "#3b3b3b"))
        if blinking:
            body += '<path d="M10 4 L16 0 M10 8 L17 8 M10 12 L16 16" stroke="#21c45a" stroke-width="2"/>'
        self._g(x, y, angle, body)

    def stop_sign(self, x, y):
        self.add('<g transform="translate(%s,%s)"><polygon points="-20,-14 20,-14 0,20" fill="#d71920" stroke="#fff" stroke-width="3"/>'
                 '<text x="0" y="-1" font-family="%s" font-size="9" font-weight="bold" fill="#fff" text-anchor="middle">止まれ</text></g>'
                 % (_f(x), _f(y), FONT))

    def stop_line(self, x0, y0, x1, y1):
        self.path("M%s %s L%s %s" % (_f(x0), _f(y0), _f(x1), _f(y1)), 5, LINE)

    def route(self, d, color="#ffffff"):
        """The path the own car is about to take: a dashed arrow."""
        self.top.append('<path d="%s" fill="none" stroke="#000" stroke-opacity="0.35" stroke-width="8" stroke-linecap="round" stroke-linejoin="round" stroke-dasharray="2 12"/>' % d)
        self.top.append('<path d="%s" fill="none" stroke="%s" stroke-width="4" stroke-linecap="round" stroke-linejoin="round" stroke-dasharray="10 8" marker-end="url(#tip)"/>' % (d, color))
        self.top.insert(0, '<defs><marker id="tip" viewBox="0 0 10 10" refX="5" refY="5" markerWidth="4" markerHeight="4" orient="auto"><path d="M0 0 L10 5 L0 10 Z" fill="%s"/></marker></defs>' % color)

    def motion(self, x, y, angle, length=28, color="#ffffff"):
        """Short streaks behind a road user to show it is moving."""
        r = math.radians(angle)
        dx, dy = -math.sin(r), math.cos(r)    # backwards
        px, py = math.cos(r), math.sin(r)     # sideways
        for off in (-6, 0, 6):
            x0 = x + dx * 24 + px * off
            y0 = y + dy * 24 + py * off
            self.top.append('<line x1="%s" y1="%s" x2="%s" y2="%s" stroke="%s" stroke-width="2.5" stroke-linecap="round" opacity="0.85"/>'
                            % (_f(x0), _f(y0), _f(x0 + dx * length), _f(y0 + dy * length), color))

    # 16 pixels in a 640-pixel picture: about 10 on screen where the exam shows the picture at
    # 400 pixels, still readable; 13 was 7 there.
    def label(self, x, y, text, bg="#ffffff", fg="#222222", size=LABEL_SIZE):
        w = size * len(text) + 10
        self.top.append('<rect x="%s" y="%s" width="%s" height="%s" rx="4" fill="%s" stroke="#222" stroke-width="1" opacity="0.92"/>'
                        '<text x="%s" y="%s" font-family="%s" font-size="%s" font-weight="bold" fill="%s" text-anchor="middle">%s</text>'
                        % (_f(x - w / 2), _f(y - size), _f(w), _f(size + 8), bg, _f(x), _f(y + 2), FONT, size, fg, text))

    def bus_stop(self, x, y):
        self.add('<g transform="translate(%s,%s)"><rect x="-2" y="-4" width="4" height="26" fill="#555"/>'
                 '<circle cx="0" cy="-10" r="11" fill="#1e88e5" stroke="#fff" stroke-width="2"/>'
                 '<text x="0" y="-6" font-family="%s" font-size="10" font-weight="bold" fill="#fff" text-anchor="middle">バス</text></g>'
                 % (_f(x), _f(y), FONT))

    def rain(self, density=90, seed=7):
        import random
        rnd = random.Random(seed)
        self.top.insert(0, '<rect width="%d" height="%d" fill="#5b6f86" opacity="0.28"/>' % (W, H))
        for _ in range(density):
            x, y = rnd.uniform(0, W), rnd.uniform(0, H)
            self.top.append('<line x1="%s" y1="%s" x2="%s" y2="%s" stroke="#e3f2fd" stroke-width="1.5" opacity="0.8"/>'
                            % (_f(x), _f(y), _f(x - 5), _f(y + 16)))

    def night(self):
        """Darkens everything drawn so far; lights drawn afterwards stay bright."""
        self.add('<rect width="%d" height="%d" fill="#0b1530" opacity="0.72"/>' % (W, H))

    def puddle(self, x, y, rx, ry):
        self.add('<ellipse cx="%s" cy="%s" rx="%s" ry="%s" fill="#5c7ea8" stroke="#8fb3d9" stroke-width="2" opacity="0.9"/>'
                 % (_f(x), _f(y), _f(rx), _f(ry)))

    def caption(self, text):
        """A short note of where the scene is, in the bottom-left corner."""
        self.label(14 + (LABEL_SIZE * len(text) + 10) / 2, H - 12, text, "#fffde7")
