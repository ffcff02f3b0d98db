#!/usr/bin/env python3
"""Mutation check: does the suite catch faults seeded into the program?

Each fault below is a one-line change to src/ or sim/ of the kind a slip of
the hand makes (a checksum step, a register count, a sign, a range bound, a
mark not cleared, a timer not stopped, a stale answer taken, ...). The
script copies the committed tree (git archive HEAD) to a scratch folder,
builds it once, then applies each fault in turn, builds, runs the whole
suite (each test program once, stopping at its first failure) and puts the
file back. It prints each
fault as caught, NOT CAUGHT, or as not applying (its line is gone: update the
list) or not building, and at the end the faults no test caught.

  tools/mutation_check.py [--scratch DIR] [--only NAME...] [--every] [--list]
Exit status 0 when every fault applied and built; the uncaught ones are the
report, not an error.
"""
import argparse
import json
import os
import re
import shutil
import subprocess
import sys
import time

# (name, file, text as it stands, text with the fault); the text must occur
# exactly once in the file.
FAULTS = [
    # hex text and checksums
    ("crc polynomial", "src/link/hex.cpp", "^ 0xA001)", "^ 0xA003)"),
    ("lrc not negated", "src/link/hex.cpp", "((255 - sum) + 1) % 256", "sum % 256"),
    ("rtu crc bytes swapped", "src/link/hex.cpp",
     "    message.push_back(static_cast<char>(crc & 0xFF));\n    message.push_back(static_cast<char>(crc >> 8));",
     "    message.push_back(static_cast<char>(crc >> 8));\n    message.push_back(static_cast<char>(crc & 0xFF));"),
    # time-out, repeat and give-up
    ("reply time-out shortened", "src/model/line_settings.h", "kReplyTimeoutMs = 1000;", "kReplyTimeoutMs = 100;"),
    ("repeat not limited to one", "src/link/transmit.cpp", "    if (c.frm.Timer3.enabled()) {\n        c.frm.Timer5.stop();",
     "    if (false) {\n        c.frm.Timer5.stop();"),
    ("give-up does not stop the write timer", "src/link/transfer_reset.cpp",
     "{&f.Timer1, &f.Timer3, &f.Timer5, &f.Timer6, &f.TimerTurn, &f.TimerPace}) t->stop();",
     "{&f.Timer3, &f.Timer5, &f.Timer6, &f.TimerTurn, &f.TimerPace}) t->stop();"),
    ("warning not shown on give-up", "src/link/transmit.cpp",
     "    c.events->abandon_status_window();\n    c.frm.warning_line().set_visible(true);",
     "    c.events->abandon_status_window();\n    c.frm.warning_line().set_visible(false);"),
    # which request an answer answers
    ("next request does not wait after a repeat", "src/link/answers.cpp",
     "    return c.clock.now_ms() >= now.quiet_at_ms;", "    return true;"),
    ("answer to an answered request taken", "src/link/answers.cpp",
     "    if (now.answered) {\n        ++now.heard;", "    if (false) {\n        ++now.heard;"),
    ("conflict not told", "src/link/answers.cpp",
     "return now.copies == 1 && adu != now.answer ? Verdict::Conflict : Verdict::AnsweredAlready;",
     "return Verdict::AnsweredAlready;"),
    ("write acknowledgement of another block taken", "src/link/answers.cpp",
     "adu.size() == 6 && word_at(adu, 2) == e.first && word_at(adu, 4) == e.quantity",
     "adu.size() == 6 && word_at(adu, 4) == e.quantity"),
    ("coil reply length off by one", "src/link/hex.cpp", "(quantity + 7) / 8", "(quantity + 8) / 8"),
    ("bytes waiting before a send counted", "src/reply/reader.cpp", "    r.rx_count = 0;\n    r.rx_text.clear();\n    r.collecting = false;\n    c.g.unawaited.rx_count = 0;\n}",
     "}"),
    # frames
    ("rtu exception length", "src/link/framing.cpp", "if (function & 0x80) return 5;", "if (function & 0x80) return 6;"),
    ("ascii lrc unchecked", "src/link/framing.cpp", "if (sum % 256 == 0) {", "if (true) {"),
    # decoding
    ("tenths not divided", "src/model/register_map.cpp", "format_number(s / 10.0, decimal_sep)", "format_number(s, decimal_sep)"),
    ("block end one past", "src/reply/decoder.cpp", "return c.g.transfer.reg_address >= part.end; }",
     "return c.g.transfer.reg_address > part.end; }"),
    ("configuration coil bit order", "src/reply/decoder.cpp", "        const int bit = (v >> n) & 1;",
     "        const int bit = (v >> (7 - n)) & 1;"),
    ("led coils read one short", "src/reply/decoder.cpp", "    for (int n = model::kLedCoilCount - 1; n >= 0; --n) {",
     "    for (int n = model::kLedCoilCount - 2; n >= 0; --n) {"),
    ("read-back raw value not kept", "src/reply/decoder.cpp", "        c.g.image.cfg_raw[static_cast<std::size_t>(i)] = raw;\n", ""),
    ("configuration write ends a block early", "src/model/transfer_order.h",
     "{kWriteConfigBlock, Block::ConfigRegisters, kConfigWriteFirst, kConfigEnd, true},",
     "{kWriteConfigBlock, Block::ConfigRegisters, kConfigWriteFirst, 7, true},"),
    ("write of the minimum response time paced as before", "src/reply/decoder.cpp",
     "const auto period = link::paced_block_period_ms(c, t.reply_delay);",
     "const auto period = model::block_timer_period(c.g.link.baud_rate, t.reply_delay);"),
    # writing
    # (Writing an untouched register from its text, or correcting an
    # unmarked field, changes nothing a sensor sees: its text shows the raw
    # value exactly and leaving it corrects nothing. The faults that matter
    # are the other way round.)
    ("marked register written as it was read", "src/ops/write_parameters.cpp",
     "if (raw && !form::is_marked(c.frm, array, index)) return link::LongToHexStr(*raw, 2);",
     "if (raw) return link::LongToHexStr(*raw, 2);"),
    ("entered value not corrected before writing", "src/ops/write_parameters.cpp",
     "        if (form::is_marked(f, model::FieldArray::txt_data_cfg, i)) f.txt_data_cfg(i).lose_focus();", ""),
    ("write block size", "src/model/register_map.h", "constexpr int kMaxWriteBlock = 5;", "constexpr int kMaxWriteBlock = 6;"),
    ("read block size", "src/model/register_map.h", "constexpr int kMaxReadBlock = 8;", "constexpr int kMaxReadBlock = 9;"),
    ("block timer period", "src/model/globals.cpp", "1.0 / baud * 550 * 1000", "1.0 / baud * 500 * 1000"),
    ("rounding not half to even", "src/model/numbers.cpp", "return static_cast<long long>(std::nearbyint(value));",
     "return static_cast<long long>(std::round(value));"),
    # field entry and marks
    ("minus sign twice", "src/ui/field_rules.cpp", "if (minus_allowed && key == '-' && text.find('-') != std::string::npos) key = 0;", ""),
    ("separator in whole-unit fields", "src/ui/field_rules.cpp", "        if (!decimals) {\n            key = 0;\n            return;\n        }", ""),
    ("upper bound of a field", "src/ui/field_rules.cpp", "    if (*v > hi) {", "    if (*v > hi + 1) {"),
    ("leaving an unedited field corrects it", "src/ui/field_rules.cpp",
     "    if (*v == c.g.image.cfg_value[static_cast<std::size_t>(index)]) return;\n", ""),
    ("mark not set", "src/ui/change_marking.cpp", "std::uint32_t mark_if(bool differs) { return differs ? form::kChangeMark : form::kNormalText; }",
     "std::uint32_t mark_if(bool) { return form::kNormalText; }"),
    ("outside-range colour never shown", "src/ui/change_marking.cpp", "        color = form::kOutsideRange;", "        color = form::kNormalText;"),
    ("address range", "src/model/line_settings.h", "kLastAddress = 63;", "kLastAddress = 64;"),
    # status window and read-out
    ("no read-back after a write", "src/ui/status_window.cpp",
     "k == model::kWriteConfigCoils || k == model::kWriteExternalBlock || k == model::kWriteLedCoils",
     "k == model::kWriteExternalBlock || k == model::kWriteLedCoils"),
    ("cancel leaves the transfer timers running", "src/ui/status_window.cpp",
     "    link::reset_transfer(c);\n    c.g.transfer.request_kind = model::kIdle;",
     "    c.g.transfer.request_kind = model::kIdle;"),
    ("read-out does not lock editing", "src/ops/cyclic_readout.cpp", "        lock_editing(c, true);", ""),
    # files and settings
    ("parameter file bit value inverted", "src/ui/parameter_file.cpp",
     "set_value(bit == \"1\" ? 1 : 0);", "set_value(bit == \"0\" ? 1 : 0);"),
    ("code page: euro sign", "src/store/code_page.cpp", "{0x20AC, 0,      0x201A,", "{0x20AD, 0,      0x201A,"),
    # the simulated sensor
    ("sim: coil packing", "sim/modbus_pdu.cpp", "| (1 << (i % 8))", "| (0x80 >> (i % 8))"),
    ("sim: a register read beyond the map answered", "sim/modbus_pdu.cpp", "    if (!memory.holding_readable(r.first, r.count)) return exception_pdu(fn, kIllegalDataAddress);\n", ""),
    ("sim: character time without the stop bit", "sim/line_timing.cpp", "+ parity_bits + settings.stop_bits;", "+ parity_bits;"),
]


