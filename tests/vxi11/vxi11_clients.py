#!/usr/bin/python3
"""Drives the fake VXI-11 server with clients written elsewhere.

    vxi11_clients.py SERVER pyvisa|lxi|rpcinfo

Starts SERVER (vxi11_fake_server), waits for its "listening" line, runs the
named client checks, stops the server with SIGTERM. Exit 77 (skipped) when no
port mapper answers on 127.0.0.1: every VXI-11 client asks it for the port.
"""
import re
import signal
import socket
import struct
import subprocess
import sys
import time

PROGRAM = "395183"  # 0x0607AF
IDN = "FAKE,VXI11-DEVICE,0,1.0"
RESOURCE = "TCPIP0::127.0.0.1::%s::INSTR"
failures = []


def check(condition, what):
    print(("ok   " if condition else "FAIL ") + what, flush=True)
    if not condition:
        failures.append(what)


def run(args, timeout=20):
    return subprocess.run(args, capture_output=True, text=True, timeout=timeout)


def registered():
    out = run(["rpcinfo", "-p", "127.0.0.1"]).stdout
    return [line for line in out.splitlines() if line.split()[:1] == [PROGRAM]]


def start_server(binary):
    server = subprocess.Popen([binary, "--alias", "3"], stderr=subprocess.PIPE, text=True)
    deadline = time.monotonic() + 10
    while time.monotonic() < deadline:
        line = server.stderr.readline()
        if not line:
            break
        match = re.search(r"listening on \S+:(\d+)", line)
        if match:
            return server, int(match.group(1))
    server.kill()
    sys.exit("server did not start")


def expect_error(action, what):
    try:
        action()
    except Exception as error:  # PyVISA-py reports a refused link as a bare Exception
        check(True, "%s (%s)" % (what, error))
        return error
    check(False, what)
    return None


def raw_record(procedure, args):
    body = struct.pack(">10I", 7, 0, 2, 0x0607AF, 1, procedure, 0, 0, 0, 0) + args
    return struct.pack(">I", 0x80000000 | len(body)) + body


def raw_call(peer, procedure, args):
    """One core-channel call by hand; returns the result words after the header."""
    peer.sendall(raw_record(procedure, args))
    reply = b""
    while len(reply) < 4 or len(reply) < 4 + (struct.unpack(">I", reply[:4])[0] & 0x7FFFFFFF):
        chunk = peer.recv(4096)
        if not chunk:
            break
        reply += chunk
    return struct.unpack(">%dI" % ((len(reply) - 28) // 4), reply[28:28 + (len(reply) - 28) // 4 * 4])


def open_session(rm, device="inst0", timeout=2000):
    session = rm.open_resource(RESOURCE % device)
    session.timeout = timeout
    session.read_termination = "\n"
    session.write_termination = "\n"
    return session


def pyvisa_checks(port):
    import pyvisa

    rm = pyvisa.ResourceManager("@py")
    a = open_session(rm)
    check(a.query("*IDN?") == IDN, "identify")
    a.write("VAL 42")
    check(a.query("VAL?") == "42", "write and query")
    a.write("VAL 1000")
    check(a.query("SYST:ERR?").startswith("-222"), "out-of-range value queues -222")
    check(a.query("VAL?") == "42", "out-of-range value leaves the value")

    a.write("VAL?")
    check(a.read_stb() & 0x10, "MAV while a response waits")
    a.clear()
    check(not a.read_stb() & 0x10, "device clear drops the response")

    a.timeout = 300
    started = time.monotonic()
    error = expect_error(lambda: a.query("NOREPLY?"), "a query without answer times out")
    elapsed = time.monotonic() - started
    check(error is not None and error.error_code == pyvisa.constants.StatusCode.error_timeout,
          "the error is a timeout")
    check(0.25 <= elapsed < 3, "timeout honoured (%.2f s for 0.3 s)" % elapsed)
    a.timeout = 2000
    check(a.query("*IDN?") == IDN, "serving after the timeout")

    b = open_session(rm, timeout=500)
    a.lock_excl(1000)
    expect_error(lambda: b.write("VAL 7"), "second session refused while locked")
    a.write("VAL 8")
    check(a.query("VAL?") == "8", "lock holder keeps writing")
    a.unlock()
    b.write("VAL 7")
    check(b.query("VAL?") == "7", "second session served after unlock")
    b.close()

    # Peers that vanish mid-record or mid-call leave the server serving.
    with socket.create_connection(("127.0.0.1", port), timeout=2) as peer:
        peer.sendall(struct.pack(">I", 0x80000100) + b"half a record")
    with socket.create_connection(("127.0.0.1", port), timeout=2) as peer:
        lid = raw_call(peer, 10, struct.pack(">3I", 1, 0, 0) + struct.pack(">I", 5) + b"inst0\0\0\0")[1]
        raw_call(peer, 11, struct.pack(">5I", lid, 1000, 1000, 8, 12) + b"NOREPLY?\n\0\0\0")
        peer.sendall(raw_record(12, struct.pack(">6I", lid, 100, 5000, 0, 0, 0)))  # left waiting
    check(a.query("*IDN?") == IDN, "serving after peers vanished")

    c = open_session(rm, "inst3")
    check(c.query("*IDN?") == IDN, "alias inst3")
    c.close()
    expect_error(lambda: open_session(rm, "inst9"), "unknown device name refused")
    a.close()
    rm.close()


def lxi_checks(port):
    out = run(["lxi", "scpi", "-a", "127.0.0.1", "*IDN?"])
    check(out.returncode == 0 and IDN in out.stdout, "lxi scpi *IDN? (%r)" % out.stdout.strip())


def rpcinfo_checks(port):
    entries = registered()
    check(any(line.split()[2:4] == ["tcp", str(port)] for line in entries),
          "rpcinfo -p lists program %s on tcp port %d" % (PROGRAM, port))
    ping = run(["rpcinfo", "-t", "127.0.0.1", PROGRAM, "1"])
    check(ping.returncode == 0, "rpcinfo -t reaches the core channel")


def main():
    binary, client = sys.argv[1], sys.argv[2]
    try:
        if run(["rpcinfo", "-p", "127.0.0.1"]).returncode != 0:
            print("SKIP: no port mapper on 127.0.0.1 (rpcbind fixture did not start one)")
            return 77
    except FileNotFoundError:
        print("SKIP: rpcinfo is not installed")
        return 77
    server, port = start_server(binary)
    try:
        {"pyvisa": pyvisa_checks, "lxi": lxi_checks, "rpcinfo": rpcinfo_checks}[client](port)
    finally:
        server.send_signal(signal.SIGTERM)
        try:
            code = server.wait(timeout=10)
        except subprocess.TimeoutExpired:
            server.kill()
            code = None
        check(code == 0, "server exits 0 on SIGTERM")
        sys.stderr.write(server.stderr.read())
    if client == "rpcinfo":
        check(not registered(), "registration gone after exit")
    print("%d failed" % len(failures))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
