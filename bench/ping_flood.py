#!/usr/bin/env python3
"""A datagram flood at the running trainer's presence port, sent from outside.

Starts the program on a private virtual display with the AT-SPI bus, as the desktop checks do,
presses 待受 through AT-SPI and links a raw peer to it over 127.0.0.1 (the address the program
has as 接続先IP, so every datagram comes from the peer's host and is read). A second process then
sends datagrams at the program's presence port (UDP 10012) at the given rate, in phases of the
given length: pings ("quill"), 65,000-byte random datagrams, and random ones of 1 to 16 bytes.
During the random phases the peer's own UDP port pings the program twice a second, as a peer
would, and answers the program's pings throughout.

Every second it prints the program's resident memory (VmRSS), the answers ("1") the peer's port
received, and the slowest AT-SPI query of the program's status line in that second (answered by
the program's event loop, so it shows how responsive the window stays); after each phase, the
datagrams sent, those the system dropped for the program's full buffer, the peak memory, the
answers and the program's CPU time. At the end it asks for a role over the link: the answer
shows that the link still stands.

    /usr/bin/python3 bench/ping_flood.py build/src/quillstart [--rate 5000] [--seconds 30]
                                         [--phases pings,big,small]

Exit status: 0 when the program lived through every phase, answered within each second of
each and kept its link; 1 otherwise; 77 when Xvfb, D-Bus or pyatspi are missing.
"""

import argparse
import multiprocessing
import os
import random
import socket
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests",
                                "desktop"))

from desktop_session import (FAIL, LABEL, PUSH_BUTTON, TEXT_FIELD, DesktopSession,  # noqa: E402
                             current_description, make_log, run_outer)
from peer_check import HOST, PeerCheck, StepFailed  # noqa: E402

PRESENCE_PORT = 10012  # the listening program's
PEER_PRESENCE_PORT = 10013  # where the program sends its pings and answers
IDLE_SECONDS = 5
BIG = 65000

log = make_log("ping_flood")


def resident_kib(pid):
    try:
        with open(f"/proc/{pid}/status") as status:
            for line in status:
                if line.startswith("VmRSS:"):
                    return int(line.split()[1])
    except OSError:  # the program has ended
        pass
    return -1


