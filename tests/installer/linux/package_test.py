#!/usr/bin/env python3
"""The Linux package on this machine, as root: lintian's verdict and what it recommends, then
apt-get installs it, its settings file sets nothing, the installed program shows its window on
the private display, reads an edited settings file (which a test build of the program does not),
the desktop entries and the user unit pass their validators, the kiosk session's own command
line shows the program to a user who is not root and a tap opens a page, an edited settings file
survives a reinstall and a removal, and a purge leaves nothing of the package. Whatever fails,
the package is purged again; should the test be killed, `package_test.py PACKAGE.deb
--purge-left-over` purges what it installed.

Usage: package_test.py PACKAGE.deb TEST_PROGRAM CLINIC_PORT [unittest arguments | --purge-left-over]"""
import contextlib
import json
import os
import pathlib
import shlex
import subprocess
import sys
import tempfile
import unittest

SUPPORT = pathlib.Path(__file__).resolve().parents[2] / "support"
sys.path[:0] = [str(SUPPORT), str(SUPPORT / "gtk")]
from page_server import PageServer  # noqa: E402
from program_process import end_program, start_program  # noqa: E402
from screen import pixel, visible_windows, wait_until  # noqa: E402
from test_main import main  # noqa: E402
from wayland_session import NOBODY, Sway, VirtualPointer  # noqa: E402

PACKAGE_FILE = pathlib.Path(sys.argv[1]).resolve()
LEFT_OVER = PACKAGE_FILE.with_name("installed-by-test")
NAME = "duvuzezera-webmobclient"
PROGRAM = pathlib.Path("/usr/bin", NAME)
SETTINGS = pathlib.Path("/etc", NAME, "kiosk.json")
EXAMPLE = pathlib.Path("/usr/share/doc", NAME, "examples", "kiosk.json")
UNIT = pathlib.Path("/usr/lib/systemd/user", f"{NAME}.service")
SESSION = pathlib.Path("/usr/share/wayland-sessions/duvuzezera-kiosk.desktop")
ENTRIES = [pathlib.Path("/usr/share/applications", f"{NAME}.desktop"), SESSION]
ICON_SIZES = (32, 64, 128, 256)
SPLASH = (700, 400)
SPLASH_COLOUR = (0x1A, 0x1A, 0x1A)
CLINIC_COLOUR = (0x2E, 0x8B, 0x57)
BUTTON1 = (96, 41)  # "Кабинет"
WIDTH, HEIGHT = 1280, 800


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


