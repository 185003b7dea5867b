#!/usr/bin/env python3
"""The native lumhost end to end on a pty this test creates: a two-entry playlist, the display's
start sequence, a frame with each entry's title after "play" and "next", and after "quit" (or
Ctrl-C, with standard input still open) the blank frame as the last bytes on the line, the
"exit" event and exit code 0.

Usage: native_lumhost_test.py PATH-TO-LUMHOST PATH-TO-LUMCTL
"""
import os
import select
import signal
import subprocess
import sys
import tempfile
import threading
import time

WIDTH, LINES = 20, 2
BLANK_FRAME = b" " * (WIDTH * LINES)
START = b"\x14\r\n"  # the initialisation byte of the start values, then CR LF


class Line:
    """Everything the display receives, read from the pty's master side as it arrives."""

    def __init__(self, master):
        self.master = master
        self.data = bytearray()
        self.lock = threading.Lock()
        self.stopped = threading.Event()
        self.thread = threading.Thread(target=self._read, daemon=True)
        self.thread.start()

    def _read(self):
        while not self.stopped.is_set():
            ready, _, _ = select.select([self.master], [], [], 0.05)
            if ready:
                chunk = os.read(self.master, 4096)
                with self.lock:
                    self.data += chunk

    def bytes(self):
        with self.lock:
            return bytes(self.data)

    def wait_for(self, wanted, seconds, after=0):
        """True once `wanted` has arrived at or after offset `after`."""
        deadline = time.monotonic() + seconds
        while time.monotonic() < deadline:
            if self.bytes().find(wanted, after) >= 0:
                return True
            time.sleep(0.05)
        return False

    def stop(self):
        self.stopped.set()
        self.thread.join()


def frame_with(text):
    return text.ljust(WIDTH).encode("ascii")


def run(lumhost, lumctl, ending, failures):
    """One run, ended by the "quit" command or by SIGINT."""

    def check(condition, what):
        if not condition:
            failures.append(what)
            print(f"FAIL ({ending}): {what}", file=sys.stderr)

    with tempfile.TemporaryDirectory() as folder:
        os.mkdir(os.path.join(folder, "plugins"))
        settings = os.path.join(folder, "plugins", "gen_lum.ini")
        subprocess.run(
            [lumctl, "write", settings],
            input=b'DisplayOff=false\nUpdateInterval=100\nSet1.Line1.Template="%titel"\n',
            check=True,
        )
        playlist = os.path.join(folder, "list.m3u")
        with open(playlist, "w") as out:
            out.write("#EXTM3U\n#EXTINF:60,First Song\na.mp3\n#EXTINF:60,Second Song\nb.mp3\n")

        master, slave = os.openpty()
        line = Line(master)
        host = subprocess.Popen(
            [lumhost, "--port", os.ttyname(slave), "--folder", folder, playlist],
            stdin=subprocess.PIPE,
            stdout=subprocess.PIPE,
            stderr=subprocess.PIPE,
        )
        loaded = host.stdout.readline()
        check(loaded.startswith(b"loaded "), "first event is 'loaded ...', got %r" % loaded)

        host.stdin.write(b"play\n")
        host.stdin.flush()
        check(line.wait_for(START, 5), "the start sequence arrives")
        check(line.bytes().startswith(START), "the line starts with 0x14 CR LF: %r" % line.bytes()[:8])
        # The welcome banner shows for the first 4 s, then the playing entry's title.
        check(line.wait_for(frame_with("First Song"), 10), "a frame with the first title")

        offset = len(line.bytes())
        host.stdin.write(b"next\n")
        host.stdin.flush()
        check(line.wait_for(frame_with("Second Song"), 5, offset), "a frame with the second title")

        if ending == "quit":
            host.stdin.write(b"quit\n")
            host.stdin.flush()
        else:
            host.send_signal(signal.SIGINT)
        try:
            if ending != "quit":
                host.wait(timeout=15)  # standard input stays open: the signal alone ends it
            out, err = host.communicate(timeout=15)
        except subprocess.TimeoutExpired:
            host.kill()
            out, err = host.communicate()
            check(False, "lumhost ends after quit")
        time.sleep(0.3)  # the last bytes in the pty reach the reader
        line.stop()
        os.close(slave)
        os.close(master)

        received = line.bytes()
        check(host.returncode == 0, "exit code 0, got %s (stderr: %r)" % (host.returncode, err))
        check(out.splitlines()[-1:] == [b"exit"], "the last event is 'exit': %r" % out)
        check(received.endswith(BLANK_FRAME), "the blank frame is last: %r" % received[-48:])
        check(
            (len(received) - len(START)) % len(BLANK_FRAME) == 0,
            "whole frames only after the start sequence: %d bytes" % len(received),
        )


def main():
    failures = []
    for ending in ("quit", "Ctrl-C"):
        run(sys.argv[1], sys.argv[2], ending, failures)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
