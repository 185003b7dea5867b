#!/usr/bin/env python3
"""The native lumhost end to end.

On a pty this test creates: a two-entry playlist, the display's start sequence, a frame with
each entry's title after "play" and "next", and after the ending (the "quit" command, or Ctrl-C,
SIGTERM or SIGHUP with standard input still open) the blank frame as the last bytes on the line,
the "exit" event and exit code 0. The first run also sends a 20 MB junk line (its echo is cut,
the memory stays flat) and starts a second host on the same port, which is refused.

Then the command line and the setup, each case a row: --help, wrong options, a FIFO as the
playlist (refused at once, never waited on) and ports that cannot be opened (said once).

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
PLAYLIST = "#EXTM3U\n#EXTINF:60,First Song\na.mp3\n#EXTINF:60,Second Song\nb.mp3\n"
JUNK_BYTES = 20 * 1024 * 1024
# What reading commands may add to the host's peak memory while it takes the junk line.
MAX_GROWTH_KB = 16 * 1024

ENDINGS = {
    "quit": None,
    "Ctrl-C": signal.SIGINT,
    "SIGTERM": signal.SIGTERM,
    "SIGHUP": signal.SIGHUP,
}


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


class Drain:
    """Everything a pipe of the host gives, read on a thread so that the host never waits."""

    def __init__(self, pipe):
        self.chunks = []
        self.thread = threading.Thread(target=self._read, args=(pipe,), daemon=True)
        self.thread.start()

    def _read(self, pipe):
        for chunk in iter(lambda: pipe.read(65536), b""):
            self.chunks.append(chunk)

    def all(self):
        self.thread.join()
        return b"".join(self.chunks)


def frame_with(text):
    return text.ljust(WIDTH).encode("ascii")


def peak_memory_kb(pid):
    with open(f"/proc/{pid}/status") as status:
        for line in status:
            if line.startswith("VmHWM:"):
                return int(line.split()[1])
    return 0


def make_folder(folder, lumctl):
    """A host folder with settings that switch the display on, and the playlist; its path."""
    os.mkdir(os.path.join(folder, "plugins"))
    subprocess.run(
        [lumctl, "write", os.path.join(folder, "plugins", "gen_lum.ini")],
        input=b'DisplayOff=false\nUpdateInterval=100\nSet1.Line1.Template="%titel"\n',
        check=True,
    )
    playlist = os.path.join(folder, "list.m3u")
    with open(playlist, "w") as out:
        out.write(PLAYLIST)
    return playlist


def send(host, text):
    host.stdin.write(text)
    host.stdin.flush()


def wait_for_event(host, event):
    """Reads events until `event`; False when the output ends first."""
    while True:
        line = host.stdout.readline()
        if not line:
            return False
        if line.rstrip(b"\n") == event:
            return True


def junk_line(host, check):
    """A 20 MB line of junk: refused with a short message, without holding it in memory."""
    before = peak_memory_kb(host.pid)
    send(host, b"\x01" * JUNK_BYTES + b"\necho after-junk\n")
    check(wait_for_event(host, b"echo after-junk"), "commands go on after the junk line")
    growth = peak_memory_kb(host.pid) - before
    check(growth < MAX_GROWTH_KB, "peak memory grew by %d kB over the junk line" % growth)


def second_host_refused(lumhost, port, folder, playlist, check):
    """A second host on the same port: the port stays with the first, the second says why."""
    second = subprocess.Popen(
        [lumhost, "--port", port, "--folder", folder, playlist],
        stdin=subprocess.PIPE,
        stdout=subprocess.PIPE,
        stderr=subprocess.PIPE,
    )
    time.sleep(1.5)
    _, err = second.communicate(b"quit\n", timeout=15)
    said = "lumhost: %s: cannot open the display's port: in use by another program\n" % port
    check(second.returncode == 0, "the second host ends with 0, got %s" % second.returncode)
    check(err.decode() == said, "the second host says the port is in use: %r" % err)


def run(lumhost, lumctl, ending, failures):
    """One run on a pty, ended as `ending` says."""

    def check(condition, what):
        if not condition:
            failures.append(what)
            print(f"FAIL ({ending}): {what}", file=sys.stderr)

    with tempfile.TemporaryDirectory() as folder:
        playlist = make_folder(folder, lumctl)
        master, slave = os.openpty()
        line = Line(master)
        port = os.ttyname(slave)
        host = subprocess.Popen(
            [lumhost, "--port", port, "--folder", folder, playlist],
            stdin=subprocess.PIPE,
            stdout=subprocess.PIPE,
            stderr=subprocess.PIPE,
        )
        errors = Drain(host.stderr)
        loaded = host.stdout.readline()
        check(loaded.startswith(b"loaded "), "first event is 'loaded ...', got %r" % loaded)

        send(host, b"play\n")
        check(line.wait_for(START, 5), "the start sequence arrives")
        check(line.bytes().startswith(START), "the line starts with 0x14 CR LF: %r" % line.bytes()[:8])
        # The welcome banner shows for the first 4 s, then the playing entry's title.
        check(line.wait_for(frame_with("First Song"), 10), "a frame with the first title")
        if ending == "quit":
            junk_line(host, check)
            second_host_refused(lumhost, port, folder, playlist, check)

        offset = len(line.bytes())
        send(host, b"next\n")
        check(line.wait_for(frame_with("Second Song"), 5, offset), "a frame with the second title")

        if ENDINGS[ending] is None:
            send(host, b"quit\n")
        else:
            host.send_signal(ENDINGS[ending])
        try:
            if ENDINGS[ending] is not None:
                host.wait(timeout=15)  # standard input stays open: the signal alone ends it
            out, _ = host.communicate(timeout=15)
        except subprocess.TimeoutExpired:
            host.kill()
            out, _ = host.communicate()
            check(False, "lumhost ends after %s" % ending)
        err = errors.all()
        time.sleep(0.3)  # the last bytes in the pty reach the reader
        line.stop()
        os.close(slave)
        os.close(master)

        received = line.bytes()
        check(host.returncode == 0, "exit code 0, got %s (stderr: %r)" % (host.returncode, err[:300]))
        check(out.splitlines()[-1:] == [b"exit"], "the last event is 'exit': %r" % out[-200:])
        check(received.endswith(BLANK_FRAME), "the blank frame is last: %r" % received[-48:])
        check(
            (len(received) - len(START)) % len(BLANK_FRAME) == 0,
            "whole frames only after the start sequence: %d bytes" % len(received),
        )
        if ending == "quit":
            cut = b"lumhost: command line too long: %s... (%d bytes, cut)\n" % (b"\\x01" * 200, JUNK_BYTES)
            check(err == cut, "the junk line's echo is cut: %r" % err[:120])


# Command-line and setup cases: the arguments after the program ({folder}, {playlist} and
# {fifo} filled in), what is sent after 1.5 s (None: nothing, the host must end by itself),
# the exit code, the whole of standard error and the start of standard output.
USAGE = "usage: lumhost [--port DEVICE] [--folder DIR] PLAYLIST.m3u\n       lumhost --help | --version\n"
# fmt: off
SETUP_CASES = [
    # name          arguments                                           input     code  stderr                                                                                 stdout
    ("help",        ["--help"],                                          None,     0,    "",                                                                                    "usage: lumhost"),
    ("help later",  ["{playlist}", "-h"],                                None,     0,    "",                                                                                    "usage: lumhost"),
    ("bad option",  ["--bogus", "{playlist}"],                           None,     2,    "lumhost: --bogus: unknown option\n" + USAGE,                                           ""),
    ("no value",    ["{playlist}", "--port"],                            None,     2,    "lumhost: --port: needs a value\n" + USAGE,                                            ""),
    ("twice",       ["--folder", "a", "--folder", "b", "{playlist}"],    None,     2,    "lumhost: --folder: given twice\n" + USAGE,                                            ""),
    ("two lists",   ["{playlist}", "{playlist}"],                        None,     2,    "lumhost: {playlist}: unexpected argument\n" + USAGE,                                 ""),
    ("no list",     ["--folder", "{folder}"],                            None,     2,    "lumhost: missing PLAYLIST.m3u\n" + USAGE,                                            ""),
    ("fifo",        ["{fifo}"],                                          None,     2,    "lumhost: cannot open playlist {fifo}: not a plain file (a FIFO, a device or a folder is not read)\n", ""),
    ("no port",     ["--port", "/dev/no-such-tty", "--folder", "{folder}", "{playlist}"], b"quit\n", 0,
                    "lumhost: /dev/no-such-tty: cannot open the display's port: No such file or directory\n", "loaded "),
    ("no tty",      ["--port", "{playlist}", "--folder", "{folder}", "{playlist}"], b"quit\n", 0,
                    "lumhost: {playlist}: cannot open the display's port: not a terminal\n",                                                                                   "loaded "),
]
# fmt: on


def setup_case(lumhost, lumctl, case, failures):
    name, arguments, stdin, code, stderr, stdout = case

    def check(condition, what):
        if not condition:
            failures.append(what)
            print(f"FAIL ({name}): {what}", file=sys.stderr)

    with tempfile.TemporaryDirectory() as folder:
        places = {
            "folder": folder,
            "playlist": make_folder(folder, lumctl),
            "fifo": os.path.join(folder, "fifo.m3u"),
        }
        os.mkfifo(places["fifo"])
        host = subprocess.Popen(
            [lumhost] + [argument.format(**places) for argument in arguments],
            stdin=subprocess.PIPE,
            stdout=subprocess.PIPE,
            stderr=subprocess.PIPE,
        )
        try:
            if stdin is not None:
                time.sleep(1.5)
            out, err = host.communicate(stdin, timeout=10)
        except subprocess.TimeoutExpired:
            check(False, "lumhost ends by itself")
            host.terminate()  # a quit signal must still end it
            try:
                out, err = host.communicate(timeout=3)
            except subprocess.TimeoutExpired:
                check(False, "lumhost ends on SIGTERM")
                host.kill()
                out, err = host.communicate()
        check(host.returncode == code, "exit code %d, got %s" % (code, host.returncode))
        check(err.decode() == stderr.format(**places), "standard error is %r: %r" % (stderr, err[:300]))
        check(out.decode().startswith(stdout), "standard output starts with %r: %r" % (stdout, out[:100]))


def main():
    lumhost, lumctl = sys.argv[1], sys.argv[2]
    failures = []
    for ending in ENDINGS:
        run(lumhost, lumctl, ending, failures)
    for case in SETUP_CASES:
        setup_case(lumhost, lumctl, case, failures)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
