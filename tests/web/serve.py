# SPDX-FileCopyrightText: The Vornak developers
# SPDX-License-Identifier: MIT
"""Serves a folder on 127.0.0.1, as any static web host would, and prints its address."""
import functools
import http.server
import sys


class Handler(http.server.SimpleHTTPRequestHandler):
    # Browsers compile a program as it streams in only when it comes as application/wasm.
    extensions_map = {**http.server.SimpleHTTPRequestHandler.extensions_map,
                      ".wasm": "application/wasm", ".js": "text/javascript"}

    def log_message(self, *args):
        pass


def server(folder, port, handler_class=Handler):
    handler = functools.partial(handler_class, directory=folder)
    return http.server.ThreadingHTTPServer(("127.0.0.1", port), handler)


if __name__ == "__main__":
    httpd = server(sys.argv[1], int(sys.argv[2]) if len(sys.argv) > 2 else 8000)
    print(f"Vornak is served at http://127.0.0.1:{httpd.server_address[1]}/ "
          "(Ctrl+C stops it)", flush=True)
    try:
        httpd.serve_forever()
    except KeyboardInterrupt:
        pass
