#!/usr/bin/env python3
"""Soak test: whole reads and writes with vor3-cli against vor3-sensor-sim on
pseudo-terminals, with a fault or wandering answer times switched on at
random before each run.

A read must print exactly what the sensor holds (its measured values within
their drift), or fail with a non-zero exit status. A write sets one random
value in a configuration register, coil or external value; afterwards mbpoll
(an independent Modbus master, Debian's package of that name) reads the
sensor's memory, in which exactly the value asked for must have changed when
the write said it succeeded, and nothing else in any case.

The headline is the number of wrong values: a read that printed a value the
sensor does not hold while its exit status was 0, a write that changed
something not asked for, or one that did not change what was asked while its
exit status was 0. Failures that were reported (non-zero exit status) are
counted apart, and so are outcomes a fault does not explain.

Runs are spread over several sensors at once (--jobs), each with its own
vor3-cli, so that answer times of up to 3 s still give 500 reads and 100
writes in a few minutes; they run at 57600 baud unless told otherwise.

  tools/soak.py [--reads N] [--writes M] [--seed S] [--jobs J] [--baud B]
                [--fault-share P] [--timing-share P] [--build DIR]
Exit status 0 when there was no wrong value and every outcome was explained.
"""
import argparse
import os
import random
import shutil
import subprocess
import sys
import termios
import threading
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
TIMING = "answer times"
LONGEST_ANSWER_MS = 3000

# The sensor's memory as vor3-cli names it: field -> (table, address, scale).
# Holding registers are kept as unsigned 16-bit values, coils as 0 or 1.
FIELDS = {}
for i in range(11):
    FIELDS[f"txt_data_cfg({i})"] = ("holding", i, 10 if i in (8, 9) else 1)
for i in range(3):
    FIELDS[f"txt_data_in({i})"] = ("holding", 0x200 + i, 1 if i == 2 else 10)
for i in range(8):
    FIELDS[f"chk_cfg({i})"] = ("coil", i, 1)
for i in range(5):
    FIELDS[f"chk_inp_bit({i})"] = ("coil", 0x100 + i, 1)
SIGNED = {f"txt_data_cfg({i})" for i in (0, 1, 2, 4, 5, 6, 7, 8, 9, 10)} | {f"txt_data_in({i})" for i in range(3)}

# What a write may set (raw register values; coils are flipped). The display
# interval and the minimum response time stay small: they set the pace of
# every later transfer. Hidden fields and those the sensor keeps are left out.
WRITABLE = {
    "txt_data_cfg(3)": (0, 65535), "txt_data_cfg(4)": (0, 3000), "txt_data_cfg(5)": (0, 3000),
    "txt_data_cfg(6)": (0, 20), "txt_data_cfg(7)": (5, 50), "txt_data_cfg(8)": (-100, 100),
    "txt_data_cfg(9)": (-100, 100), "txt_data_cfg(10)": (-500, 500),
    "txt_data_in(0)": (-1000, 1000), "txt_data_in(1)": (0, 1000), "txt_data_in(2)": (0, 9999),
}
WRITABLE_COILS = [f"chk_cfg({i})" for i in (0, 1, 2, 4, 5, 6)] + [f"chk_inp_bit({i})" for i in range(4)]

# The measured values drift around a centre (raw units) by the sensor's own
# offset register: (field, offset register, centre, amplitude, lowest, highest).
MEASURED = [("txt_data_out(0)", 8, 215, 8, -32768, 32767), ("txt_data_out(1)", 9, 450, 40, 0, 1000),
            ("txt_data_out(2)", 10, 650, 150, 0, 65535)]


def signed(raw):
    return raw - 65536 if raw >= 32768 else raw


def raw_of(text, scale):
    """A printed number ("21,5", "-3", "1.5") in raw register units, or None."""
    try:
        return round(float(text.replace(",", ".")) * scale)
    except ValueError:
        return None


def shown_raw(field, memory):
    table, address, _ = FIELDS[field]
    raw = memory[(table, address)]
    return signed(raw) if field in SIGNED else raw


