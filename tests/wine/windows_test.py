#!/usr/bin/env python3
"""The plug-in's windows under Wine, read back through lumhost's "windows" command and compared
with the expected layout: every window's caption, position and size, every control's
caption and rectangle. Then the main window's buttons are clicked as a user would (brightness on
the line, a transport command at the host, the display switched off and on), Alt+F4 is pressed
on the main window and on the shown configuration dialog (both stay open) and on the variables
window (it hides), and a screenshot of each window is kept as a test artifact.

usage: windows_test.py [WIN64_BUILD_DIR]
"""
import os
import re
import subprocess
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(os.path.dirname(HERE))
sys.path.insert(0, os.path.join(ROOT, "scripts", "lib"))
from winehost import Checks, HostFolder, WineSession, run_host, write_settings  # noqa: E402

SCREEN = (1280, 1024)  # the virtual X server's screen

# Windows: caption, position (None: centred), client size (or outer size where the Part gives
# that), visible after the start-up.
WINDOWS = {
    "Form1": ("Winamp Lum Plugin", None, ("client", 440, 252)),
    "MainForm": ("Winamp Lum Plugin", (287, 125), ("client", 349, 92)),
    "aboutw": ("Info", (201, 151), ("client", 646, 318)),
    "configform": ("Konfiguration", (211, 171), ("client", 666, 354)),
    "befehle": ("Befehls\\xFCbersicht", (265, 165), ("outer", 553, 359)),
}

# Controls of fixed size: name -> (left, top, width, height, caption or None).
MAIN = {
    "Panel1": (0, 0, 349, 92, ""), "Label4": (8, 8, 329, 33, ""), "Label5": (8, 48, 65, 33, ""),
    "Label1": (13, 18, 319, 17, None), "Label2": (16, 56, 49, 18, None),
    "Panel2": (82, 48, 39, 17, "<<"), "Panel3": (122, 48, 39, 17, "Play"),
    "Panel4": (162, 48, 39, 17, "II"), "Panel5": (202, 48, 39, 17, "Stop"),
    "Panel6": (242, 48, 39, 17, ">>"), "Panel8": (282, 48, 23, 17, "_"),
    "Panel15": (306, 48, 17, 17, "-"), "Panel14": (324, 48, 17, 17, "+"),
    "Panel9": (82, 66, 39, 17, "Hell 1"), "Panel10": (122, 66, 39, 17, "Hell 2"),
    "Panel11": (162, 66, 39, 17, "Hell 3"), "Panel12": (202, 66, 39, 17, "Hell 4"),
    "Panel7": (242, 66, 57, 17, "VFD off"), "Panel13": (300, 66, 41, 17, "Config"),
}
SPLASH = {"Image1": (0, 1, 441, 249, "")}
ABOUT = {"Image1": (320, 8, 321, 249, ""), "Panel1": (584, 282, 49, 23, "OK")}
VARIABLES = {"Image1": (104, 283, 417, 33, ""), "Panel2": (18, 293, 47, 23, "OK")}
DIALOG = {
    "Panel2": (10, 322, 47, 23, "OK"), "Image1": (64, 312, 417, 33, ""),
    "Panel3": (496, 322, 57, 23, "Info"), "Panel1": (562, 322, 95, 23, "Abbrechen"),
    "PageControl1": (8, 8, 649, 297, ""),
    "SpinEdit1": (184, 8, 49, 22, "1"), "SpinEdit2": (184, 40, 49, 22, "20"),
    "SpinEdit4": (184, 72, 49, 22, "2"), "SpinEdit3": (184, 104, 49, 22, "300"),
    "Edit1": (168, 136, 65, 21, " ** "), "Baudrate": (440, 8, 57, 21, "9600"),
    "Edit10": (440, 40, 57, 21, "20"), "Image2": (350, 112, 321, 161, ""),
    "TabbedNotebook1": (8, 8, 321, 233, ""), "SpinEdit6": (416, 8, 41, 22, "1"),
    "SpinEdit7": (584, 8, 41, 22, "1"), "Button1": (8, 248, 75, 17, "Vorschau"),
    "SpinEdit5": (384, 240, 41, 22, "0"), "Button2": (568, 248, 67, 17, "Variablen"),
}
for i in range(8):
    DIALOG[f"Label{12 + i}"] = (336, 40 + 24 * i, 15, 23 if i == 7 else 25, "0")
    DIALOG[f"Panel{4 + i}"] = (352, 40 + 24 * i, 281, 23, "")
