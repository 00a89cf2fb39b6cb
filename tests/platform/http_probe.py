#!/usr/bin/env python3
"""A local HTTP server that records each request for the internet-session tests.

  http_probe.py start DIR   starts the server in the background (127.0.0.1, a free port), writes DIR/port
  http_probe.py stop DIR    stops it

For a GET of /probe/NAME the server writes the request line and the headers, as received, to DIR/NAME.txt
before it answers. It stops by itself after a while, so a forgotten server never outlives the test run.
"""
import http.server
import os
import signal
import subprocess
import sys
import time

LIFETIME_SECONDS = 300


def serve(directory):
    class Handler(http.server.BaseHTTPRequestHandler):
        protocol_version = "HTTP/1.1"

        def do_GET(self):
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
        if name.endswith(".txt"):
            os.remove(os.path.join(directory, name))
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
    print("http_probe: the server did not start", file=sys.stderr)
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