def suite_runner(build, every=False):
    """The suite as a list of steps: each GoogleTest program once, all its
    tests in one process, stopping at the first failure (far quicker than a
    process per test); the core's tests first, as they catch most faults
    soonest; then, through ctest, the tests that are no GoogleTest. With
    `every`, nothing stops early and every test that fails is named: which
    tests guard a fault, and which guard none of them."""
    listing = json.loads(subprocess.run(["ctest", "--show-only=json-v1"], cwd=build, capture_output=True,
                                        text=True, check=True).stdout)
    programs, others = {}, []
    for t in listing["tests"]:
        cmd = t.get("command") or []
        props = {p["name"]: p["value"] for p in t.get("properties", [])}
        if len(cmd) > 1 and cmd[1].startswith("--gtest_filter="):
            env = dict(e.split("=", 1) for e in props.get("ENVIRONMENT", []))
            programs.setdefault(cmd[0], (props.get("WORKING_DIRECTORY", build), env))
        else:
            others.append(re.escape(t["name"]))
    order = ["vor3_tests", "vor3_sim_tests", "vor3_fuzz_", "vor3_qt_tests", "vor3_tool_tests"]
    rank = lambda exe: next((i for i, o in enumerate(order) if os.path.basename(exe).startswith(o)), len(order))

    def run_suite():
        failures = []
        for exe in sorted(programs, key=rank):
            cwd, env = programs[exe]
            # Two shards at once, one per core.
            shards = [subprocess.Popen([exe, "--gtest_brief=1"] + ([] if every else ["--gtest_fail_fast"]), cwd=cwd,
                                       env={**os.environ, "QT_QPA_PLATFORM": "offscreen", **env,
                                            "GTEST_TOTAL_SHARDS": "2", "GTEST_SHARD_INDEX": str(i)},
                                       stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)
                      for i in range(2)]
            outputs = [(shard.communicate(timeout=1800)[0], shard.returncode) for shard in shards]
            for out, code in outputs:
                if code != 0:
                    failed = sorted({n for n in re.findall(r"\[  FAILED  \] (\S+?),? ", out) if "." in n}) or [f"exit {code}"]
                    failures += [f"{os.path.basename(exe)}: {name}" for name in failed]
            if failures and not every:
                return failures[0]
        if others:
            result = subprocess.run(["ctest", "--timeout", "300", "-R", "^(" + "|".join(others) + ")$"], cwd=build,
                                    capture_output=True, text=True)
            if result.returncode != 0:
                failures += ["ctest: " + l.split(": ", 1)[-1] for l in result.stdout.splitlines() if "***" in l]
        return "; ".join(failures) or None

    return run_suite


