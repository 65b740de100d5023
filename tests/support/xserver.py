"""A private virtual X server for tests and measurements: started on a free
display number and handed out only once it accepts connections."""
import os
import secrets
import subprocess
import tempfile
import time


def _connects(display, authority=None):
    environment = dict(os.environ, DISPLAY=display)
    if authority:
        environment["XAUTHORITY"] = authority
    result = subprocess.run(["xdotool", "getdisplaygeometry"], env=environment, capture_output=True)
    return result.returncode == 0


class XServer:
    """With authorization=True the server admits only clients that hold the
    cookie in the file self.authority (XAUTHORITY)."""

    def __init__(self, width=1280, height=800, authorization=False):
        self.authority = None
        # A number just freed by another server is sometimes never served again;
        # free numbers are taken from a high range, and a silent one is skipped.
        for number in range(120, 220):
            if os.path.exists(f"/tmp/.X{number}-lock") or os.path.exists(f"/tmp/.X11-unix/X{number}"):
                continue
            self.display = f":{number}"
            self._log = tempfile.TemporaryFile(mode="w+")
            options = []
            if authorization:
                self._cookie_folder = tempfile.TemporaryDirectory(prefix="lotto-xauth-")
                self.authority = os.path.join(self._cookie_folder.name, "cookie")
                subprocess.run(["xauth", "-q", "-f", self.authority, "add", self.display, ".", secrets.token_hex(16)],
                               check=True, capture_output=True)
                options = ["-auth", self.authority]
            self.process = subprocess.Popen(
                ["Xvfb", self.display, "-screen", "0", f"{width}x{height}x24", "-nolisten", "tcp", *options],
                stdout=subprocess.DEVNULL, stderr=self._log)
            # A fresh Xvfb now and then drops a connection while it is still setting
            # itself up (keymap compilation on the first clients); it is handed
            # out only after several clients in a row got through.
            deadline = time.monotonic() + 60
            in_a_row = 0
            while time.monotonic() < deadline and self.process.poll() is None:
                in_a_row = in_a_row + 1 if _connects(self.display, self.authority) else 0
                if in_a_row == 3:
                    return
                time.sleep(0.03)
            self.stop()
        raise RuntimeError("no virtual X server could be started")

    def diagnosis(self):
        """What the server said, and whether it still takes connections."""
        self._log.seek(0)
        return (f"server {self.display} running={self.process.poll() is None} "
                f"connects={_connects(self.display, self.authority)} log={self._log.read()[-500:]!r}")

    def stop(self):
        if self.process.poll() is None:
            self.process.terminate()
            self.process.wait()

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.stop()
