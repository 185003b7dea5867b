#!/usr/bin/env python3
"""The plug-in's installer under Wine (its x86-64 twin), silent, on player's folders holding
winamp.exe (a copy of lumhost.exe): where it installs and what it refuses (CASES); then one
installation's life: winamp.exe shows the installed plug-in's banner and title on a pty, a
second install keeps a changed gen_lum.ini, the uninstallers (UNINSTALLS) remove the rest."""
import glob
import os
import pathlib
import re
import shlex
import subprocess
import sys
import tempfile
import threading
import time

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
sys.path.insert(0, os.path.join(ROOT, "scripts", "lib"))
from winehost import (WINE, Checks, Host, HostFolder, WineSession, lumctl,  # noqa: E402
                      run_host, write_settings)

BUILD = os.path.join(ROOT, "build", "win64")
DLL = os.path.join(BUILD, "bin", "plugins", "gen_lum.dll")
PLAYLIST = "#EXTM3U\r\n#EXTINF:300,Erster Titel\r\neins.mp3\r\n"
PLAYER_KEY = "HKEY_CURRENT_USER\\Software\\Winamp"
PLAYER_ENTRY = "HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Winamp"
ENTRY = "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\gen_lum"
UNINSTALLER = "gen_lum-uninstall.exe"

# (what, where the player records its folder, what it holds (winamp.exe: "player"; nothing:
# "bare"; winamp.exe and a folder in the DLL's place: "blocked"), the player's window open, the
# installer's switches ("/D" names the folder), exit code)
CASES = [
    ("registered by the player", "key", "player", False, [], 0),
    ("the player's uninstall entry", "entry", "player", False, [], 0),
    ("given with /D", None, "player", False, ["/D"], 0),
    ("a folder without winamp.exe", None, "bare", False, ["/D"], 4),
    ("a folder without winamp.exe, /FORCE", None, "bare", False, ["/FORCE", "/D"], 0),
    ("no folder found or given", None, "player", False, [], 4),
    ("the player's window open", "key", "player", True, [], 3),
    ("the DLL cannot be written", "key", "blocked", False, [], 2),
]
# (the uninstaller's switches, the settings file kept)
UNINSTALLS = [(["/S"], True), (["/S", "/REMOVESETTINGS"], False)]


def windows_path(path):
    return "Z:" + path.replace("/", "\\")


def read(path):
    return pathlib.Path(path).read_bytes() if os.path.exists(path) else None


class Installer:
    """The twin installer, made into `folder`, and the registry of the session's prefix."""

    def __init__(self, session, folder):
        self.session, self.folder = session, folder
        self.path = subprocess.run([os.path.join(ROOT, "packaging", "windows", "make-installer"),
                                    "x64", folder], check=True, stdout=subprocess.PIPE,
                                   text=True).stdout.strip()

    def wine(self, *arguments, check=False):
        return subprocess.run([WINE, *arguments], env=self.session.env, timeout=120, check=check,
                              stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)

    def register(self, kind, folder):
        """Clears the player's keys and the plug-in's entry, then records `folder` as the player
        does (kind "key"), in the player's uninstall entry ("entry") or not at all."""
        lines = ["REGEDIT4", "", f"[-{PLAYER_KEY}]", f"[-{PLAYER_ENTRY}]", f"[-{ENTRY}]", ""]
        escaped = windows_path(folder).replace("\\", "\\\\")
        lines += {"key": [f"[{PLAYER_KEY}]", f'@="{escaped}"'], None: [], "entry": [
            f"[{PLAYER_ENTRY}]", f'"UninstallString"="\\"{escaped}\\\\UninstWA.exe\\""']}[kind]
        with open(os.path.join(self.folder, "keys.reg"), "w", newline="") as file:
            file.write("\r\n".join(lines) + "\r\n")
        self.wine("regedit", "/S", file.name, check=True)

    def entry(self):
        """The plug-in's entry in the list of installed programs: {name: value}, {} when absent."""
        out = self.wine("reg", "query", ENTRY).stdout.decode("utf-8", "replace")
        return dict(re.findall(r"^ {4}(\S+) {4}REG_\w+ {4}(.*?)\r?$", out, re.M))

    def install(self, *switches):
        return self.wine(self.path, "/S", *switches).returncode

    def uninstall(self, switches, plugins):
        """Runs the entry's uninstaller, whose first process hands over to a copy of itself and
        ends at once: waits (30 s at most) until the uninstaller file is gone, its last act."""
        self.wine(*shlex.split(self.entry().get("QuietUninstallString", ""))[:1], *switches)
        deadline = time.monotonic() + 30
        while os.path.exists(os.path.join(plugins, UNINSTALLER)) and time.monotonic() < deadline:
            time.sleep(0.2)


