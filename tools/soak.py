#!/usr/bin/env python3
"""Soak test: N whole reads with vor3-cli against one vor3-sensor-sim on a
pseudo-terminal, with a fault switched on at random before each read.

Prints the outcomes by fault, every outcome that is not what that fault
should give (those are the failures that count), the mean time per read in
the first and the last quarter of the run, and the memory (resident set) of
the simulated sensor and of vor3-cli at the start and at the end.

  tools/soak.py [--reads N] [--seed S] [--build DIR] [--fault-share P]
Exit status 0 when every read ended as its fault should make it end.
"""
import argparse
import os
import random
import subprocess
import sys
import time

GIVE_UP = "vor3-cli: Kommunikationsprobleme, bitte Einstellungen überprüfen!"
REFUSED = "vor3-cli: Das Gerät hat die Anfrage abgelehnt: Modbus-Ausnahme 02 (unzulässige Datenadresse)."

# fault name: (switches for the sensor, exit status and message expected)
FAULTS = {
    "none": ([], 0, ""),
    "silence": (["--silent"], 3, GIVE_UP),
    "wrong checksum": (["--bad-checksum"], 3, GIVE_UP),
    "noise": (["--noise", "FF0103FF0110"], 0, ""),
    "split reply": (["--split", "4", "--split-gap", "30"], 0, ""),
    "exception": (["--exception", "2"], 3, REFUSED),
    "extra delay": (["--extra-delay", "300"], 0, ""),
    "duplicate answer": (["--duplicate"], 0, ""),
    "echo": (["--echo"], 0, ""),
}


# What a read must show of the simulated sensor as it starts: its
# configuration registers, and a CO2 reading that drifts around 650 ppm.
CONFIGURATION = ["4660", "105", "0", "1", "800", "1200", "10", "20", "0", "0", "0"]


def wrong_values(output):
    """What a successful read shows wrongly, or ''."""
    fields = {}
    for line in output.splitlines():
        parts = line.split("\t")
        if len(parts) == 3:
            fields[parts[0]] = parts[2]
    for i, want in enumerate(CONFIGURATION):
        if fields.get(f"txt_data_cfg({i})") != want:
            return f"txt_data_cfg({i}) shows {fields.get(f'txt_data_cfg({i})')!r}, not {want}"
    co2 = fields.get("txt_data_out(2)", "")
    if not co2.isdigit() or int(co2) < 100:
        return f"txt_data_out(2) shows {co2!r}"
    return ""


def rss_kb(pid):
    with open(f"/proc/{pid}/status") as f:
        for line in f:
            if line.startswith("VmRSS:"):
                return int(line.split()[1])
    return -1


def main():
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("--reads", type=int, default=500)
    ap.add_argument("--seed", type=int, default=1)
    ap.add_argument("--build", default=os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "build"))
    ap.add_argument("--fault-share", type=float, default=0.5, help="share of reads with a fault (default 0.5)")
    a = ap.parse_args()
    rng = random.Random(a.seed)
    sim_path = os.path.join(a.build, "vor3-sensor-sim")
    cli_path = os.path.join(a.build, "vor3-cli")

    sim = subprocess.Popen([sim_path], stdin=subprocess.PIPE, stdout=subprocess.PIPE, text=True, bufsize=1)
    device = sim.stdout.readline().strip()
    outcomes = {}    # fault -> {(status, message): count}
    failures = []    # (read number, fault, status, message)
    times = []
    sim_rss = []
    cli_rss = []
    try:
        for i in range(a.reads):
            fault = "none" if rng.random() >= a.fault_share else rng.choice([f for f in FAULTS if f != "none"])
            switches, want_status, want_message = FAULTS[fault]
            sim.stdin.write(" ".join(switches) + "\n")
            answer = sim.stdout.readline().strip()
            if answer != "faults set":
                sys.exit(f"vor3-sensor-sim did not take '{' '.join(switches)}': {answer}")
            started = time.monotonic()
            cli = subprocess.Popen([cli_path, "read", "--port", device, "--parity", "N"],
                                   stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
            output = cli.stdout.read()  # the little it writes to stderr fits the pipe meanwhile
            message = cli.stderr.read().strip()
            _, status, usage = os.wait4(cli.pid, 0)  # reaped here for its peak memory
            cli.returncode = os.waitstatus_to_exitcode(status)
            cli.stdout.close()
            cli.stderr.close()
            elapsed = time.monotonic() - started
            code = cli.returncode
            if code == 0 and wrong_values(output):
                code, message = "wrong values", wrong_values(output)
            times.append(elapsed)
            cli_rss.append(usage.ru_maxrss)
            if i == 0 or i == a.reads - 1:
                sim_rss.append(rss_kb(sim.pid))
            key = (str(code), message)
            outcomes.setdefault(fault, {}).setdefault(key, 0)
            outcomes[fault][key] += 1
            if code != want_status or message != want_message:
                failures.append((i, fault, code, message))
    finally:
        sim.terminate()
        sim.wait()

    print(f"{a.reads} reads against {device}, seed {a.seed}")
    print("outcomes by fault:")
    for fault in FAULTS:
        for (code, message), n in sorted(outcomes.get(fault, {}).items()):
            print(f"  {fault:18} exit {code}  x{n:<4} {message or '(read)'}")
    print(f"failures that are not what the fault should give: {len(failures)}")
    for i, fault, code, message in failures[:20]:
        print(f"  read {i}: {fault}: exit {code} {message}")
    q = max(1, len(times) // 4)
    print(f"time per read: first quarter {sum(times[:q]) / q:.3f} s, last quarter {sum(times[-q:]) / q:.3f} s")
    print(f"vor3-sensor-sim resident: start {sim_rss[0]} kB, end {sim_rss[-1]} kB")
    print(f"vor3-cli peak resident:   first read {cli_rss[0]} kB, last read {cli_rss[-1]} kB")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
