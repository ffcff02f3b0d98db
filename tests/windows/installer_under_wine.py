#!/usr/bin/python3
"""installer_under_wine.py WINDOWS_BUILD: the installer (WINDOWS_BUILD/vor3-config-*-setup.exe) under wine, silently,
into a folder of the wine prefix: what it installs and writes to the registry, the installed programs reading a
simulated sensor and the settings, an upgrade keeping the language, the PATH entry added once and taken out again, and
an uninstall leaving nothing behind but the user's settings (unless /PURGE). Prints one line per step and exits 1 when
one fails."""
import glob
import os
import re
import shutil
import subprocess
import sys
import time

BUILD = os.path.abspath(sys.argv[1])
WINE = next(w for w in ("/usr/lib/wine/wine64", "/usr/bin/wine64", "/usr/bin/wine") if os.path.exists(w))
PREFIX = os.environ.setdefault("WINEPREFIX", os.path.expanduser("~/.wine-vor3"))
os.environ["WINEDEBUG"] = "-all"
# Start-menu entries stay in the prefix: no desktop files on this machine.
os.environ["WINEDLLOVERRIDES"] = "winemenubuilder.exe=d"
# wine's system language, which a fresh install without /LANGUAGE takes.
os.environ["LANG"] = "en_US.UTF-8"

SETUP = max(glob.glob(f"{BUILD}/vor3-config-*-setup.exe"), key=os.path.getmtime)
VERSION = re.search(r"vor3-config-(.+)-setup\.exe$", SETUP).group(1)
FOLDER = r"C:\vor3-setup-test\VOR3"
ON_DISK = os.path.join(PREFIX, "drive_c", "vor3-setup-test", "VOR3")
MENU = os.path.join(PREFIX, "drive_c", "ProgramData", "Microsoft", "Windows", "Start Menu", "Programs",
                    "VOR3 Configuration")
PUBLISHER_KEY = r"HKLM\SOFTWARE\Vadivoz Vurizozozeroz GmbH"
PRODUCT_KEY = PUBLISHER_KEY + r"\VOR3-UZ485-Uvarod-OR2"
USER_KEY = r"HKCU\SOFTWARE\Vadivoz Vurizozozeroz GmbH\VOR3-UZ485-Uvarod-OR2"
UNINSTALL_KEY = r"HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\VOR3-UZ485-Uvarod-OR2"
ENVIRONMENT_KEY = r"HKLM\SYSTEM\CurrentControlSet\Control\Session Manager\Environment"
# What the installer ships: the staged programs and documents, and the uninstaller.
SHIPPED = sorted([os.path.relpath(p, f"{BUILD}/setup") for p in glob.glob(f"{BUILD}/setup/**", recursive=True)
                  if os.path.isfile(p)] + ["uninstall.exe"])
WINDOW = "vor3-config.exe" in SHIPPED


def wine(*argv, language="en_US.UTF-8"):
    done = subprocess.run([WINE, *argv], capture_output=True, timeout=120, env=dict(os.environ, LANG=language))
    return done.returncode, done.stdout.decode(errors="replace").replace("\r\n", "\n").strip()


def values(key):
    """The values of a key in the 64-bit view, name -> (type, data); None when there is no key."""
    status, out = wine("reg", "query", key, "/reg:64")
    if status != 0:
        return None
    found = {}
    for line in out.splitlines():
        m = re.match(r"^    (.*?)    (REG_\w+)    ?(.*)$", line)
        if m:
            found[m.group(1)] = (m.group(2), m.group(3))
    return found


def machine_path():
    """(type, text); value names are case-blind, and wine's is "PATH"."""
    return next(v for n, v in values(ENVIRONMENT_KEY).items() if n.lower() == "path")


def installed_files():
    return sorted(os.path.relpath(os.path.join(d, f), ON_DISK) for d, _, fs in os.walk(ON_DISK) for f in fs)


def menu_entries():
    return sorted(os.listdir(MENU)) if os.path.isdir(MENU) else None


