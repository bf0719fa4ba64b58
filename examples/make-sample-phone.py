#!/usr/bin/env python3
"""Writes the sample phone of examples/virtual-phone: its identity, a few GIF icons, the Java
slot tables of phone and card with their .jad descriptors, and (with tessaro-cli) the menu.

    examples/make-sample-phone.py [path/to/tessaro-cli]

Everything here is made up for Tessaro; run it again after changing it.
"""
import json
import os
import shutil
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
PHONE = os.path.join(HERE, "virtual-phone")

MODEL = "TX100"
FIRMWARE = "TX100_A_01.02.03R"
LP = 0x1234
IMEI14 = "35123456789012"


def imei_check_digit(digits):
    total = 0
    for p, ch in enumerate(digits):
        v = int(ch) * (2 if p % 2 else 1)
        total += v - 9 if v > 9 else v
    return (10 - total % 10) % 10


IMEI = IMEI14 + str(imei_check_digit(IMEI14))


def write(path, data):
    full = os.path.join(PHONE, path)
    os.makedirs(os.path.dirname(full), exist_ok=True)
    mode = "wb" if isinstance(data, (bytes, bytearray)) else "w"
    with open(full, mode) as f:
        f.write(data)


# --- GIF icons ---------------------------------------------------------------------------

def lzw(pixels):
    """The image data of one frame with a 16-entry palette. The LZW stream sends a clear code
    every 12 pixels, so every code stays 5 bits wide: simple, and valid for any decoder."""
    min_size = 4
    clear, end = 16, 17
    codes = []
    for i, p in enumerate(pixels):
        if i % 12 == 0:
            codes.append(clear)
        codes.append(p)
    codes.append(end)
    bits = 0
    nbits = 0
    stream = bytearray()
    for c in codes:
        bits |= c << nbits
        nbits += 5
        while nbits >= 8:
            stream.append(bits & 0xFF)
            bits >>= 8
            nbits -= 8
    if nbits:
        stream.append(bits & 0xFF)
    out = bytearray([min_size])
    for i in range(0, len(stream), 255):
        chunk = stream[i:i + 255]
        out.append(len(chunk))
        out += chunk
    out.append(0)
    return bytes(out)


def gif(width, height, palette, pixels, transparent=None, frames=None, delay=15):
    """A GIF89a with a 16-entry palette: one picture, or with `frames` (lists of pixels) an
    animation that loops for ever, each frame shown `delay` hundredths of a second."""
    palette = (palette + [(0, 0, 0)] * 16)[:16]
    out = bytearray(b"GIF89a")
    out += width.to_bytes(2, "little") + height.to_bytes(2, "little")
    out += bytes([0xF3, 0, 0])  # global colour table of 16 entries
    for r, g, b in palette:
        out += bytes([r, g, b])
    if frames is not None:
        out += b"\x21\xFF\x0BNETSCAPE2.0\x03\x01\x00\x00\x00"
    for frame in (frames if frames is not None else [pixels]):
        if transparent is not None or frames is not None:
            # Frames of an animation are cleared to the background before the next one.
            flags = (2 << 2 if frames is not None else 0) | (1 if transparent is not None else 0)
            out += bytes([0x21, 0xF9, 4, flags]) + (delay if frames is not None else 0).to_bytes(2, "little")
            out += bytes([transparent or 0, 0])
        out += b"\x2C" + (0).to_bytes(2, "little") * 2
        out += width.to_bytes(2, "little") + height.to_bytes(2, "little") + b"\x00"
        out += lzw(frame)
    out += b"\x3B"
    return bytes(out)


def draw(size, inside):
    return [inside(x, y) for y in range(size) for x in range(size)]


def star(x, y):
    cx, cy = x - 7.5, y - 7.5
    r = (cx * cx + cy * cy) ** 0.5
    import math
    a = math.atan2(cy, cx)
    edge = 4 + 3.5 * (0.5 + 0.5 * math.cos(5 * a))
    return 1 if r <= edge - 1 else 2 if r <= edge else 0


def heart(x, y):
    u, v = (x - 7.5) / 6.5, (7 - y) / 6.5
    f = (u * u + v * v - 1) ** 3 - u * u * v ** 3
    return 1 if f < -0.02 else 2 if f < 0.02 else 0


def note(x, y):
    if 9 <= x <= 10 and 2 <= y <= 11:
        return 2
    if 10 <= x <= 13 and 2 <= y <= 3:
        return 2
    if (x - 7) ** 2 + (y - 12) ** 2 <= 6:
        return 1
    return 0


def envelope(x, y):
    """A 24 x 24 letter: its edge, the flap's two lines, the paper."""
    if not (2 <= x <= 21 and 5 <= y <= 18):
        return 0
    if x in (2, 21) or y in (5, 18):
        return 2
    if abs((x - 11.5) * 0.7 - (y - 5)) < 0.8 or abs((11.5 - x) * 0.7 - (y - 5)) < 0.8:
        return 2
    return 1


