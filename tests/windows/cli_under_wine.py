#!/usr/bin/python3
"""cli_under_wine.py LINUX_BUILD WINDOWS_BUILD: vor3-cli.exe under wine against the simulated sensor (Linux's on a
pseudo-terminal that wine maps to a COM port, over tcp:// and modbus-tcp://, and Windows' own vor3-sensor-sim.exe) and
against Debian's python3-pymodbus, each case beside the Linux vor3-cli on a server of its own: the same output (line ends
aside), the same files, the same exit status. Prints one line per case and exits 1 when one differs."""
import os
import re
import shutil
import subprocess
import sys
import tempfile
import time

LINUX, WINDOWS = (os.path.abspath(p) for p in sys.argv[1:3])
HERE = os.path.dirname(os.path.abspath(__file__))
WINE = next(w for w in ("/usr/lib/wine/wine64", "/usr/bin/wine64", "/usr/bin/wine") if os.path.exists(w))
PREFIX = os.environ.setdefault("WINEPREFIX", os.path.expanduser("~/.wine-vor3"))
os.environ["WINEDEBUG"] = "-all"
COM = "COM7"


class Server:
    """A server whose first line of output is the port to name."""

    def __init__(self, argv):
        self.process = subprocess.Popen(argv, stdout=subprocess.PIPE, stdin=subprocess.PIPE, stderr=subprocess.DEVNULL,
                                        text=True)
        self.port = self.process.stdout.readline().strip()
        if not self.port:
            raise RuntimeError(f"{argv[0]} gave no port")

    def stop(self):
        self.process.kill()
        self.process.wait()


def linux_sim(*words):
    return lambda: Server([f"{LINUX}/vor3-sensor-sim", *words])


def windows_sim(*words):
    return lambda: Server([WINE, f"{WINDOWS}/vor3-sensor-sim.exe", *words])


def pymodbus(scheme, units):
    return lambda: Server(["/usr/bin/python3", f"{HERE}/../tools/pymodbus_line.py", scheme, units])


def on_com_port(server):
    """Wine's COM7 is the pseudo-terminal the simulated sensor gives."""
    link = os.path.join(PREFIX, "dosdevices", COM.lower())
    if os.path.lexists(link):
        os.remove(link)
    os.symlink(server.port, link)
    return COM


def run(argv, env_language):
    start = time.monotonic()
    done = subprocess.run(argv, capture_output=True, stdin=subprocess.DEVNULL, timeout=600,
                          env=dict(os.environ, LANG=env_language))
    return done.returncode, done.stdout.decode().replace("\r\n", "\n"), done.stderr.decode().replace("\r\n", "\n"), \
        time.monotonic() - start


def same_trace(text):
    """The frames of --trace without the time they went."""
    return re.sub(r"^ *\d+ ms  ", "", text, flags=re.M)


def undated(parameter_file):
    """A parameter file without the installation's version and the date in the user's format beneath it."""
    return re.sub(rb"Version: [^\r]*\r\n[^\r]*\r\n", b"Version: -\r\n-\r\n", parameter_file, count=1)


def unmeasured(text):
    """Output without the measured values, which drift with the simulated sensor's time: text, JSON and CSV."""
    text = re.sub(r"^(txt_data_out\(\d\)\t[^\t]*\t).*$", r"\1-", text, flags=re.M)
    text = re.sub(r'("txt_data_out\(\d\)": \{"caption": "[^"]*", "value": )"[^"]*"', r'\1"-"', text)
    return re.sub(r"^(\d+,read,(?:[^,]*,){11})[^,]*,[^,]*,[^,]*", r"\1-,-,-", text, flags=re.M)


def case(name, server, args, com=False, files=(), compare=lambda s: s, schedule=False):
    """One command on both platforms, each on a fresh server; a list of the differences."""
    results = []
    with tempfile.TemporaryDirectory(prefix="vor3-wine-") as folder:
        for platform in ("linux", "windows"):
            served = server()
            try:
                port = served.port
                if com and platform == "windows":
                    port = on_com_port(served)
                words = [w.replace("PORT", port) for w in args]
                # Files in a folder of names no ANSI code page holds.
                place = os.path.join(folder, platform, "Jürgen Groß", "Δοκιμή 测试")
                os.makedirs(place, exist_ok=True)
                paths = [os.path.join(place, f) for f in files]
                if platform == "windows":
                    words = [w.replace("FILE", "Z:" + paths[0].replace("/", "\\")) if files else w for w in words]
                    argv = [WINE, f"{WINDOWS}/vor3-cli.exe", *words]
                else:
                    words = [w.replace("FILE", paths[0]) if files else w for w in words]
                    argv = [f"{LINUX}/vor3-cli", *words]
                status, out, err, took = run(argv, "de_DE.UTF-8")
                written = [undated(open(p, "rb").read()) if os.path.exists(p) else None for p in paths]
                results.append((status, compare(out), compare(err), written, took))
            finally:
                served.stop()
    (ls, lo, le, lf, lt), (ws, wo, we, wf, wt) = results
    wrong = []
    if ls != ws:
        wrong.append(f"exit {ls} on Linux, {ws} on Windows")
    if lo != wo:
        wrong.append(f"output differs:\n--- Linux\n{lo}\n--- Windows\n{wo}")
    if le != we:
        wrong.append(f"messages differ:\n--- Linux\n{le}\n--- Windows\n{we}")
    if lf != wf:
        wrong.append("the files differ" if all(lf) and all(wf) else f"files written: Linux {lf!r:.60}, Windows {wf!r:.60}")
    if schedule and abs((wt - WINE_START) - lt) > 0.05 * lt + 0.3:
        wrong.append(f"gave up after {lt:.2f} s on Linux, {wt - WINE_START:.2f} s on Windows net of start-up")
    return name, ls, wrong, lt, wt


