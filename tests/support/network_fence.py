"""A test that starts a server or a program runs only where nothing can leave the machine: a
route off loopback means it was started outside scripts/with-private-network.sh, and a page
or a name look-up could reach the network."""
import pathlib
import socket


def routes_off_loopback(proc=pathlib.Path("/proc/net")):
    """The routes of this network namespace that do not stay on loopback, as text."""
    routes = []
    try:
        ipv4 = (proc / "route").read_text().splitlines()[1:]
    except FileNotFoundError:
        ipv4 = []
    # The main table: loopback's own routes live in the local table, which this file omits.
    for fields in map(str.split, ipv4):
        if len(fields) > 1:
            routes.append(f"{fields[0]} {socket.inet_ntoa(bytes.fromhex(fields[1])[::-1])}")
    try:
        ipv6 = (proc / "ipv6_route").read_text().splitlines()
    except FileNotFoundError:
        ipv6 = []
    routes += [f"{fields[9]} {fields[0]}/{int(fields[1], 16)}" for fields in map(str.split, ipv6)
               if len(fields) == 10 and fields[9] != "lo"]
    return routes


def require_private_network():
    """Raises unless the only routes are loopback's."""
    routes = routes_off_loopback()
    if routes:
        raise AssertionError("refusing to run with a route off the machine (run the test under "
                             "scripts/with-private-network.sh): " + ", ".join(routes))
