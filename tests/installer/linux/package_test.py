#!/usr/bin/env python3
"""The Linux package on this machine, as root: lintian's verdict, then apt-get installs it, the
installed program shows its window on the private display, the desktop entries and the user
unit pass their validators, an edited settings file survives a reinstall and a removal, and a
purge leaves nothing of the package. Whatever fails, the package is purged again; should the
test be killed, `package_test.py PACKAGE.deb --purge-left-over` purges what it installed.

Usage: package_test.py PACKAGE.deb [unittest arguments | --purge-left-over]"""
import os
import pathlib
import subprocess
import sys
import tempfile
import unittest

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parents[2] / "support" / "gtk"))
from program_process import end_program, start_program  # noqa: E402
from screen import pixel, visible_windows, wait_until  # noqa: E402

PACKAGE_FILE = pathlib.Path(sys.argv[1]).resolve()
LEFT_OVER = PACKAGE_FILE.with_name("installed-by-test")
NAME = "duvuzezera-webmobclient"
PROGRAM = pathlib.Path("/usr/bin", NAME)
SETTINGS = pathlib.Path("/etc", NAME, "kiosk.json")
UNIT = pathlib.Path("/usr/lib/systemd/user", f"{NAME}.service")
ENTRIES = [pathlib.Path("/usr/share/applications", f"{NAME}.desktop"),
           pathlib.Path("/usr/share/wayland-sessions/duvuzezera-kiosk.desktop")]
ICON_SIZES = (32, 64, 128, 256)
SPLASH = (700, 400)
SPLASH_COLOUR = (0x1A, 0x1A, 0x1A)


def run(*command, env=None):
    env = dict(env or os.environ, DEBIAN_FRONTEND="noninteractive")
    return subprocess.run(command, capture_output=True, text=True, stdin=subprocess.DEVNULL,
                          env=env, timeout=120)


def purge_left_over():
    """Purges the package when a test of this build installed it and did not purge it."""
    if LEFT_OVER.exists():
        result = run("dpkg", "--purge", NAME)
        if result.returncode != 0:
            raise AssertionError(result.stdout + result.stderr)
        LEFT_OVER.unlink()


def installed():
    status = run("dpkg-query", "-W", "-f=${db:Status-Abbrev}", NAME).stdout
    return status.strip() not in ("", "un")


class PackageTest(unittest.TestCase):
    def setUp(self):
        if os.geteuid() != 0:
            self.skipTest("installs into the system: run as root")
        # The machine's own installation and settings are not the test's to remove.
        self.assertFalse(installed(), f"{NAME} is installed on this machine already")
        self.assertFalse(SETTINGS.parent.exists(), f"{SETTINGS.parent} exists already")

    def install(self, *args):
        # Left behind should the test be killed: the cleanup step purges what it names.
        LEFT_OVER.write_text(NAME)
        self.addCleanup(purge_left_over)
        self.apt_get("install", *args)

    def apt_get(self, *args):
        result = run("apt-get", "-y", *args)
        self.assertEqual(result.returncode, 0, result.stdout + result.stderr)

    def test_lintian_finds_no_error(self):
        result = run("lintian", "--fail-on", "error", str(PACKAGE_FILE))
        self.assertEqual(result.returncode, 0, result.stdout + result.stderr)
        self.assertNotIn("E: ", result.stdout)

    def test_install_start_and_purge(self):
        self.install(str(PACKAGE_FILE))
        files = [pathlib.Path(p) for p in run("dpkg", "-L", NAME).stdout.split()]
        expected = [PROGRAM, SETTINGS, UNIT, *ENTRIES,
                    *(pathlib.Path(f"/usr/share/icons/hicolor/{s}x{s}/apps/{NAME}.png")
                      for s in ICON_SIZES)]
        for path in expected:
            self.assertIn(path, files)
            self.assertTrue(path.is_file(), path)
        self.assertIn(str(SETTINGS), run("dpkg-query", "-W", "-f=${Conffiles}", NAME).stdout,
                      "the settings file is a configuration file")

        with self.subTest("the desktop entries"):
            result = run("desktop-file-validate", *map(str, ENTRIES))
            self.assertEqual((result.returncode, result.stdout + result.stderr), (0, ""))
        with self.subTest("the user unit"):
            # A user manager's view of the unit, without one running.
            with tempfile.TemporaryDirectory() as runtime:
                os.chmod(runtime, 0o700)
                result = run("systemd-analyze", "verify", "--user", str(UNIT),
                             env=dict(os.environ, XDG_RUNTIME_DIR=runtime))
            self.assertEqual((result.returncode, result.stdout + result.stderr), (0, ""))

        with self.subTest("the installed program shows its window"):
            with tempfile.TemporaryDirectory() as home:
                env = {k: v for k, v in os.environ.items() if not k.startswith("XDG_")}
                env.update(HOME=home)
                stderr = pathlib.Path(home, "stderr.txt")
                with stderr.open("wb") as out:
                    process = start_program([str(PROGRAM)], env=env, stdin=subprocess.DEVNULL,
                                            stdout=subprocess.DEVNULL, stderr=out)
                try:
                    wait_until(lambda: visible_windows("^Form12$") or process.poll() is not None,
                               "the window")
                    if process.poll() is not None:
                        self.fail(f"the program ended with {process.returncode}:\n"
                                  f"{stderr.read_text(errors='replace')}")
                    wait_until(lambda: pixel(*SPLASH) == SPLASH_COLOUR, "the splash")
                finally:
                    end_program(process)

        edited = SETTINGS.read_text().replace('"idleResetSeconds": 0', '"idleResetSeconds": 120')
        self.assertNotEqual(edited, SETTINGS.read_text())
        SETTINGS.write_text(edited)
        self.apt_get("install", "--reinstall", str(PACKAGE_FILE))
        self.assertEqual(SETTINGS.read_text(), edited, "a reinstall keeps the edited settings")
        self.apt_get("remove", NAME)
        self.assertEqual(SETTINGS.read_text(), edited, "a removal keeps the settings")
        self.assertFalse(PROGRAM.exists())

        self.apt_get("purge", NAME)
        self.assertFalse(installed())
        self.assertEqual([p for p in files if p.exists() and not p.is_dir()], [],
                         "files the purge left")
        for folder in (SETTINGS.parent, pathlib.Path("/usr/share/doc", NAME)):
            self.assertFalse(folder.exists(), folder)


if __name__ == "__main__":
    if sys.argv[2:] == ["--purge-left-over"]:
        purge_left_over()
    else:
        unittest.main(argv=[sys.argv[0], *sys.argv[2:]])