def fresh():
    """No trace of an earlier run: keys, folder, menu, our PATH entry."""
    for key in (PRODUCT_KEY, UNINSTALL_KEY, USER_KEY):
        wine("reg", "delete", key, "/f", "/reg:64")
    shutil.rmtree(os.path.dirname(ON_DISK), ignore_errors=True)
    shutil.rmtree(MENU, ignore_errors=True)
    kind, path = machine_path()
    kept = ";".join(e for e in path.split(";") if e.lower() != FOLDER.lower())
    if kept != path:
        set_machine_path((kind, kept))


def uninstall(*switches):
    """The uninstaller copies itself away and returns at once: wait until it has taken everything."""
    status, _ = wine(f"{FOLDER}\\uninstall.exe", "/S", *switches)
    deadline = time.monotonic() + 60
    while time.monotonic() < deadline and (os.path.exists(ON_DISK) or values(PRODUCT_KEY) is not None):
        time.sleep(0.2)
    return status


def installed(language, wrong):
    """What every install leaves: the files, the settings, the menu and the Add/Remove Programs entry."""
    if installed_files() != SHIPPED:
        wrong.append(f"files {installed_files()}, not {SHIPPED}")
    want = {"Pfad": ("REG_SZ", FOLDER), "Version": ("REG_SZ", VERSION), "Language": ("REG_SZ", language)}
    settings = values(PRODUCT_KEY)
    if settings != want:
        wrong.append(f"machine settings {settings}, not {want}")
    entry = values(UNINSTALL_KEY) or {}
    size_kb = sum(os.path.getsize(os.path.join(ON_DISK, f)) for f in installed_files()) // 1024
    expected = {"DisplayName": "VOR3 Configuration", "DisplayVersion": VERSION,
                "Publisher": "Vadivoz Vurizozozeroz GmbH", "InstallLocation": FOLDER,
                "UninstallString": f'"{FOLDER}\\uninstall.exe"', "QuietUninstallString": f'"{FOLDER}\\uninstall.exe" /S'}
    for name, data in expected.items():
        if entry.get(name) != ("REG_SZ", data):
            wrong.append(f"uninstall entry {name}: {entry.get(name)}, not {data}")
    kind, size = entry.get("EstimatedSize", ("", "0"))
    if kind != "REG_DWORD" or abs(int(size, 16) - size_kb) > 8:
        wrong.append(f"EstimatedSize {kind} {size}, not about {size_kb} KB")
    german = language == "1031"
    menu = sorted(["VOR3 Eingabeaufforderung.lnk" if german else "VOR3 Command Prompt.lnk",
                   "Registerbeschreibung (Deutsch).lnk" if german else "Register description (German).lnk",
                   "Registerbeschreibung (Englisch).lnk" if german else "Register description (English).lnk"]
                  + (["VOR3 Configuration.lnk"] if WINDOW else []))
    if menu_entries() != menu:
        wrong.append(f"Start menu {menu_entries()}, not {menu}")


def read_through_installed_programs(wrong):
    sim = subprocess.Popen([WINE, f"{FOLDER}\\vor3-sensor-sim.exe", "--tcp", "0"], stdout=subprocess.PIPE,
                           stdin=subprocess.PIPE, text=True)
    try:
        port = sim.stdout.readline().strip()  # tcp://127.0.0.1:PORT
        status, out = wine(f"{FOLDER}\\vor3-cli.exe", "read", "--port", port)
        if status != 0 or "txt_data_cfg(0)\t" not in out:
            wrong.append(f"vor3-cli.exe read: exit {status}, {out[:200]!r}")
    finally:
        sim.kill()
        sim.wait()
    for name, want in (("Language", "1031"), ("Pfad", FOLDER), ("Version", VERSION)):
        status, out = wine(f"{FOLDER}\\vor3-cli.exe", "registry", "get", name)
        if (status, out) != (0, want):
            wrong.append(f"vor3-cli.exe registry get {name}: exit {status}, {out!r}, not {want!r}")


