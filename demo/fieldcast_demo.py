#!/usr/bin/env python3
"""Fieldcast's main job on this machine, with no account and no receiver.

Starts, with free ports:
  * a real NTRIP caster (RTKLIB's str2str) serving a recorded RTCM 3 stream at
    the pace it was recorded (one epoch a second), with a source table of two
    streams on one network: DEMO (plain) and DEMO-NMEA (wants the client's
    position). str2str serves one mount point per port, so a small front on
    the caster port (127.0.0.1) hands DEMO-NMEA requests to str2str's DEMO
    stream and records the position sentences the client uploads. str2str
    cannot be bound to one address: its caster port listens on every address
    of the machine while the demo runs. It fetches the recording itself from
    the demo on 127.0.0.1, so nobody else can feed it;
  * a pseudo-terminal as the receiver's serial port, whose far end acts as a
    receiver: it sends $GPGGA sentences from a recorded NMEA log once a second
    and checks the CRC-24Q of every RTCM 3 frame that arrives;
  * Fieldcast itself, in this terminal, on a fresh directory whose GNSS.ini
    names the local caster and output "Com-Port".
When Fieldcast ends, every process started here is stopped by its id and the
receiver's count is printed. A demo that was killed cannot clean up after
itself: the next one removes the folders of demos whose process is gone.
"""
import argparse
import ctypes
import os
import selectors
import shutil
import signal
import socket
import stat
import subprocess
import sys
import tempfile
import threading
import time
import tty

HERE = os.path.dirname(os.path.abspath(__file__))
DATA = os.path.join(HERE, "..", "tests", "data")
RTCM_CAPTURE = os.path.join(DATA, "rtcm", "caster-stream-raw-rtcm3-msm7.pygnssutils.bin")
RTCM_CAPTURE_START = 420  # the capture begins with the tail of a frame
NMEA_LOG = os.path.join(DATA, "nmea", "skytraq-s2525f8-gpgga-dgps-fix2-2016.gpsd.log")

PLAIN_MOUNT = "DEMO"
NMEA_MOUNT = "DEMO-NMEA"
NETWORK = "DEMO-NET"
# Fields after "STR;MOUNT;"; the 10th of them (NMEA) says whether the caster
# wants the client's position. str2str keeps about 250 characters of the
# table text, so the records stay short.
PLAIN_ENTRY = "Demo;RTCM 3.2;1077(1);2;GPS;%s;DEU;52.4;9.7;0;0;str2str;none;N;N;2000;plain" % NETWORK
NMEA_ENTRY = "Demo-VRS;RTCM 3.2;1077(1);2;GPS;%s;DEU;52.4;9.7;1;1;str2str;none;N;N;2000;wants GGA" % NETWORK
NET_RECORD = "NET;%s;Fieldcast;N;N;none;none;none;local demo" % NETWORK


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def rtcm_frames(data):
    """Splits a clean RTCM 3 byte string into frames."""
    i = 0
    while i + 6 <= len(data):
        if data[i] != 0xD3:
            i += 1
            continue
        length = ((data[i + 1] & 3) << 8) | data[i + 2]
        yield data[i:i + length + 6]
        i += length + 6


def msm_epoch(frame):
    """GPS MSM epoch time in ms, or None for other messages."""
    kind = (frame[3] << 4) | (frame[4] >> 4)
    if not 1071 <= kind <= 1077:
        return None
    bits = int.from_bytes(frame[3:11], "big")
    return (bits >> (64 - 24 - 30)) & ((1 << 30) - 1)


def crc24q(data):
    crc = 0
    for byte in data:
        crc ^= byte << 16
        for _ in range(8):
            crc <<= 1
            if crc & 0x1000000:
                crc ^= 0x1864CFB
    return crc & 0xFFFFFF