def cpu_seconds(pid):
    """User and system time the process has used so far."""
    try:
        with open(f"/proc/{pid}/stat") as stat:
            fields = stat.read().rsplit(")", 1)[1].split()
    except OSError:  # the program has ended
        return 0.0
    return (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")


def system_drops(port):
    """Datagrams the system dropped for the sockets bound to the port, their buffer being full.
    The program's socket takes IPv4 and IPv6 alike, so it is listed with the IPv6 ones."""
    drops = 0
    for path in ("/proc/net/udp", "/proc/net/udp6"):
        with open(path) as table:
            for line in table.readlines()[1:]:
                fields = line.split()
                if int(fields[1].split(":")[1], 16) == port:
                    drops += int(fields[-1])
    return drops


def flood(kind, rate, seconds, sent_total):
    """Sends `rate` datagrams a second of one kind for `seconds`, in batches every 10 ms."""
    sender = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
    sender.setsockopt(socket.SOL_SOCKET, socket.SO_SNDBUF, 4 * 1024 * 1024)
    shuffled = random.Random(20261207)
    if kind == "pings":
        payloads = [b"quill"]
    elif kind == "big":
        payloads = [shuffled.randbytes(BIG) for _ in range(16)]
    else:
        payloads = [shuffled.randbytes(shuffled.randint(1, 16)) for _ in range(4096)]
    batch = max(1, rate // 100)
    start = time.monotonic()
    sent = 0
    while time.monotonic() - start < seconds:
        for _ in range(batch):
            try:
                sender.sendto(payloads[sent % len(payloads)], (HOST, PRESENCE_PORT))
            except OSError:
                pass  # a full buffer on the way: the datagram is lost, as on a network
            sent += 1
        ahead = start + sent / rate - time.monotonic()
        if ahead > 0:
            time.sleep(ahead)
    sender.close()
    sent_total.value = sent


class Flood(PeerCheck):
    NAME = "flood"
    CONTROLS = [
        ("listen", "待受", PUSH_BUTTON),
        ("chat", "チャット・ログ", TEXT_FIELD),
        ("status", "接続状態", LABEL),
    ]
    STEPS = [
        ("start the program", "start_program"),
        ("find its window", "find_window"),
        ("listen and link the peer", "listen_and_connect"),
        ("exchange callsigns", "greetings"),
        ("measure", "measure"),
        ("the link still stands", "link_stands"),
        ("end the program", "termination"),
    ]

    def __init__(self, session, args, log_function):
        super().__init__(session, args, log_function)
        self.udp = None
        self.failures = []

    def peer_udp(self):
        """Answers the program's pings and counts its answers; returns the answers read."""
        answers = 0
        while True:
            try:
                data, sender = self.udp.recvfrom(64)
            except BlockingIOError:
                return answers
            if data == b"quill":
                self.udp.sendto(b"1", sender)
            elif data == b"1":
                answers += 1

    def phase(self, name, kind, seconds):
        flooder = None
        sent = multiprocessing.Value("q", 0)
        drops_before = system_drops(PRESENCE_PORT)
        cpu_before = cpu_seconds(self.program.pid)
        if kind:
            flooder = multiprocessing.Process(target=flood,
                                              args=(kind, self.args.rate, seconds, sent))
            flooder.start()
        pid = self.program.pid
        status = self.controls["status"]
        peak = resident_kib(pid)
        answers_total = 0
        seconds_without_answer = 0
        slowest_overall = 0.0
        started = time.monotonic()
        next_ping = started
        for second in range(1, seconds + 1):
            slowest = 0.0
            answers = 0
            while time.monotonic() - started < second:
                if kind != "pings" and time.monotonic() >= next_ping:
                    self.udp.sendto(b"quill", (HOST, PRESENCE_PORT))
                    next_ping += 0.5
                asked = time.monotonic()
                try:
                    current_description(status)
                except Exception:  # no reply in AT-SPI's time (3 s), or the program has gone
                    if self.program.poll() is not None:
                        break
                slowest = max(slowest, time.monotonic() - asked)
                answers += self.peer_udp()
                time.sleep(0.02)
            if self.program.poll() is not None:
                raise StepFailed(f"{name}: the program ended with status "
                                 f"{self.program.returncode} after {second} s")
            resident = resident_kib(pid)
            peak = max(peak, resident)
            answers_total += answers
            seconds_without_answer += answers == 0
            slowest_overall = max(slowest_overall, slowest)
            print(f"  {name:>28} {second:3d} s: {resident / 1024:6.1f} MiB resident, "
                  f"{answers:2d} answers, slowest AT-SPI query {slowest * 1000:6.1f} ms",
                  flush=True)
        if flooder is not None:
            flooder.join()
        end = resident_kib(pid)
        print(f"{name}: {sent.value} datagrams sent, {system_drops(PRESENCE_PORT) - drops_before} "
              f"of them dropped by the system for a full buffer; peak {peak / 1024:.1f} MiB, "
              f"at its end {end / 1024:.1f} MiB; {answers_total} answers in {seconds} s "
              f"({seconds_without_answer} s without); slowest AT-SPI query "
              f"{slowest_overall * 1000:.1f} ms; the program's CPU "
              f"{100 * (cpu_seconds(pid) - cpu_before) / seconds:.0f} %", flush=True)
        if seconds_without_answer:
            self.failures.append(f"{name}: {seconds_without_answer} s without an answer")
        return peak

    def measure(self):
        self.udp = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
        self.udp.bind((HOST, PEER_PRESENCE_PORT))
        self.udp.setblocking(False)
        rate, seconds = self.args.rate, self.args.seconds
        print(f"ping_flood: {rate} datagrams/s for {seconds} s a phase at UDP {PRESENCE_PORT}, "
              f"program pid {self.program.pid}", flush=True)
        names = {"pings": "pings", "big": f"{BIG}-byte datagrams", "small": "1-16 random bytes"}
        self.phase("idle", None, IDLE_SECONDS)
        for kind in self.args.phases.split(","):
            self.phase(f"{names[kind]} ({rate}/s)", kind, seconds)
        self.phase("after the floods", None, IDLE_SECONDS)
        if self.failures:
            raise StepFailed("; ".join(self.failures))

    def link_stands(self):
        self.peer.send("2S")
        self.peer.expect("2T")

    def close(self):
        if self.udp is not None:
            self.udp.close()
        super().close()


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("program")
    parser.add_argument("--rate", type=int, default=5000)
    parser.add_argument("--seconds", type=int, default=30)
    parser.add_argument("--phases", default="pings,big,small",
                        help="the floods in order, of pings, big, small")
    parser.add_argument("--screenshot",
                        default=os.path.join(tempfile.gettempdir(), "quillstart-ping-flood.png"))
    parser.add_argument("--inner", action="store_true", help=argparse.SUPPRESS)
    args = parser.parse_args()
    if not args.inner:
        return run_outer(log, sys.argv[0], args.program,
                         ["--rate", str(args.rate), "--seconds", str(args.seconds),
                          "--phases", args.phases,
                          "--screenshot", args.screenshot],
                         4 * args.seconds + 120)
    try:
        with DesktopSession(Flood.NAME) as session:
            check = Flood(session, args, log)
            try:
                return check.run()
            finally:
                check.close()
    except RuntimeError as error:
        log(f"FAIL: {error}")
        return FAIL


if __name__ == "__main__":
    sys.exit(main())
