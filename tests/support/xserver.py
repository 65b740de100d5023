"""A private virtual X server for tests and measurements, handed out once it
accepts connections. Also a server's ways of failing a client: full up, or a
connection cut off."""
import os
import secrets
import select
import socket
import struct
import subprocess
import tempfile
import threading

from waiting import wait_for

SOCKETS = "/tmp/.X11-unix"


def _setup_request():
    """A client's first words: little-endian, protocol 11.0, no authorization."""
    return struct.pack("<cxHHHHxx", b"l", 11, 0, 0, 0)


def _connects(display, authority=None):
    environment = dict(os.environ, DISPLAY=display)
    if authority:
        environment["XAUTHORITY"] = authority
    result = subprocess.run(["xdotool", "getdisplaygeometry"], env=environment, capture_output=True)
    return result.returncode == 0


class XServer:
    """With authorization=True the server admits only clients that hold the
    cookie in the file self.authority (XAUTHORITY).

    The server picks a free display number itself and tells it once it takes
    clients (-displayfd), so nothing is guessed or polled. It never resets
    (-noreset): by default an X server starts over whenever its last client
    leaves, and drops whoever connects meanwhile."""

    def __init__(self, width=1280, height=800, authorization=False, max_clients=None):
        self.authority = None
        self._clients = []
        self._log = tempfile.TemporaryFile(mode="w+")
        options = []
        cookie = secrets.token_hex(16)
        if authorization:
            self._cookie_folder = tempfile.TemporaryDirectory(prefix="lotto-xauth-")
            self.authority = os.path.join(self._cookie_folder.name, "cookie")
            # The server admits every cookie in its file, whatever display the entry names.
            self._add_cookie(":0", cookie)
            options = ["-auth", self.authority]
        if max_clients:
            options += ["-maxclients", str(max_clients)]
        told, tell = os.pipe()
        self.process = subprocess.Popen(
            ["Xvfb", "-displayfd", str(tell), "-screen", "0", f"{width}x{height}x24", "-nolisten", "tcp", "-noreset",
             *options], stdout=subprocess.DEVNULL, stderr=self._log, pass_fds=(tell,))
        os.close(tell)
        number = bytearray()

        def told_or_ended():
            """The server writes its number and a line end once it takes
            clients; where it ends instead, the pipe closes."""
            if not select.select([told], [], [], 0)[0]:
                return False
            got = os.read(told, 16)
            number.extend(got)
            return not got or number.endswith(b"\n")
        wait_for(told_or_ended, poll=0.01)
        os.close(told)
        if not number.strip().isdigit():
            self.stop()
            self._log.seek(0)
            raise RuntimeError(f"no virtual X server could be started: {self._log.read()[-500:]!r}")
        self.display = f":{int(number)}"
        if authorization:
            self._add_cookie(self.display, cookie)

    def _add_cookie(self, display, cookie):
        subprocess.run(["xauth", "-q", "-f", self.authority, "add", display, ".", cookie], check=True,
                       capture_output=True)

    def diagnosis(self):
        """What the server said, and whether it still takes connections."""
        self._log.seek(0)
        return (f"server {self.display} running={self.process.poll() is None} "
                f"connects={_connects(self.display, self.authority)} log={self._log.read()[-500:]!r}")

    def fill(self):
        """Connects clients until the server takes no more; they stay connected
        until the server stops."""
        while True:
            client = socket.socket(socket.AF_UNIX)
            client.connect(f"{SOCKETS}/X{self.display[1:]}")
            client.sendall(_setup_request())
            answer = client.recv(1)
            if answer != b"\x01":
                client.close()
                return len(self._clients)
            self._clients.append(client)

    def stop(self):
        for client in self._clients:
            client.close()
        if self.process.poll() is None:
            self.process.terminate()
            self.process.wait()

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.stop()


class CuttingProxy:
    """A display of its own in front of a server, whose connections it cuts
    off at a client's first request of the given X11 opcode, as if the server
    had gone away just then (8: MapWindow, the window being shown)."""

    def __init__(self, server, opcode):
        self._target = f"{SOCKETS}/X{server.display[1:]}"
        self._opcode = opcode
        # A display number is claimed the way X servers claim theirs, by its
        # lock file, so that no server started meanwhile takes it too.
        for number in range(120, 1000):
            self._lock = f"/tmp/.X{number}-lock"
            try:
                claim = os.open(self._lock, os.O_WRONLY | os.O_CREAT | os.O_EXCL, 0o444)
            except FileExistsError:
                continue
            os.write(claim, b"%10d\n" % os.getpid())
            os.close(claim)
            break
        self.display = f":{number}"
        self._path = f"{SOCKETS}/X{number}"
        self._listener = socket.socket(socket.AF_UNIX)
        self._listener.bind(self._path)
        self._listener.listen()
        threading.Thread(target=self._serve, daemon=True).start()

    def _serve(self):
        while True:
            try:
                client, _ = self._listener.accept()
            except OSError:
                return
            upstream = socket.socket(socket.AF_UNIX)
            upstream.connect(self._target)
            threading.Thread(target=self._pass_on, args=(upstream, client), daemon=True).start()
            threading.Thread(target=self._watch_requests, args=(client, upstream), daemon=True).start()

    @staticmethod
    def _pass_on(source, sink):
        try:
            while data := source.recv(65536):
                sink.sendall(data)
        except OSError:
            pass
        for end in (source, sink):
            end.close()

    def _watch_requests(self, client, upstream):
        """Passes the client's requests on whole, one by one, until the one to cut at."""
        pending = b""
        setup_done = False
        try:
            while data := client.recv(65536):
                pending += data
                while True:
                    if not setup_done:
                        if len(pending) < 12:
                            break
                        order = "<" if pending[0:1] == b"l" else ">"
                        name, data_length = struct.unpack(order + "HH", pending[6:10])
                        size = 12 + -(-name // 4) * 4 + -(-data_length // 4) * 4
                    else:
                        if len(pending) < 4:
                            break
                        words = struct.unpack(order + "H", pending[2:4])[0]
                        if words == 0:  # a big request: its length follows in 32 bits
                            if len(pending) < 8:
                                break
                            words = struct.unpack(order + "I", pending[4:8])[0]
                        size = words * 4
                        if pending[0] == self._opcode:
                            raise ConnectionAbortedError
                    if len(pending) < size:
                        break
                    upstream.sendall(pending[:size])
                    pending = pending[size:]
                    setup_done = True
        except OSError:
            pass
        for end in (client, upstream):
            end.close()

    def stop(self):
        self._listener.close()
        for path in (self._path, self._lock):
            if os.path.exists(path):
                os.unlink(path)
