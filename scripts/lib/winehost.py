"""Runs the stand-in host lumhost.exe of the 64-bit build under Wine with the real plug-in, on
COM1 mapped to a pty, and records what happens: the host's event lines and the bytes the
display receives, each with the time it arrived.

The Wine prefix is the build's private one; its registry maps COM1 to the pty (the mapping is
read when Wine starts, so the wineserver is stopped after writing it) and sets the regional
formats to dd.MM.yyyy and HH:mm:ss.
"""
import os
import select
import shutil
import subprocess
import tempfile
import time

WINE = "/usr/lib/wine/wine64"
ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))


def wine_env(build):
    return dict(os.environ,
                WINEPREFIX=os.path.join(build, "wineprefix"),
                WINEDEBUG="-all",
                WINEDLLOVERRIDES="mscoree,mshtml=")


def stop_wine(env):
    subprocess.run(["wineserver", "-k"], env=env, check=False,
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


def prepare_prefix(env, com1, display_font):
    """Maps COM1 to `com1`, sets the date and time formats, stands in fonts of the same widths
    for Arial and Verdana, and makes the display font "Digital Readout Upright" an installed
    family (a narrow font in its place) or not."""
    font = '"DejaVu Sans Condensed"' if display_font else "-"
    reg = ("REGEDIT4\r\n\r\n"
           "[HKEY_LOCAL_MACHINE\\Software\\Wine\\Ports]\r\n"
           f"\"COM1\"=\"{com1}\"\r\n\r\n"
           "[HKEY_CURRENT_USER\\Control Panel\\International]\r\n"
           "\"sShortDate\"=\"dd.MM.yyyy\"\r\n"
           "\"sTimeFormat\"=\"HH:mm:ss\"\r\n\r\n"
           "[HKEY_CURRENT_USER\\Software\\Wine\\Fonts\\Replacements]\r\n"
           "\"Arial\"=\"Liberation Sans\"\r\n"
           "\"Verdana\"=\"DejaVu Sans\"\r\n"
           f"\"Digital Readout Upright\"={font}\r\n")
    with tempfile.NamedTemporaryFile("w", suffix=".reg", delete=False) as file:
        file.write(reg)
        path = file.name
    try:
        subprocess.run(["xvfb-run", "-a", WINE, "regedit", "/S", path], env=env, check=True,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=120)
    finally:
        os.unlink(path)
    stop_wine(env)


def lumctl():
    """The native lumctl, built when missing."""
    path = os.path.join(ROOT, "build", "native", "bin", "lumctl")
    if not os.path.exists(path):
        subprocess.run(["cmake", "--build", "--preset", "native", "--target", "lumctl"],
                       cwd=ROOT, check=True, stdout=subprocess.DEVNULL)
    return path


def write_settings(path, lines):
    """Writes a settings file from Name=value lines, over the start values."""
    os.makedirs(os.path.dirname(path), exist_ok=True)
    subprocess.run([lumctl(), "write", path], input="\n".join(lines).encode(), check=True)


class HostFolder:
    """A host folder: lumhost.exe, plugins\\gen_lum.dll (the build's, or `plugin`) and a
    playlist (bytes, or text written in Windows-1252)."""

    def __init__(self, build, playlist, plugin=None):
        self.path = tempfile.mkdtemp(prefix="lumhost-")
        os.makedirs(os.path.join(self.path, "plugins"))
        shutil.copy(os.path.join(build, "bin", "lumhost.exe"), self.path)
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


def xvfb_screenshot(runner_pid, path):
    """Saves the screen of the virtual X server that the xvfb-run process `runner_pid` started
    as a PNG; answers whether it could."""
    for pid in filter(str.isdigit, os.listdir("/proc")):
        try:
            with open(f"/proc/{pid}/stat") as file:
                parent = int(file.read().rsplit(")", 1)[1].split()[1])
            with open(f"/proc/{pid}/cmdline", "rb") as file:
                words = file.read().split(b"\0")
        except (OSError, ValueError, IndexError):
            continue
        if parent == runner_pid and words[0].endswith(b"Xvfb") and b"-auth" in words:
            env = dict(os.environ, XAUTHORITY=words[words.index(b"-auth") + 1].decode())
            return subprocess.run(["import", "-display", words[1].decode(), "-window", "root",
                                   path], env=env, stdout=subprocess.DEVNULL,
                                  stderr=subprocess.DEVNULL).returncode == 0
    return False


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
    host's reader; None: the user's own standard input, and the windows on $DISPLAY when there
    is one) and COM1 mapped to `line` (a PtyLine; a fresh one when None) whose master is read
    throughout. `on_bytes` and `on_event`, when given, see each chunk of bytes and each event
    line as it arrives; `on_start` gets the process id of the runner (xvfb-run, or Wine on
    $DISPLAY); `on_tick`, when given, gets the seconds since the start at least ten times a
    second (to unplug the line, say). With `hold_line_until` (an event line), nobody reads the line until
    0.3 s after that event, so the display's writes pile up and stay pending."""
    env = wine_env(build)
    own_line = line is None
    line = line or PtyLine()
    prepare_prefix(env, line.path, display_font)
    result = Run()
    window = [WINE] if os.environ.get("DISPLAY") and commands is None else ["xvfb-run", "-a", WINE]
    process = subprocess.Popen(
        window + [os.path.join(folder.path, "lumhost.exe"), "--auto-dismiss", folder.playlist],
        env=env, stdin=None if commands is None else subprocess.PIPE, stdout=subprocess.PIPE,
        stderr=subprocess.DEVNULL)
    start = time.monotonic()
    if on_start:
        on_start(process.pid)
    if commands is not None:
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
    stop_wine(env)
    if own_line:
        line.close()
    return result


class Checks:
    """Prints "ok" or "FAIL" for each check and counts the failures."""

    def __init__(self):
        self.failures = 0

    def check(self, what, ok, detail=""):
        print(("ok   " if ok else "FAIL ") + what + ("" if ok or not detail else f": {detail}"))
        if not ok:
            self.failures += 1
        return ok
