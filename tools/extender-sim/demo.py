#!/usr/bin/env python3
"""A short session with the simulated extender: hand-typed request frames sent
over the pseudo-terminal and over TCP, with the control tool setting up and
inspecting the device between them.

    python3 demo.py --sim BUILD/tools/extender-sim/extender-sim \
                    --ctl-tool BUILD/tools/extender-sim/extender-simctl
"""
import argparse
import os
import select
import shutil
import socket
import subprocess
import sys
import tempfile
import termios
import time
import tty

# (what, request, expected reply), all typed by hand; the last byte of each
# frame is its check byte (the frame sums to FF) or the end byte AC.
SESSION = [
    ("get parameter block", "CA 20 FE 28 01 30 BE",
     "CA B0 FF 11 30 30 30 30 30 30 50 05 05 05 05 05 05 01 00 00 00 E6"),
    ("set switches, module 01", "CA 20 01 29 04 02 00 FF FF E7", "CA 90 FF A6"),
    ("write 4 bytes to channel 0 slot 5", "CA 20 FE 25 09 00 68 00 00 04 04 00 AA BB 14", "CA 90 FF A6"),
    ("directory of channel 0", "CA 20 FE 26 05 FF FF FF FF 00 F0", "CA B0 FF 01 05 80"),
    ("read the slot back", "CA 20 FE 26 05 00 68 00 00 04 80", "CA B0 FF 04 04 00 AA BB 19"),
    ("raw code: open", "CA 20 FE 27 05 01 04 00 AA BB 81", "CA 90 FF A6"),
    ("raw code: transmit", "CA 20 FE 27 01 03 EC", "CA 90 FF A6"),
    ("send number channel 0 slot 5", "CA 20 FE 31 02 01 05 DE", "CA 90 FF A6"),
    ("learn channel 1 slot 9", "CA 20 FE 32 02 02 09 D8", "CA 90 FF A6"),
    ("clear channel 0 slot 5", "CA 20 FE 25 06 FF FF FF FF 05 00 EB", "CA 90 FF A6"),
    ("data forwarding to port C", "CA 20 FE 18 03 0C 11 22 AC", "CA 90 FF A6"),
    ("read version", "CA 00 FE BB AC",
     "CA B0 FF 0D 45 58 54 2D 53 49 4D 20 56 31 2E 30 30 3D"),
    ("infrared send port 3 code 15 repeat 2", "CA 20 01 31 03 03 0F 02 AC", "CA 90 FF A6"),
    ("set ID to 05", "CA 20 FE 33 01 05 AC", "CA 90 FF A6"),
]


def spaced(b):
    return " ".join("%02X" % x for x in b)


