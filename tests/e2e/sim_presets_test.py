#!/usr/bin/env python3
"""The simulated printer's presets through qvhost.exe and the module.

Every row of the README's table of presets is run as the row's command runs
it (the preset beside the simulated XKAPI.DLL, then qvhost --query) and must
give the result and the record that the row states, as JSON that parses.
The README is the one list: a preset without a row, or a row without a
preset, fails. A preset with a delay runs with a small one and must take at
least ten library calls' worth of it. Besides the rows: a printer that offers
no status channel, and a malformed settings file, reported line by line while
its good lines and the built-in values apply.

    sim_presets_test.py BUILD_DIR WINE      (Wine's environment already set)
"""
import json
import os
import re
import shlex
import shutil
import subprocess
import sys
import time
import unittest

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
PRESETS = os.path.join(ROOT, "tools", "simulator", "presets")
TABLE_HEADER = "| Preset | The printer | Command | Result | `resultInfo` |"
BUILD = WINE = None

# A query that succeeds makes twelve library calls; the bound asks for ten.
TEST_DELAY_MS = 100
CALLS_AT_LEAST = 10


def read(path):
    with open(path, encoding="utf-8", errors="replace") as f:
        return f.read()


def run_sh_defaults():
    """PRINTER and MODEL of scripts/run.sh when the command leaves them out."""
    text = read(os.path.join(ROOT, "scripts", "run.sh"))
    return (re.search(r"^printer=\$\{1:-(.*)\}$", text, re.M).group(1),
            re.search(r"^model=\$\{2:-(.*)\}$", text, re.M).group(1))


def answered(ids, memory, tray):
    return {"idValid": 1, "idCount": 6, "id": ids, "memoryValid": 1, "memorySizeMB": memory,
            "paperSourceValid": 1, "paperSourceCount": tray}


def parse_record(cell):
    """A record as the table words it: "untouched", or the printer's values."""
    if cell == "untouched":
        return None
    m = re.fullmatch(r"ID (\d+) (\d+) (\d+) (\d+) (\d+) (\d+), (\d+) MB, (lower tray fitted|no lower tray)",
                     cell)
    if not m:
        raise ValueError("record not understood: %r" % cell)
    return answered([int(v) for v in m.groups()[:6]], int(m.group(7)),
                    1 if m.group(8) == "lower tray fitted" else 0)


def readme_rows():
    """(preset, printer, model, result, record) for each row of the table."""
    lines = read(os.path.join(ROOT, "README.md")).splitlines()
    start = lines.index(TABLE_HEADER) + 2
    printer_default, model_default = run_sh_defaults()
    rows = []
    for line in lines[start:]:
        if not line.startswith("|"):
            break
        preset, _, command, result, record = [c.strip() for c in line.strip("|").split("|")]
        preset = preset.strip("`")
        words = shlex.split(command.strip("`"))
        if words[:3] != ["scripts/run.sh", "--preset", preset] or len(words) > 5:
            raise ValueError("row %s: command %s is not scripts/run.sh --preset %s [PRINTER [MODEL]]"
                             % (preset, command, preset))
        words += [printer_default, model_default][len(words) - 3:]
        rows.append((preset, words[3], words[4], int(re.match(r"\d+", result).group()),
                     parse_record(record)))
    return rows


def ask(name, ini_text, printer="Simulated printer", model="Marlow Wide 900", options=()):
    """Runs qvhost --query --json in a folder of its own beside a copy of the
    simulator with ini_text as its settings. Returns (process, seconds)."""
    folder = os.path.join(BUILD, "sim-presets", name)
    shutil.rmtree(folder, ignore_errors=True)
    os.makedirs(folder)
    for f in ("XKAPI.DLL", "qvoptinf.dll", "qvhost.exe"):
        shutil.copy(os.path.join(BUILD, "sim", f), folder)
    with open(os.path.join(folder, "xkapi-sim.ini"), "w", newline="\r\n") as f:
        f.write(ini_text)
    # Without a display the incompatible-printer message box cannot show and
    # returns at once, instead of waiting for a click that never comes.
    env = dict(os.environ)
    env.pop("DISPLAY", None)
    env.pop("XKAPI_SIM_INI", None)   # the settings beside the simulator, nothing else
    env.pop("QVOPTINF_TRACE", None)  # the module's trace only with --trace
    # Output into files, not pipes: a Wine helper that the call starts (the
    # desktop process) inherits them and lives on for a second after the call.
    out, err = os.path.join(folder, "stdout.txt"), os.path.join(folder, "stderr.txt")
    with open(out, "w") as stdout, open(err, "w") as stderr:
        begin = time.monotonic()
        code = subprocess.run([WINE, "qvhost.exe", "--query", "--json", *options, printer, model], cwd=folder,
                              env=env, stdin=subprocess.DEVNULL, stdout=stdout, stderr=stderr,
                              timeout=120).returncode
        seconds = time.monotonic() - begin
    return subprocess.CompletedProcess([], code, read(out), read(err)), seconds


