"""The program under test as a process group: the web engine's processes outlive the program
for a moment after it is killed and go on writing into its data and cache folders, so a test
that removes those folders, or starts the next copy on them, first waits for all of them."""
import os
import pathlib
import signal
import subprocess
import sys
import time

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parents[1]))
from network_fence import require_private_network  # noqa: E402


def start_program(command, **popen_arguments):
    """Starts COMMAND in a session of its own; the engine's processes join its group. Refuses
    where a page could reach off the machine."""
    require_private_network()
    return subprocess.Popen(command, start_new_session=True, **popen_arguments)


def end_program(process, timeout=15):
    """Kills the program's whole group and waits until none of it is left."""
    try:
        os.killpg(process.pid, signal.SIGKILL)
    except ProcessLookupError:
        pass
    process.wait(timeout)
    deadline = time.monotonic() + timeout
    while True:
        try:
            os.killpg(process.pid, 0)
        except ProcessLookupError:
            return
        if time.monotonic() > deadline:
            raise AssertionError(f"the engine's processes of {process.args[0]} outlived it")
        time.sleep(0.05)


def process_tree(root):
    """ROOT and every process below it, read from /proc."""
    children = {}
    for stat in pathlib.Path("/proc").glob("[0-9]*/stat"):
        try:
            text = stat.read_text()
        except OSError:
            continue
        fields = text[text.rindex(")") + 2:].split()
        children.setdefault(int(fields[1]), []).append(int(stat.parent.name))
    tree, stack = [], [root]
    while stack:
        pid = stack.pop()
        tree.append(pid)
        stack.extend(children.get(pid, []))
    return tree
