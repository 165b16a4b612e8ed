#!/usr/bin/env python3
"""Draws Vesperon's icons and writes them as .ico files (16x16, 20x20, 24x24
and 32x32, 32-bit colour with an AND mask) into resources/icons/. The middle
sizes are the small icons of screens at 120 and 144 DPI, which Windows would
otherwise stretch from the 16-pixel image.

Each icon is a list of shapes in a 0..1 square, rendered with 4x4
supersampling so that every size comes out smooth. Run from anywhere:
    python3 scripts/make-icons.py
"""
import math
import os
import struct

OUT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "resources", "icons")

# Colours (r, g, b).
RED, DARKRED = (210, 50, 45), (140, 25, 25)
GREEN, DARKGREEN = (50, 160, 70), (25, 100, 40)
BLUE, NAVY = (50, 110, 200), (25, 50, 120)
YELLOW, ORANGE = (245, 200, 40), (235, 130, 30)
GREY, DARKGREY, LIGHT = (150, 150, 155), (70, 70, 75), (235, 238, 242)
WHITE, BLACK, PURPLE, CYAN = (255, 255, 255), (20, 20, 25), (120, 70, 170), (60, 180, 200)


def circle(cx, cy, r, col):
    return lambda x, y: col if (x - cx) ** 2 + (y - cy) ** 2 <= r * r else None


def ring(cx, cy, r, w, col, gap=None):
    def f(x, y):
        d = math.hypot(x - cx, y - cy)
        if abs(d - r) > w / 2:
            return None
        if gap:
            a = math.degrees(math.atan2(cx - x, cy - y)) % 360  # 0 at top
            lo, hi = gap
            if lo <= a <= hi or (lo > hi and (a >= lo or a <= hi)):
                return None
        return col
    return f


def rect(x0, y0, x1, y1, col):
    return lambda x, y: col if x0 <= x <= x1 and y0 <= y <= y1 else None


def line(x0, y0, x1, y1, w, col):
    def f(x, y):
        dx, dy = x1 - x0, y1 - y0
        t = max(0.0, min(1.0, ((x - x0) * dx + (y - y0) * dy) / (dx * dx + dy * dy)))
        return col if math.hypot(x - (x0 + t * dx), y - (y0 + t * dy)) <= w / 2 else None
    return f


def poly(points, col):
    def f(x, y):
        inside = False
        n = len(points)
        for i in range(n):
            (ax, ay), (bx, by) = points[i], points[(i + 1) % n]
            if (ay > y) != (by > y) and x < (bx - ax) * (y - ay) / (by - ay) + ax:
                inside = not inside
        return col if inside else None
    return f


def monitor(screen):
    return [rect(0.08, 0.12, 0.92, 0.72, DARKGREY), rect(0.14, 0.18, 0.86, 0.66, screen),
            rect(0.42, 0.72, 0.58, 0.84, DARKGREY), rect(0.25, 0.84, 0.75, 0.92, DARKGREY)]


def clock_face(col, face):
    return [circle(0.5, 0.5, 0.46, col), circle(0.5, 0.5, 0.36, face),
            line(0.5, 0.5, 0.5, 0.24, 0.09, BLACK), line(0.5, 0.5, 0.7, 0.58, 0.09, BLACK)]


def power(col):
    return [circle(0.5, 0.5, 0.47, col), ring(0.5, 0.53, 0.27, 0.1, WHITE, gap=(320, 40)),
            line(0.5, 0.16, 0.5, 0.5, 0.11, WHITE)]