for set_index, first_edit in enumerate((2, 11, 19, 27)):
    for line in range(8):
        DIALOG[f"Edit{first_edit + line}"] = (8, 8 + 24 * line, 233, 21, None)
        DIALOG[f"ComboBox{set_index * 8 + line + 1}"] = (240, 8 + 24 * line, 65, 21, None)
for name, left, top in (("CheckBox3", 16, 168), ("CheckBox1", 16, 192), ("CheckBox2", 16, 216),
                        ("CheckBox6", 16, 240), ("CheckBox4", 280, 72), ("CheckBox5", 280, 104)):
    DIALOG[name] = (left, top, None, None, "")

# Labels whose place and caption the Parts give, found by their caption: (left, top).
CAPTIONS = {
    "configform": {
        "Com Port": (8, 8), "Anzahl der Zeichen": (8, 40), "Anzahl der Zeilen": (8, 72),
        "Aktualisierungsinterval": (6, 104), "Trennzeichen": (6, 136),
        "Hauptfenster minimiert": (45, 168), "Zeige Hauptfenster": (45, 192),
        "VFD abgeschaltet": (45, 216), "Umlaute ersetzen": (45, 240), "Baudrate": (278, 8),
        "Initialisierungsbefehl": (278, 40), "Wagenr\\xFCcklauf senden": (310, 72),
        "Siemens BA63 Mode": (310, 104), "(Spezial, 2-Zeilig)": (310, 120),
        "Set Anzahl:": (344, 13), "Jetzt Aktiv:": (512, 13), "Aus": (88, 248),
        "Set alle ": (336, 237), "Sekunden wechseln": (432, 237),
        "(0 = Kein Wechsel)": (432, 253),
        "Display Konfiguration": None, "Text Konfiguration": None,
        "Set 1": None, "Set 2": None, "Set 3": None, "Set 4": None,
    },
    "aboutw": {
        "Die neuste Version kann auf": (16, 32), " ": (16, 80), "Dank an:": (16, 128),
        " Anleitung zum Anschliessen des Displays unter:  ": (328, 256),
    },
    "befehle": {
        "Hier eine \\xDCbersicht der m\\xF6glichen Variablen:": (16, 8),
        "%titel - Zeigt Titel und Interpreten": (16, 40),
        "%status - Zeigt den Abspielstatus (Play, Pause, Stop)": (248, 40),
        "%id3titel - Zeigt nur den Titel": (16, 64), "%zeit - Aktuelle Uhrzeit (HH:MM)": (248, 64),
        "%id3interpret - Zeigt nur den Interpreten": (16, 88),
        "%zeits - Aktuelle Uhrzeit (HH:MM:SS)": (248, 88),
        "%id3album - Zeigt das Album": (16, 112), "%datum - Aktuelles Datum (TT.MM)": (248, 112),
        "%id3year - Zeigt das Jahr": (16, 136),
        "%datumy - Aktuelles Datum (DD.MM.YYYY)": (248, 136),
        "%id3comment - Zeigt den Kommentar": (16, 160), "%tag - Aktueller Tag (DD)": (248, 160),
        "%id3genre - Zeigt die Genre": (16, 184), "%monat - Aktueller Monat (MM)": (248, 184),
        "%winamptrack - Nummer in Playliste": (16, 208),
        "%jahr - Aktuelles Jahr (YY)": (248, 208),
        "%winampzeit - Zeigt die Titelposition": (16, 232),
        "%jahry - Aktuelles Jahr (YYYY)": (248, 232),
        "%winampzeitr - Titelposition (remaining)": (16, 256),
    },
}

