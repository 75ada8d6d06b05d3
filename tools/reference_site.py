#!/usr/bin/env python3
"""The reference information site, for tests and the demo. Serves on 127.0.0.1 only.

  GET /fairu/<name>          a page from the pages folder: 200, or 404 when there is none;
                             <name>.redirect holds the path it redirects to (302)
  GET /cgi-bin/runlens.pl?<code>
                             the notice script: the reply file's bytes ("OK" by default)
  GET /bytes/<n>             n bytes, for reading tests
  GET /hostile/<kind>        a server at its worst, also as the page /fairu/hostile-<kind>.exe.html
                             (or _hostile-<kind>.exe.html, a name that sorts after every letter):
                             silent (never answers), drip-headers, drip-body (a byte at a time),
                             zeros (0xA7, then zero bytes without end), slow-ok (a page after
                             6 s), self-redirect, other-host, file (redirects elsewhere),
                             chain-<n> (n redirects, then a page)
  CONNECT host:443           with --tls-cert: a TLS tunnel to this same site (https://)

Requests may come in absolute form (GET http://host/path), as WinInet sends them through a
proxy. Every request is logged as one JSON line: path (with query), User-Agent, host.
The site stops by itself after --lifetime seconds.
"""
import argparse
import json
import re
import threading
import time
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer
from pathlib import Path
from urllib.parse import urlsplit


# How long a hostile route keeps its connection at most; the site's lifetime ends it too.
HOSTILE_HOLD = 60
DRIP_INTERVAL = 0.5


def make_handler(pages, reply_file, log_file, lock, tls, stopping):
    class Handler(BaseHTTPRequestHandler):
        # One request per connection: Wine's WinInet keeps each kept-alive connection to a
        # proxy in its pool instead of reusing it, which would show as handles in leak counts.
        protocol_version = "HTTP/1.0"

        def log_message(self, format, *args):  # the JSON log is the record
            pass

        def send_body(self, status, body, content_type="text/html; charset=utf-8", headers=()):
            self.send_response(status)
            self.send_header("Content-Type", content_type)
            self.send_header("Content-Length", str(len(body)))
            for name, value in headers:
                self.send_header(name, value)
            self.end_headers()
            self.wfile.write(body)

        def hostile(self, kind, path):
            """A server at its worst. Each ends when the client goes, or after HOSTILE_HOLD."""
            self.close_connection = True
            until = time.monotonic() + HOSTILE_HOLD
            chain = re.fullmatch(r"chain-(\d+)", kind)
            try:
                if kind == "silent":
                    stopping.wait(HOSTILE_HOLD)
                elif kind in ("drip-headers", "drip-body"):
                    head = b"HTTP/1.0 200 OK\r\nContent-Type: text/plain\r\n"
                    if kind == "drip-body":
                        self.wfile.write(head + b"Content-Length: 100000\r\n\r\n")
                        head = b""
                    drip = head + b"X-Drip: " + b"x" * 100000
                    for byte in drip:
                        if time.monotonic() > until or stopping.wait(DRIP_INTERVAL):
                            break
                        self.wfile.write(bytes([byte]))
                        self.wfile.flush()
                elif kind == "zeros":
                    self.wfile.write(b"HTTP/1.0 200 OK\r\nContent-Type: text/plain\r\n\r\n\xa7")
                    zeros = bytes(64 * 1024)
                    while time.monotonic() < until and not stopping.is_set():
                        self.wfile.write(zeros)
                elif kind == "slow-ok":
                    if not stopping.wait(6):
                        self.send_body(200, (pages / "explorer.exe.html").read_bytes())
                elif kind == "self-redirect":
                    self.send_body(302, b"", headers=[("Location", path)])
                elif kind == "other-host":
                    self.send_body(302, b"", headers=[
                        ("Location", "http://elsewhere.invalid/fairu/explorer.exe.html")])
                elif kind == "file":
                    self.send_body(302, b"", headers=[("Location", "file:///C:/windows/win.ini")])
                elif chain:
                    left = int(chain.group(1))
                    if left == 0:
                        self.send_body(200, (pages / "explorer.exe.html").read_bytes())
                    else:
                        self.send_body(302, b"", headers=[("Location", f"/hostile/chain-{left - 1}")])
                else:
                    self.send_body(404, b"not here", "text/plain")
            except OSError:
                pass  # the client went

        def do_CONNECT(self):
            """An https:// address through the proxy: a TLS tunnel to this same site."""
            if tls is None:
                self.send_body(405, b"no TLS here", "text/plain")
                return
            self.send_response(200, "Connection established")
            self.end_headers()
            try:
                tunnel = tls.wrap_socket(self.connection, server_side=True)
            except OSError:
                self.close_connection = True
                return
            Handler(tunnel, self.client_address, self.server)
            self.close_connection = True

        def do_GET(self):
            target = urlsplit(self.path)
            path = target.path + ("?" + target.query if target.query else "")
            host = target.netloc or self.headers.get("Host", "")
            with lock:
                with open(log_file, "a", encoding="utf-8") as log:
                    log.write(json.dumps({"path": path, "agent": self.headers.get("User-Agent", ""),
                                          "host": host}) + "\n")
            hostile = re.fullmatch(r"/(?:hostile/|fairu/_?hostile-)([a-z0-9-]+?)(?:\.exe\.html)?",
                                   target.path)
            if hostile:
                self.hostile(hostile.group(1), target.path)
            elif target.path.startswith("/fairu/"):
                name = target.path[len("/fairu/"):]
                page = pages / name
                redirect = pages / (name + ".redirect")
                if "/" not in name and redirect.is_file():
                    self.send_body(302, b"", headers=[("Location", redirect.read_text().strip())])
                elif "/" not in name and page.is_file():
                    self.send_body(200, page.read_bytes())
                else:
                    self.send_body(404, b"<html><head><title>404 Not Found</title></head></html>")
            elif target.path == "/cgi-bin/runlens.pl":
                reply = Path(reply_file).read_bytes() if reply_file else b"OK"
                self.send_body(200, reply, "text/plain")
            elif target.path.startswith("/bytes/") and target.path[7:].isdigit():
                count = min(int(target.path[7:]), 1 << 22)
                self.send_body(200, (b"0123456789" * (count // 10 + 1))[:count], "text/plain")
            else:
                self.send_body(404, b"not here", "text/plain")

    return Handler


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--port", type=int, default=0)
    parser.add_argument("--port-file")
    parser.add_argument("--pages", required=True)
    parser.add_argument("--reply-file")
    parser.add_argument("--log", required=True)
    parser.add_argument("--lifetime", type=float, default=600)
    parser.add_argument("--tls-cert", help="certificate and key (PEM) for https:// through CONNECT")
    options = parser.parse_args()

    tls = None
    if options.tls_cert:
        import ssl
        tls = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
        tls.load_cert_chain(options.tls_cert)
    stopping = threading.Event()
    handler = make_handler(Path(options.pages), options.reply_file, options.log,
                           threading.Lock(), tls, stopping)
    server = ThreadingHTTPServer(("127.0.0.1", options.port), handler)
    server.daemon_threads = True
    if options.port_file:
        Path(options.port_file).write_text(str(server.server_address[1]))
    def stop():
        stopping.set()
        server.shutdown()

    threading.Timer(options.lifetime, stop).start()
    server.serve_forever()


if __name__ == "__main__":
    main()