ICONS = {
    # The program: an evening moon over a clock face.
    "app127": clock_face(NAVY, LIGHT) + [circle(0.78, 0.22, 0.2, YELLOW), circle(0.86, 0.16, 0.16, NAVY)],
    "app227": clock_face((0, 0, 128), (255, 255, 255)) + [circle(0.78, 0.22, 0.2, (255, 255, 0)),
                                                         circle(0.86, 0.16, 0.16, (0, 0, 128))],
    # Actions, by icon resource.
    "action193_turn_off": power(RED),
    "action190_reboot": [circle(0.5, 0.5, 0.47, GREEN), ring(0.5, 0.5, 0.27, 0.11, WHITE, gap=(330, 20)),
                         poly([(0.5, 0.08), (0.5, 0.38), (0.72, 0.23)], WHITE)],
    "action194_log_off": [rect(0.18, 0.08, 0.6, 0.92, ORANGE), rect(0.24, 0.14, 0.54, 0.86, YELLOW),
                          line(0.45, 0.5, 0.85, 0.5, 0.12, DARKGREEN),
                          poly([(0.95, 0.5), (0.75, 0.3), (0.75, 0.7)], DARKGREEN)],
    "action191_stand_by": [circle(0.5, 0.5, 0.47, NAVY), circle(0.45, 0.5, 0.3, YELLOW),
                           circle(0.6, 0.4, 0.27, NAVY)],
    "action188_reminder": [rect(0.14, 0.1, 0.86, 0.9, YELLOW), line(0.26, 0.3, 0.74, 0.3, 0.07, DARKGREY),
                           line(0.26, 0.5, 0.74, 0.5, 0.07, DARKGREY), line(0.26, 0.7, 0.6, 0.7, 0.07, DARKGREY)],
    "action195_hang_up": [circle(0.5, 0.5, 0.47, DARKRED), line(0.22, 0.58, 0.78, 0.58, 0.16, WHITE),
                          rect(0.18, 0.52, 0.32, 0.72, WHITE), rect(0.68, 0.52, 0.82, 0.72, WHITE)],
    "action196_hibernate": [circle(0.5, 0.5, 0.47, CYAN)] + [
        line(0.5 + 0.34 * math.cos(a), 0.5 + 0.34 * math.sin(a), 0.5 - 0.34 * math.cos(a),
             0.5 - 0.34 * math.sin(a), 0.08, WHITE) for a in (0, math.pi / 3, 2 * math.pi / 3)],
    "action198_lock": [ring(0.5, 0.4, 0.2, 0.1, DARKGREY, gap=(100, 260)), rect(0.2, 0.42, 0.8, 0.92, ORANGE),
                       circle(0.5, 0.6, 0.07, BLACK), rect(0.47, 0.6, 0.53, 0.78, BLACK)],
    "action189_shutdown_network": [rect(0.02, 0.1, 0.55, 0.5, DARKGREY), rect(0.07, 0.15, 0.5, 0.45, BLUE),
                                   rect(0.45, 0.5, 0.98, 0.9, DARKGREY), rect(0.5, 0.55, 0.93, 0.85, BLUE),
                                   circle(0.72, 0.28, 0.2, RED), line(0.72, 0.16, 0.72, 0.32, 0.07, WHITE)],
    "action176_tray_menu": [rect(0.1, 0.1, 0.9, 0.9, GREY), rect(0.14, 0.14, 0.86, 0.86, WHITE)] +
                           [line(0.24, y, 0.76, y, 0.08, NAVY) for y in (0.3, 0.5, 0.7)],
    "action185_show_window": [rect(0.06, 0.12, 0.94, 0.88, NAVY), rect(0.12, 0.28, 0.88, 0.82, LIGHT),
                              rect(0.72, 0.16, 0.86, 0.24, RED)],
    "action216_kill": [circle(0.5, 0.5, 0.47, RED), line(0.3, 0.3, 0.7, 0.7, 0.14, WHITE),
                       line(0.7, 0.3, 0.3, 0.7, 0.14, WHITE)],
    "action217_no_action": [ring(0.5, 0.5, 0.38, 0.12, GREY), line(0.24, 0.76, 0.76, 0.24, 0.12, GREY)],
    "action218_wake_on_lan": [circle(0.5, 0.5, 0.47, DARKGREEN),
                              poly([(0.58, 0.08), (0.26, 0.56), (0.48, 0.56), (0.4, 0.92), (0.74, 0.42),
                                    (0.52, 0.42)], YELLOW)],
    "action219_reboot_shell": [rect(0.08, 0.25, 0.92, 0.85, ORANGE), rect(0.08, 0.15, 0.45, 0.3, ORANGE),
                               ring(0.5, 0.56, 0.19, 0.08, WHITE, gap=(330, 20)),
                               poly([(0.5, 0.28), (0.5, 0.46), (0.64, 0.37)], WHITE)],
    "action220_screen_saver": monitor(NAVY) + [circle(0.32, 0.32, 0.05, YELLOW), circle(0.62, 0.28, 0.04, WHITE),
                                              circle(0.7, 0.52, 0.05, YELLOW), circle(0.4, 0.52, 0.04, WHITE)],
    "action221_monitor_on": monitor(YELLOW),
    "action222_monitor_off": monitor(BLACK),
    # Trigger kinds, in list order.
    "trigger230_one_time": [rect(0.1, 0.14, 0.9, 0.9, WHITE), rect(0.1, 0.14, 0.9, 0.32, RED),
                            rect(0.1, 0.14, 0.12, 0.9, GREY), rect(0.88, 0.14, 0.9, 0.9, GREY),
                            rect(0.1, 0.88, 0.9, 0.9, GREY), rect(0.38, 0.46, 0.62, 0.74, NAVY)],
    "trigger231_countdown": [poly([(0.2, 0.08), (0.8, 0.08), (0.5, 0.5)], ORANGE),
                             poly([(0.5, 0.5), (0.2, 0.92), (0.8, 0.92)], ORANGE),
                             poly([(0.34, 0.2), (0.66, 0.2), (0.5, 0.42)], YELLOW),
                             poly([(0.5, 0.66), (0.3, 0.88), (0.7, 0.88)], YELLOW)],
    "trigger232_daily": clock_face(BLUE, WHITE),
    "trigger233_weekly": [rect(0.08, 0.14, 0.92, 0.88, WHITE), rect(0.08, 0.14, 0.92, 0.3, BLUE)] +
                         [rect(0.14 + 0.11 * i, 0.5, 0.21 + 0.11 * i, 0.66, GREEN if i == 3 else GREY)
                          for i in range(7)],
    "trigger234_monthly": [rect(0.08, 0.14, 0.92, 0.88, WHITE), rect(0.08, 0.14, 0.92, 0.3, PURPLE)] +
                          [rect(0.16 + 0.18 * i, 0.38 + 0.16 * j, 0.26 + 0.18 * i, 0.48 + 0.16 * j,
                                PURPLE if (i, j) == (2, 1) else GREY) for i in range(4) for j in range(3)],
    "trigger235_defragmenter": [circle(0.5, 0.5, 0.47, DARKGREY), circle(0.5, 0.5, 0.4, GREY)] +
                               [rect(0.2 + 0.15 * i, 0.36, 0.3 + 0.15 * i, 0.64, BLUE if i % 2 else RED)
                                for i in range(4)],
    "trigger236_process": [rect(0.06, 0.12, 0.94, 0.88, NAVY), rect(0.12, 0.26, 0.88, 0.82, BLACK),
                           line(0.2, 0.4, 0.34, 0.52, 0.07, GREEN), line(0.34, 0.52, 0.2, 0.64, 0.07, GREEN),
                           line(0.42, 0.66, 0.62, 0.66, 0.07, GREEN)],
    # Menu items: Exit, "Global options...", "Contents...", "System tweaks...", "Technical Support".
    "menu240_exit": power(DARKRED),
    "menu241_global_options": [circle(0.5, 0.5, 0.4, GREY)] + [
        line(0.5, 0.5, 0.5 + 0.46 * math.cos(a), 0.5 + 0.46 * math.sin(a), 0.16, GREY)
        for a in [k * math.pi / 4 for k in range(8)]] + [circle(0.5, 0.5, 0.15, WHITE)],
    "menu242_contents": [rect(0.16, 0.08, 0.84, 0.92, BLUE), rect(0.24, 0.08, 0.84, 0.84, WHITE),
                         circle(0.56, 0.36, 0.12, BLUE), rect(0.51, 0.52, 0.61, 0.74, BLUE)],
    "menu243_system_tweaks": [line(0.2, 0.8, 0.62, 0.38, 0.14, DARKGREY), ring(0.68, 0.32, 0.2, 0.12, DARKGREY,
                                                                                gap=(10, 80))],
    "menu244_technical_support": [ring(0.5, 0.55, 0.34, 0.1, NAVY, gap=(110, 250)),
                                  rect(0.1, 0.5, 0.26, 0.78, NAVY), rect(0.74, 0.5, 0.9, 0.78, NAVY)],
    # Shortcuts page: mouse and keyboard.
    "device174_mouse": [circle(0.5, 0.62, 0.3, LIGHT), rect(0.2, 0.3, 0.8, 0.62, LIGHT),
                        ring(0.5, 0.62, 0.3, 0.06, DARKGREY, gap=(270, 90)),
                        line(0.5, 0.32, 0.5, 0.55, 0.05, DARKGREY), line(0.5, 0.3, 0.5, 0.06, 0.05, DARKGREY)],
    "device175_keyboard": [rect(0.04, 0.26, 0.96, 0.76, DARKGREY)] +
                          [rect(0.1 + 0.14 * i, 0.33 + 0.14 * j, 0.2 + 0.14 * i, 0.43 + 0.14 * j, WHITE)
                           for i in range(6) for j in range(2)] + [rect(0.24, 0.62, 0.76, 0.7, WHITE)],
}


