"""Runs the stand-in host lumhost.exe of the 64-bit build under Wine with the real plug-in, on
COM1 mapped to a pty, and records what happens: the host's event lines and the bytes the
display receives, each with the time it arrived.

Every run happens inside a WineSession: a virtual X server with a window manager (xsession.py),
or the user's own display, and one wineserver for the build's private prefix that stays up for
all runs of the session, so each run starts a warm Wine. The prefix's registry maps COM1 and COM5
to symbolic links inside the prefix (the mapping is read when Wine starts, so it never changes);
a run points the link at its device. It also sets the regional formats to dd.MM.yyyy and
HH:mm:ss and stands in fonts of the same widths for Arial and Verdana. One session at a time
uses a prefix; a second one waits for it (LUM_WINEPREFIX gives a run a prefix of its own).
"""
import fcntl
import os
import select
import shutil
import stat
import subprocess
import sys
import tempfile
import threading
import time

from xsession import XSession, end_with_parent, exit_on_signals, run_command, screenshot

WINE = "/usr/lib/wine/wine64"
ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
PORTS = (1, 5)  # the COM ports mapped to links of the prefix
SERVER_TIMEOUT = 30.0


def prefix_of(build):
    """The Wine prefix of a build: its folder "wineprefix", or the one LUM_WINEPREFIX names (a
    run beside another one of the same build, such as the test command's soak)."""
    return os.path.abspath(os.environ.get("LUM_WINEPREFIX") or os.path.join(build, "wineprefix"))


def wine_env(build):
    return dict(os.environ,
                WINEPREFIX=prefix_of(build),
                WINEDEBUG="-all",
                WINEDLLOVERRIDES="mscoree,mshtml=")


def check_serial_device(path):
    """Raises ValueError with a message for the user unless `path` is a character device (a
    serial port, a tty or pty, /dev/null) or a symbolic link to one: anything else would be
    written to as if it were the display."""
    try:
        mode = os.stat(path).st_mode
    except OSError as error:
        raise ValueError(f"{path}: {error.strerror}; give a serial device (a tty or pty) or "
                         "a symbolic link to one") from None
    if not stat.S_ISCHR(mode):
        kind = "a folder" if stat.S_ISDIR(mode) else "a regular file" if stat.S_ISREG(mode) \
            else "not a character device"
        raise ValueError(f"{path} is {kind}, not a serial device: give a tty or pty (such as "
                         "the link of vfd --pty --link) or a symbolic link to one")


def _registry(prefix, display_font):
    """The prefix's registry values as a REGEDIT4 file: the port links first, which need a new
    wineserver when they change, then the rest, which each new process reads."""
    ports = "".join(f"\"COM{n}\"=\"{os.path.join(prefix, f'com{n}-device')}\"\r\n" for n in PORTS)
    font = '"DejaVu Sans Condensed"' if display_font else "-"
    static = ("REGEDIT4\r\n\r\n"
              "[HKEY_LOCAL_MACHINE\\Software\\Wine\\Ports]\r\n" + ports + "\r\n")
    rest = ("[HKEY_CURRENT_USER\\Control Panel\\International]\r\n"
            "\"sShortDate\"=\"dd.MM.yyyy\"\r\n"
            "\"sTimeFormat\"=\"HH:mm:ss\"\r\n\r\n"
            "[HKEY_CURRENT_USER\\Software\\Wine\\Fonts\\Replacements]\r\n"
            "\"Arial\"=\"Liberation Sans\"\r\n"
            "\"Verdana\"=\"DejaVu Sans\"\r\n"
            f"\"Digital Readout Upright\"={font}\r\n")
    return static, rest


