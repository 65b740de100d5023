"""The built site on a static web server of this machine's own Python, on a
free port of the loopback, for the browser test, the pictures and the
figures. As many hosts do, it lets the browser keep each file it serves for
ten minutes without asking again; a test that the site must not depend on
that must see it. Nothing is waited for a fixed time: the server is handed
out once it answers."""
import socket
import subprocess
import sys

from waiting import wait_for

SERVE = """
import functools, http.server, sys
class Handler(http.server.SimpleHTTPRequestHandler):
    def send_response(self, code, message=None):
        self.code = code
        super().send_response(code, message)
    def end_headers(self):
        if self.code == 200:
            self.send_header("Cache-Control", "max-age=600")
        super().end_headers()
    def log_message(self, *arguments):
        pass
http.server.ThreadingHTTPServer(("127.0.0.1", int(sys.argv[2])),
                                functools.partial(Handler, directory=sys.argv[1])).serve_forever()"""


def free_port():
    with socket.socket() as probe:
        probe.bind(("127.0.0.1", 0))
        return probe.getsockname()[1]


class SiteServer:
    """Serves FOLDER on PORT (a free one unless given) until stopped."""

    def __init__(self, folder, port=None):
        self.port = port or free_port()
        self.url = f"http://127.0.0.1:{self.port}/"
        self.process = subprocess.Popen([sys.executable, "-c", SERVE, folder, str(self.port)],
                                        stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

        def answers():
            socket.create_connection(("127.0.0.1", self.port), timeout=1).close()
            return True
        if not wait_for(answers, tolerate=OSError):  # refused until the server listens
            self.stop()
            raise RuntimeError(f"the web server for {folder} does not answer")

    def stop(self):
        if self.process.poll() is None:
            self.process.kill()
            self.process.wait()

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.stop()