class Presets(unittest.TestCase):
    def check_call(self, proc, result, record):
        reply = json.loads(proc.stdout)   # strict: one JSON object and nothing else
        self.assertEqual(reply["result"], result, "expected result %d, got %s" % (result, reply["result"]))
        self.assertEqual(reply["resultInfo"], record)
        self.assertEqual(proc.returncode, 0 if result == 1 else 1, "qvhost's exit code")

    def test_every_row_of_the_readme(self):
        rows = readme_rows()
        for preset, printer, model, result, record in rows:
            with self.subTest(preset=preset):
                ini = read(os.path.join(PRESETS, preset + ".ini"))
                delay = re.search(r"^delay_ms=(\d+)", ini, re.M)
                if delay:   # the same preset, with a small delay
                    ini = ini.replace(delay.group(0), "delay_ms=%d" % TEST_DELAY_MS)
                proc, seconds = ask(preset, ini, printer, model)
                self.assertEqual(proc.stderr, "", "a preset's settings must all apply")
                self.check_call(proc, result, record)
                reply = json.loads(proc.stdout)
                self.assertEqual((reply["printer"], reply["model"]), (printer, model))
                if delay:
                    least = CALLS_AT_LEAST * TEST_DELAY_MS / 1000.0
                    self.assertGreaterEqual(seconds, least, "expected at least %.1f s, took %.2f s"
                                            % (least, seconds))

    def test_the_readme_the_presets_and_the_list_agree(self):
        files = sorted(f[:-4] for f in os.listdir(PRESETS) if f.endswith(".ini"))
        listed = subprocess.run(["bash", os.path.join(ROOT, "scripts", "run.sh"), "--list-presets"],
                                capture_output=True, text=True, check=True).stdout.splitlines()
        self.assertEqual(sorted(row[0] for row in readme_rows()), files)
        self.assertEqual([line.split()[0] for line in listed], files)
        for line in listed:
            self.assertGreater(len(line.split()), 1, "no description: " + line)

    def test_no_status_channel_offered(self):
        proc, _ = ask("no-channel", "[behaviour]\nchannels=none\n")
        self.check_call(proc, 0, None)

    def test_trace_only_with_the_option(self):
        # The module is silent by default; --trace prints its lines on
        # standard error and leaves the JSON on standard output alone.
        quiet, _ = ask("quiet", "")
        traced, _ = ask("traced", "", options=("--trace",))
        self.check_call(traced, 1, json.loads(quiet.stdout)["resultInfo"])
        self.assertEqual(quiet.stderr, "")
        lines = traced.stderr.splitlines()
        self.assertTrue(lines and all(line.startswith("qvoptinf: ") for line in lines), traced.stderr)
        self.assertIn("qvoptinf: reply parsed: result 1", lines)

    def test_malformed_settings(self):
        # A valid line among the bad ones still applies.
        proc, _ = ask("malformed", "[printer]\nid=1,2,3,4,5,6\nmemory=abc\ncolour=red\nmodel=" + "M" * 10240 +
                      "\n[behaviour]\ndelay_ms=-5\n")
        self.check_call(proc, 1, answered([1, 2, 3, 4, 5, 6], 64, 1))
        lines = proc.stderr.splitlines()
        self.assertEqual(len(lines), 4, proc.stderr)
        for line, key_value in zip(lines, ["memory=abc", "colour=red", "model=MMMM", "delay_ms=-5"]):
            self.assertIn(key_value, line)


if __name__ == "__main__":
    BUILD, WINE = sys.argv[1], sys.argv[2]
    unittest.main(argv=sys.argv[:1], verbosity=2)
