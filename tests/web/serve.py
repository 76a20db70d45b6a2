# SPDX-FileCopyrightText: The Vornak developers
# SPDX-License-Identifier: MIT
"""Serves a folder on 127.0.0.1, as any static web host would, and prints its address.

Usage: serve.py FOLDER [PORT] [--lan]   (--lan: on every address, for phones on the network)
"""
import functools
import http.server
import subprocess
import sys


class Handler(http.server.SimpleHTTPRequestHandler):
    # Browsers compile a program as it streams in only when it comes as application/wasm.
    extensions_map = {**http.server.SimpleHTTPRequestHandler.extensions_map,
                      ".wasm": "application/wasm", ".js": "text/javascript",
                      ".webmanifest": "application/manifest+json"}

    def log_message(self, *args):
        pass


def server(folder, port, handler_class=Handler, host="127.0.0.1"):
    handler = functools.partial(handler_class, directory=folder)
    return http.server.ThreadingHTTPServer((host, port), handler)


def lan_addresses():
    """This machine's own IPv4 addresses other than loopback, as the system lists them."""
    try:
        listed = subprocess.run(["hostname", "-I"], capture_output=True, text=True).stdout
    except OSError:
        return []
    return [address for address in listed.split() if "." in address and not address.startswith("127.")]


if __name__ == "__main__":
    arguments = [argument for argument in sys.argv[1:] if argument != "--lan"]
    lan = len(arguments) < len(sys.argv) - 1
    port = int(arguments[1]) if len(arguments) > 1 else 8000
    httpd = server(arguments[0], port, host="0.0.0.0" if lan else "127.0.0.1")
    port = httpd.server_address[1]
    print(f"Vornak is served at http://127.0.0.1:{port}/ (Ctrl+C stops it)", flush=True)
    if lan:
        for address in lan_addresses():
            print(f"On a phone or tablet on the same network, open http://{address}:{port}/ "
                  "(touch play works there; offline play and installing need https or "
                  "localhost)", flush=True)
    try:
        httpd.serve_forever()
    except KeyboardInterrupt:
        pass
