#!/usr/bin/env python3
"""A local HTTP server on 127.0.0.1 that records the requests of the web tests, run as a CTest fixture.

  http_recorder.py start DIR   starts the server in the background (127.0.0.1, a free port), writes DIR/port
  http_recorder.py stop DIR    stops it

Every GET is logged, before it is answered, to DIR/requests.log as one line: method, path and User-Agent,
separated by single spaces. A GET of /probe/NAME also leaves the request line and the headers, as received,
in DIR/NAME.txt. The server stops by itself after a while, so a forgotten one never outlives the test run.
"""
import http.server
import os
import signal
import subprocess
import sys
import time

LIFETIME_SECONDS = 900


def serve(directory):
    class Handler(http.server.BaseHTTPRequestHandler):
        protocol_version = "HTTP/1.1"

        def do_GET(self):
            with open(os.path.join(directory, "requests.log"), "a", encoding="utf-8") as log:
                log.write(f"{self.command} {self.path} {self.headers.get('User-Agent', '')}\n")
            prefix = "/probe/"
            if self.path.startswith(prefix):
                name = "".join(c for c in self.path[len(prefix):] if c.isalnum() or c in "-_")
                record = self.requestline + "\r\n" + "".join(f"{k}: {v}\r\n" for k, v in self.headers.items())
                tmp = os.path.join(directory, name + ".tmp")
                with open(tmp, "w", newline="") as f:
                    f.write(record)
                os.replace(tmp, os.path.join(directory, name + ".txt"))
            body = b"ok\n"
            self.send_response(200)
            self.send_header("Content-Type", "text/plain")
            self.send_header("Content-Length", str(len(body)))
            self.end_headers()
            self.wfile.write(body)

        def log_message(self, *args):
            pass

    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)
    server.daemon_threads = True
    server.timeout = 1
    port_file = os.path.join(directory, "port")
    with open(port_file + ".tmp", "w") as f:
        f.write(str(server.server_address[1]))
    os.replace(port_file + ".tmp", port_file)
    deadline = time.monotonic() + LIFETIME_SECONDS
    while time.monotonic() < deadline:
        server.handle_request()


def stop(directory):
    pid_file = os.path.join(directory, "pid")
    try:
        with open(pid_file) as f:
            pid = int(f.read())
        # Only our own server: a stale pid may belong to another process by now.
        with open(f"/proc/{pid}/cmdline", "rb") as f:
            if os.path.basename(__file__).encode() not in f.read():
                raise ValueError
        os.kill(pid, signal.SIGTERM)
        for _ in range(50):  # until it is gone (kill with signal 0 then fails)
            os.kill(pid, 0)
            time.sleep(0.1)
    except (OSError, ValueError):
        pass
    for name in ("pid", "port"):
        try:
            os.remove(os.path.join(directory, name))
        except OSError:
            pass


def start(directory):
    os.makedirs(directory, exist_ok=True)
    stop(directory)
    for name in os.listdir(directory):
        if name.endswith(".txt") or name == "requests.log":
            os.remove(os.path.join(directory, name))
    open(os.path.join(directory, "requests.log"), "w").close()
    # Detached from our pipes, or CTest would wait for the server to end.
    with open(os.devnull, "r+b") as null:
        child = subprocess.Popen([sys.executable, os.path.abspath(__file__), "serve", directory],
                                 stdin=null, stdout=null, stderr=null, start_new_session=True)
    with open(os.path.join(directory, "pid"), "w") as f:
        f.write(str(child.pid))
    for _ in range(100):
        if os.path.exists(os.path.join(directory, "port")):
            return 0
        if child.poll() is not None:
            break
        time.sleep(0.05)
    print("http_recorder: the server did not start", file=sys.stderr)
    return 1


if __name__ == "__main__":
    command, directory = sys.argv[1], os.path.abspath(sys.argv[2])
    if command == "start":
        sys.exit(start(directory))
    elif command == "stop":
        stop(directory)
    elif command == "serve":
        serve(directory)
    else:
        sys.exit(f"usage: {sys.argv[0]} start|stop|serve DIR")
