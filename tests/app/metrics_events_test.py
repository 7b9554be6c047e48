#!/usr/bin/env python3
"""The Windows program under Wine with a metrics file: the file holds the same families as on
Linux and Prometheus's checker accepts it; the events reach ReportEventW with their types, as
Wine's eventlog channel reports them (trace: information, warn: warning, err: error).

Usage: metrics_events_test.py PROGRAM [unittest arguments]; run with scripts/wine-env.sh's
settings in the environment."""
import json
import os
import pathlib
import re
import shutil
import subprocess
import sys
import tempfile
import time
import unittest

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parents[1] / "support"))
from network_fence import require_private_network  # noqa: E402
from test_main import main  # noqa: E402

PROGRAM = sys.argv[1]
PROMTOOL = shutil.which("promtool")
P = "duvuzezera_kiosk_"


def windows(path):
    return "Z:" + str(path).replace("/", "\\")


@unittest.skipUnless(PROMTOOL, "promtool is needed")
class MetricsEventsTest(unittest.TestCase):
    def test_the_file_has_the_linux_names_and_the_events_their_types(self):
        folder = tempfile.TemporaryDirectory()
        self.addCleanup(folder.cleanup)
        root = pathlib.Path(folder.name)
        metrics = root / "kiosk.prom"
        settings = root / "kiosk.json"
        # A refused value: one warning besides the start's information.
        settings.write_text(json.dumps({"metricsFile": windows(metrics), "playlist": "a b"}))
        log = (root / "wine.log").open("w+")
        self.addCleanup(log.close)
        env = dict(os.environ, WINEDEBUG="-all,+eventlog")
        require_private_network()
        program = subprocess.Popen(["wine", PROGRAM, "--config", windows(settings)], env=env,
                                   stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                                   stderr=log)
        try:
            deadline = time.monotonic() + 60
            while not metrics.exists() and time.monotonic() < deadline:
                time.sleep(0.2)
            self.assertTrue(metrics.exists(), "no metrics file")
            text = metrics.read_text()
        finally:
            subprocess.run(["wine", "taskkill", "/F", "/IM", pathlib.PureWindowsPath(PROGRAM).name],
                           env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                           timeout=60)
            program.wait(60)

        check = subprocess.run([PROMTOOL, "check", "metrics"], input=text, capture_output=True,
                               text=True, timeout=30)
        self.assertEqual(check.returncode, 0, check.stdout + check.stderr + text)
        self.assertRegex(text, rf'(?m)^{P}info{{version="[0-9.]+",platform="windows",engine="[^"]+"}} 1$')
        for series in (f'{P}screen{{state="splash"}} 1', f'{P}settings_problems 1',
                       f'{P}button_taps_total{{button="clinic"}} 0',
                       f'{P}load_failures_total{{kind="refused"}} 0', f"{P}visits_total 0"):
            self.assertIn(series + "\n", text)
        for family in ("start_time_seconds", "heartbeat_time_seconds", "memory_private_bytes",
                       "memory_working_set_bytes"):
            self.assertRegex(text, rf"(?m)^{P}{family} [1-9][0-9.]*$")

        log.seek(0)
        events = [(kind, message) for kind, message in
                  re.findall(r'(trace|warn|err):eventlog:ReportEventW L"(.*)"', log.read())]
        source = windows(settings).replace("\\", "\\\\")  # as Wine's trace escapes it
        self.assertIn(("trace", f"built-in, {source}"), events)
        self.assertTrue(any(kind == "warn" and "playlist" in message for kind, message in events),
                        events)


if __name__ == "__main__":
    main([sys.argv[0], *sys.argv[2:]])
