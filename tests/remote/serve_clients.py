#!/usr/bin/python3
"""Drives `qv4720sfp --serve --no-window` with clients written elsewhere.

    serve_clients.py PROGRAM raw|vxi11

Starts the program on the built-in bench (card 2 of the carrier in VXI slot
3), waits for its first line (where it listens), runs the checks over the raw
socket (PyVISA-py and lxi-tools) or over VXI-11 (PyVISA-py, through the port
mapper), stops it with SIGTERM and checks the card trace: every write asked
for reached the card once, nothing refused did, and the card was closed.
Exit 77 (skipped) when a needed client or the port mapper is missing.
"""
import os
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import time

failures = []


def check(condition, what):
    print(("ok   " if condition else "FAIL ") + what, flush=True)
    if not condition:
        failures.append(what)


def wait_for(server, pattern):
    """Reads the server's lines until one matches (VXI-11 registers after
    the first line)."""
    for _ in range(20):
        line = server.stderr.readline()
        if not line or re.search(pattern, line):
            return line
    return ""


def start(program, trace, extra):
    env = dict(os.environ, ZELVAN_SIM_TRACE=trace, ZELVAN_SIM_BENCH="")
    env.pop("DISPLAY", None)
    args = [program, "--serve", "--no-window", "--port", "0",
            "-r", "VXI0::3::INSTR", "-f", "2"] + extra
    server = subprocess.Popen(args, stderr=subprocess.PIPE, text=True, env=env)
    first = server.stderr.readline()
    match = re.search(r"listening on 127\.0\.0\.1:(\d+)", first)
    if not match:
        server.kill()
        sys.exit("no listening line: %r" % first)
    return server, int(match.group(1))


def writes(trace):
    with open(trace) as f:
        return [line for line in f if line.startswith("qv4720_writeChannel(")]


def raw_checks(port):
    import pyvisa
    rm = pyvisa.ResourceManager("@py")
    resource = "TCPIP0::127.0.0.1::%d::SOCKET" % port
    a = rm.open_resource(resource, read_termination="\n", write_termination="\n", timeout=5000)
    b = rm.open_resource(resource, read_termination="\n", write_termination="\n", timeout=5000)
    idn = a.query("*IDN?").split(",")
    check(idn[0] == "Quorvel" and idn[1].startswith("4720-") and len(idn) == 4, "*IDN? %s" % idn)
    check(float(a.query("SOUR5:VOLT?")) == 9.91e37, "an unwritten channel answers 9.91E+37")
    for channel in range(1, 9):
        a.write("SOUR%d:VOLT %g" % (channel, channel / 4))
    got = [float(a.query("SOUR%d:VOLT?" % c)) for c in range(1, 9)]
    check(got == [c / 4 for c in range(1, 9)], "every channel set and read back %s" % got)
    a.write("SOUR1:VOLT 1E3")
    check(a.query("SYST:ERR?").startswith("-222,"), "an out-of-range value is -222")
    check(a.query("SYST:LOCK:REQ?") == "1" and b.query("SYST:LOCK:REQ?") == "0",
          "the lock is one client's")
    b.write("SOUR2:VOLT 0")
    check(b.query("SYST:ERR?").startswith("-203,"), "another client's write is refused")
    a.write("SYST:LOCK:REL")
    b.write("SOUR2:VOLT 0")
    check(b.query("SYST:ERR?").startswith("0,"), "released, the other client writes")
    a.write("SOUR8:VOLT:LIM:HIGH 1")
    a.write("SOUR8:VOLT 1.5")
    check(a.query("SYST:ERR?").startswith("-222,"), "a soft limit refuses over the network")
    a.write("SOUR7:LIST:VOLT 1,2;:LIST:DWEL 0.01;:LIST:COUN 1;:INIT")
    for _ in range(100):
        if a.query("STAT:OPER:COND?") == "0":
            break
        time.sleep(0.05)
    check(float(a.query("SOUR7:VOLT?")) == 2.0, "a LIST sequence ran to its last point")
    a.close()
    b.close()
    lxi = shutil.which("lxi")
    if lxi:
        out = subprocess.run([lxi, "scpi", "-a", "127.0.0.1", "-p", str(port), "-r", "*IDN?"],
                             capture_output=True, text=True, timeout=20).stdout
        check(out.startswith("Quorvel,4720-"), "lxi scpi in raw mode: %r" % out)
    # 8 set, 1 refused (never written), 1 refused by the lock, then 1 written,
    # 1 refused by a soft limit, 2 list points.
    return 11


def vxi11_checks():
    import pyvisa
    rm = pyvisa.ResourceManager("@py")
    a = rm.open_resource("TCPIP0::127.0.0.1::inst0::INSTR", timeout=5000)
    check(a.query("*IDN?").startswith("Quorvel,4720-"), "*IDN? over VXI-11")
    a.write("SOUR3:VOLT -2.5")
    check(float(a.query("SOUR3:VOLT?")) == -2.5, "set and read back over VXI-11")
    a.write("SOUR3:VOLT 99")
    check(a.query("SYST:ERR?").startswith("-222,"), "out of range over VXI-11 is -222")
    alias = rm.open_resource("TCPIP0::127.0.0.1::inst2::INSTR", timeout=2000)
    a.lock_excl()
    try:
        alias.write("SOUR4:VOLT 1")
        alias.query("*OPC?")
        refused = alias.query("SYST:ERR?").startswith("-203,")
    except Exception:  # a link refused while locked is as good
        refused = True
    check(refused, "a second link cannot write while the first holds the lock")
    a.unlock()
    a.close()
    alias.close()
    return 1


def main():
    program, mode = sys.argv[1], sys.argv[2]
    try:
        import pyvisa  # noqa: F401
        import pyvisa_py  # noqa: F401
    except ImportError:
        print("skipped: PyVISA with the PyVISA-py backend is not installed")
        return 77
    if mode == "vxi11" and subprocess.run(["rpcinfo", "-p", "127.0.0.1"],
                                          capture_output=True).returncode != 0:
        print("skipped: no port mapper on 127.0.0.1")
        return 77
    with tempfile.TemporaryDirectory() as folder:
        trace = os.path.join(folder, "trace.txt")
        server, port = start(program, trace, [])
        if mode == "vxi11":
            check("registered" in wait_for(server, "VXI-11 (registered|no port mapper)"),
                  "VXI-11 registered with the port mapper")
        try:
            expected = raw_checks(port) if mode == "raw" else vxi11_checks()
        finally:
            server.send_signal(signal.SIGTERM)
            status = server.wait(timeout=20)
        check(status == 0, "SIGTERM ends the server with status 0")
        check(len(writes(trace)) == expected, "%d writes reached the card" % expected)
        with open(trace) as f:
            check(f.read().rstrip().splitlines()[-1].startswith("qv4720_close("),
                  "the card is closed last")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