def check_config(program, **variables):
    """--check-config's line for idleResetSeconds: the value and where it came from, for a user
    with no settings of their own."""
    with tempfile.TemporaryDirectory() as home:
        env = {k: v for k, v in os.environ.items() if not k.startswith("XDG_")}
        result = run(str(program), "--check-config", env=dict(env, HOME=home, **variables))
    return next((line.strip() for line in result.stdout.splitlines()
                 if line.strip().startswith("idleResetSeconds = ")), result.stdout + result.stderr)


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
        # cage ends at once without Xwayland, and its own package does not ask for it.
        recommends = run("dpkg-deb", "-f", str(PACKAGE_FILE), "Recommends").stdout
        self.assertEqual({name.strip() for name in recommends.split(",")}, {"cage", "xwayland"})

    def test_install_start_and_purge(self):
        self.install(str(PACKAGE_FILE))
        files = [pathlib.Path(p) for p in run("dpkg", "-L", NAME).stdout.split()]
        expected = [PROGRAM, SETTINGS, EXAMPLE, UNIT, *ENTRIES,
                    *(pathlib.Path(f"/usr/share/icons/hicolor/{s}x{s}/apps/{NAME}.png")
                      for s in ICON_SIZES)]
        for path in expected:
            self.assertIn(path, files)
            self.assertTrue(path.is_file(), path)
        self.assertIn(str(SETTINGS), run("dpkg-query", "-W", "-f=${Conffiles}", NAME).stdout,
                      "the settings file is a configuration file")
        # Until the administrator writes them, the program opens its built-in addresses.
        self.assertEqual(json.loads(SETTINGS.read_text()), {})
        self.assertIn("clinicHost", json.loads(EXAMPLE.read_text()))

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

        with self.subTest("the installed program reads the edited settings file"):
            self.assertEqual(check_config(PROGRAM), "idleResetSeconds = 0  (built-in)")
            SETTINGS.write_text('{"idleResetSeconds": 120}\n')
            self.assertEqual(check_config(PROGRAM), f"idleResetSeconds = 120  ({SETTINGS})")
            # The test build's way to another file is not the program's.
            with tempfile.NamedTemporaryFile("w", suffix=".json") as other:
                other.write('{"idleResetSeconds": 300}')
                other.flush()
                test_env = {"DUVUZEZERA_TEST_SYSTEM_SETTINGS": other.name}
                self.assertEqual(check_config(PROGRAM, **test_env),
                                 f"idleResetSeconds = 120  ({SETTINGS})")
                # ...and the machine's file never reaches a test build.
                self.assertEqual(check_config(TEST_PROGRAM), "idleResetSeconds = 0  (built-in)")
                self.assertEqual(check_config(TEST_PROGRAM, **test_env),
                                 f"idleResetSeconds = 300  ({other.name})")

        with self.subTest("the kiosk session shows the program and a tap opens a page"):
            self.kiosk_session()

        edited = SETTINGS.read_text()
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

    def kiosk_session(self):
        """The session's own command line, run as nobody inside a headless sway through cage's
        Wayland backend (cage fails its output test on a headless output of its own)."""
        exec_line = next(line for line in SESSION.read_text().splitlines()
                         if line.startswith("Exec="))
        command = shlex.split(exec_line[len("Exec="):])
        original = SETTINGS.read_text()
        with contextlib.ExitStack() as stack:
            stack.callback(SETTINGS.write_text, original)
            SETTINGS.write_text(json.dumps({"clinicHost": f"127.0.0.1:{CLINIC_PORT}"}))
            clinic = PageServer(CLINIC_PORT, CLINIC_COLOUR)
            stack.callback(clinic.close)
            sway = Sway(WIDTH, HEIGHT)
            stack.callback(sway.close)
            pointer = VirtualPointer(sway, WIDTH, HEIGHT)
            stack.callback(pointer.close)
            home = stack.enter_context(tempfile.TemporaryDirectory())
            os.chown(home, NOBODY, NOBODY)
            log_path = pathlib.Path(home, "cage.log")
            with log_path.open("wb") as log:
                session = start_program(
                    ["setpriv", f"--reuid={NOBODY}", f"--regid={NOBODY}", "--clear-groups",
                     *command], env=dict(sway.env, HOME=home, WLR_BACKENDS="wayland"),
                    stdin=subprocess.DEVNULL, stdout=log, stderr=subprocess.STDOUT)
            stack.callback(end_program, session)
            try:
                wait_until(lambda: session.poll() is not None
                           or sway.pixel(*SPLASH) == SPLASH_COLOUR, "the splash", timeout=30)
                self.assertIsNone(session.poll(), "the session ended")
                pointer.click(*BUTTON1)
                clinic.wait_for("painted")
                wait_until(lambda: sway.pixel(*SPLASH) == CLINIC_COLOUR, "the page on the output")
            except AssertionError as error:
                raise AssertionError(f"{error}\n{log_path.read_text(errors='replace')}") from None

if __name__ == "__main__":
    if sys.argv[2:] == ["--purge-left-over"]:
        purge_left_over()
    else:
        TEST_PROGRAM, CLINIC_PORT = pathlib.Path(sys.argv[2]), int(sys.argv[3])
        main([sys.argv[0], *sys.argv[4:]])