def gear(x, y):
    import math
    cx, cy = x - 11.5, y - 11.5
    r = (cx * cx + cy * cy) ** 0.5
    a = math.atan2(cy, cx)
    tooth = 9.5 if math.cos(8 * a) > 0.3 else 7.5
    if r <= 3:
        return 0
    return 1 if r <= tooth - 1 else 2 if r <= tooth else 0


def spinning_star(phase):
    import math

    def inside(x, y):
        cx, cy = x - 11.5, y - 11.5
        r = (cx * cx + cy * cy) ** 0.5
        a = math.atan2(cy, cx) + phase * 2 * math.pi / 20
        edge = 6 + 5 * (0.5 + 0.5 * math.cos(5 * a))
        return 1 if r <= edge - 1 else 2 if r <= edge else 0
    return inside


def icons():
    write("a/mobile/picture/star.gif",
          gif(16, 16, [(255, 0, 255), (250, 200, 30), (150, 90, 0)], draw(16, star), transparent=0))
    write("a/mobile/picture/heart.gif",
          gif(16, 16, [(255, 0, 255), (220, 30, 60), (120, 0, 20)], draw(16, heart), transparent=0))
    write("c/mobile/picture/note.gif",
          gif(16, 16, [(255, 0, 255), (40, 110, 220), (20, 40, 90)], draw(16, note), transparent=0))
    # The menu's own icons, 24 x 24; the games' star turns when the item is selected.
    write("a/mobile/picture/envelope.gif",
          gif(24, 24, [(255, 0, 255), (250, 250, 235), (40, 80, 160)], draw(24, envelope), transparent=0))
    write("a/mobile/picture/gear.gif",
          gif(24, 24, [(255, 0, 255), (150, 160, 175), (60, 70, 85)], draw(24, gear), transparent=0))
    write("a/mobile/picture/star24.gif",
          gif(24, 24, [(255, 0, 255), (250, 200, 30), (150, 90, 0)], draw(24, spinning_star(0)), transparent=0))
    write("a/mobile/picture/star_spin.gif",
          gif(24, 24, [(255, 0, 255), (250, 200, 30), (150, 90, 0)], None, transparent=0,
              frames=[draw(24, spinning_star(p)) for p in range(4)]))


# --- Java slot tables ----------------------------------------------------------------------

def text(field, value, size):
    data = value.encode("latin-1")[: size - 1]
    field += data + bytes(size - len(data))


def j2mest(record_size, slots, second_layout=False):
    """31 records of record_size bytes, no header. Each slot: (index, name, vendor,
    midlet1, corelet). Field positions follow the record size's layout."""
    layouts = {
        708: (1, 6, 39, 152, True),
        1104: (1, 6, 39, 152, True),
    }
    in_use_byte, name_at, vendor_at, midlet_at, corelet_field = layouts[record_size]
    if second_layout:
        midlet_at = 156
    records = [bytearray(record_size) for _ in range(31)]
    for index, name, vendor, midlet1, corelet in slots:
        r = records[index]
        r[0] = 1 if (corelet and corelet_field) else 0
        r[in_use_byte] |= 1
        n = name.encode("latin-1")
        r[name_at:name_at + len(n)] = n
        v = vendor.encode("latin-1")
        r[vendor_at:vendor_at + len(v)] = v
        m = midlet1.encode("latin-1")
        r[midlet_at:midlet_at + len(m)] = m
        if second_layout:
            r[1100:1104] = b"\xFF\xFF\xFF\xFF"
    return b"".join(bytes(r) for r in records)


def java():
    # The phone's table, 708-byte records. Slot 0 was installed with a bare "1: ..." entry
    # and a corelet flag: it does not start from the main menu until it is patched with the
    # name from its descriptor /c/mobile/kjava/j2me0.jad.
    write("a/mobile/kjava/J2MEST", j2mest(708, [
        (0, "Snake", "Tessaro samples", "1: Snake", True),
        (1, "Notes", "Tessaro samples", "Notes, /notes.png, Notes", False),
    ]))
    write("c/mobile/kjava/j2me0.jad",
          "MIDlet-Name: Snake\r\nMIDlet-Vendor: Tessaro samples\r\nMIDlet-Version: 1.0\r\n"
          "MIDlet-1: Snake Game, /snake.png, Snake\r\nMIDlet-Jar-URL: j2me0.jar\r\n")
    write("c/mobile/kjava/j2me1.jad",
          "MIDlet-Name: Notes\r\nMIDlet-Vendor: Tessaro samples\r\nMIDlet-Version: 1.2\r\n"
          "MIDlet-1: Notes, /notes.png, Notes\r\nMIDlet-Jar-URL: j2me1.jar\r\n")
    # The memory card's table in the second 1104-byte layout, installed below the IMEI.
    write("b/mobile/kjava/installed/" + IMEI + "/J2MEST", j2mest(1104, [
        (0, "Chess", "Tessaro samples", "Chess, /chess.png, Chess", False),
    ], second_layout=True))
    write("b/mobile/kjava/installed/" + IMEI + "/j2me0.jad",
          "MIDlet-Name: Chess\r\nMIDlet-Vendor: Tessaro samples\r\nMIDlet-1: Chess, /chess.png, Chess\r\n")