def render(shapes, size, ss=4):
    pixels = []
    for py in range(size):
        row = []
        for px in range(size):
            acc, hits = [0, 0, 0], 0
            for sy in range(ss):
                for sx in range(ss):
                    x, y = (px + (sx + 0.5) / ss) / size, (py + (sy + 0.5) / ss) / size
                    col = None
                    for shape in shapes:
                        col = shape(x, y) or col
                    if col:
                        hits += 1
                        acc = [a + c for a, c in zip(acc, col)]
            n = ss * ss
            if hits:
                row.append(tuple(a // hits for a in acc) + (255 * hits // n,))
            else:
                row.append((0, 0, 0, 0))
        pixels.append(row)
    return pixels


def bmp_image(pixels):
    size = len(pixels)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    xor = b"".join(bytes((b, g, r, a)) for row in reversed(pixels) for (r, g, b, a) in row)
    stride = ((size + 31) // 32) * 4
    mask = b""
    for row in reversed(pixels):
        bits = 0
        for x, (_, _, _, a) in enumerate(row):
            if a == 0:
                bits |= 1 << (stride * 8 - 1 - x)
        mask += bits.to_bytes(stride, "big")
    return header + xor + mask


SIZES = (16, 20, 24, 32)


def write_ico(path, shapes):
    images = [bmp_image(render(shapes, s)) for s in SIZES]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for s, img in zip(SIZES, images):
        out += struct.pack("<BBBBHHII", s, s, 0, 0, 1, 32, len(img), offset)
        offset += len(img)
    with open(path, "wb") as f:
        f.write(out + b"".join(images))


if __name__ == "__main__":
    os.makedirs(OUT, exist_ok=True)
    for name, shapes in ICONS.items():
        write_ico(os.path.join(OUT, name + ".ico"), shapes)
    print(f"{len(ICONS)} icons written to {os.path.normpath(OUT)}")
