"""The X screen as the Linux program tests see and drive it: real input through xdotool,
pixels from the root window, and waiting for an effect up to a deadline."""
import subprocess
import time


def xdotool(*args):
    subprocess.run(["xdotool", *map(str, args)], check=True, capture_output=True)


def pixel(x, y):
    raw = subprocess.run(["import", "-window", "root", "-crop", f"1x1+{x}+{y}", "-depth", "8",
                          "rgb:-"], check=True, capture_output=True).stdout
    return tuple(raw[:3])


def visible_windows(name):
    return subprocess.run(["xdotool", "search", "--onlyvisible", "--name", name],
                          capture_output=True, text=True).stdout.split()


def wait_until(condition, what, timeout=15):
    """Returns what `condition` returned once it holds."""
    deadline = time.monotonic() + timeout
    while not (result := condition()):
        if time.monotonic() > deadline:
            raise AssertionError(f"timed out waiting for {what}")
        time.sleep(0.1)
    return result
