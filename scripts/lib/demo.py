#!/usr/bin/env python3
"""The plug-in's main job, end to end: lumhost loads gen_lum.dll (64-bit build) under Wine and
plays the demo playlist, whose files carry ID3v1 tags; COM1 is the virtual display's pty, and
the display shows live in the terminal what a real one would.

usage: demo.py [-i] [--rotating] [--port DEVICE] [--screenshot DIR] [--artifacts DIR]

  -i               type the host's commands yourself (play, pause, stop, next, prev, seek <ms>,
                   select <n>, config, quit); otherwise a scripted run
  --rotating       the second settings: two text sets taking turns (tag, date and time)
  --port DEVICE    drive a real display on DEVICE instead of the virtual one
  --screenshot DIR also save PNGs into DIR: the display while it plays and at the end, and the
                   plug-in's windows
  --artifacts DIR  keep the virtual display's byte log and final text in DIR (for tests)

Ctrl-C ends the run cleanly: the host calls the plug-in's quit, which clears the display.
"""
import argparse
import os
import signal
import subprocess
import sys
import threading
import time

from winehost import (HostFolder, ROOT, WINE, prepare_prefix, stop_wine, wine_env,
                      write_settings, xvfb_screenshot)

BUILD = os.path.join(ROOT, "build", "win64")
VFD = os.path.join(ROOT, "build", "native", "bin", "vfd")
DEMO = os.path.join(ROOT, "demo")
# The scripted run: (seconds to wait first, command).
SCRIPT = [(0, "play"), (9, "next"), (6, "next"), (5, "pause"), (2, "quit")]
SCREENSHOT_AFTER = 8.5


def settings_lines(name):
    with open(os.path.join(DEMO, name)) as file:
        return [line.strip() for line in file if line.strip() and not line.startswith("#")]


def write_tagged_files(folder):
    """Writes the playlist's files: a little filler and the ID3v1 tag of demo/tags.txt."""
    with open(os.path.join(DEMO, "tags.txt"), "rb") as file:
        rows = [line.rstrip(b"\r\n") for line in file if not line.startswith(b"#")]
    for row in filter(None, rows):
        path, title, artist, album, year, comment, track, genre = row.split(b"|")
        field = lambda text, size: text[:size].ljust(size, b"\0")  # noqa: E731
        tag = (b"TAG" + field(title, 30) + field(artist, 30) + field(album, 30) + field(year, 4)
               + field(comment, 28) + b"\0" + bytes([int(track), int(genre)]))
        target = os.path.join(folder.path, *path.decode("cp1252").split("\\"))
        os.makedirs(os.path.dirname(target), exist_ok=True)
        with open(target, "wb") as out:
            out.write(bytes(2048) + tag)


def start_display(artifacts, screenshot):
    """The virtual display on a new pty: (process, the pty's path)."""
    command = [VFD, "--pty", "--width", "20", "--lines", "2"]
    if screenshot:
        command += ["--snapshot", os.path.join(screenshot, "display.png")]
    if artifacts:
        command += ["--log", os.path.join(artifacts, "display.log"), "--dump"]
    out = open(os.path.join(artifacts, "display.txt"), "wb") if artifacts else None
    display = subprocess.Popen(command, stdout=out, stderr=subprocess.PIPE,
                               start_new_session=True)
    line = display.stderr.readline().decode()
    if not line.startswith("vfd: display on "):
        raise SystemExit("the virtual display did not start: " + line)
    return display, line[len("vfd: display on "):].strip()


def take_screenshots(folder, host, display, on_screen):
    """The display while it plays (display-playing.png) and the windows (windows.png)."""
    if display is not None:
        display.send_signal(signal.SIGUSR1)
        time.sleep(0.5)
        os.replace(os.path.join(folder, "display.png"),
                   os.path.join(folder, "display-playing.png"))
    if not on_screen:
        xvfb_screenshot(host.pid, os.path.join(folder, "windows.png"))


def main():
    parser = argparse.ArgumentParser(description="The plug-in driving a display, end to end.")
    parser.add_argument("-i", dest="interactive", action="store_true")
    parser.add_argument("--rotating", action="store_true")
    parser.add_argument("--port")
    parser.add_argument("--screenshot")
    parser.add_argument("--artifacts")
    args = parser.parse_args()
    for folder_option in (args.screenshot, args.artifacts):
        if folder_option:
            os.makedirs(folder_option, exist_ok=True)

    with open(os.path.join(DEMO, "playlist.m3u"), "rb") as file:
        folder = HostFolder(BUILD, file.read())
    write_tagged_files(folder)
    write_settings(folder.settings,
                   settings_lines("settings-rotating.txt" if args.rotating else "settings.txt"))
    display = None
    if args.port:
        com1 = args.port
    else:
        display, com1 = start_display(args.artifacts, args.screenshot)
    env = wine_env(BUILD)
    prepare_prefix(env, com1, display_font=True)

    on_screen = args.interactive and os.environ.get("DISPLAY")
    host = subprocess.Popen(
        ([WINE] if on_screen else ["xvfb-run", "-a", WINE]) +
        [os.path.join(folder.path, "lumhost.exe"), "--auto-dismiss", folder.playlist],
        env=env, stdin=subprocess.PIPE, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL,
        start_new_session=True)
    events = []
    reader = threading.Thread(
        target=lambda: events.extend(line.decode("cp1252").rstrip() for line in host.stdout),
        daemon=True)
    reader.start()

    def send(command):
        try:
            host.stdin.write((command + "\n").encode())
            host.stdin.flush()
        except BrokenPipeError:
            pass

    try:
        if args.interactive:
            for line in sys.stdin:
                send(line.strip())
                if line.strip() == "quit":
                    break
        else:
            started = time.monotonic()
            shot = False
            for wait, command in SCRIPT:
                end = time.monotonic() + wait
                while time.monotonic() < end:
                    time.sleep(0.1)
                    if args.screenshot and not shot and time.monotonic() - started > SCREENSHOT_AFTER:
                        shot = True
                        take_screenshots(args.screenshot, host, display, on_screen)
                send(command)
    except KeyboardInterrupt:
        pass
    send("quit")
    host.stdin.close()
    try:
        code = host.wait(timeout=60)
    except subprocess.TimeoutExpired:
        host.kill()
        code = host.wait()
    reader.join(timeout=5)
    stop_wine(env)
    if display is not None:
        display.send_signal(signal.SIGTERM)
        display.wait(timeout=10)
    folder.remove()
    print("host: " + " | ".join(events))
    return 0 if code == 0 else 1


if __name__ == "__main__":
    sys.exit(main())