def installed(checks, installer, what, folder):
    """Checks the installation in `folder`; answers its Plugins folder."""
    plugins, entry = os.path.join(folder, "Plugins"), installer.entry()
    version = re.search(r"project\(gen_lum VERSION ([\d.]+)",
                        read(os.path.join(ROOT, "CMakeLists.txt")).decode()).group(1)
    quoted = f'"{windows_path(plugins)}\\{UNINSTALLER}"'
    checks.check(f"{what}: the build's DLL in Plugins, the uninstaller beside it",
                 read(os.path.join(plugins, "gen_lum.dll")) == read(DLL) and
                 os.path.isfile(os.path.join(plugins, UNINSTALLER)))
    checks.check(f"{what}: the entry in the list of installed programs", entry == {
        "DisplayName": "Winamp Lum Plugin", "DisplayVersion": version,
        "Publisher": "the Lum team", "UninstallString": quoted,
        "QuietUninstallString": quoted + " /S", "InstallLocation": windows_path(folder),
        "EstimatedSize": entry.get("EstimatedSize"), "NoModify": "0x1", "NoRepair": "0x1"} and
        int(entry["EstimatedSize"], 16) * 1024 >= os.path.getsize(DLL), entry)
    return plugins


def install_cases(checks, installer):
    for what, kind, holds, window_open, switches, code in CASES:
        folder = HostFolder(BUILD, PLAYLIST, plugin=False, program="winamp.exe")
        if holds == "bare":
            os.unlink(folder.program)
        elif holds == "blocked":
            os.makedirs(os.path.join(folder.path, "Plugins", "gen_lum.dll"))
        before = glob.glob("**", root_dir=folder.path, recursive=True)
        installer.register(kind, folder.path)
        if window_open:  # lumhost with the build's plug-in, its window open
            running, loaded = HostFolder(BUILD, PLAYLIST), threading.Event()
            host = Host(installer.session, [running.program, "--auto-dismiss", running.playlist],
                        lambda line: line.startswith("loaded ") and loaded.set(), print)
            assert loaded.wait(60), "lumhost did not load the plug-in"
        result = installer.install(
            *[f"/D={windows_path(folder.path)}" if s == "/D" else s for s in switches])
        if window_open:
            host.quit()
            running.remove()
        checks.check(f"{what}: exit code {code}", result == code, result)
        if code == 0:
            installed(checks, installer, what, folder.path)
        else:
            checks.check(f"{what}: nothing installed",
                         glob.glob("**", root_dir=folder.path, recursive=True) == before and
                         not installer.entry(), installer.entry())
        folder.remove()


def life(checks, installer):
    player = HostFolder(BUILD, PLAYLIST, plugin=False, program="winamp.exe")
    settings = os.path.join(player.path, "Plugins", "gen_lum.ini")
    try:
        installer.register("key", player.path)
        installer.install()
        plugins = installed(checks, installer, "life", player.path)
        write_settings(settings, ["DisplayOff=false", "MainWindowMinimized=false"])
        data = run_host(BUILD, player, ["play", "sleep 7000", "quit"]).data()
        checks.check("life: winamp.exe loads it, the display shows the banner, then the title",
                     0 <= data.find(b" Winamp  Lum Plugin ") < data.find(b"Erster Titel"),
                     data[-120:])
        subprocess.run([lumctl(), "set", settings, "UpdateInterval=450"], check=True)
        changed = read(settings)
        checks.check("life: a second install keeps the changed settings file byte for byte",
                     installer.install() == 0 and read(settings) == changed)
        for switches, kept in UNINSTALLS:
            what = f"life: uninstalled with {' '.join(switches)}"
            installer.install()
            installer.uninstall(switches, plugins)
            left = glob.glob("*", root_dir=plugins)
            checks.check(f"{what}: DLL, uninstaller and entry gone", not installer.entry() and
                         not {"gen_lum.dll", UNINSTALLER} & set(left), left)
            checks.check(f"{what}: the settings file " + ("kept" if kept else "removed"),
                         read(settings) == (changed if kept else None))
    finally:
        installer.register(None, player.path)
        player.remove()


def main():
    checks = Checks()
    with tempfile.TemporaryDirectory() as out, WineSession(BUILD) as session:
        installer = Installer(session, out)
        install_cases(checks, installer)
        life(checks, installer)
    print(f"installer under Wine: {checks.failures} failed")
    return 1 if checks.failures else 0


if __name__ == "__main__":
    sys.exit(main())
