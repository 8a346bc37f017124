"""A small client of the browser's DevTools protocol over a pipe.

Chromium started with --remote-debugging-pipe reads commands on its file
descriptor 3 and writes answers and events on 4, each a JSON text ended by
a NUL byte. No web socket and no package beyond the standard library.
"""
import json
import os
import select
import subprocess
import time

FLAGS = ["--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
         "--disable-background-networking", "--disable-component-update", "--disable-sync",
         "--disable-extensions", "--disable-default-apps", "--mute-audio"]


class Browser:
    def __init__(self, executable, profile_dir):
        to_browser_r, self._to_browser = os.pipe()
        self._from_browser, from_browser_w = os.pipe()

        def wire():
            # Copies first: either end may itself be 3 or 4, and dup2 onto
            # the same number would keep its close-on-exec flag.
            reader, writer = os.dup(to_browser_r), os.dup(from_browser_w)
            os.dup2(reader, 3)
            os.dup2(writer, 4)

        self._process = subprocess.Popen(
            [executable, *FLAGS, "--remote-debugging-pipe", "--user-data-dir=" + profile_dir,
             "about:blank"],
            stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
            preexec_fn=wire, close_fds=False)
        os.close(to_browser_r)
        os.close(from_browser_w)
        self._buffer = b""
        self._next_id = 0
        self.events = []

    def close(self):
        try:
            self.send("Browser.close", timeout=10)
        except Exception:
            pass
        try:
            self._process.wait(timeout=10)
        except subprocess.TimeoutExpired:
            self._process.kill()
            self._process.wait()
        os.close(self._to_browser)
        os.close(self._from_browser)

    def _read_message(self, deadline):
        while b"\0" not in self._buffer:
            left = deadline - time.monotonic()
            if left <= 0:
                raise TimeoutError("the browser did not answer in time")
            ready, _, _ = select.select([self._from_browser], [], [], left)
            if ready:
                chunk = os.read(self._from_browser, 1 << 20)
                if not chunk:
                    raise RuntimeError("the browser closed its pipe")
                self._buffer += chunk
        message, self._buffer = self._buffer.split(b"\0", 1)
        return json.loads(message)

    def send(self, method, params=None, session=None, timeout=30):
        self._next_id += 1
        message = {"id": self._next_id, "method": method, "params": params or {}}
        if session:
            message["sessionId"] = session
        os.write(self._to_browser, json.dumps(message).encode() + b"\0")
        deadline = time.monotonic() + timeout
        while True:
            answer = self._read_message(deadline)
            if answer.get("id") == self._next_id:
                if "error" in answer:
                    raise RuntimeError(f"{method}: {answer['error']}")
                return answer.get("result", {})
            self.events.append(answer)

    def wait_for(self, method, session, timeout=30):
        deadline = time.monotonic() + timeout
        while True:
            for event in self.events:
                if event.get("method") == method and event.get("sessionId") == session:
                    self.events.remove(event)
                    return event
            self.events.append(self._read_message(deadline))

    def open_page(self, url, timeout=30):
        """Opens `url` in a new tab with console, log and network watched;
        returns the session once the page has loaded."""
        target = self.send("Target.createTarget", {"url": "about:blank"})["targetId"]
        session = self.send("Target.attachToTarget", {"targetId": target, "flatten": True})["sessionId"]
        for domain in ("Page", "Runtime", "Log", "Network"):
            self.send(domain + ".enable", session=session)
        self.send("Page.navigate", {"url": url}, session=session)
        self.wait_for("Page.loadEventFired", session, timeout)
        return session

    def evaluate(self, session, expression):
        result = self.send("Runtime.evaluate", {"expression": expression, "returnByValue": True,
                                                "awaitPromise": True}, session=session)
        if "exceptionDetails" in result:
            raise RuntimeError("script failed: " + json.dumps(result["exceptionDetails"]))
        return result["result"].get("value")

    def session_events(self, session):
        return [e for e in self.events if e.get("sessionId") == session]