def wine_start():
    """What starting a program under wine costs, to take it off a schedule."""
    times = [run([WINE, f"{WINDOWS}/vor3-cli.exe", "--help"], "C")[3] for _ in range(3)]
    return min(times)


RTU = ["--parity", "N"]  # wine cannot set parity on a pseudo-terminal twice
CASES = [
    ("read, COM port", linux_sim(), ["read", "--port", "PORT", *RTU], dict(com=True, compare=unmeasured)),
    ("read --json, COM port, ASCII", linux_sim("--mode", "ascii"),
     ["read", "--port", "PORT", "--parity", "N", "--mode", "ascii", "--data-bits", "8", "--json"],
     dict(com=True, compare=unmeasured)),
    ("write, COM port", linux_sim(), ["write", "--port", "PORT", *RTU, "txt_data_cfg(4)=900", "chk_cfg(2)=0"],
     dict(com=True)),
    ("read --trace, pymodbus tcp://", pymodbus("tcp", "1"), ["read", "--port", "PORT", "--trace"],
     dict(compare=same_trace)),
    ("save, pymodbus tcp://", pymodbus("tcp", "1"), ["save", "--port", "PORT", "FILE"], dict(files=["werte.txt"])),
    ("write --csv, modbus-tcp://", linux_sim("--tcp", "0", "--framing", "modbus-tcp"),
     ["write", "--port", "PORT", "--csv", "txt_data_cfg(5)=1500"], {}),
    ("monitor --count 3, pymodbus modbus-tcp://", pymodbus("modbus-tcp", "1"),
     ["monitor", "--port", "PORT", "--count", "3"], dict(compare=lambda s: re.sub(r"^[0-9-]+T[0-9:.]+,", "T,", s, flags=re.M))),
    ("read --addresses, Windows' own simulator", windows_sim("--tcp", "0", "--address", "1,2"),
     ["read", "--port", "PORT", "--addresses", "1,2", "--csv"], dict(compare=unmeasured)),
    ("scan, tcp://", linux_sim("--tcp", "0", "--address", "7"),
     ["scan", "--port", "PORT", "--mode", "rtu", "--first"], {}),
    ("read --json, pymodbus modbus-tcp://", pymodbus("modbus-tcp", "1"), ["read", "--port", "PORT", "--json"], {}),
    ("read --addresses found, pymodbus tcp://", pymodbus("tcp", "3,4"),
     ["read", "--port", "PORT", "--addresses", "found", "--csv"], {}),
    ("a silent sensor, COM port", linux_sim("--silent"), ["read", "--port", "PORT", *RTU],
     dict(com=True, schedule=True)),
    ("no sensor at the address, tcp://", linux_sim("--tcp", "0"), ["read", "--port", "PORT", "--address", "9"],
     dict(schedule=True)),
    ("the registry, Language refused", linux_sim("--tcp", "0"), ["registry", "set", "Language", "9999"], {}),
    ("a COM port that is not there", linux_sim(), ["read", "--port", "COM63"], {}),
]

if __name__ == "__main__":
    os.makedirs(os.path.join(PREFIX, "dosdevices"), exist_ok=True)
    # One wine server for every run, so each start is quick; it ends a minute after the last.
    wineserver = shutil.which("wineserver") or "/usr/lib/wine/wineserver64"
    subprocess.run([wineserver, "-p60"], stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    subprocess.run([WINE, "cmd", "/c", "exit"], capture_output=True)  # makes the prefix, once
    WINE_START = wine_start()
    print(f"wine starts a program in {WINE_START:.2f} s")
    failed = 0
    for name, server, args, options in CASES:
        if len(sys.argv) > 3 and not any(f in name for f in sys.argv[3:]):
            continue
        name, status, wrong, lt, wt = case(name, server, args, **options)
        print(f"{'ok  ' if not wrong else 'FAIL'} {name}: exit {status}, {lt:.2f} s on Linux, {wt:.2f} s under wine")
        for w in wrong:
            print("     " + w.replace("\n", "\n     "))
        failed += bool(wrong)
    sys.exit(1 if failed else 0)
