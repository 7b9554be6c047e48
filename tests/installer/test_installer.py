#!/usr/bin/env python3
"""The Windows installer under Wine: install, start, upgrade and remove the program.

Each case runs in its own copy of a clean prefix with its own wineserver. Waiting for that
server to end is how a case knows that every process it started (an uninstaller hands its
work to a copy of itself) has finished and that the registry is saved to the prefix's files,
which are read directly.
"""
import argparse
import contextlib
import re
import shutil
import subprocess
import sys
import tempfile
import time
import unittest
from collections import namedtuple
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parents[1] / "support"))
from network_fence import require_private_network  # noqa: E402

ROOT = Path(__file__).resolve().parents[2]
TITLE = "Кабинет Duvuzezera"
EXE = "Duvuzezera_WebMobWinClient.exe"
UNINSTALL = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\"
RUN = "HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Run"
RUN_VALUE = "Duvuzezera_WebMobWinClient"
EVENT_SOURCE = "HKLM\\System\\CurrentControlSet\\Services\\Eventlog\\Application\\Duvuzezera WebMobClient"
EMULATION = "HKCU\\Software\\Microsoft\\Internet Explorer\\Main\\FeatureControl\\FEATURE_BROWSER_EMULATION"
EXIT_PROGRAM_RUNNING = 2
EXIT_CONFIG_UNREADABLE = 3
SETTINGS = "C:\\ProgramData\\Duvuzezera\\kiosk.json"
SETUP_FOLDER = "C:\\Kiosk Setup"
ENTRY_VALUES = ("DisplayName", "DisplayVersion", "Publisher", "DisplayIcon", "InstallLocation",
                "UninstallString", "QuietUninstallString")

# Values that belong to others: whatever the installer does, they stay as they are.
FOREIGN = [(RUN, "OtherKiosk", "C:\\Other\\kiosk.exe"), (EMULATION, "other.exe", 11000)]

options = argparse.Namespace()


def wine_environment():
    script = f'source "{ROOT}/scripts/wine-env.sh" && export DUVUZEZERA_WINE_ROOT="$wine_root" && env -0'
    output = subprocess.run(["bash", "-c", script], check=True, capture_output=True).stdout
    return dict(item.split("=", 1) for item in output.decode().split("\0") if item)


ESCAPE = re.compile(r'\\(x[0-9a-fA-F]{1,4}|[0-7]{1,3}|.)')
SIMPLE_ESCAPES = {"n": "\n", "r": "\r", "t": "\t", "a": "\a", "b": "\b", "f": "\f", "v": "\v", "e": "\x1b"}
VALUE = re.compile(r'^(@|"((?:[^"\\]|\\.)*)")=(.*)$')


def unescape(text):
    def replace(match):
        code = match.group(1)
        if code[0] == "x":
            return chr(int(code[1:], 16))
        if code[0].isdigit():
            return chr(int(code, 8))
        return SIMPLE_ESCAPES.get(code, code)
    return ESCAPE.sub(replace, text)


def parse_data(text):
    if text.startswith("dword:"):
        return int(text[6:], 16)
    match = re.match(r'^(?:str\(\d+\):)?"(.*)"$', text)
    return unescape(match.group(1)) if match else text


def read_wine_registry(path, root):
    """Wine's saved registry file as {lower-case key path: {value name: data}}."""
    keys, current = {}, None
    for line in path.read_text(encoding="ascii", errors="replace").splitlines():
        if line.startswith("["):
            current = keys.setdefault(f"{root}\\{unescape(line[1:line.rindex(']')])}".lower(), {})
        elif current is not None and (match := VALUE.match(line)):
            name = "" if match.group(1) == "@" else unescape(match.group(2))
            current[name] = parse_data(match.group(3))
    return keys


