#!/usr/bin/env python3
"""Draws the program's own skins: the BMP images and the INI description of each.

    drawskins.py NAME FOLDER   writes skin NAME (Mx1, Ink or Plain) into FOLDER

Mx1 is the default skin: a light blue frame with rounded top corners and every
surface skinned. Ink is its dark, square-cornered counterpart with tiled borders and
notched corners. Plain has only borders, caption buttons and colours, so everything
else falls back to the unskinned drawing. Magenta (255, 0, 255) is the transparent key colour; the
frame corners use it so the window regions are cut. Frames of an image lie side by
side, except the top and bottom borders, whose frames are stacked.
"""

import os
import struct
import sys

KEY = (255, 0, 255)


class Image:
    def __init__(self, width, height, fill=KEY):
        self.width, self.height = width, height
        self.px = [[fill] * width for _ in range(height)]

    def put(self, x, y, c):
        if 0 <= x < self.width and 0 <= y < self.height:
            self.px[y][x] = c

    def rect(self, x0, y0, x1, y1, c):
        for y in range(max(y0, 0), min(y1, self.height)):
            for x in range(max(x0, 0), min(x1, self.width)):
                self.px[y][x] = c

    def vgrad(self, x0, y0, x1, y1, top, bottom):
        span = max(y1 - y0 - 1, 1)
        for y in range(y0, y1):
            self.rect(x0, y, x1, y + 1, mix(top, bottom, (y - y0) / span))

    def hgrad(self, x0, y0, x1, y1, left, right):
        span = max(x1 - x0 - 1, 1)
        for x in range(x0, x1):
            self.rect(x, y0, x + 1, y1, mix(left, right, (x - x0) / span))

    def frame(self, x0, y0, x1, y1, c):
        self.rect(x0, y0, x1, y0 + 1, c)
        self.rect(x0, y1 - 1, x1, y1, c)
        self.rect(x0, y0, x0 + 1, y1, c)
        self.rect(x1 - 1, y0, x1, y1, c)

    def bevel(self, x0, y0, x1, y1, light, dark):
        self.rect(x0, y0, x1, y0 + 1, light)
        self.rect(x0, y0, x0 + 1, y1, light)
        self.rect(x0, y1 - 1, x1, y1, dark)
        self.rect(x1 - 1, y0, x1, y1, dark)

    def paste(self, other, x0, y0):
        for y in range(other.height):
            for x in range(other.width):
                self.put(x0 + x, y0 + y, other.px[y][x])

    def save(self, path):
        stride = (self.width * 3 + 3) // 4 * 4
        rows = []
        for row in reversed(self.px):
            data = bytes(v for (r, g, b) in row for v in (b, g, r))
            rows.append(data + b"\0" * (stride - len(data)))
        pixels = b"".join(rows)
        head = struct.pack("<2sIHHI", b"BM", 54 + len(pixels), 0, 0, 54)
        info = struct.pack("<IiiHHIIiiII", 40, self.width, self.height, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
        with open(path, "wb") as f:
            f.write(head + info + pixels)


def mix(a, b, t):
    return tuple(int(round(a[i] + (b[i] - a[i]) * t)) for i in range(3))


def lighter(c, t=0.35):
    return mix(c, (255, 255, 255), t)


def darker(c, t=0.35):
    return mix(c, (0, 0, 0), t)


def side_by_side(frames):
    out = Image(sum(f.width for f in frames), max(f.height for f in frames))
    x = 0
    for f in frames:
        out.paste(f, x, 0)
        x += f.width
    return out


def stacked(frames):
    out = Image(max(f.width for f in frames), sum(f.height for f in frames))
    y = 0
    for f in frames:
        out.paste(f, 0, y)
        y += f.height
    return out


# ---------------------------------------------------------------- skin styles

STYLES = {
    "Mx1": dict(
        caption=26, border=4, rounded=True, tile=False,
        active=((126, 170, 226), (40, 92, 170)), inactive=((196, 208, 224), (150, 164, 186)),
        face=(232, 238, 246), light=(255, 255, 255), shadow=(150, 166, 190), dark=(70, 86, 112),
        text=(0, 0, 0), accent=(51, 119, 204), hilight_text=(255, 255, 255), hot_text=(51, 119, 204),
        title=(255, 255, 255), title_off=(70, 80, 96), menu=(246, 248, 252), menubar=(220, 230, 244),
    ),
    "Ink": dict(
        caption=30, border=6, rounded=False, tile=True,
        active=((70, 70, 76), (28, 28, 32)), inactive=((110, 110, 114), (78, 78, 82)),
        face=(58, 58, 64), light=(110, 110, 120), shadow=(32, 32, 36), dark=(10, 10, 12),
        # the hot button lights up grey: its text turns a deep red that stays readable on it
        text=(230, 230, 230), accent=(204, 60, 48), hilight_text=(255, 255, 255), hot_text=(51, 15, 12),
        title=(255, 214, 120), title_off=(170, 170, 170), menu=(44, 44, 50), menubar=(36, 36, 40),
    ),
    "Plain": dict(
        caption=22, border=3, rounded=False, tile=False,
        active=((96, 128, 96), (96, 128, 96)), inactive=((160, 170, 160), (160, 170, 160)),
        face=(236, 233, 216), light=(255, 255, 255), shadow=(172, 168, 153), dark=(113, 111, 100),
        # the accent is the selection's ground under white text: deep enough to read it
        text=(0, 0, 0), accent=(86, 115, 86), hilight_text=(255, 255, 255), hot_text=(96, 128, 96),
        title=(255, 255, 255), title_off=(230, 230, 230), menu=(252, 252, 248), menubar=(236, 233, 216),
    ),
}


# ---------------------------------------------------------------- borders


def caption_frame(s, active, width=120):
    h = s["caption"]
    top, bottom = s["active" if active else "inactive"]
    img = Image(width, h)
    img.vgrad(0, 0, width, h, top, bottom)
    img.bevel(0, 0, width, h, lighter(top, 0.5), darker(bottom, 0.3))
    img.rect(0, h - 1, width, h, s["dark"] if active else s["shadow"])
    if s["rounded"]:  # a quarter circle of radius 5 in each top corner
        for y in range(5):
            for x in range(5):
                if (4.5 - x) ** 2 + (4.5 - y) ** 2 > 25:
                    img.put(x, y, KEY)
                    img.put(width - 1 - x, y, KEY)
    elif s["tile"]:  # notched corners: a 3 x 3 step cut out
        img.rect(0, 0, 3, 3, KEY)
        img.rect(width - 3, 0, width, 3, KEY)
    return img


def side_frame(s, active, left, height=60):
    w = s["border"]
    top, bottom = s["active" if active else "inactive"]
    img = Image(w, height)
    outer = 0 if left else w - 1
    if left:  # darker outside, lighter towards the window
        img.hgrad(0, 0, w, height, bottom, top)
    else:
        img.hgrad(0, 0, w, height, top, bottom)
    img.rect(outer, 0, outer + 1, height, s["dark"])
    if s["tile"]:  # a stitch pattern that shows when tiled
        for y in range(0, height, 4):
            img.put(w // 2, y, lighter(top, 0.3))
    if s["rounded"] or s["tile"]:  # chamfer the outer bottom corner
        img.put(outer, height - 1, KEY)
    return img


def bottom_frame(s, active, width=40):
    h = s["border"]
    top, bottom = s["active" if active else "inactive"]
    img = Image(width, h)
    img.vgrad(0, 0, width, h, top, bottom)
    img.rect(0, h - 1, width, h, s["dark"])
    return img


def draw_borders(s, out):
    stacked([caption_frame(s, True), caption_frame(s, False)]).save(out("top.bmp"))
    stacked([bottom_frame(s, True), bottom_frame(s, False)]).save(out("bottom.bmp"))
    side_by_side([side_frame(s, True, True), side_frame(s, False, True)]).save(out("left.bmp"))
    side_by_side([side_frame(s, True, False), side_frame(s, False, False)]).save(out("right.bmp"))
    corner = 12 if s["rounded"] else 6
    side_fixed = s["caption"] if s["rounded"] else 0
    trans = 1 if (s["rounded"] or s["tile"]) else 0
    stretch = 0 if s["tile"] else 1
    lines = ["[Personality]"]
    for name, first, last in (("Left", side_fixed, 4), ("Right", side_fixed, 4), ("Top", corner, corner),
                              ("Bottom", 0, 0)):
        lines += [f"{name}={name.lower()}.bmp", f"{name}TopHeight={first}", f"{name}BotHeight={last}",
                  f"{name}Frame=2", f"{name}Stretch={stretch}", f"{name}Trans={trans}"]
    return lines


# ---------------------------------------------------------------- glyphs and states


def glyph(kind, size, c):
    """A small black-on-key glyph: close, max, min, restore, arrows, check, dot."""
    g = Image(size, size)
    m = size // 2
    if kind == "close":
        for i in range(size // 4, size - size // 4):
            for d in (0, 1):
                g.put(i + d, i, c)
                g.put(size - 1 - i - d, i, c)
    elif kind == "max":
        q = size // 4
        g.frame(q, q, size - q, size - q, c)
        g.rect(q, q, size - q, q + 2, c)
    elif kind == "min":
        g.rect(size // 4, size - size // 3, size - size // 4, size - size // 3 + 2, c)
    elif kind == "restore":
        q = size // 4
        g.frame(q + 2, q, size - q, size - q - 2, c)
        g.frame(q, q + 2, size - q - 2, size - q, c)
    elif kind in ("left", "right", "up", "down"):
        for i in range(size // 4 + 1):
            for j in range(-i, i + 1):
                a, b = m - size // 8 + i, m + j
                if kind == "up":  # the tip at the small end, widening away from it
                    g.put(b, a, c)
                elif kind == "down":
                    g.put(b, size - 1 - a, c)
                elif kind == "left":
                    g.put(a, b, c)
                else:
                    g.put(size - 1 - a, b, c)
    elif kind == "check":
        for i in range(size // 3):
            g.put(size // 4 + i, m + i - 1, c)
            g.put(size // 4 + i, m + i, c)
        for i in range(size // 2):
            g.put(size // 4 + size // 3 + i, m + size // 3 - 2 - i, c)
            g.put(size // 4 + size // 3 + i, m + size // 3 - 1 - i, c)
    elif kind == "dot":
        for y in range(size):
            for x in range(size):
                if (x - m + 0.5) ** 2 + (y - m + 0.5) ** 2 <= (size / 5) ** 2:
                    g.put(x, y, c)
    return g


def overlay(img, g, x0=0, y0=0):
    for y in range(g.height):
        for x in range(g.width):
            if g.px[y][x] != KEY:
                img.put(x0 + x, y0 + y, g.px[y][x])


def panel(s, w, h, state, round_corners=False, fill=None):
    """A bevelled panel in one state: normal, pressed, disabled, hot or focused."""
    face = fill or s["face"]
    top, bottom = lighter(face, 0.45), darker(face, 0.08)
    if state == "hot":
        top, bottom = lighter(top, 0.3), lighter(bottom, 0.2)
    if state == "pressed":
        top, bottom = bottom, darker(face, 0.1)
    if state == "disabled":
        top = bottom = mix(face, s["shadow"], 0.25)
    img = Image(w, h)
    img.vgrad(0, 0, w, h, top, bottom)
    light, dark = (s["shadow"], s["light"]) if state == "pressed" else (s["light"], s["shadow"])
    img.frame(0, 0, w, h, s["dark"] if state != "disabled" else s["shadow"])
    img.bevel(1, 1, w - 1, h - 1, light, dark)
    if state == "focused":
        img.frame(1, 1, w - 1, h - 1, s["accent"])
    if round_corners:
        for x, y in ((0, 0), (w - 1, 0), (0, h - 1), (w - 1, h - 1)):
            img.put(x, y, KEY)
    return img


def flat(s, w, h, fill):
    """A flat panel in one colour with a dark edge and cut corners."""
    img = Image(w, h, fill)
    img.frame(0, 0, w, h, s["dark"])
    for x, y in ((0, 0), (w - 1, 0), (0, h - 1), (w - 1, h - 1)):
        img.put(x, y, KEY)
    return img


BUTTON_STATES = ["normal", "pressed", "disabled", "hot", "focused"]


def strip(s, w, h, states, **kw):
    return side_by_side([panel(s, w, h, st, **kw) for st in states])


# ---------------------------------------------------------------- surfaces


def caption_buttons(s, out):
    size = s["caption"] - 8
    lines = []
    # close, maximize, minimize from the right edge; frames: normal, pressed, hot, inactive
    x = s["border"] + 2
    # Maximize and restore share a place: the one shows while the window is not
    # maximized (Visibility 2), the other while it is (1); a click on either toggles.
    places = (("close", 0, 0, 0), ("max", 1, 2, 1), ("restore", 1, 1, 1), ("min", 2, 0, 2))
    for i, (kind, action, when, place) in enumerate(places):
        states = ["normal", "pressed", "hot", "disabled"]
        fill = s["accent"] if kind == "close" and s["tile"] else None
        # The hot button stands out at a glance: a deep accent with a white glyph.
        hot = darker(s["accent"], 0.45 if fill else 0.15)
        frames = []
        for st in states:
            f = flat(s, size, size, hot) if st == "hot" else panel(s, size, size, st, round_corners=True, fill=fill)
            ink = {"disabled": s["shadow"], "hot": s["hilight_text"]}.get(st, s["text"])
            overlay(f, glyph(kind, size, ink))
            frames.append(f)
        side_by_side(frames).save(out(f"btn_{kind}.bmp"))
        left = s["border"] + 2 + size + place * (size + 4)
        # a window with neither box (a dialog) shows no minimize or maximize button at all
        shown_with = "0" if kind == "close" else "6"
        lines += [f"[BUTTON{i}]", f"Action={action}", "Align=1", f"Xcoord={left}",
                  f"Ycoord={(s['caption'] - size) // 2}", f"Visibility={when}", f"Visibility1={shown_with}", "frame=4",
                  f"ButtonImage=btn_{kind}.bmp"]
    # the system-menu button shows the window icon in a 16 x 16 place
    icon = Image(16, 16)
    icon.rect(2, 2, 14, 14, s["accent"])
    icon.save(out("btn_icon.bmp"))
    lines += [f"[BUTTON{len(places)}]", "Action=3", "Align=0", f"Xcoord={s['border'] + 3}", f"Ycoord={(s['caption'] - 16) // 2}",
              "Visibility=0", "Visibility1=0", "frame=1", "ButtonImage=btn_icon.bmp"]
    # the three MDI buttons, 12 cells: minimize, restore, close with 4 states each
    cell = 16
    cells = []
    for kind in ("min", "restore", "close"):
        for st in ("normal", "pressed", "hot", "disabled"):
            f = panel(s, cell, cell - 2, st)
            overlay(f, glyph(kind, cell - 2, s["text"]), 1, 0)
            cells.append(f)
    side_by_side(cells).save(out("mdi.bmp"))
    lines += ["[MDICONTROLS]", "Image=mdi.bmp"]
    return lines


def push_buttons(s, out):
    strip(s, 24, 22, BUTTON_STATES, round_corners=True).save(out("button.bmp"))
    checks, radios = [], []
    for checked in (False, True):
        for st in ("normal", "hot", "pressed", "disabled"):
            c = panel(s, 13, 13, st, fill=s["light"])
            r = Image(13, 13)
            for y in range(13):
                for x in range(13):
                    d = (x - 6) ** 2 + (y - 6) ** 2
                    if d <= 36:
                        r.put(x, y, s["dark"] if d > 25 else c.px[y][x])
            mark = s["shadow"] if st == "disabled" else s["accent"]
            if checked:
                overlay(c, glyph("check", 13, mark))
                overlay(r, glyph("dot", 13, mark))
            checks.append(c)
            radios.append(r)
    side_by_side(checks).save(out("check.bmp"))
    side_by_side(radios).save(out("radio.bmp"))
    return ["[Buttons]", "Bitmap=button.bmp", "LeftWidth=4", "RightWidth=4", "TopHeight=4", "BottomHeight=4",
            "Trans=1", "Tile=0", "CheckButton=check.bmp", "RadioButton=radio.bmp", "CheckButtonFrame=8",
            "RadioButtonFrame=8", f"NormalColour2={rgb(s['text'])}", f"MouseOverColour2={rgb(s['hot_text'])}"]


def scroll_parts(s, out):
    size = 16
    frames = []
    for kind in ("left", "right", "up", "down"):  # frames 1-16: four arrows, four states each
        for st in ("normal", "pressed", "disabled", "hot"):
            f = panel(s, size, size, st)
            overlay(f, glyph(kind, size, s["shadow"] if st == "disabled" else s["text"]))
            frames.append(f)
    for vertical in (False, True):  # frames 17-22: the grips, normal, pressed, hot
        for st in ("normal", "pressed", "hot"):
            g = Image(size, size)
            c = s["accent"] if st != "normal" else s["shadow"]
            for i in range(4, 12, 3):
                if vertical:
                    g.rect(4, i, 12, i + 1, c)
                else:
                    g.rect(i, 4, i + 1, 12, c)
            frames.append(g)
    frames.append(Image(size, size, s["face"]))  # frame 23
    side_by_side(frames).save(out("scrollbar.bmp"))
    # the track: frame 1 enabled, 3 disabled
    track = side_by_side([panel(s, 16, 16, st, fill=mix(s["face"], s["shadow"], 0.2))
                          for st in ("pressed", "pressed", "disabled", "pressed")])
    track.save(out("hscroll.bmp"))
    track.save(out("vscroll.bmp"))
    strip(s, 20, 16, ["normal", "pressed", "hot"]).save(out("hthumb.bmp"))
    strip(s, 16, 20, ["normal", "pressed", "hot"]).save(out("vthumb.bmp"))
    edges = ["LeftWidth=3", "RightWidth=3", "TopHeight=3", "BottomHeight=3"]
    return (["[Scrollbar]", "Image=scrollbar.bmp", "Trans=1"] +
            ["[HorzScroll]", "Image=hscroll.bmp"] + edges + ["[VertScroll]", "Image=vscroll.bmp"] + edges +
            ["[HorzScrollThumb]", "Image=hthumb.bmp", "FrameCount=3"] + edges +
            ["[VertScrollThumb]", "Image=vthumb.bmp", "FrameCount=3"] + edges)


def simple(s, out, section, file, w, h, states, edges=3, key="Image", extra=()):
    strip(s, w, h, states).save(out(file))
    return [f"[{section}]", f"{key}={file}", f"LeftWidth={edges}", f"RightWidth={edges}", f"TopHeight={edges}",
            f"BottomHeight={edges}", "Trans=0", "Tile=0"] + list(extra)


def fields_and_menus(s, out):
    lines = []
    edge = ["normal", "pressed", "disabled", "focused"]
    lines += simple(s, out, "SunkEdge", "sunkedge.bmp", 30, 21, edge, 2)
    combo = []
    for st in ("normal", "pressed", "disabled", "hot"):
        f = panel(s, 17, 21, st)
        overlay(f, glyph("down", 16, s["shadow"] if st == "disabled" else s["text"]), 0, 2)
        combo.append(f)
    side_by_side(combo).save(out("combo.bmp"))
    lines += ["[ComboButton]", "Image=combo.bmp", "LeftWidth=2", "RightWidth=2", "TopHeight=2", "BottomHeight=2",
              "Trans=0"]
    arrows = [glyph("down", 16, c) for c in (s["text"], s["text"], s["shadow"], s["accent"], s["accent"])]
    side_by_side(arrows).save(out("arrows.bmp"))
    lines += ["[ExtraImages]", "Image=arrows.bmp", "Trans=1"]
    # Frame 2 is the separator: a line that a separator row, lower than the image, shows
    # from the image's bottom.
    separator = Image(20, 18, s["menu"])
    separator.rect(2, 13, 18, 14, s["shadow"])
    # Frame 4 is the selected item: white text needs a ground as deep as the accent.
    selected = Image(20, 18, darker(s["accent"], 0.15))
    selected.frame(0, 0, 20, 18, darker(s["accent"], 0.4))
    menu_item = side_by_side([Image(20, 18, s["menu"]), separator, Image(20, 18, s["menu"]), selected,
                              Image(20, 18, s["menu"])])
    menu_item.save(out("menuitem.bmp"))
    lines += ["[MenuItem]", "Image=menuitem.bmp", "LeftWidth=3", "RightWidth=3", "TopHeight=3", "BottomHeight=3"]
    bg = Image(24, 24, s["menu"])
    bg.rect(0, 0, 22, 24, mix(s["menu"], s["menubar"], 0.7))
    bg.save(out("menubg.bmp"))
    lines += ["[MenuBackground]", "Image=menubg.bmp", "Tile=1"]
    # The menu bar's two frames, stacked: the active window's bar above the inactive one's.
    bar = stacked([Image(30, 20, s["menubar"]), Image(30, 20, mix(s["menubar"], s["face"], 0.5))])
    bar.save(out("menubar.bmp"))
    lines += ["[Personality]", "menuBar=menubar.bmp", "TileMenu=1", "TileLeftMenu=2", "TileRightMenu=2"]
    lines += simple(s, out, "Headerbar", "header.bmp", 30, 20, BUTTON_STATES, 2, extra=["Frame=5"])
    lines += simple(s, out, "StatusBarEdges", "status.bmp", 20, 18, ["pressed", "normal", "disabled"], 2)
    lines += simple(s, out, "ToolBars", "toolbtn.bmp", 22, 22, BUTTON_STATES, 3)
    return lines


def tabs_and_boxes(s, out):
    lines = simple(s, out, "Tabs", "tabs.bmp", 30, 22, ["normal", "focused", "disabled", "hot", "pressed"], 4)
    border = Image(30, 30, s["face"])
    border.frame(0, 0, 30, 30, s["shadow"])
    border.save(out("tabborder.bmp"))
    lines += ["Border=tabborder.bmp"]
    pane = Image(30, 30, s["face"])
    pane.bevel(0, 0, 30, 30, s["light"], s["dark"])
    pane.save(out("tabpane.bmp"))
    lines += ["[Tab.Pane]", "Image=tabpane.bmp", "LeftWidth=2", "RightWidth=2", "TopHeight=2", "BottomHeight=2"]
    box = Image(40, 20, s["face"])
    box.hgrad(0, 0, 40, 20, s["accent"], s["face"])
    box.save(out("groupbox.bmp"))
    lines += ["[GroupBox]", "Image=groupbox.bmp", "LeftWidth=6", "RightWidth=6", "BackgroundAlignment=0"]
    edge = side_by_side([Image(20, 20, s["face"]), Image(20, 20, s["face"])])
    edge.frame(1, 1, 20, 20, s["shadow"])
    edge.frame(21, 1, 40, 20, s["light"])
    edge.save(out("groupedge.bmp"))
    lines += ["[GroupBoxEdge]", "Image=groupedge.bmp", "LeftWidth=3", "RightWidth=3", "TopHeight=3",
              "BottomHeight=3", "Trans=1"]
    return lines


def progress_and_tracks(s, out):
    back = side_by_side([panel(s, 20, 16, "pressed"), panel(s, 20, 16, "pressed", fill=s["accent"])])
    back.save(out("progress.bmp"))
    chunk = Image(10, 12)
    chunk.vgrad(0, 0, 10, 12, lighter(s["accent"], 0.4), s["accent"])
    chunk.save(out("chunk.bmp"))
    lines = ["[Progress]", "Bitmap=progress.bmp", "LeftWidth=3", "RightWidth=3", "TopHeight=3", "BottomHeight=3",
             "Style=0", "[Progress.Chunk]", "Image=chunk.bmp", "Frame=1", "LeftWidth=1", "RightWidth=1"]
    for name, w, h in (("Horz", 11, 20), ("Vert", 20, 11)):
        strip(s, w, h, BUTTON_STATES, round_corners=True).save(out(f"thumb{name.lower()}.bmp"))
        lines += [f"[Trackbar.Thumb{name}]", f"Image=thumb{name.lower()}.bmp", "Trans=1"]
    track = Image(16, 4, s["shadow"])
    track.bevel(0, 0, 16, 4, s["dark"], s["light"])
    track.save(out("track.bmp"))
    lines += ["[Track]", "Image=track.bmp", "Frame=1", "LeftWidth=3", "RightWidth=3", "TopHeight=1",
              "BottomHeight=1"]
    for name, kinds in (("Horz", ("left", "right")), ("Vert", ("up", "down"))):
        # four states a direction: 1 normal, 2 pressed, 3 disabled, 4 hot
        frames = [panel(s, 16, 16, st) for _ in kinds for st in ("normal", "pressed", "disabled", "hot")]
        side_by_side(frames).save(out(f"updown{name.lower()}.bmp"))
        glyphs = side_by_side([glyph(k, 16, s["text"]) for k in kinds for _ in range(4)])
        glyphs.save(out(f"updownglyph{name.lower()}.bmp"))
        lines += [f"[UpDown.{name}]", f"Image=updown{name.lower()}.bmp", f"GlyphImage=updownglyph{name.lower()}.bmp",
                  "LeftWidth=2", "RightWidth=2", "TopHeight=2", "BottomHeight=2"]
    return lines


def rgb(c):
    return f"{c[0]} {c[1]} {c[2]}"


def colours(s):
    return ["[Colours]", f"WindowText={rgb(s['text'])}", f"ButtonFace={rgb(s['face'])}",
            f"Scrollbar={rgb(mix(s['face'], s['shadow'], 0.3))}", f"HilightText={rgb(s['hilight_text'])}",
            f"Hilight={rgb(s['accent'])}", f"Menubar={rgb(s['menubar'])}", f"Menu={rgb(s['menu'])}",
            f"MenuText={rgb(s['text'])}", f"ButtonText={rgb(s['text'])}", f"ButtonHilight={rgb(s['light'])}",
            f"Buttonlight={rgb(lighter(s['face'], 0.5))}", f"ButtonShadow={rgb(s['shadow'])}",
            f"ButtonDkShadow={rgb(s['dark'])}", f"MenuBarText={rgb(s['text'])}",
            f"TitleTextActive={rgb(s['title'])}", f"TitleTextNoActive={rgb(s['title_off'])}"]


def title(name, s):
    on, off = s["title"], s["title_off"]
    return (["[TitlebarSkin]", f"SkinName={name}", "[Fonts]", "FontHeight=14", "[Personality]",
             f"TextShift={s['border'] + 22}", "TextShiftVert=0", f"TextRightClip={3 * s['caption']}",
             "TextAlignment=0"] +
            [f"ActiveText{k}={v}" for k, v in zip("RGB", on)] + [f"InActiveText{k}={v}" for k, v in zip("RGB", off)])


def merge(lines):
    """Joins repeated sections, keeping the order in which sections first appear."""
    order, body, current = [], {}, None
    for line in lines:
        if line.startswith("["):
            current = line
            if current not in body:
                order.append(current)
                body[current] = []
        else:
            body[current].append(line)
    text = []
    for header in order:
        text += [header] + body[header] + [""]
    return "\r\n".join(text)


def main():
    if len(sys.argv) != 3 or sys.argv[1] not in STYLES:
        sys.exit("usage: drawskins.py {Mx1|Ink|Plain} FOLDER")
    name, folder = sys.argv[1], sys.argv[2]
    s = STYLES[name]
    os.makedirs(folder, exist_ok=True)
    for old in os.listdir(folder):
        if old.endswith((".bmp", ".ini")):
            os.remove(os.path.join(folder, old))

    def out(file):
        return os.path.join(folder, file)

    lines = title(name, s) + draw_borders(s, out) + colours(s)
    lines += caption_buttons(s, out)
    if name != "Plain":
        lines += push_buttons(s, out) + scroll_parts(s, out)
        lines += fields_and_menus(s, out) + tabs_and_boxes(s, out)
    if name != "Plain":
        lines += progress_and_tracks(s, out)
    if name == "Mx1":
        lines += ["[Colour0]", f"color={rgb(s['accent'])}", "[Colour1]", f"color={rgb(s['shadow'])}",
                  "[Customcolors]"] + [f"Color{i}={rgb(mix(s['accent'], s['face'], i / 9))}" for i in range(10)]
    with open(out("skin.ini"), "wb") as f:
        f.write((f"; {name}: one of the program's own skins, drawn by drawskins.py\r\n" + merge(lines)).encode("ascii"))


if __name__ == "__main__":
    main()