class Session:
    def __init__(self, sim, ctl_tool):
        self.dir = tempfile.mkdtemp(prefix="extsim-demo-")
        self.ctl_tool = ctl_tool
        self.ctl_path = os.path.join(self.dir, "ctl.sock")
        ready = os.path.join(self.dir, "ready")
        self.proc = subprocess.Popen(
            [sim, "--pty", os.path.join(self.dir, "ttyEXT"), "--tcp", "0", "--ctl", self.ctl_path,
             "--ready-file", ready], stdout=subprocess.DEVNULL)
        deadline = time.monotonic() + 5
        while not os.path.exists(ready):
            if time.monotonic() > deadline or self.proc.poll() is not None:
                raise SystemExit("the simulator did not start")
            time.sleep(0.02)
        with open(ready) as f:
            self.ready = f.readline().strip()
        fields = dict(kv.split("=", 1) for kv in self.ready.split()[1:])
        self.pty, self.port = fields["pty"], int(fields["tcp"])
        self.failures = 0

    def close(self):
        self.proc.terminate()
        try:
            self.proc.wait(timeout=3)
        except subprocess.TimeoutExpired:
            self.proc.kill()
            self.proc.wait()
        shutil.rmtree(self.dir, ignore_errors=True)

    def ctl(self, *words):
        r = subprocess.run([self.ctl_tool, "-s", self.ctl_path, *words], capture_output=True, text=True,
                           timeout=10)
        print("$ extender-simctl " + " ".join(words))
        print("  " + r.stdout.rstrip().replace("\n", "\n  "))
        return r.stdout

    def open_pty(self, baud=termios.B38400):
        fd = os.open(self.pty, os.O_RDWR | os.O_NOCTTY | os.O_NONBLOCK)
        tty.setraw(fd)
        a = termios.tcgetattr(fd)
        a[2] = (a[2] & ~(termios.PARENB | termios.CSIZE)) | termios.CS8 | termios.CREAD | termios.CLOCAL
        a[4] = a[5] = baud
        termios.tcsetattr(fd, termios.TCSANOW, a)
        termios.tcflush(fd, termios.TCIOFLUSH)
        return fd

    def open_tcp(self):
        s = socket.create_connection(("127.0.0.1", self.port), timeout=2)
        s.setblocking(False)
        return s

    @staticmethod
    def read(link, n, timeout):
        got = b""
        deadline = time.monotonic() + timeout
        while len(got) < n:
            left = deadline - time.monotonic()
            if left <= 0 or not select.select([link], [], [], left)[0]:
                break
            chunk = os.read(link, 4096) if isinstance(link, int) else link.recv(4096)
            if not chunk:
                break
            got += chunk
        return got

    def exchange(self, name, link, what, request, expect):
        req = bytes.fromhex(request)
        if isinstance(link, int):
            os.write(link, req)
        else:
            link.sendall(req)
        want = bytes.fromhex(expect)
        got = self.read(link, max(len(want), 1), 2 if want else 0.3)
        ok = got == want
        self.failures += not ok
        print("%s > %-44s %s" % (name, spaced(req), what))
        print("%s < %s%s" % (name, spaced(got) if got else "(nothing)", "" if ok else "   EXPECTED " + expect))


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--sim", required=True)
    ap.add_argument("--ctl-tool", required=True)
    args = ap.parse_args()
    s = Session(args.sim, args.ctl_tool)
    try:
        print(s.ready)
        pty, tcp = s.open_pty(), s.open_tcp()
        for name, link in (("pty", pty), ("tcp", tcp)):
            print("\n# every command over the %s" % name)
            s.ctl("reset")
            for what, request, expect in SESSION:
                s.exchange(name, link, what, request, expect)
            s.ctl("txlog")
        print("\n# faults and link settings")
        s.ctl("reset")
        s.ctl("fault", "28", "badcheck")
        s.exchange("tcp", tcp, "wrong check byte (E7)", "CA 20 FE 28 01 30 BE",
                   "CA B0 FF 11 30 30 30 30 30 30 50 05 05 05 05 05 05 01 00 00 00 E7")
        s.ctl("fault", "29", "delay", "300")
        t0 = time.monotonic()
        s.exchange("tcp", tcp, "late acknowledge", "CA 20 01 29 04 02 00 FF FF E7", "CA 90 FF A6")
        print("  (after %.0f ms)" % ((time.monotonic() - t0) * 1000))
        s.ctl("link", "9600", "E")
        s.exchange("pty", pty, "line at 38400 8N1: garbled, no answer", "CA 20 FE 28 01 30 BE", "")
        s.ctl("link", "38400", "N")
        s.exchange("pty", pty, "settings match again (switches E, F now off)", "CA 20 FE 28 01 30 BE",
                   "CA B0 FF 11 30 30 30 30 30 30 50 05 05 05 05 05 05 01 00 FF FF E8")
        s.exchange("tcp", tcp, "wrong check byte: ignored", "CA 20 FE 28 01 30 BF", "")
        log = s.ctl("log")
        if "wrong check byte BF" not in log or "garbled" not in log:
            s.failures += 1
        os.close(pty)
        tcp.close()
    finally:
        s.close()
    print("\n%s" % ("all answers as expected" if s.failures == 0 else "%d unexpected answer(s)" % s.failures))
    return 0 if s.failures == 0 else 1


if __name__ == "__main__":
    sys.exit(main())