def run(cmd, cwd, log):
    with open(log, "a") as out:
        return subprocess.run(cmd, cwd=cwd, stdout=out, stderr=subprocess.STDOUT).returncode


def main():
    here = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    ap = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    ap.add_argument("--scratch", default=os.path.join(here, "build-mutants"))
    ap.add_argument("--only", nargs="*")
    ap.add_argument("--list", action="store_true")
    ap.add_argument("--every", action="store_true", help="name every test that catches each fault (slower)")
    a = ap.parse_args()
    faults = [f for f in FAULTS if f[2] is not None and (not a.only or f[0] in a.only)]
    if a.list:
        for name, path, _, _ in faults:
            print(f"{name}  ({path})")
        return 0

    tree = os.path.join(a.scratch, "tree")
    build = os.path.join(a.scratch, "build")
    log = os.path.join(a.scratch, "log.txt")
    shutil.rmtree(tree, ignore_errors=True)
    os.makedirs(tree)
    archive = subprocess.run(["git", "archive", "HEAD"], cwd=here, capture_output=True, check=True).stdout
    # Files dated now (-m), not at the commit: a scratch build kept from an
    # earlier run must not take its objects, the last fault's among them, for
    # up to date.
    subprocess.run(["tar", "-x", "-m", "-C", tree], input=archive, check=True)
    launcher = ["-DCMAKE_CXX_COMPILER_LAUNCHER=ccache"] if shutil.which("ccache") else []
    open(log, "w").close()
    if run(["cmake", "-S", tree, "-B", build, "-DCMAKE_BUILD_TYPE=RelWithDebInfo"] + launcher, tree, log) or \
       run(["cmake", "--build", build, "-j2"], tree, log):
        print(f"the unchanged tree does not build; see {log}")
        return 1
    run_suite = suite_runner(build, a.every)
    failed = run_suite()
    if failed:
        print(f"the suite fails on the unchanged tree ({failed})")
        return 1

    uncaught, broken = [], []
    for name, path, before, after in faults:
        file = os.path.join(tree, path)
        text = open(file, encoding="utf-8").read()
        if text.count(before) != 1:
            print(f"does not apply      {name} ({path})")
            broken.append(name)
            continue
        started = time.monotonic()
        open(file, "w", encoding="utf-8").write(text.replace(before, after))
        try:
            if run(["cmake", "--build", build, "-j2"], tree, log):
                print(f"does not build      {name}")
                broken.append(name)
                continue
            # The test that failed first: one that guards this fault.
            by = run_suite() or ""
            caught = bool(by)
            print(f"{'caught' if caught else 'NOT CAUGHT':<20}{name}  ({time.monotonic() - started:.0f} s) {by}",
                  flush=True)
            if not caught:
                uncaught.append(name)
        finally:
            open(file, "w", encoding="utf-8").write(text)
    print(f"\n{len(faults) - len(uncaught) - len(broken)} of {len(faults)} faults caught")
    for name in uncaught:
        print(f"  not caught: {name}")
    return 1 if broken else 0


if __name__ == "__main__":
    sys.exit(main())
