"""A headless wlroots compositor (Debian's sway) for the Linux program on Wayland, run as an
unprivileged user with a runtime folder of its own; screenshots through grim, keys through
wtype, and pointer input through the compositor's virtual-pointer protocol
(zwlr_virtual_pointer_v1), spoken here on the wire so no protocol library is needed."""
import os
import pathlib
import shutil
import socket
import struct
import subprocess
import tempfile
import time

NOBODY = 65534
BTN_LEFT, BTN_RIGHT = 0x110, 0x111


class Sway:
    def __init__(self, width, height, scale=1):
        self.folder = tempfile.mkdtemp(prefix="wayland-")
        os.chown(self.folder, NOBODY, NOBODY)
        os.chmod(self.folder, 0o700)
        config = pathlib.Path(self.folder, "config")
        config.write_text(f"output HEADLESS-1 resolution {width}x{height} scale {scale}\n"
                          "default_border none\nfocus_follows_mouse no\n")
        os.chown(config, NOBODY, NOBODY)
        self.env = {"PATH": os.environ["PATH"], "XDG_RUNTIME_DIR": self.folder, "HOME": self.folder,
                    "WLR_BACKENDS": "headless", "WLR_LIBINPUT_NO_DEVICES": "1",
                    "WLR_RENDERER": "pixman", "WAYLAND_DISPLAY": "wayland-1"}
        self.log = open(pathlib.Path(self.folder, "sway.log"), "wb")
        self.process = subprocess.Popen(
            ["setpriv", f"--reuid={NOBODY}", f"--regid={NOBODY}", "--clear-groups",
             "sway", "--config", str(config)],
            env=self.env, stdin=subprocess.DEVNULL, stdout=self.log, stderr=subprocess.STDOUT,
            start_new_session=True)
        self.socket = pathlib.Path(self.folder, "wayland-1")
        deadline = time.monotonic() + 15
        while not (self.socket.exists() and self.swaymsg("-t", "get_outputs").returncode == 0):
            if self.process.poll() is not None or time.monotonic() > deadline:
                self.close()
                raise AssertionError("sway did not start: "
                                     + pathlib.Path(self.folder, "sway.log").read_text())
            time.sleep(0.1)

    def hold_keyboard(self):
        """Gives the seat a keyboard until the compositor ends: a client started after this
        takes it up at start, where one added later (each wtype's own) would reach it late."""
        self.keyboard = subprocess.Popen(["wtype", "-s", "86400000"], env=dict(
            os.environ, **self.client_env()), stdin=subprocess.DEVNULL,
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        deadline = time.monotonic() + 10
        while '"type": "keyboard"' not in self.swaymsg("-t", "get_inputs").stdout:
            if time.monotonic() > deadline:
                raise AssertionError("no keyboard in the seat")
            time.sleep(0.05)

    def client_env(self):
        """What a client of this compositor needs, on top of its own variables."""
        return {"XDG_RUNTIME_DIR": self.folder, "WAYLAND_DISPLAY": "wayland-1"}

    def swaymsg(self, *args):
        sock = [str(p) for p in pathlib.Path(self.folder).glob("sway-ipc.*.sock")]
        if not sock:
            return subprocess.CompletedProcess(args, 1, "", "no socket")
        return subprocess.run(["swaymsg", "-s", sock[0], *args], capture_output=True, text=True)

    def pixel(self, x, y):
        """The colour at (x, y) in layout coordinates."""
        return tuple(self.screenshot(x, y, 1, 1)[2][:3])

    def screenshot(self, x, y, width, height, cursor=False):
        """The area's pixels in device pixels: (device width, device height, RGB bytes)."""
        raw = subprocess.run(["grim", *(["-c"] if cursor else []), "-t", "ppm", "-g",
                              f"{x},{y} {width}x{height}", "-"],
                             env=dict(os.environ, **self.client_env()), check=True,
                             capture_output=True).stdout
        magic, size, depth, pixels = raw.split(b"\n", 3)
        w, h = map(int, size.split())
        return w, h, pixels

    def key(self, name):
        subprocess.run(["wtype", "-k", name], env=dict(os.environ, **self.client_env()),
                       check=True, capture_output=True)

    def close(self):
        if getattr(self, "keyboard", None):
            self.keyboard.kill()
            self.keyboard.wait()
        try:
            os.killpg(self.process.pid, 15)
        except ProcessLookupError:
            pass
        self.process.wait(15)
        self.log.close()
        shutil.rmtree(self.folder, ignore_errors=True)


class VirtualPointer:
    """A pointer of the compositor's seat driven through zwlr_virtual_pointer_v1."""

    def __init__(self, sway, width, height):
        self.size = (width, height)
        self.sock = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
        self.sock.connect(str(sway.socket))
        self.buffer = b""
        self.next_id = 2
        registry = self.new_id()
        self.send(1, 1, struct.pack("<I", registry))  # wl_display.get_registry
        globals_ = {}
        for obj, opcode, body in self.round_trip():
            if obj == registry and opcode == 0:  # wl_registry.global
                name, = struct.unpack_from("<I", body)
                interface, rest = self.string(body[4:])
                globals_[interface] = name
        missing = {"wl_seat", "zwlr_virtual_pointer_manager_v1"} - globals_.keys()
        if missing:
            raise AssertionError(f"the compositor offers no {', '.join(missing)}")
        seat = self.bind(registry, globals_["wl_seat"], "wl_seat", 1)
        manager = self.bind(registry, globals_["zwlr_virtual_pointer_manager_v1"],
                            "zwlr_virtual_pointer_manager_v1", 1)
        self.pointer = self.new_id()
        self.send(manager, 0, struct.pack("<II", seat, self.pointer))  # create_virtual_pointer
        self.round_trip()

    def new_id(self):
        self.next_id += 1
        return self.next_id - 1

    @staticmethod
    def encode(text):
        data = text.encode() + b"\0"
        return struct.pack("<I", len(data)) + data + b"\0" * (-len(data) % 4)

    @staticmethod
    def string(body):
        length, = struct.unpack_from("<I", body)
        return body[4:4 + length - 1].decode(), body[4 + length + (-length % 4):]

    def bind(self, registry, name, interface, version):
        new = self.new_id()
        self.send(registry, 0, struct.pack("<I", name) + self.encode(interface)
                  + struct.pack("<II", version, new))
        return new

    def send(self, obj, opcode, body=b""):
        self.sock.sendall(struct.pack("<II", obj, (8 + len(body)) << 16 | opcode) + body)

    def round_trip(self):
        """Every event up to the compositor's answer to a sync; fails on a protocol error."""
        callback = self.new_id()
        self.send(1, 0, struct.pack("<I", callback))  # wl_display.sync
        events = []
        self.sock.settimeout(10)
        while True:
            while len(self.buffer) < 8 or len(self.buffer) < struct.unpack_from("<I", self.buffer, 4)[0] >> 16:
                chunk = self.sock.recv(65536)
                if not chunk:
                    raise AssertionError("the compositor closed the connection")
                self.buffer += chunk
            obj, word = struct.unpack_from("<II", self.buffer)
            size, opcode = word >> 16, word & 0xFFFF
            body, self.buffer = self.buffer[8:size], self.buffer[size:]
            if obj == 1 and opcode == 0:  # wl_display.error
                code, = struct.unpack_from("<I", body, 4)
                raise AssertionError(f"protocol error {code}: {self.string(body[8:])[0]}")
            if obj == callback and opcode == 0:
                return events
            events.append((obj, opcode, body))

    def time(self):
        return int(time.monotonic() * 1000) & 0xFFFFFFFF

    def move(self, x, y):
        self.send(self.pointer, 1, struct.pack("<IIIII", self.time(), x, y, *self.size))
        self.send(self.pointer, 4, struct.pack("<I", self.time()))  # frame
        self.round_trip()

    def button(self, button, pressed):
        self.send(self.pointer, 2, struct.pack("<III", self.time(), button, int(pressed)))
        self.send(self.pointer, 4, struct.pack("<I", self.time()))
        self.round_trip()

    def click(self, x, y, button=BTN_LEFT):
        self.move(x, y)
        self.button(button, True)
        self.button(button, False)

    def drag(self, points):
        self.move(*points[0])
        self.button(BTN_LEFT, True)
        for point in points[1:]:
            time.sleep(0.03)
            self.move(*point)
        self.button(BTN_LEFT, False)

    def close(self):
        self.send(self.pointer, 8)  # destroy
        self.sock.close()