class Feeder(threading.Thread):
    """Serves the capture on 127.0.0.1 at its recorded pace, looping, to
    str2str, which connects here for its input."""

    def __init__(self, stop):
        super().__init__(daemon=True)
        self.stop = stop
        self.server = socket.create_server(("127.0.0.1", 0))
        self.server.settimeout(0.5)
        self.port = self.server.getsockname()[1]
        with open(RTCM_CAPTURE, "rb") as f:
            self.frames = list(rtcm_frames(f.read()[RTCM_CAPTURE_START:]))

    def run(self):
        while not self.stop.is_set():
            try:
                s, _ = self.server.accept()
            except OSError:
                continue
            with s:
                try:
                    self.feed(s)
                except OSError:
                    pass
        self.server.close()

    def feed(self, s):
        while not self.stop.is_set():
            last = None
            for frame in self.frames:
                epoch = msm_epoch(frame)
                if epoch is not None and last is not None and epoch != last:
                    self.stop.wait(min(max((epoch - last) / 1000.0, 0.2), 5.0))
                    if self.stop.is_set():
                        return
                if epoch is not None:
                    last = epoch
                s.sendall(frame)
            self.stop.wait(1.0)


class CasterFront(threading.Thread):
    """Accepts clients on the caster port and relays each to str2str; a request
    for the position-wanting mount point is sent on as the plain one, and what
    the client uploads after its request is kept for the summary."""

    def __init__(self, port, backend, stop, log):
        super().__init__(daemon=True)
        self.backend, self.stop, self.log = backend, stop, log
        self.server = socket.create_server(("127.0.0.1", port))
        self.server.settimeout(0.5)
        self.positions = []
        self.lock = threading.Lock()

    def run(self):
        while not self.stop.is_set():
            try:
                client, _ = self.server.accept()
            except OSError:
                continue
            threading.Thread(target=self.relay, args=(client,), daemon=True).start()
        self.server.close()

    def relay(self, client):
        try:
            upstream = socket.create_connection(("127.0.0.1", self.backend), timeout=5)
        except OSError:
            client.close()
            return
        request = b""
        sel = selectors.DefaultSelector()
        sel.register(client, selectors.EVENT_READ, upstream)
        sel.register(upstream, selectors.EVENT_READ, client)
        try:
            while not self.stop.is_set():
                for key, _ in sel.select(0.5):
                    data = key.fileobj.recv(65536)
                    if not data:
                        return
                    if key.fileobj is client:
                        if b"\r\n\r\n" not in request:
                            request += data
                            if b"\r\n\r\n" not in request:
                                continue
                            head, _, rest = request.partition(b"\r\n\r\n")
                            head = head.replace(b"GET /%s " % NMEA_MOUNT.encode(), b"GET /%s " % PLAIN_MOUNT.encode(), 1)
                            self.note(rest)
                            data = head + b"\r\n\r\n" + rest
                        else:
                            self.note(data)
                    key.data.sendall(data)
        except OSError:
            pass
        finally:
            client.close()
            upstream.close()

    def note(self, upload):
        for line in upload.split(b"\r\n"):
            if line.startswith(b"$") and b"GGA" in line[:7]:
                with self.lock:
                    self.positions.append(line.decode("ascii", "replace"))
                self.log.write("caster got: %s\n" % self.positions[-1])
                self.log.flush()