def gone(path_before, wrong, user_kept):
    if os.path.exists(ON_DISK):
        wrong.append(f"left in the folder: {installed_files()}")
    for key in (PRODUCT_KEY, PUBLISHER_KEY, UNINSTALL_KEY):
        if values(key) is not None:
            wrong.append(f"left: {key}")
    if menu_entries() is not None:
        wrong.append(f"left in the Start menu: {menu_entries()}")
    if machine_path() != path_before:
        wrong.append(f"PATH {machine_path()}, not {path_before}")
    if (values(USER_KEY) is not None) != user_kept:
        wrong.append(f"the user's settings {'went' if user_kept else 'stayed'}")


def set_machine_path(path):
    wine("reg", "add", ENVIRONMENT_KEY, "/v", "Path", "/t", path[0], "/d", path[1], "/f")


def steps(original):
    # Neighbours that only resemble our entry, and an empty one, stay as they are.
    set_machine_path((original[0], f"{original[1]};{FOLDER}-old;;{FOLDER}\\bin"))
    path_before = machine_path()
    shipped_path = path_before[0], f"{path_before[1]};{FOLDER}"
    wrong = []

    status, _ = wine(SETUP, "/S", "/LANGUAGE=1049", f"/D={FOLDER}")
    if status != 2 or os.path.exists(ON_DISK) or values(PRODUCT_KEY) is not None:
        wrong.append(f"exit {status}, installed anyway" if os.path.exists(ON_DISK) else f"exit {status}, not 2")
    yield "a language that is neither German nor English is refused", wrong

    status, _ = wine(SETUP, "/S", "/LANGUAGE=1031", f"/D={FOLDER}")
    wrong = [] if status == 0 else [f"exit {status}"]
    installed("1031", wrong)
    if machine_path() != path_before:
        wrong.append(f"PATH changed without /PATH: {machine_path()}")
    yield "silent install in German", wrong

    wrong = []
    read_through_installed_programs(wrong)
    yield "the installed vor3-cli.exe reads the installed simulated sensor and the settings", wrong

    # wine's system language is English: the upgrade keeps German all the same.
    wrong = []
    for run in range(2):
        status, _ = wine(SETUP, "/S", "/PATH")
        if status != 0:
            wrong.append(f"exit {status}")
        installed("1031", wrong)
        if machine_path() != shipped_path:
            wrong.append(f"PATH after upgrade {run + 1}: {machine_path()[1]}")
    yield "upgrades keep the folder and the language and put the folder on the PATH once", wrong

    wrong = []
    wine("reg", "add", USER_KEY, "/v", "LogFolder", "/d", "C:\\logs", "/f")
    status = uninstall()
    if status != 0:
        wrong.append(f"exit {status}")
    gone(path_before, wrong, user_kept=True)
    yield "a silent uninstall takes all it added and keeps the user's settings", wrong

    status, _ = wine(SETUP, "/S", f"/D={FOLDER}", language="de_DE.UTF-8")
    wrong = [] if status == 0 else [f"exit {status}"]
    installed("1031", wrong)
    status = uninstall("/PURGE")
    gone(path_before, wrong, user_kept=False)
    yield "on a German system German by default; /PURGE takes the user's settings too", wrong


if __name__ == "__main__":
    print(f"{os.path.basename(SETUP)}: {os.path.getsize(SETUP)} bytes, {'with' if WINDOW else 'without'} the window")
    failed = False
    start = time.monotonic()
    fresh()
    original = machine_path()
    try:
        for name, wrong in steps(original):
            failed |= bool(wrong)
            print(f"{'ok  ' if not wrong else 'FAIL'} {name}: {time.monotonic() - start:.1f} s")
            for w in wrong:
                print("     " + w)
            start = time.monotonic()
    finally:
        set_machine_path(original)
    sys.exit(1 if failed else 0)