class WineSession:
    """The X display and the running wineserver of a build's prefix, for one or more runs.

    A session inside another one of the same prefix (in this process, or in a parent process
    that exported LUM_WINESESSION) reuses it. `use_display` puts the windows on the user's
    $DISPLAY when there is one, instead of a virtual X server."""

    _active = None  # the outermost session of this process

    def __init__(self, build, use_display=False):
        self.build = os.path.abspath(build)
        self.prefix = prefix_of(self.build)
        self.use_display = use_display
        self.env = None
        self.visible = False  # the windows are on the user's display
        self._x = None
        self._server = None
        self._lock = None
        self._reused = False

    def __enter__(self):
        active = WineSession._active
        if active is not None and active.prefix == self.prefix:
            self._reused = True
            self.env, self.visible = active.env, active.visible
            return self
        if os.environ.get("LUM_WINESESSION") == self.prefix:
            self._reused = True  # a parent process runs the display and the server
            self.env = wine_env(self.build)
            self.visible = "LUM_XSESSION" not in os.environ
            return self
        try:
            self._start()
        except BaseException:
            self.close()
            raise
        WineSession._active = self
        return self

    def __exit__(self, *_):
        self.close()

    def _start(self):
        os.makedirs(os.path.dirname(self.prefix), exist_ok=True)
        self._lock = open(self.prefix + ".lock", "w")
        try:
            fcntl.flock(self._lock, fcntl.LOCK_EX | fcntl.LOCK_NB)
        except BlockingIOError:
            print(f"waiting for another run that uses {self.prefix}", file=sys.stderr, flush=True)
            fcntl.flock(self._lock, fcntl.LOCK_EX)
        env = wine_env(self.build)
        if self.use_display and os.environ.get("DISPLAY"):
            self.visible = True
            env.pop("LUM_XSESSION", None)
        else:
            self._x = XSession().__enter__()
            env.update(self._x.env)
        env["LUM_WINESESSION"] = self.prefix
        self.env = env
        if not os.path.isdir(os.path.join(self.prefix, "drive_c")):
            subprocess.run([WINE, "wineboot", "--init"], env=env, check=True, timeout=300,
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self._stop_server()  # one left by the prefix's creation, or by a run that was killed
        self._start_server()
        self.set_display_font(True)
        for n in PORTS:
            if not os.path.lexists(self._port_link(n)):
                self.map_port(n, "/dev/null")

    def _start_server(self):
        """A wineserver of our own that stays up until the session ends (and ends with this
        process); in a session of its own, so that Ctrl-C on the terminal does not reach it."""
        self._server = subprocess.Popen(
            ["wineserver", "--foreground", "--persistent"], env=self.env,
            stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
            start_new_session=True, preexec_fn=end_with_parent)
        deadline = time.monotonic() + SERVER_TIMEOUT
        while not os.path.exists(self._server_socket()):
            if self._server.poll() is not None or time.monotonic() > deadline:
                raise RuntimeError(f"the wineserver of {self.prefix} did not start")
            time.sleep(0.02)

    def _server_socket(self):
        """Where the prefix's wineserver listens: /tmp/.wine-UID/server-DEV-INODE/socket, or
        with Debian's Wine below a private folder that the prefix's file "wineserver" names."""
        info = os.stat(self.prefix)
        folder = f".wine-{os.getuid()}"
        try:
            with open(os.path.join(self.prefix, "wineserver")) as file:
                folder = file.read().strip() or folder
        except OSError:
            pass
        return os.path.join("/tmp", folder, f"server-{info.st_dev:x}-{info.st_ino:x}", "socket")

    def _stop_server(self):
        """Stops the prefix's wineserver and every Wine process on it."""
        subprocess.run(["wineserver", "-k"], env=self.env, check=False,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        if self._server is not None:
            try:
                self._server.wait(timeout=10)
            except subprocess.TimeoutExpired:
                self._server.kill()
                self._server.wait()
            self._server = None

    def _port_link(self, number):
        return os.path.join(self.prefix, f"com{number}-device")

    def map_port(self, number, device):
        """Points COM`number` at `device` (a path, kept as given: a symbolic link stays one) for
        the ports opened from now on."""
        link = self._port_link(number)
        temporary = link + ".new"
        if os.path.lexists(temporary):
            os.unlink(temporary)
        os.symlink(os.path.abspath(device), temporary)
        os.replace(temporary, link)

    def set_display_font(self, installed):
        """Makes the display font "Digital Readout Upright" an installed family (a narrow font
        in its place) or not, for the processes started from now on. Writes the registry only
        when it changes, and restarts the wineserver only when the port mapping changed."""
        static, rest = _registry(self.prefix, installed)
        stamp = os.path.join(self.prefix, "lum-registry.reg")
        try:
            with open(stamp, newline="") as file:
                written = file.read()
        except OSError:
            written = ""
        if written == static + rest:
            return
        with tempfile.NamedTemporaryFile("w", suffix=".reg", delete=False, newline="") as file:
            file.write(static + rest)
            path = file.name
        try:
            subprocess.run([WINE, "regedit", "/S", path], env=self.env, check=True,
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=180)
        finally:
            os.unlink(path)
        if not written.startswith(static):
            self._stop_server()
            self._start_server()
        with open(stamp, "w", newline="") as file:
            file.write(static + rest)

    def screenshot(self, path):
        """Saves the virtual X server's screen as a PNG; answers whether it could."""
        return not self.visible and screenshot(self.env, path)

    def server_pid(self):
        """The process id of the session's wineserver (None in a session this process reuses
        from its parent)."""
        session = WineSession._active if self._reused else self
        server = session._server if session is not None else None
        return server.pid if server is not None else None

    def close(self):
        """Ends what this session started: the Wine processes, the server, the display."""
        if self._reused:
            return
        if WineSession._active is self:
            WineSession._active = None
        if self.env is not None:
            self._stop_server()
            self.env = None
        if self._x is not None:
            self._x.close()
            self._x = None
        if self._lock is not None:
            self._lock.close()
            self._lock = None


def lumctl():
    """The native lumctl, built when missing (one build of the folder at a time, as
    scripts/lib/steps.sh builds)."""
    path = os.path.join(ROOT, "build", "native", "bin", "lumctl")
    if not os.path.exists(path):
        os.makedirs(os.path.join(ROOT, "build"), exist_ok=True)
        subprocess.run(["flock", os.path.join(ROOT, "build", ".native.lock"), "sh", "-c",
                        "cmake --preset native && cmake --build --preset native --target lumctl"],
                       cwd=ROOT, check=True, stdout=subprocess.DEVNULL)
    return path


def write_settings(path, lines):
    """Writes a settings file from Name=value lines, over the start values."""
    os.makedirs(os.path.dirname(path), exist_ok=True)
    subprocess.run([lumctl(), "write", path], input="\n".join(lines).encode(), check=True)


class HostFolder:
    """A host folder: lumhost.exe (named `program`: winamp.exe makes it a player's folder),
    plugins\\gen_lum.dll (the build's, or `plugin`; none and no plugins folder when `plugin` is
    False) and a playlist (bytes, or text written in Windows-1252)."""

    def __init__(self, build, playlist, plugin=None, program="lumhost.exe"):
        self.path = tempfile.mkdtemp(prefix="lumhost-")
        self.program = os.path.join(self.path, program)
        shutil.copy(os.path.join(build, "bin", "lumhost.exe"), self.program)
        if plugin is not False:
            os.makedirs(os.path.join(self.path, "plugins"))
            shutil.copy(plugin or os.path.join(build, "bin", "plugins", "gen_lum.dll"),
                        os.path.join(self.path, "plugins", "gen_lum.dll"))
        self.playlist = os.path.join(self.path, "list.m3u")
        with open(self.playlist, "wb") as file:
            file.write(playlist if isinstance(playlist, bytes) else playlist.encode("cp1252"))
        self.settings = os.path.join(self.path, "plugins", "gen_lum.ini")

    def remove(self):
        shutil.rmtree(self.path, ignore_errors=True)


class Run:
    """What one run of the host gave: events and received bytes, with seconds since start."""

    def __init__(self):
        self.events = []  # (time, line)
        self.received = []  # (time, bytes)
        self.returncode = None

    def event_time(self, prefix):
        for at, line in self.events:
            if line.startswith(prefix):
                return at
        return None

    def lines(self):
        return [line for _, line in self.events]

    def data(self):
        return b"".join(chunk for _, chunk in self.received)

    def byte_times(self):
        """The arrival time of every received byte, in order."""
        times = []
        for at, chunk in self.received:
            times.extend([at] * len(chunk))
        return times


class PtyLine:
    """The display's line: a pty reached through a symbolic link, so that a test can unplug the
    device (the pty's master closes, which hangs the line up, and the link goes) and plug in a
    new one under the same name, as a USB serial adapter comes back."""

    def __init__(self):
        self.folder = tempfile.mkdtemp(prefix="lumline-")
        self.path = os.path.join(self.folder, "com1")
        self.master = None
        self.plugs = 0  # how many devices have appeared so far
        self._slave = None
        self.plug()

    def plug(self):
        """A new pty appears under the line's name."""
        self.master, self._slave = os.openpty()
        os.set_blocking(self.master, False)
        os.symlink(os.ttyname(self._slave), self.path)
        self.plugs += 1

    def unplug(self):
        """The device goes: its line hangs up and its name disappears."""
        if self.master is not None:
            os.unlink(self.path)
            os.close(self.master)
            os.close(self._slave)
            self.master = None

    def close(self):
        self.unplug()
        shutil.rmtree(self.folder, ignore_errors=True)


def run_host(build, folder, commands, display_font=True, timeout=90, on_bytes=None,
             on_event=None, on_start=None, hold_line_until=None, line=None, on_tick=None):
    """Runs lumhost on `folder` with `commands` on standard input (lines; "sleep N" pauses the
    host's reader) and COM1 mapped to `line` (a PtyLine; a fresh one when None) whose master is
    read throughout, inside the current WineSession (or one of its own). `on_bytes` and
    `on_event`, when given, see each chunk of bytes and each event line as it arrives;
    `on_start` gets the host's process id; `on_tick`, when given, gets the seconds since the
    start at least ten times a second (to unplug the line, say). With `hold_line_until` (an
    event line), nobody reads the line until 0.3 s after that event, so the display's writes
    pile up and stay pending."""
    own_line = line is None
    line = line or PtyLine()
    try:
        with WineSession(build) as session:
            session.set_display_font(display_font)
            session.map_port(1, line.path)
            return _run(session, folder, commands, timeout, on_bytes, on_event, on_start,
                        hold_line_until, line, on_tick)
    finally:
        if own_line:
            line.close()


def _run(session, folder, commands, timeout, on_bytes, on_event, on_start, hold_line_until,
         line, on_tick):
    result = Run()
    process = subprocess.Popen(
        [WINE, folder.program, "--auto-dismiss", folder.playlist],
        env=session.env, stdin=subprocess.PIPE, stdout=subprocess.PIPE,
        stderr=subprocess.DEVNULL)
    start = time.monotonic()
    if on_start:
        on_start(process.pid)
    process.stdin.write(("\n".join(commands) + "\n").encode())
    process.stdin.close()
    out = process.stdout.fileno()
    os.set_blocking(out, False)
    pending = b""
    deadline = start + timeout
    line_free_at = None if hold_line_until else 0.0

    def read_line(now):
        try:
            chunk = os.read(line.master, 4096)
        except BlockingIOError:
            return
        except OSError:  # the display's side has hung up: nothing more to read
            chunk = b""
        if chunk:
            result.received.append((now, chunk))
            if on_bytes:
                on_bytes(now, chunk)

    stdout_open = True
    while time.monotonic() < deadline and stdout_open:
        if on_tick:
            on_tick(time.monotonic() - start)
        reading = [out]
        if line.master is not None and line_free_at is not None and \
                time.monotonic() - start >= line_free_at:
            reading.append(line.master)
        ready, _, _ = select.select(reading, [], [], 0.1)
        now = time.monotonic() - start
        if line.master in ready:
            read_line(now)
        if out in ready:
            chunk = os.read(out, 4096)
            stdout_open = bool(chunk)
            pending += chunk
            while b"\n" in pending:
                text, pending = pending.split(b"\n", 1)
                result.events.append((now, text.decode("latin-1")))
                if line_free_at is None and result.events[-1][1] == hold_line_until:
                    line_free_at = now + 0.3
                if on_event:
                    on_event(now, result.events[-1][1])
    # Whatever the display still got after the host's last line.
    end = time.monotonic() + 0.5
    while time.monotonic() < end and line.master is not None:
        ready, _, _ = select.select([line.master], [], [], 0.1)
        if ready:
            read_line(time.monotonic() - start)
    try:
        result.returncode = process.wait(timeout=30)
    except subprocess.TimeoutExpired:
        process.kill()
        result.returncode = process.wait()
    return result


class Host:
    """lumhost.exe running in a WineSession with its standard input, output and error on pipes;
    reader threads give each line of its output to `on_event` and each line of its standard
    error to `on_error` as it comes. The host runs in a session of its own: Ctrl-C on the
    terminal does not reach it, so the caller can quit it cleanly."""

    def __init__(self, session, arguments, on_event, on_error):
        self.process = subprocess.Popen(
            [WINE] + arguments, env=session.env, stdin=subprocess.PIPE, stdout=subprocess.PIPE,
            stderr=subprocess.PIPE, start_new_session=True)
        self._lock = threading.Lock()
        self._readers = [threading.Thread(target=self._read, args=(stream, handler), daemon=True)
                         for stream, handler in ((self.process.stdout, on_event),
                                                 (self.process.stderr, on_error))]
        for reader in self._readers:
            reader.start()

    @staticmethod
    def _read(stream, handler):
        for line in stream:
            handler(line.decode("cp1252", "replace").rstrip("\r\n"))

    def send(self, command):
        """Writes one command line; does nothing once the host's input is closed or gone."""
        with self._lock:
            try:
                self.process.stdin.write((command + "\n").encode("cp1252", "replace"))
                self.process.stdin.flush()
            except (BrokenPipeError, ValueError):
                pass

    def close_input(self):
        """End of input, which the host takes as quit."""
        with self._lock:
            try:
                self.process.stdin.close()
            except BrokenPipeError:
                pass

    def quit(self, timeout=30):
        """Sends quit and waits for the host to end (killing it after `timeout` seconds) and
        for its last lines; answers its exit code."""
        self.send("quit")
        self.close_input()
        try:
            code = self.process.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            self.process.kill()
            code = self.process.wait()
        for reader in self._readers:
            reader.join(timeout=5)
        return code


class Checks:
    """Prints "ok" or "FAIL" for each check and counts the failures."""

    def __init__(self):
        self.failures = 0

    def check(self, what, ok, detail=""):
        print(("ok   " if ok else "FAIL ") + what + ("" if ok or not detail else f": {detail}"))
        if not ok:
            self.failures += 1
        return ok


def main(command):
    """Runs `command` inside a session of the build in $WIN64_BUILD (build/win64 by default):
    its Wine programs share the display and the running wineserver."""
    if not command:
        print("usage: winehost.py COMMAND [ARG...]", file=sys.stderr)
        return 2
    exit_on_signals()
    build = os.environ.get("WIN64_BUILD") or os.path.join(ROOT, "build", "win64")
    with WineSession(build) as session:
        return run_command(command, session.env)


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
