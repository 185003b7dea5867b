#!/usr/bin/env python3
"""A virtual X server (Xvfb) with a small window manager (openbox) beside it, for Wine's windows
where there is no screen.

Without a window manager Wine waits up to about 2 s for every window it hides (the splash, the
dialog after "OK", a message box), and the plug-in's user-interface thread stalls meanwhile; with
openbox on the display before Wine starts, hiding a window takes no time.

As a module: `with XSession() as session:` gives `session.env` (DISPLAY and XAUTHORITY set) and
`session.screenshot(path)`; leaving the block stops the window manager and the server and
removes the session's temporary folder. Inside a session (LUM_XSESSION names its display) a new
one reuses it, so one session can serve a whole run of tests.

As a command:

    xsession.py COMMAND [ARG...]

runs COMMAND in a session and exits with its exit code. SIGHUP, SIGINT and SIGTERM are passed
on to COMMAND; the server and the window manager go when it ends, and also when this process is
killed outright (they are told to end with their parent). They run in a session of their own,
so Ctrl-C on the terminal reaches only the command.
"""
import ctypes
import os
import secrets
import shutil
import signal
import subprocess
import sys
import tempfile
import time

SCREEN = "1280x1024x24"
START_TIMEOUT = 30.0
_PR_SET_PDEATHSIG = 1
_LIBC = ctypes.CDLL(None, use_errno=True)


def end_with_parent():
    """Runs in a child before exec: the kernel sends it SIGTERM when its parent dies."""
    _LIBC.prctl(_PR_SET_PDEATHSIG, signal.SIGTERM)


def _stop(process):
    if process is not None and process.poll() is None:
        process.terminate()
        try:
            process.wait(timeout=5)
        except subprocess.TimeoutExpired:
            process.kill()
            process.wait()


def screenshot(env, path):
    """Saves the whole screen of the display that `env` names as a PNG; answers whether it
    could."""
    return subprocess.run(["import", "-window", "root", path], env=env,
                          stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL).returncode == 0


class XSession:
    """Xvfb on a free display with openbox managing it."""

    def __init__(self):
        self.env = None
        self.folder = None
        self._server = None
        self._manager = None

    def __enter__(self):
        display = os.environ.get("DISPLAY")
        if display and os.environ.get("LUM_XSESSION") == display:
            self.env = dict(os.environ)
            return self
        try:
            self._start()
        except FileNotFoundError as error:
            self.close()
            raise RuntimeError(f"{error.filename} is missing: the virtual X server needs Xvfb, "
                               "xauth and openbox (scripts/install-deps installs them)") from None
        except BaseException:
            self.close()
            raise
        return self

    def __exit__(self, *_):
        self.close()

    def _start(self):
        self.folder = tempfile.mkdtemp(prefix="xsession-")
        auth = os.path.join(self.folder, "Xauthority")
        cookie = secrets.token_hex(16)
        # The server accepts the cookie of any entry in its file; the client's entry needs the
        # display's number, known only once the server has picked a free one.
        subprocess.run(["xauth", "-q", "-f", auth, "add", ":0", ".", cookie], check=True,
                       stderr=subprocess.DEVNULL)
        read_fd, write_fd = os.pipe()
        self._server = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_fd), "-auth", auth, "-screen", "0", SCREEN,
             "-nolisten", "tcp"],
            pass_fds=[write_fd], stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
            stderr=subprocess.DEVNULL, start_new_session=True, preexec_fn=end_with_parent)
        os.close(write_fd)
        with os.fdopen(read_fd) as reply:
            number = reply.readline().strip()
        if not number.isdigit():
            raise RuntimeError("Xvfb did not start (is the xvfb package installed?)")
        display = ":" + number
        subprocess.run(["xauth", "-q", "-f", auth, "add", display, ".", cookie], check=True)
        self.env = dict(os.environ, DISPLAY=display, XAUTHORITY=auth, LUM_XSESSION=display)
        # openbox runs its start-up command once it manages the display.
        ready = os.path.join(self.folder, "ready")
        self._manager = subprocess.Popen(
            ["openbox", "--startup", f"touch {ready}"], env=self.env,
            stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
            start_new_session=True, preexec_fn=end_with_parent)
        deadline = time.monotonic() + START_TIMEOUT
        while not os.path.exists(ready):
            if self._manager.poll() is not None or time.monotonic() > deadline:
                raise RuntimeError("openbox did not start on the virtual X server")
            time.sleep(0.02)

    def screenshot(self, path):
        """Saves the whole screen as a PNG; answers whether it could."""
        return screenshot(self.env, path)

    def close(self):
        """Stops what this session started (nothing when it reused an outer one)."""
        _stop(self._manager)
        _stop(self._server)
        self._manager = self._server = None
        if self.folder:
            shutil.rmtree(self.folder, ignore_errors=True)
            self.folder = None


def exit_on_signals():
    """Makes SIGHUP and SIGTERM end this program as Ctrl-C does, through its clean-up code
    (`finally` blocks and `with` statements), with exit code 128 + the signal's number."""
    def leave(number, _frame):
        raise SystemExit(128 + number)

    for number in (signal.SIGHUP, signal.SIGTERM):
        signal.signal(number, leave)


def run_command(command, env):
    """Runs `command` with `env` and answers its exit code (128 + N when signal N ended it).
    SIGHUP, SIGINT and SIGTERM that reach this process are passed on to it."""
    child = subprocess.Popen(command, env=env)

    def forward(number, _frame):
        if child.poll() is None:
            child.send_signal(number)

    previous = {number: signal.signal(number, forward)
                for number in (signal.SIGHUP, signal.SIGINT, signal.SIGTERM)}
    try:
        code = child.wait()
    finally:
        for number, handler in previous.items():
            signal.signal(number, handler)
    return code if code >= 0 else 128 - code


def main(command):
    if not command:
        print("usage: xsession.py COMMAND [ARG...]", file=sys.stderr)
        return 2
    exit_on_signals()
    with XSession() as session:
        return run_command(command, session.env)


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