LINE = re.compile(r'(window|control) (\S+) class=(\S+) caption="(.*)" (\S+=\S+.*)$')

# Each "echo" mark below a picture's name takes a screenshot; the sleep after it lets the
# screenshot be taken before the next command changes the screen.
COMMANDS = [
    "sleep 1500", "windows", "echo start", "sleep 1500",
    "click MainForm.Panel9", "sleep 300",
    "click MainForm.Panel3", "sleep 300",
    "key MainForm alt+f4", "sleep 300", "windows", "echo after-alt-f4",
    "click MainForm.Panel7", "sleep 800", "click MainForm.Panel7", "sleep 2000",
    "click Form1.Image1", "config", "sleep 1000", "echo dialog-text", "sleep 1500",
    "page PageControl1 0", "sleep 1000", "echo dialog-display", "sleep 1500",
    "key configform alt+f4", "sleep 300", "windows", "echo dialog-after-alt-f4",
    "page PageControl1 1", "click configform.Panel3", "sleep 1000", "echo about", "sleep 1500",
    "click aboutw.Panel1", "click configform.Button2", "sleep 1000", "echo variables",
    "sleep 1500", "key befehle alt+f4", "sleep 500", "windows", "echo end", "quit",
]


def parse(lines):
    """The listed windows and controls: name -> dict of their fields."""
    listed = {}
    for line in lines:
        match = LINE.match(line)
        if not match:
            continue
        fields = dict(item.split("=", 1) for item in match.group(5).split())
        fields.update(kind=match.group(1), cls=match.group(3), caption=match.group(4))
        listed[match.group(2)] = fields
    return listed


def listings(run):
    """The window listings, each under the echo mark that follows it."""
    parts, current = {}, []
    for _, line in run.events:
        if line.startswith("echo "):
            parts[line[5:]] = current
            current = []
        elif line.startswith(("window ", "control ")):
            current.append(line)
    parts["last"] = current
    return {mark: parse(lines) for mark, lines in parts.items()}


