#!/usr/bin/env python3
"""Runs the stand-in host lumhost.exe of the 64-bit build by hand under Wine (scripts/lumhost
builds it first); the plug-in's settings file is build/win64/bin/plugins/gen_lum.ini.

usage: lumhost.py [--com1 DEVICE] [--auto-dismiss] PLAYLIST.m3u

Lines on standard input go to the host as commands; its events and messages show as they come.
--com1 maps COM1 to DEVICE, which must be a character device (a serial port, a tty or pty) or a
symbolic link to one; anything else is refused before anything starts, and left as it is.
Without it COM1 is /dev/null. The windows open on $DISPLAY when there is one; without one they
open on a virtual X server that nobody sees, and then the message boxes are answered with OK and
printed ("messagebox <text>", lumhost's --auto-dismiss).

End of input, the quit command, Ctrl-C, SIGTERM and SIGHUP all quit the host (the plug-in sends
its blank frame and closes the port); then Wine and the virtual X server end and their temporary
files go. Exit code: the host's, or 128 + the signal's number after a signal.
"""
import argparse
import os
import signal
import sys
import threading

from winehost import ROOT, Host, WineSession, check_serial_device

BUILD = os.path.join(ROOT, "build", "win64")
SETTINGS = os.path.join(BUILD, "bin", "plugins", "gen_lum.ini")
QUIT_TIMEOUT = 30


def say(stream, text):
    """Writes a line; a terminal that has gone away (after SIGHUP) is no error."""
    try:
        stream.write(text + "\n")
        stream.flush()
    except OSError:
        pass


def forward_input(host):
    """The user's lines to the host, until end of input or quit."""
    try:
        for line in sys.stdin:
            host.send(line.rstrip("\n"))
            if line.strip() == "quit":
                break
    except OSError:
        pass
    host.close_input()


def main():
    parser = argparse.ArgumentParser(description="lumhost.exe by hand under Wine")
    parser.add_argument("--com1", default="/dev/null")
    parser.add_argument("--auto-dismiss", action="store_true")
    parser.add_argument("playlist")
    args = parser.parse_args()
    try:
        check_serial_device(args.com1)
    except ValueError as error:
        say(sys.stderr, f"lumhost: --com1 {error}")
        return 2

    caught = []
    stop = threading.Event()

    def on_signal(number, _frame):
        caught.append(number)
        stop.set()

    for number in (signal.SIGHUP, signal.SIGINT, signal.SIGTERM):
        signal.signal(number, on_signal)

    with WineSession(BUILD, use_display=True) as session:
        session.set_display_font(True)
        session.map_port(1, args.com1)
        options = ["--auto-dismiss"] if args.auto_dismiss or not session.visible else []
        if not session.visible:
            say(sys.stderr, "lumhost: no $DISPLAY: the windows are on a virtual X server that "
                            "nobody sees; message boxes are answered with OK and printed, and "
                            "config opens the dialog there")
        if not os.path.exists(SETTINGS):
            say(sys.stderr, f"lumhost: no settings file {os.path.relpath(SETTINGS)}: the "
                            "plug-in says so and opens its dialog (see the README to write one)")
        if stop.is_set():
            return 128 + caught[0]
        host = Host(session, [os.path.join(BUILD, "bin", "lumhost.exe"), *options,
                              os.path.abspath(args.playlist)],
                    on_event=lambda line: say(sys.stdout, line),
                    on_error=lambda line: say(sys.stderr, line))
        threading.Thread(target=forward_input, args=(host,), daemon=True).start()
        while host.process.poll() is None and not stop.is_set():
            stop.wait(0.1)
        code = host.quit(QUIT_TIMEOUT)
    return 128 + caught[0] if caught else code


if __name__ == "__main__":
    sys.exit(main())