# --- the menu --------------------------------------------------------------------------------

ENGLISH, RUSSIAN = "01", "23"


def titles(kind, english, russian):
    return {"kind": kind, "titles": [{"language": ENGLISH, "text": english},
                                     {"language": RUSSIAN, "text": russian}]}


def icon(role, path):
    return {"kind": "icon", "role": role, "path": path}


# Own titles and icons of a few items (the others show the phone's own).
ITEM_DATA = {
    "Message": [titles("menuTitle", "Messages", "Сообщения"),
                icon("static", "/a/mobile/picture/envelope.gif"), icon("list", "/a/mobile/picture/envelope.gif")],
    "PhoneBook": [titles("menuTitle", "Contacts", "Контакты"),
                  icon("static", "/a/mobile/picture/heart.gif"), icon("list", "/a/mobile/picture/heart.gif")],
    "Mutilmedia": [titles("menuTitle", "Media", "Медиа"),
                   icon("static", "/c/mobile/picture/note.gif"), icon("list", "/c/mobile/picture/note.gif")],
    "Games": [titles("menuTitle", "Games", "Игры"), icon("static", "/a/mobile/picture/star24.gif"),
              icon("animated", "/a/mobile/picture/star_spin.gif"), icon("list", "/a/mobile/picture/star.gif")],
    "Settings": [titles("menuTitle", "Settings", "Настройки"),
                 icon("static", "/a/mobile/picture/gear.gif"), icon("list", "/a/mobile/picture/gear.gif")],
}
# The left and right softkeys' own labels.
SOFTKEY_TITLES = [("Contacts", "Контакты"), ("Messages", "Сообщения"), (None, None), (None, None),
                  (None, None), (None, None), (None, None)]


def walk(items):
    for item in items:
        yield item
        yield from walk(item.get("items", []))


def menu(cli):
    ops = [
        # Absolute indices: 8 is the Menu Root, 9 and up the menu in pre-order.
        "insert sublast 8 Message",
        "insert sublast 8 PhoneBook",
        "insert sublast 8 RecentCall",
        "insert sublast 8 Mutilmedia",
        "insert sublast 8 Games",
        "insert sublast 8 Settings",
        "insert sublast 8 Tools",
        "insert sublast 8 Shortcuts",
        # Under Multimedia (12): camera, pictures, sounds.
        "insert sublast 12 Camera",
        "insert sublast 12 Pictures",
        "insert sublast 12 Sounds",
        # Under Settings (17 once Multimedia holds three): ring styles and phone status.
        "insert sublast 17 RingStyle",
        "insert sublast 17 PhoneStatus",
        "insert sublast 17 Security",
        # Under Tools (21): calculator, alarm clock, a shortcut item and a custom one.
        "insert sublast 21 Calculator",
        "insert sublast 21 AlarmClock",
        "insert sublast 21 SetAlarm",
        "insert sublast 21 Custom item",
    ]
    target = os.path.join(PHONE, "a/mobile/system/mma_ucp")
    os.makedirs(os.path.dirname(target), exist_ok=True)
    with tempfile.TemporaryDirectory() as work:
        args = [cli, "--dir", work, "edit", "new", target]
        for op in ops:
            args += ["--op", op]
        subprocess.run(args, check=True)
        # Titles in English and Russian, and icons, through the menu's text form.
        text = os.path.join(work, "menu.json")
        subprocess.run([cli, "--dir", work, "export", target, "-o", text], check=True)
        with open(text, encoding="utf-8") as f:
            described = json.load(f)
        for item in walk(described["menu"]):
            extra = ITEM_DATA.get(item["id"])
            if extra:
                item["data"] = extra
                item["options"] = "0x08"
        for item, (english, russian) in zip(described["softkeys"], SOFTKEY_TITLES):
            if english:
                item["data"] = [titles("softkeyTitle", english, russian)]
                item["options"] = "0x08"
        with open(text, "w", encoding="utf-8") as f:
            json.dump(described, f, ensure_ascii=False, indent=2)
        subprocess.run([cli, "--dir", work, "compile", text, target], check=True)
        subprocess.run([cli, "--dir", work, "dump", target], check=True,
                       stdout=open(os.path.join(work, "dump.txt"), "w"))


def main():
    cli = sys.argv[1] if len(sys.argv) > 1 else os.path.join(HERE, "..", "build", "tessaro-cli")
    for folder in ("a", "b", "c", "e", "seem"):
        shutil.rmtree(os.path.join(PHONE, folder), ignore_errors=True)
    os.makedirs(PHONE, exist_ok=True)
    write("phone.json", json.dumps({"model": MODEL, "firmware": FIRMWARE, "lp": LP, "imei": IMEI},
                                   indent=2) + "\n")
    # SEEM 0032 record 1, the record "Backup SEEM" saves.
    write("seem/0032_0001.seem", bytes((i * 7 + 3) & 0xFF for i in range(96)))
    icons()
    java()
    menu(cli)


if __name__ == "__main__":
    main()