def check_layout(checks, listed):
    for name, (caption, pos, (which, width, height)) in WINDOWS.items():
        window = listed.get(name)
        if not checks.check(f"{name}: listed", window is not None):
            continue
        checks.check(f"{name}: caption", window["caption"] == caption, window["caption"])
        size = f"{width}x{height}"
        checks.check(f"{name}: {which} size {size}", window[which] == size, window[which])
        outer_w, outer_h = (int(v) for v in window["outer"].split("x"))
        expected = pos or ((SCREEN[0] - outer_w) // 2, (SCREEN[1] - outer_h) // 2)
        checks.check(f"{name}: position {expected}", window["pos"] == "%d,%d" % expected,
                     window["pos"])
    for form, table in (("MainForm", MAIN), ("Form1", SPLASH), ("aboutw", ABOUT),
                        ("befehle", VARIABLES), ("configform", DIALOG)):
        wrong = []
        for name, (left, top, width, height, caption) in table.items():
            control = listed.get(f"{form}.{name}")
            if control is None:
                wrong.append(f"{name} missing")
                continue
            l, t, w, h = (int(v) for v in control["rect"].split(","))
            if (l, t) != (left, top) or (width is not None and (w, h) != (width, height)):
                wrong.append(f"{name} at {control['rect']}")
            if caption is not None and control["caption"] != caption:
                wrong.append(f"{name} reads {control['caption']!r}")
        checks.check(f"{form}: {len(table)} controls at their places with their captions",
                     not wrong, wrong)
    for form, captions in CAPTIONS.items():
        found = {c["caption"]: c for n, c in listed.items() if n.startswith(form + ".")}
        wrong = []
        for caption, place in captions.items():
            control = found.get(caption)
            if control is None:
                wrong.append(f"{caption!r} missing")
            elif place and control["rect"].split(",")[:2] != [str(v) for v in place]:
                wrong.append(f"{caption!r} at {control['rect']}")
        checks.check(f"{form}: {len(captions)} captions at their places", not wrong, wrong)


def crop(screenshot, window, path):
    """Cuts a window's client area out of a screenshot, by the window's position and its outer
    and client sizes."""
    left, top = (int(v) for v in window["pos"].split(","))
    outer_w, outer_h = (int(v) for v in window["outer"].split("x"))
    width, height = (int(v) for v in window["client"].split("x"))
    border = (outer_w - width) // 2
    left, top = left + border, top + outer_h - height - border
    subprocess.run(["convert", screenshot, "-crop", f"{width}x{height}+{left}+{top}", "+repage",
                    path], check=False)


def main():
    build = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else
                            os.path.join(ROOT, "build", "win64"))
    artifacts = os.path.join(build, "test-artifacts")
    os.makedirs(artifacts, exist_ok=True)
    checks = Checks()
    folder = HostFolder(build, "#EXTM3U\r\n#EXTINF:300,Erster Titel\r\neins.mp3\r\n")
    shots = {"start": ["MainForm", "Form1"], "dialog-text": ["configform"],
             "dialog-display": ["configform"], "about": ["aboutw"], "variables": ["befehle"]}
    taken = []
    session = WineSession(build)

    def on_event(_at, line):
        if line.startswith("echo ") and line[5:] in shots:
            path = os.path.join(artifacts, f"screen-{line[5:]}.png")
            taken.append((line[5:], path))
            session.screenshot(path)

    try:
        write_settings(folder.settings, ["DisplayOff=false", "MainWindowMinimized=false"])
        with session:
            run = run_host(build, folder, COMMANDS, on_event=on_event)
    finally:
        folder.remove()
    parts = listings(run)
    check_layout(checks, parts.get("start", {}))
    lines = run.lines()
    data = run.data()
    checks.check("click Panel9: the brightness byte 0x04 on the line", b"\x04" in data)
    checks.check("click Panel3: the host's play command", "command 40045" in lines)
    after = parts.get("after-alt-f4", {}).get("MainForm", {})
    checks.check("Alt+F4 leaves the main window open", after.get("visible") == "1", after)
    blank = b" " * 40
    off = data.find(blank)
    checks.check("click Panel7: the display is switched off (blank frame)", off > 0)
    checks.check("click Panel7 again: the start sequence runs again",
                 off > 0 and b"\x14\r\n" in data[off:], repr(data[off:off + 60]))
    dialog = parts.get("dialog-after-alt-f4", {}).get("configform", {})
    checks.check("Alt+F4 leaves the shown dialog open", dialog.get("visible") == "1", dialog)
    end = parts.get("end", {})
    checks.check("Alt+F4 on the variables window hides it",
                 end.get("befehle", {}).get("visible") == "0", end.get("befehle"))
    checks.check("the about box's OK hides it", end.get("aboutw", {}).get("visible") == "0")
    checks.check("no automation error", not any(l.startswith("error") for l in lines),
                 [l for l in lines if l.startswith("error")])
    checks.check("exit code 0", run.returncode == 0, run.returncode)
    for mark, path in taken:
        window_names = shots[mark]
        for window_name in window_names:
            window = parts.get("start", {}).get(window_name)
            if window and os.path.exists(path):
                crop(path, window, os.path.join(artifacts, f"{window_name}-{mark}.png"))
    checks.check("screenshots kept", all(os.path.exists(p) for _, p in taken)
                 and len(taken) == len(shots))
    print(f"windows under Wine: {checks.failures} failed (screenshots in {artifacts})")
    return 1 if checks.failures else 0


if __name__ == "__main__":
    sys.exit(main())
