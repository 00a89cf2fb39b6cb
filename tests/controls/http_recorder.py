#!/usr/bin/env python3
"""A local web server for the link label's tests, run as a CTest fixture.

  http_recorder.py start DIR   starts it on 127.0.0.1 (a free port, written to DIR/port) in the background
  http_recorder.py stop DIR    stops it

Every GET is answered with a small page and logged to DIR/requests.log as one line: method, path and
User-Agent, separated by single spaces. The server ends by itself after a while if nobody stops it.
"""
import http.server
import os
import signal
import sys
import threading
import time

LIFETIME_SECONDS = 900
START_TIMEOUT_SECONDS = 10


class Recorder(http.server.BaseHTTPRequestHandler):
    def do_GET(self):
        # Logged before the answer goes out, so a client that has its answer finds its line.
        with open(self.server.log_path, "a", encoding="utf-8") as log:
            log.write(f"{self.command} {self.path} {self.headers.get('User-Agent', '')}\n")
        body = b"<html><body>Maelbrook</body></html>"
        self.send_response(200)
        self.send_header("Content-Type", "text/html")
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)

    def log_message(self, *args):
        pass


def serve(directory):
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Recorder)
    server.log_path = os.path.join(directory, "requests.log")
    open(server.log_path, "w").close()
    signal.signal(signal.SIGTERM, lambda *_: threading.Thread(target=server.shutdown).start())
    threading.Timer(LIFETIME_SECONDS, server.shutdown).start()
    port_file = os.path.join(directory, "port")
    with open(port_file + ".new", "w") as f:
        f.write(str(server.server_address[1]))
    os.replace(port_file + ".new", port_file)
    server.serve_forever()
    os._exit(0)  # the lifetime timer may still be pending


def start(directory):
    os.makedirs(directory, exist_ok=True)
    stop(directory)
    port_file = os.path.join(directory, "port")
    if os.path.exists(port_file):
        os.remove(port_file)
    pid = os.fork()
    if pid == 0:
        # Detached from the caller's pipes, or CTest would wait for the server to end.
        os.setsid()
        null = os.open(os.devnull, os.O_RDWR)
        for fd in (0, 1, 2):
            os.dup2(null, fd)
        serve(directory)
    with open(os.path.join(directory, "pid"), "w") as f:
        f.write(str(pid))
    deadline = time.monotonic() + START_TIMEOUT_SECONDS
    while time.monotonic() < deadline:
        if os.path.exists(port_file):
            print(f"http recorder on 127.0.0.1:{open(port_file).read()} (pid {pid})")
            return 0
        time.sleep(0.05)
    os.kill(pid, signal.SIGKILL)
    print("http recorder did not start", file=sys.stderr)
    return 1


def stop(directory):
    pid_file = os.path.join(directory, "pid")
    if not os.path.exists(pid_file):
        return 0
    pid = int(open(pid_file).read())
    os.remove(pid_file)
    try:
        os.kill(pid, signal.SIGTERM)
        deadline = time.monotonic() + 5
        while time.monotonic() < deadline:
            os.kill(pid, 0)
            time.sleep(0.05)
        os.kill(pid, signal.SIGKILL)
    except ProcessLookupError:
        pass
    return 0


if __name__ == "__main__":
    if len(sys.argv) != 3 or sys.argv[1] not in ("start", "stop"):
        print(__doc__, file=sys.stderr)
        sys.exit(2)
    sys.exit(start(sys.argv[2]) if sys.argv[1] == "start" else stop(sys.argv[2]))
