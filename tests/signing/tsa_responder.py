"""A time-stamp authority on loopback for the signing test.

    tsa_responder.py CONFIG PORT-FILE

Answers each POSTed RFC 3161 request with `openssl ts -reply -config CONFIG`.
Listens on 127.0.0.1 on a free port, which it writes to PORT-FILE once it
listens; ends by itself after 20 requests or 120 seconds, whichever is first.
"""
import http.server
import subprocess
import sys
import os
import tempfile
import time

MAX_REQUESTS = 20
MAX_SECONDS = 120


class TimeStampHandler(http.server.BaseHTTPRequestHandler):
    def do_POST(self):
        length = int(self.headers.get("Content-Length", "0"))
        with tempfile.NamedTemporaryFile() as query:
            query.write(self.rfile.read(length))
            query.flush()
            reply = subprocess.run(
                ["openssl", "ts", "-reply", "-config", sys.argv[1],
                 "-queryfile", query.name, "-out", "/dev/stdout"],
                capture_output=True, check=False)
        sys.stderr.write(reply.stderr.decode(errors="replace"))
        if reply.returncode != 0 or not reply.stdout:
            self.send_error(500, "openssl ts -reply failed")
            return
        self.send_response(200)
        self.send_header("Content-Type", "application/timestamp-reply")
        self.send_header("Content-Length", str(len(reply.stdout)))
        self.end_headers()
        self.wfile.write(reply.stdout)


def main():
    deadline = time.monotonic() + MAX_SECONDS
    with http.server.HTTPServer(("127.0.0.1", 0), TimeStampHandler) as server:
        # Written whole, then renamed: a reader never sees half a number.
        with open(sys.argv[2] + ".new", "w", encoding="ascii") as port_file:
            port_file.write(f"{server.server_address[1]}\n")
        os.replace(sys.argv[2] + ".new", sys.argv[2])
        for _ in range(MAX_REQUESTS):
            remaining = deadline - time.monotonic()
            if remaining <= 0:
                break
            server.timeout = remaining
            server.handle_request()  # one request, or none within the timeout


if __name__ == "__main__":
    main()
