"""The built site on a static web server of this machine's own Python, on a
free port of an address of the loopback, for the browser test, the pictures and the
figures. It caches as one of three kinds of host does:
- "max-age" (the default, as many hosts do): the browser may keep each file
  for ten minutes without asking again; a test that the site must not depend
  on that must see it;
- "last-modified": only the time each file last changed, said to be a day
  before it did, from which a browser guesses for itself how long to keep it;
- "no-store": nothing is kept.
Its folder, its kind of caching and the files that fail (a status such as
500, or "reset": the connection cut off halfway through the file) are read
anew for every request, so that a test can switch them under a page that
keeps its connection open. Nothing is waited for a fixed time: the server is
handed out once it answers."""
import itertools
import json
import os
import socket
import subprocess
import sys
import tempfile

from waiting import wait_for

CACHING = ("max-age", "last-modified", "no-store")

SERVE = """
import http.server, json, socket, struct, sys
class Handler(http.server.SimpleHTTPRequestHandler):
    def do_GET(self):
        with open(sys.argv[1]) as file:
            self.control = json.load(file)
        self.directory = self.control["folder"]
        fault = self.control["faults"].get(self.path.split("?")[0].lstrip("/"))
        if fault is None:
            return super().do_GET()
        if fault != "reset":
            return self.send_error(fault)
        self.send_response(200)
        self.send_header("Content-Length", "100000")
        self.end_headers()
        self.wfile.write(b"0" * 1000)
        self.wfile.flush()
        self.connection.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, struct.pack("ii", 1, 0))
        self.close_connection = True
    def send_response(self, code, message=None):
        self.code = code
        super().send_response(code, message)
    def date_time_string(self, timestamp=None):
        if timestamp is not None and self.control["caching"] == "last-modified":
            timestamp -= 24 * 3600
        return super().date_time_string(timestamp)
    def end_headers(self):
        caching = self.control["caching"]
        if caching == "no-store":
            self.send_header("Cache-Control", "no-store")
        elif caching == "max-age" and self.code == 200:
            self.send_header("Cache-Control", "max-age=600")
        super().end_headers()
    def log_message(self, *arguments):
        pass
http.server.ThreadingHTTPServer((sys.argv[2], int(sys.argv[3])), Handler).serve_forever()"""


# Each server of a run on an address of its own: a browser keeps a site's
# offline copy by its origin, and WebKit's by its host alone.
hosts = (f"127.0.0.{n}" for n in itertools.cycle(range(1, 255)))


def free_port(host):
    with socket.socket() as probe:
        probe.bind((host, 0))
        return probe.getsockname()[1]


class SiteServer:
    """Serves FOLDER on PORT (a free one unless given) until stopped; pause()
    takes it off the network (connections refused, as for a browser without
    one) and resume() brings it back on the same port."""

    def __init__(self, folder, port=None, caching="max-age"):
        self.host = next(hosts)
        self.port = port or free_port(self.host)
        self.url = f"http://{self.host}:{self.port}/"
        handle, self.control = tempfile.mkstemp(prefix="lotto-site-server-", suffix=".json")
        os.close(handle)
        self.process = None
        self.serve(folder, caching)
        self.resume()

    def serve(self, folder, caching="max-age", faults=None):
        """From the next request on: FOLDER, cached so, with FAULTS (file: status or "reset")."""
        if caching not in CACHING:
            raise ValueError(f"caching is one of {CACHING}, not {caching!r}")
        with open(self.control + ".new", "w") as file:
            json.dump({"folder": os.path.abspath(folder), "caching": caching, "faults": faults or {}}, file)
        os.replace(self.control + ".new", self.control)

    def resume(self):
        self.process = subprocess.Popen([sys.executable, "-c", SERVE, self.control, self.host, str(self.port)],
                                        stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

        def answers():
            socket.create_connection((self.host, self.port), timeout=1).close()
            return True
        if not wait_for(answers, tolerate=OSError):  # refused until the server listens
            self.stop()
            raise RuntimeError(f"the web server on port {self.port} does not answer")

    def pause(self):
        if self.process and self.process.poll() is None:
            self.process.kill()
            self.process.wait()

    def stop(self):
        self.pause()
        if os.path.exists(self.control):
            os.remove(self.control)

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.stop()