class Receiver(threading.Thread):
    """The far end of the serial port: a receiver that reports its position and
    checks every correction frame."""

    QUIET_RESYNC = 2.0  # seconds without bytes after which a cut frame is a stop, not damage

    def __init__(self, stop):
        super().__init__(daemon=True)
        self.stop = stop
        self.master, self.slave = os.openpty()
        tty.setraw(self.slave)  # no echo of our own sentences before Fieldcast opens the port
        os.set_blocking(self.master, False)
        self.path = os.ttyname(self.slave)
        self.intact = self.damaged = self.bytes = self.cut = 0
        with open(NMEA_LOG, "rb") as f:
            self.sentences = [l.strip() + b"\r\n" for l in f if l.startswith(b"$GPGGA")]

    def run(self):
        pending, synced, last_byte, next_gga, index = b"", False, time.monotonic(), 0.0, 0
        while not self.stop.is_set():
            now = time.monotonic()
            if now >= next_gga:
                try:
                    os.write(self.master, self.sentences[index % len(self.sentences)])
                except OSError:
                    pass  # nobody reads the port yet: the sentence is dropped, as a receiver's would be
                index, next_gga = index + 1, now + 1.0
            sel = selectors.DefaultSelector()
            sel.register(self.master, selectors.EVENT_READ)
            if not sel.select(0.1):
                continue
            try:
                data = os.read(self.master, 65536)
            except OSError:
                continue
            if now - last_byte > self.QUIET_RESYNC and pending:
                self.cut += 1  # a run was stopped inside a frame; the next run starts anew
                pending, synced = b"", False
            last_byte = now
            self.bytes += len(data)
            pending, synced = self.check(pending + data, synced)

    def check(self, buf, synced):
        i = 0
        while i + 3 <= len(buf):
            if buf[i] != 0xD3 or buf[i + 1] & 0xFC:
                if synced:
                    self.damaged += 1
                    synced = False
                i += 1
                continue
            length = ((buf[i + 1] & 3) << 8) | buf[i + 2]
            if i + length + 6 > len(buf):
                break
            frame = buf[i:i + length + 6]
            if crc24q(frame[:-3]) == int.from_bytes(frame[-3:], "big"):
                self.intact += 1
                synced = True
                i += length + 6
            else:
                if synced:
                    self.damaged += 1
                synced = False
                i += 1
        return buf[i:], synced


def write_settings(directory, port, com):
    lines = ["[NtripCaster]", "IP Port=127.0.0.1:%d" % port, "Password=", "Attemps=10", "Time=10",
             "[Settings]", "Output=0", "[COM-Port]", "COM-Port=%s" % com, "Baudrate=115200",
             "Databits=8 data bits", "Parity=no parity", "Stop Bits=1 stop bit", "[GNSS]",
             "Mount Point=", "Network=", "[Design]", "Colour="]
    path = os.path.join(directory, "GNSS.ini")
    with open(os.open(path, os.O_WRONLY | os.O_CREAT | os.O_EXCL, 0o600), "w") as f:
        f.write("\n".join(lines) + "\n")


def die_with_parent():
    """In the child: end when the demo ends, however it ends."""
    ctypes.CDLL(None, use_errno=True).prctl(1, signal.SIGTERM)  # PR_SET_PDEATHSIG


def start_caster(log, feed_port):
    """str2str as the caster, reading its input from the feeder's port;
    retried when a picked port was taken meanwhile."""
    str2str = shutil.which("str2str")
    if str2str is None:
        sys.exit("str2str not found: run ./scripts/setup.sh (Debian package rtklib)")
    table = "%s\r\nSTR;%s;%s\r\n%s" % (PLAIN_ENTRY, NMEA_MOUNT, NMEA_ENTRY, NET_RECORD)
    for _ in range(5):
        backend = free_port()
        proc = subprocess.Popen([str2str, "-in", "tcpcli://127.0.0.1:%d" % feed_port,
                                 "-out", "ntripc://:%d/%s:%s" % (backend, PLAIN_MOUNT, table)],
                                stdout=log, stderr=log, stdin=subprocess.DEVNULL, start_new_session=True,
                                preexec_fn=die_with_parent)
        deadline = time.monotonic() + 10
        while time.monotonic() < deadline and proc.poll() is None:
            if listening(backend):
                return proc, backend
            time.sleep(0.1)
        stop_process(proc)
    sys.exit("could not start str2str; see its log")


def listening(port):
    try:
        with socket.create_connection(("127.0.0.1", port), timeout=0.5):
            return True
    except OSError:
        return False


def stop_process(proc):
    if proc.poll() is None:
        try:
            os.killpg(proc.pid, signal.SIGTERM)
            proc.wait(5)
        except (ProcessLookupError, subprocess.TimeoutExpired):
            os.killpg(proc.pid, signal.SIGKILL)
            proc.wait()