def wrong_read_values(output, memory):
    """What a successful read shows that the sensor does not hold, or ''."""
    fields = {}
    for line in output.splitlines():
        parts = line.split("\t")
        if len(parts) == 3:
            fields[parts[0]] = parts[2]
    for field, (_, _, scale) in FIELDS.items():
        got = raw_of(fields.get(field, ""), scale)
        if got != shown_raw(field, memory):
            return f"{field} shows {fields.get(field)!r}, the sensor holds {shown_raw(field, memory) / scale:g}"
    for field, offset_register, centre, amplitude, lowest, highest in MEASURED:
        offset = signed(memory[("holding", offset_register)])
        low = max(lowest, centre - amplitude + offset) - 1
        high = min(highest, centre + amplitude + offset) + 1
        got = raw_of(fields.get(field, ""), 10 if field != "txt_data_out(2)" else 1)
        if got is None or not low <= got <= high:
            return f"{field} shows {fields.get(field)!r}, outside what the sensor measures"
    return ""


class Sensor:
    """One vor3-sensor-sim, its fault line and its memory as mbpoll reads it."""

    def __init__(self, sim_path, baud):
        self.baud = baud
        self.process = subprocess.Popen([sim_path, "--baud", str(baud)], stdin=subprocess.PIPE,
                                        stdout=subprocess.PIPE, text=True, bufsize=1)
        self.device = self.process.stdout.readline().strip()

    def set_faults(self, switches):
        self.process.stdin.write(" ".join(switches) + "\n")
        answer = self.process.stdout.readline().strip()
        if answer != "faults set":
            raise RuntimeError(f"vor3-sensor-sim did not take '{' '.join(switches)}': {answer}")

    def _poll(self, kind, first, count):
        # mbpoll, like any master without transaction ids, would take a late
        # answer to its own earlier request for the next one (the coil reads
        # have answers of one shape): it waits long, and the line is emptied
        # before each of its requests.
        args = ["mbpoll", "-m", "rtu", "-a", "1", "-b", str(self.baud), "-P", "none", "-0", "-1", "-o", "5",
                "-t", "0" if kind == "coil" else "4:hex", "-r", str(first), "-c", str(count), self.device]
        for _ in range(3):
            self.flush()
            r = subprocess.run(args, capture_output=True, text=True)
            values = {}
            for line in r.stdout.splitlines():
                if line.startswith("[") and "]:" in line:
                    address, value = line[1:].split("]:")
                    values[(kind, int(address))] = int(value.strip(), 0)
            if r.returncode == 0 and len(values) == count:
                return values
            time.sleep(0.3)
        raise RuntimeError(f"mbpoll could not read {kind}s {first}..{first + count - 1}: {r.stdout[-200:]}")

    def quiet(self, switches):
        """Switches the faults off, lets the answers still on their way pass and
        drops what the terminal holds, so the next run starts on a quiet line:
        the simulated sensor keeps its side of the terminal open, which a real
        port's driver would have emptied between two programs."""
        self.set_faults([])
        time.sleep(latest_answer_s(switches))
        self.flush()

    def flush(self):
        fd = os.open(self.device, os.O_RDWR | os.O_NOCTTY | os.O_NONBLOCK)
        try:
            termios.tcflush(fd, termios.TCIFLUSH)
        finally:
            os.close(fd)

    def memory(self):
        """The sensor's memory, read twice alike; the line must be quiet."""
        seen = None
        for _ in range(3):
            m = {}
            for kind, first, count in (("holding", 0, 11), ("holding", 0x200, 3), ("coil", 0, 8), ("coil", 0x100, 5)):
                m.update(self._poll(kind, first, count))
            if m == seen:
                return m
            seen = m
        raise RuntimeError("mbpoll read the sensor's memory differently each time")

    def rss_kb(self):
        with open(f"/proc/{self.process.pid}/status") as f:
            for line in f:
                if line.startswith("VmRSS:"):
                    return int(line.split()[1])
        return -1

    def stop(self):
        self.process.terminate()
        self.process.wait()


def timing_switches(rng):
    """Answer times anywhere from 0 to 3 s, half of them near the reply time-out
    (1 s), where an answer to a repeat meets the next request; some repeats
    answered at a time of their own, some answers lost."""
    spread = rng.choice([0, 50, 200, 500])
    answer = rng.randint(0, LONGEST_ANSWER_MS - spread) if rng.random() < 0.5 else rng.randint(700, 1400 - spread)
    switches = ["--answer-ms", str(answer), "--answer-spread", str(spread), "--seed", str(rng.randint(0, 2**31 - 1))]
    if rng.random() < 0.5:
        switches += ["--repeat-answer-ms", str(rng.randint(0, LONGEST_ANSWER_MS - spread))]
    if rng.random() < 0.5:
        switches += ["--lose", str(rng.randint(5, 30))]
    return switches


