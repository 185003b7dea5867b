#!/usr/bin/env python3
"""The configuration dialog under Wine, edited as a user would through lumhost, from a first run
without a settings file: the first-run message, the dialog on "Text Konfiguration"; a template
and the line width changed, then "OK": the settings file holds the edits, and the display gets
CR LF and the initialisation byte at once, the initialisation byte again 1000 ms later, CR LF
250 ms after that, and frames with the new template. "Abbrechen" after a further edit leaves the
file byte for byte as it was.

usage: dialog_test.py [WIN64_BUILD_DIR]
"""
import os
import subprocess
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(os.path.dirname(HERE))
sys.path.insert(0, os.path.join(ROOT, "scripts", "lib"))
from winehost import Checks, HostFolder, lumctl, run_host  # noqa: E402

TOLERANCE = 0.15
WIDTH = 16
FRAME = WIDTH * 2
FIRST_RUN = "messagebox Sie starten das Plugin zum ersten mal."
COMMANDS = [
    "sleep 1000", "windows", "echo opened",
    "settext Edit2 %status", "settext SpinEdit2 16", "sleep 300",
    "click configform.Panel2", "sleep 2000", "echo after-ok",
    "config", "sleep 500", "settext Edit2 %titel", "click configform.Panel1", "sleep 500",
    "echo after-cancel", "quit",
]


def tokens(data, times):
    """The display's stream as (time, token): CR LF, the initialisation byte, or a frame."""
    out, at = [], 0
    while at < len(data):
        if data.startswith(b"\r\n", at):
            out.append((times[at], "CRLF"))
            at += 2
        elif data[at] == 0x14:
            out.append((times[at], "INIT"))
            at += 1
        else:
            out.append((times[at], data[at:at + FRAME].decode("latin-1")))
            at += FRAME
    return out


def near(value, expected):
    return abs(value - expected) <= TOLERANCE


def main():
    build = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else
                            os.path.join(ROOT, "build", "win64"))
    checks = Checks()
    folder = HostFolder(build, "#EXTM3U\r\n#EXTINF:300,Erster Titel\r\neins.mp3\r\n")
    saved = {}

    def on_event(_at, line):
        if line.startswith("echo after-") and os.path.exists(folder.settings):
            with open(folder.settings, "rb") as file:
                saved[line[5:]] = file.read()

    try:
        run = run_host(build, folder, COMMANDS, on_event=on_event)
        dump = subprocess.run([lumctl(), "dump", folder.settings], stdout=subprocess.PIPE,
                              check=False).stdout.decode("latin-1")
    finally:
        folder.remove()
    lines = run.lines()
    checks.check("first run: the message", any(l.startswith(FIRST_RUN) for l in lines), lines[:4])
    opened = {l.split()[1]: l for l in lines if l.startswith(("window ", "control "))}
    checks.check("the dialog is shown", "visible=1" in opened.get("configform", ""))
    checks.check("on the page Text Konfiguration, Set 1",
                 "visible=1" in opened.get("configform.TabSheet2", "") and
                 "visible=0" in opened.get("configform.TabSheet1", "") and
                 "visible=1" in opened.get("configform.SetPage1", ""))
    checks.check("the file holds the edits",
                 "LineWidth=16" in dump and 'Set1.Line1.Template="%status"' in dump, dump[:300])
    checks.check("Abbrechen leaves the file as it was",
                 saved.get("after-ok") is not None and
                 saved.get("after-ok") == saved.get("after-cancel"))
    stream = tokens(run.data(), run.byte_times())
    names = [token if len(token) < 5 else "FRAME" for _, token in stream]
    checks.check("the display: CR LF and the initialisation byte at once",
                 names[:2] == ["CRLF", "INIT"] and near(stream[1][0] - stream[0][0], 0), names[:6])
    inits = [at for at, token in stream if token == "INIT"]
    feeds = [at for at, token in stream if token == "CRLF"]
    ok = stream[0][0] if stream else 0
    checks.check("the initialisation byte again 1000 ms later",
                 len(inits) == 2 and near(inits[1] - ok, 1.0), [round(t - ok, 3) for t in inits])
    checks.check("CR LF 250 ms after that",
                 len(feeds) == 2 and near(feeds[1] - ok, 1.25), [round(t - ok, 3) for t in feeds])
    frames = [token for _, token in stream if len(token) == FRAME]
    checks.check("frames with the new template",
                 any(f.startswith("STOP" + " " * 12) for f in frames), frames[:3])
    checks.check("exit code 0", run.returncode == 0, run.returncode)
    print(f"dialog under Wine: {checks.failures} failed")
    return 1 if checks.failures else 0


if __name__ == "__main__":
    sys.exit(main())