DEMO_PREFIX = "fieldcast-demo-"
OWNER_FILE = "demo.owner"


def process_start(pid):
    """The process's start time (clock ticks after boot), or None when the
    process is gone: with the id it names one process, even after the id was
    given to another."""
    try:
        with open("/proc/%d/stat" % pid) as f:
            return f.read().rpartition(")")[2].split()[19]
    except (OSError, IndexError):
        return None


def mark_owner(work):
    with open(os.path.join(work, OWNER_FILE), "w") as f:
        f.write("%d %s\n" % (os.getpid(), process_start(os.getpid())))


def remove_stale_folders(base):
    """Removes this user's demo folders whose demo process no longer runs
    (one killed with SIGKILL, or a machine that lost power). A folder without
    its owner file is a demo that is just starting, or an older version's: it
    stays for a day."""
    try:
        names = os.listdir(base)
    except OSError:
        return
    for name in names:
        path = os.path.join(base, name)
        try:
            info = os.lstat(path)
        except OSError:
            continue
        if not name.startswith(DEMO_PREFIX) or not stat.S_ISDIR(info.st_mode) or info.st_uid != os.getuid():
            continue
        try:
            with open(os.path.join(path, OWNER_FILE)) as f:
                pid, start = f.read().split()
            alive = process_start(int(pid)) == start
        except (OSError, ValueError):
            alive = time.time() - info.st_mtime < 24 * 3600
        if not alive:
            shutil.rmtree(path, ignore_errors=True)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--program", required=True, help="the built fieldcast executable")
    parser.add_argument("--summary", help="also write the closing summary to this file")
    args, extra = parser.parse_known_args()

    remove_stale_folders(tempfile.gettempdir())
    work = tempfile.mkdtemp(prefix=DEMO_PREFIX)
    mark_owner(work)
    log = open(os.path.join(work, "demo.log"), "w")
    stop = threading.Event()
    feeder = Feeder(stop)
    caster, backend = start_caster(log, feeder.port)
    front_port = free_port()
    front = CasterFront(front_port, backend, stop, log)
    receiver = Receiver(stop)
    for t in (front, feeder, receiver):
        t.start()
    write_settings(work, front_port, "COM1")

    env = dict(os.environ, FIELDCAST_COM1=receiver.path)
    print("Fieldcast demo: caster 127.0.0.1:%d (streams %s and %s), receiver on %s" %
          (front_port, PLAIN_MOUNT, NMEA_MOUNT, receiver.path))
    program = subprocess.Popen([args.program, "--dir", work] + extra, env=env, preexec_fn=die_with_parent)

    def pass_on(signum, _frame):  # the terminal went away or we were told to end: so does Fieldcast
        program.send_signal(signum)
    for signum in (signal.SIGHUP, signal.SIGTERM, signal.SIGINT):
        signal.signal(signum, pass_on)
    try:
        status = program.wait()
    finally:
        stop.set()
        stop_process(caster)
        for t in (front, feeder, receiver):
            t.join(5)

    summary = [
        "Fieldcast ended with status %d." % status,
        "Receiver: %d RTCM frames intact, %d damaged (%d bytes; %d frames cut by a Stop)." %
        (receiver.intact, receiver.damaged, receiver.bytes, receiver.cut),
        "Caster: %d position reports from Fieldcast%s" %
        (len(front.positions), (", the last: " + front.positions[-1]) if front.positions else "."),
        "Stopped: str2str (process %d) and the demo's own threads." % caster.pid,
    ]
    print("\n".join(summary))
    if args.summary:
        with open(args.summary, "w") as f:
            f.write("\n".join(summary) + "\nstr2str pid %d\n" % caster.pid)
    log.close()
    os.close(receiver.master)
    os.close(receiver.slave)
    shutil.rmtree(work, ignore_errors=True)
    return 0 if receiver.damaged == 0 else 1


if __name__ == "__main__":
    sys.exit(main())