def latest_answer_s(switches):
    """How long after its last request a sensor with these switches may still answer."""
    value = {switches[i]: int(switches[i + 1]) for i in range(len(switches) - 1) if switches[i + 1].isdigit()}
    slowest = max(value.get("--answer-ms", 0), value.get("--repeat-answer-ms", 0),
                  value.get("--extra-delay", 0) + max(WRITABLE["txt_data_cfg(7)"]))
    return (slowest + value.get("--answer-spread", 0) + 4 * value.get("--split-gap", 0) + 100) / 1000


def write_target(rng, memory):
    """A field and a value for it that differs from what the sensor holds: (field, text, raw)."""
    if rng.random() < 0.35:
        field = rng.choice(WRITABLE_COILS)
        raw = 1 - shown_raw(field, memory)
        return field, str(raw), raw
    field = rng.choice(sorted(WRITABLE))
    low, high = WRITABLE[field]
    raw = shown_raw(field, memory)
    while raw == shown_raw(field, memory):
        raw = rng.randint(low, high)
    scale = FIELDS[field][2]
    return field, (f"{raw / scale:.1f}" if scale == 10 else str(raw)), raw


class Soak:
    def __init__(self, a):
        self.a = a
        self.cli = os.path.join(a.build, "vor3-cli")
        self.sim = os.path.join(a.build, "vor3-sensor-sim")
        self.lock = threading.Lock()
        self.runs = []  # (number, kind, fault, switches, status, message, wrong, seconds, cli_rss)
        self.sim_rss = []

    def plan(self):
        rng = random.Random(self.a.seed)
        kinds = ["read"] * self.a.reads + ["write"] * self.a.writes
        rng.shuffle(kinds)
        plans = []
        for i, kind in enumerate(kinds):
            r = rng.random()
            if r < self.a.timing_share:
                fault, switches = TIMING, timing_switches(rng)
            elif r < self.a.timing_share + (1 - self.a.timing_share) * self.a.fault_share:
                fault = rng.choice([f for f in FAULTS if f != "none"])
                switches = FAULTS[fault][0]
            else:
                fault, switches = "none", []
            plans.append((i, kind, fault, switches, rng.randint(0, 2**31 - 1)))
        return plans

    def run_cli(self, args):
        """Exit status, standard output, the first line of standard error, seconds, peak resident kB."""
        started = time.monotonic()
        cli = subprocess.Popen([self.cli] + args, stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
        output = cli.stdout.read()  # the little it writes to stderr fits the pipe meanwhile
        message = cli.stderr.read().strip()
        _, status, usage = os.wait4(cli.pid, 0)  # reaped here for its peak memory
        cli.returncode = os.waitstatus_to_exitcode(status)
        cli.stdout.close()
        cli.stderr.close()
        return (cli.returncode, output, message.splitlines()[0] if message else "", time.monotonic() - started,
                usage.ru_maxrss)

    def worker(self, plans):
        sensor = Sensor(self.sim, self.a.baud)
        link = ["--port", sensor.device, "--baud", str(self.a.baud), "--parity", "N"]
        try:
            memory = sensor.memory()
            rss_first = sensor.rss_kb()
            for number, kind, fault, switches, value_seed in plans:
                sensor.set_faults(switches)
                wrong = ""
                if kind == "read":
                    status, output, message, seconds, rss = self.run_cli(["read"] + link)
                    sensor.quiet(switches)
                    if status == 0:
                        wrong = wrong_read_values(output, memory)
                else:
                    field, text, raw = write_target(random.Random(value_seed), memory)
                    status, output, message, seconds, rss = self.run_cli(["write"] + link + [f"{field}={text}"])
                    sensor.quiet(switches)
                    after = sensor.memory()
                    table, address, _ = FIELDS[field]
                    changed = sorted(k for k in after if after[k] != memory[k] and k != (table, address))
                    if changed:
                        wrong = f"wrote {field}={text}; also changed " + ", ".join(
                            f"{t} {a:#x}: {memory[(t, a)]} -> {after[(t, a)]}" for t, a in changed)
                    elif status in (0, 1) and (shown_raw(field, after) == raw) != (status == 0):
                        wrong = f"wrote {field}={text}, exit {status}; the sensor holds {shown_raw(field, after)}"
                    memory = after
                with self.lock:
                    self.runs.append((number, kind, fault, switches, status, message, wrong, seconds, rss))
                    done = len(self.runs)
                if self.a.progress and done % 50 == 0:
                    print(f"  {done} runs done", file=sys.stderr)
            final = sensor.memory()
            if final != memory:
                with self.lock:
                    self.runs.append((-1, "end", "none", [], 0, "", "the sensor's memory changed after the last write",
                                      0, 0))
            with self.lock:
                self.sim_rss.append((rss_first, sensor.rss_kb()))
        finally:
            sensor.stop()

    def run(self):
        plans = self.plan()
        jobs = max(1, min(self.a.jobs, len(plans)))
        threads = [threading.Thread(target=self.worker, args=(plans[j::jobs],)) for j in range(jobs)]
        started = time.monotonic()
        for t in threads:
            t.start()
        for t in threads:
            t.join()
        return time.monotonic() - started, jobs


def report(soak, elapsed, jobs):
    a = soak.a
    runs = sorted(soak.runs)
    print(f"{a.reads} reads and {a.writes} writes on {jobs} simulated sensors at {a.baud} baud, seed {a.seed}, "
          f"{elapsed:.0f} s")
    wrong = [r for r in runs if r[6]]
    print(f"wrong values: {len(wrong)}")
    for number, kind, fault, switches, status, message, why, _, _ in wrong[:20]:
        print(f"  {kind} {number} ({' '.join(switches) or fault}), exit {status}: {why}")
    reported = [r for r in runs if r[4] != 0 and not r[6]]
    print(f"failures reported (non-zero exit): {len(reported)}")
    by_outcome = {}
    for r in reported:
        by_outcome[(r[1], r[4], r[5])] = by_outcome.get((r[1], r[4], r[5]), 0) + 1
    for (kind, status, message), n in sorted(by_outcome.items(), key=lambda x: -x[1]):
        print(f"  {kind:5} exit {status}  x{n:<4} {message}")
    print("outcomes by fault:")
    for fault in list(FAULTS) + [TIMING]:
        counts = {}
        for r in runs:
            if r[2] == fault and r[1] != "end":
                key = (r[1], r[4], "wrong values" if r[6] else r[5] or "(done)")
                counts[key] = counts.get(key, 0) + 1
        for (kind, status, message), n in sorted(counts.items()):
            print(f"  {fault:18} {kind:5} exit {status}  x{n:<4} {message}")
    unexplained = [r for r in runs if r[2] in FAULTS and r[1] != "end" and not r[6] and
                   (r[4], r[5]) != FAULTS[r[2]][1:]]
    print(f"outcomes the fault does not explain: {len(unexplained)}")
    for number, kind, fault, _, status, message, _, _, _ in unexplained[:20]:
        print(f"  {kind} {number}: {fault}: exit {status} {message}")
    for kind in ("read", "write"):
        times = [r[7] for r in runs if r[1] == kind and r[2] == "none"]
        if times:
            q = max(1, len(times) // 4)
            print(f"time per {kind} without faults: first quarter {sum(times[:q]) / q:.3f} s, "
                  f"last quarter {sum(times[-q:]) / q:.3f} s")
    if soak.sim_rss:
        print(f"vor3-sensor-sim resident: start {soak.sim_rss[0][0]} kB, end {soak.sim_rss[0][1]} kB")
    rss = [r[8] for r in runs if r[1] != "end"]
    if rss:
        print(f"vor3-cli peak resident:   first run {rss[0]} kB, last run {rss[-1]} kB")
    return 1 if wrong or unexplained else 0


def main():
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("--reads", type=int, default=500)
    ap.add_argument("--writes", type=int, default=100)
    ap.add_argument("--seed", type=int, default=1)
    ap.add_argument("--jobs", type=int, default=16, help="sensors and vor3-cli runs at once (default 16)")
    ap.add_argument("--baud", type=int, default=57600, choices=[9600, 19200, 38400, 57600])
    ap.add_argument("--build", default=os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "build"))
    ap.add_argument("--timing-share", type=float, default=0.5,
                    help="share of runs with answer times from 0 to 3 s (default 0.5)")
    ap.add_argument("--fault-share", type=float, default=0.5,
                    help="share of the other runs with one of the other faults (default 0.5)")
    ap.add_argument("--progress", action="store_true", help="say every 50 runs how far it is")
    a = ap.parse_args()
    if not shutil.which("mbpoll"):
        sys.exit("soak: mbpoll is missing (Debian: apt-get install mbpoll)")
    soak = Soak(a)
    elapsed, jobs = soak.run()
    return report(soak, elapsed, jobs)


if __name__ == "__main__":
    sys.exit(main())