class Prefix:
    """A private copy of a clean Wine prefix."""

    def __init__(self, environment, clean):
        self.path = Path(tempfile.mkdtemp(prefix="installer-case-", dir=clean.parent))
        subprocess.run(["cp", "-a", f"{clean}/.", str(self.path)], check=True)
        self.environment = dict(environment, WINEPREFIX=str(self.path))
        users = self.path / "drive_c" / "users"
        self.user = next(d.name for d in users.iterdir() if d.name.lower() != "public" and d.is_dir())

    def remove(self):
        subprocess.run(["wineserver", "-k"], env=self.environment, stderr=subprocess.DEVNULL)
        shutil.rmtree(self.path, ignore_errors=True)

    def start(self, *command):
        require_private_network()
        # Nothing of ctest's pipes may reach Wine's background processes, or ctest waits on them.
        return subprocess.Popen(["wine", *command], env=self.environment, stdin=subprocess.DEVNULL,
                                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    def run(self, *command, timeout=120):
        return self.start(*command).wait(timeout)

    def settle(self):
        subprocess.run(["wineserver", "-w"], env=self.environment, timeout=120, check=True)

    def registry(self):
        self.settle()
        keys = read_wine_registry(self.path / "user.reg", "HKCU")
        keys.update(read_wine_registry(self.path / "system.reg", "HKLM"))
        return keys

    def set_value(self, key, name, data):
        kind = "REG_DWORD" if isinstance(data, int) else "REG_SZ"
        self.run("reg", "add", key, "/v", name, "/t", kind, "/d", str(data), "/f")

    def unix(self, windows_path):
        drive, rest = windows_path.split(":", 1)
        assert drive.upper() == "C", windows_path
        return self.path / "drive_c" / rest.replace("\\", "/").lstrip("/")

    def place(self, path):
        """PATH with the user's folders filled in."""
        home = f"C:\\users\\{self.user}\\AppData"
        return path.format(local_appdata=f"{home}\\Local",
                           user_start_menu=f"{home}\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs")


def find_window(title, seconds=30):
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        found = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", f"^{title}$"],
                               capture_output=True, text=True).stdout.split()
        if found:
            return found[0]
        time.sleep(0.2)
    return None


class InstallerCase(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.environment = wine_environment()
        cls.clean = Path(cls.environment["DUVUZEZERA_WINE_ROOT"]) / "installer-clean"
        subprocess.run([str(ROOT / "scripts" / "wine-prefix.sh"), str(cls.clean), "96"], check=True)

    @contextlib.contextmanager
    def new_prefix(self):
        prefix = Prefix(self.environment, self.clean)
        try:
            for key, name, data in FOREIGN:
                prefix.set_value(key, name, data)
            yield prefix
        finally:
            prefix.remove()

    def install(self, prefix, installer, *arguments):
        self.assertEqual(prefix.run(str(installer), "/S", *arguments), 0, f"{installer.name} {arguments}")

    def entries(self, prefix):
        """Our entries in the list of installed programs: {key: values}."""
        return {key: values for key, values in prefix.registry().items()
                if UNINSTALL.lower() in key and "duvuzezera" in key}

    def only_entry(self, prefix):
        entries = self.entries(prefix)
        self.assertEqual(len(entries), 1, list(entries))
        return next(iter(entries.items()))

    def uninstall(self, prefix, *options):
        quiet = self.only_entry(prefix)[1]["QuietUninstallString"]
        program, arguments = re.fullmatch(r'"([^"]+)"\s*(.*)', quiet).groups()
        self.assertEqual(prefix.run(program, *arguments.split(), *options), 0)
        prefix.settle()

    def settings_file(self, prefix, name, content):
        """An operator's settings file in the prefix, in a folder with a space: its Windows path."""
        path = f"{SETUP_FOLDER}\\{name}"
        prefix.unix(path).parent.mkdir(parents=True, exist_ok=True)
        prefix.unix(path).write_text(content)
        return path

    def install_from_cmd(self, prefix, installer, line):
        """Runs the installer with LINE as cmd passes what the operator typed, quotes and all."""
        copy, script = f"{SETUP_FOLDER}\\setup.exe", f"{SETUP_FOLDER}\\install.cmd"
        prefix.unix(copy).parent.mkdir(parents=True, exist_ok=True)
        shutil.copyfile(installer, prefix.unix(copy))
        prefix.unix(script).write_text(f'@"{copy}" {line}\r\n@exit /b %ERRORLEVEL%\r\n')
        return prefix.run("cmd", "/c", script)

    def assert_foreign_values_kept(self, registry):
        for key, name, data in FOREIGN:
            self.assertEqual(registry.get(key.lower(), {}).get(name), data, f"{key}\\{name}")

    def assert_nothing_of_ours(self, prefix):
        registry = prefix.registry()
        ours = [f"{key}\\{name}={data}" for key, values in registry.items() for name, data in values.items()
                if "duvuzezera" in f"{key}\\{name}={data}".lower()]
        ours += [key for key in registry if "duvuzezera" in key]
        self.assertEqual(ours, [])
        self.assert_foreign_values_kept(registry)
        files = [str(path) for path in (prefix.path / "drive_c").rglob("*")
                 if "duvuzezera" in path.name.lower() or TITLE.lower() in path.name.lower()]
        self.assertEqual(files, [])


# settings: installed with /CONFIG and removed with /PURGE; "argument" passes the option quoted
# whole, as PowerShell and Wine do for a path with a space, "value" only the path, as typed in cmd.
Case = namedtuple("Case", "name options root folder start_menu autostart created existing settings",
                  defaults=[None])
USER_START_MENU = "{user_start_menu}"
CASES = [
    Case("per user, start at sign-in", ["/AUTOSTART"], "HKCU", "{local_appdata}\\Programs\\Duvuzezera",
         USER_START_MENU, True, created=["{local_appdata}\\Programs"], existing={}),
    Case("per user, own folder", ["/D=C:\\Kiosk\\Apps\\Кабинет"], "HKCU", "C:\\Kiosk\\Apps\\Кабинет",
         USER_START_MENU, False, created=["C:\\Kiosk\\Apps"], existing={"C:\\Kiosk": []}),
    Case("per user, into a folder in use", ["/D=C:\\Kiosk"], "HKCU", "C:\\Kiosk",
         USER_START_MENU, False, created=[], existing={"C:\\Kiosk": ["notes.txt"]}),
    # Wine runs everything with administrator rights: this shows where a per-machine install
    # goes, not how it asks for elevation.
    Case("all users, start at sign-in", ["/ALLUSERS", "/AUTOSTART"], "HKLM", "C:\\Program Files\\Duvuzezera",
         "C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs", True, created=[], existing={},
         settings="argument"),
    Case("per user, with settings", [], "HKCU", "{local_appdata}\\Programs\\Duvuzezera",
         USER_START_MENU, False, created=["{local_appdata}\\Programs"], existing={}, settings="value"),
]


class InstallStartRemove(InstallerCase):
    def test_install_start_and_remove(self):
        for case in CASES:
            with self.subTest(case.name), self.new_prefix() as prefix:
                self.check_case(case, prefix)

    def check_case(self, case, prefix):
        folder, start_menu = prefix.place(case.folder), prefix.place(case.start_menu)
        created = [prefix.place(path) for path in case.created]
        for path in created:
            self.assertFalse(prefix.unix(path).exists(), path)
        for path, names in case.existing.items():
            prefix.unix(path).mkdir(parents=True)
            for name in names:
                (prefix.unix(path) / name).write_text("not ours")

        settings = '{"idleResetSeconds": 300}'
        if case.settings == "value":
            line = " ".join(["/S", *case.options, f'/CONFIG="{self.settings_file(prefix, "kiosk.json", settings)}"'])
            self.assertEqual(self.install_from_cmd(prefix, options.installer, line), 0, line)
        else:
            config = [f"/CONFIG={self.settings_file(prefix, 'kiosk.json', settings)}"] if case.settings else []
            self.install(prefix, options.installer, *case.options, *config)
        if case.settings:
            self.assertEqual(prefix.unix(SETTINGS).read_text(), settings)
        program = f"{folder}\\{EXE}"
        self.assertEqual(sorted(p.name for p in prefix.unix(folder).iterdir()),
                         sorted([EXE, "uninstall.exe", "monitoring", *case.existing.get(folder, [])]))
        self.assertEqual(sorted(p.name for p in prefix.unix(f"{folder}\\monitoring").iterdir()),
                         ["duvuzezera-alerts.yml", "duvuzezera-fleet.json"])
        self.assertEqual(prefix.unix(program).read_bytes(), options.program.read_bytes())
        shortcut = prefix.unix(f"{start_menu}\\{TITLE}.lnk").read_bytes()
        self.assertTrue(program.encode("utf-16-le") in shortcut or program.encode("utf-8") in shortcut)
        key, entry = self.only_entry(prefix)
        uninstaller = f'"{folder}\\uninstall.exe"'
        self.assertEqual(key, f"{case.root}\\{UNINSTALL}Duvuzezera_WebMobWinClient".lower())
        self.assertEqual({name: entry.get(name) for name in ENTRY_VALUES}, {
            "DisplayName": TITLE, "DisplayVersion": options.version, "Publisher": "Duvuzezera",
            "DisplayIcon": f"{program},0", "InstallLocation": folder,
            "UninstallString": uninstaller, "QuietUninstallString": f"{uninstaller} /S"})
        self.assertEqual(prefix.registry()[RUN.lower()].get(RUN_VALUE), f'"{program}" --supervise' if case.autostart else None)
        source = prefix.registry().get(EVENT_SOURCE.lower(), {})
        self.assertEqual((source.get("EventMessageFile"), source.get("TypesSupported")), (program, 7))

        started = prefix.start(program)
        self.assertIsNotNone(find_window("Form12"), "the installed program showed no window")
        prefix.run("taskkill", "/IM", EXE)  # WM_CLOSE, as when the user leaves
        self.assertEqual(started.wait(30), 0)
        registry = prefix.registry()
        self.assertEqual(registry[EMULATION.lower()].get(EXE), 11001)
        self.assert_foreign_values_kept(registry)

        self.uninstall(prefix, *(["/PURGE"] if case.settings else []))
        if case.settings:
            shutil.rmtree(prefix.unix(SETUP_FOLDER))
        self.assert_nothing_of_ours(prefix)
        for path in {folder, *created} - case.existing.keys():
            self.assertFalse(prefix.unix(path).exists(), path)
        for path, names in case.existing.items():
            self.assertEqual([p.name for p in prefix.unix(path).iterdir()], names, path)


class Upgrade(InstallerCase):
    def test_upgrade_replaces_the_older_version_in_place(self):
        with self.new_prefix() as prefix:
            first, second = '{"playlist": "first"}', '{"playlist": "second"}'
            self.install(prefix, options.older_installer, "/AUTOSTART",
                         f"/CONFIG={self.settings_file(prefix, 'first.json', first)}")
            key, entry = self.only_entry(prefix)
            self.assertEqual(entry["DisplayVersion"], options.older_version)
            program = f"{entry['InstallLocation']}\\{EXE}"

            # Another folder asked for: an upgrade still stays where the older version is.
            self.install(prefix, options.installer, "/D=C:\\Elsewhere")
            self.assertEqual(self.only_entry(prefix), (key, dict(entry, DisplayVersion=options.version)))
            self.assertEqual(prefix.unix(program).read_bytes(), options.program.read_bytes())
            self.assertFalse(prefix.unix("C:\\Elsewhere").exists())
            self.assertEqual(prefix.registry()[RUN.lower()].get(RUN_VALUE), f'"{program}" --supervise')
            self.assertEqual(prefix.unix(SETTINGS).read_text(), first, "an upgrade keeps the settings")

            self.install(prefix, options.installer, "/NOAUTOSTART",
                         f"/CONFIG={self.settings_file(prefix, 'second.json', second)}")
            self.assertNotIn(RUN_VALUE, prefix.registry()[RUN.lower()])
            self.assertEqual(prefix.unix(SETTINGS).read_text(), second, "/CONFIG replaces them")

            # A settings file the installer cannot use: nothing changes, and the exit code says why.
            for config in ["/CONFIG=C:\\none.json", f"/CONFIG={SETUP_FOLDER}", "/CONFIG=", "/CONFIG"]:
                with self.subTest(config):
                    self.assertEqual(prefix.run(str(options.installer), "/S", "/NOAUTOSTART", config),
                                     EXIT_CONFIG_UNREADABLE)
                    self.assertEqual(prefix.unix(SETTINGS).read_text(), second)
            self.assertEqual(self.install_from_cmd(prefix, options.installer, "/S /AUTOSTART /CONFIG"),
                             EXIT_CONFIG_UNREADABLE)
            self.assertNotIn(RUN_VALUE, prefix.registry()[RUN.lower()])

            # The folders the first install created go with the last uninstall; the operator's
            # settings stay without /PURGE.
            self.uninstall(prefix)
            self.assertEqual(prefix.unix(SETTINGS).read_text(), second)
            shutil.rmtree(prefix.unix(SETTINGS).parent)
            shutil.rmtree(prefix.unix(SETUP_FOLDER))
            self.assert_nothing_of_ours(prefix)
            self.assertFalse(prefix.unix(prefix.place("{local_appdata}\\Programs")).exists())


class RunningProgram(InstallerCase):
    def test_a_running_program_blocks_install_and_uninstall(self):
        with self.new_prefix() as prefix:
            self.install(prefix, options.installer)
            key, entry = self.only_entry(prefix)
            folder = entry["InstallLocation"]
            files = {p.name: p.read_bytes() for p in prefix.unix(folder).iterdir() if p.is_file()}

            started = prefix.start(f"{folder}\\{EXE}")
            self.assertIsNotNone(find_window("Form12"))
            self.assertEqual(prefix.run(str(options.installer), "/S"), EXIT_PROGRAM_RUNNING)
            # Run in place (_?=) so that the uninstaller's own exit code comes back.
            self.assertEqual(prefix.run(f"{folder}\\uninstall.exe", "/S", f"_?={folder}"), EXIT_PROGRAM_RUNNING)
            self.assertEqual({p.name: p.read_bytes() for p in prefix.unix(folder).iterdir() if p.is_file()}, files)
            self.assertTrue(prefix.unix(prefix.place(f"{USER_START_MENU}\\{TITLE}.lnk")).exists())

            prefix.run("taskkill", "/IM", EXE)
            self.assertEqual(started.wait(30), 0)
            self.assertEqual(self.only_entry(prefix), (key, entry))
            self.install(prefix, options.installer)


if __name__ == "__main__":
    parser = argparse.ArgumentParser()
    for name in ("installer", "version", "program", "older-installer", "older-version"):
        parser.add_argument(f"--{name}", required=True)
    options, rest = parser.parse_known_args()
    options.installer, options.older_installer = Path(options.installer), Path(options.older_installer)
    options.program = Path(options.program)
    unittest.main(argv=[sys.argv[0], *rest], verbosity=2)
