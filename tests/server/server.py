#!/usr/bin/env python3
"""Local HTTP server for the end-to-end tests and benchmarks.

The program under test runs with http_proxy pointing here. Every request arrives in absolute form
("GET http://www.baidu.com/s?wd=abc HTTP/1.1") and the server answers it for every host itself; it never
connects anywhere. Origin-form requests are answered too, using the Host header.

Every request except those to the control host is appended to the --log file as one JSON line. Bytes of
the request target outside ASCII are kept one character per byte (U+0080..U+00FF), so a target sent
without percent-escapes never looks like an escaped one. Its "decoded" member holds the path and the
query parameters decoded as GBK ("gbk") and as UTF-8 ("utf8"): {"path": ..., "params": [[k, v], ...]}.

New windows: /__newwin/blank (a link with target _blank) and /__newwin/open (window.open) open
popup.test pages; with auto=1 by themselves once loaded (no user action: refused by the program),
with user=1 on the first key or click of the user in the page (/__newwin/open takes the address from to=).

Misbehaving pages, as real pages sometimes are (any host):
  /__bad/popups?n=N        opens N windows with window.open on load, without a click
  /__bad/hang              a script that never ends, run while the page loads
  /__bad/stay              asks "leave this page?" (beforeunload) once the user has typed into it
  /__bad/downloads?n=N     starts N downloads one after another, without a click
  /__bad/anim              a result page with an endless animation: 2 ms of script every 16 ms
  /__bad/slow              a page that never finishes: its head at once, then one byte a second for
                           as long as the client listens (its scripts answer all along)
  /__bad/huge              a result page of 30 MB (as bad_kind: the host's own result page, that big)
  /__download/NAME         an attachment named NAME (switches: download_size, download_bps,
                           download_truncate_at)
  /__hostile/              a page offering one download per hostile name (HOSTILE_NAMES);
  /__hostile/KIND          that download: its Content-Disposition names the file as a hostile server
                           would (a path, controls, 300 characters, raw GBK or broken UTF-8 bytes...)
The switches bad_host and bad_kind (popups, hang, stay, downloads, anim, slow, huge) make the result page
of one host misbehave (bad_host may name several, separated by commas), so a search can mix such a page
in; animate=1 makes every result page animate. The switch engine_faults (HOST=FAULT,...) makes the result
page of a host fail as a broken engine does: status:N, close (no answer), moved:HOST, nokeyword.

Animation on screen (the switch animation): every result page starts with an animation where the user
sees it, as an ad or a spinner would be: canvas (a 300x250 canvas redrawn every 16 ms with 2 ms of
script), css (one element spun by a CSS animation, no script), gif (an animated 150x150 GIF,
/__anim/spinner.gif, 20 frames a second), video (a muted video that plays by itself, /__anim/clip.webm:
VP8 made with vpxenc at the first request), video-frame (the same video in a frame of another site).
/__anim/KIND is each of them on a small page of its own.

Update files: /up.txt (its first line the version; with the switch engines_key set, a later line
"engines=VALUE" names the engines list), /Pluvik.rar (the package) and /engines.txt (the engines list,
engines_text byte for byte; engines_status its status). The faults below hit the file faults_on names.

Requests to host control.test change the switches of the update files:
  http://control.test/set?key=value&...   change switches (unknown keys answer 400)
  http://control.test/reset               restore the defaults
  http://control.test/clear               empty the request log
  http://control.test/log                 the request log so far (JSON lines)
"""

import argparse
import html
import json
import os
import re
import select
import socket
import struct
import subprocess
import sys
import tempfile
import threading
import time
import urllib.parse
import zlib
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer

CONTROL_HOST = "control.test"
# The update server's files and the switch holding each one's status.
UPDATE_FILES = {"/up.txt": "update_status", "/Pluvik.rar": "package_status", "/engines.txt": "engines_status"}
POPUP_HOST = "popup.test"
HANG_SECONDS = 120

# The engines list /engines.txt offers unless a test sets engines_text: one engine moved.
DEFAULT_ENGINE_LIST = ("# version=2026.12.1\r\n"
                       "baidu=http://www.baidu.com/s?ie=utf-8&wd={keyword} utf-8\r\n"
                       "# end\r\n")

DEFAULTS = {
    "update_version": "6.2.368",  # first line of /up.txt
    "update_text": "",            # when set, the whole body of /up.txt, byte for byte
    "update_status": 200,         # status of /up.txt
    "package_size": 300000,       # size of /Pluvik.rar; byte i is i % 251
    "package_status": 200,        # status of /Pluvik.rar
    "engines_key": "",            # when set, /up.txt names the engines list: a line "engines=VALUE"
    "engines_text": DEFAULT_ENGINE_LIST,  # the whole body of /engines.txt, byte for byte
    "engines_status": 200,        # status of /engines.txt
    "faults_on": "package",       # which update file the four faults below hit: package, update, engines
                                  # or both (package and update)
    "truncate_at": -1,            # announce the full length, close after this many body bytes
    "delay_ms": 0,                # wait before answering
    "trickle_bps": 0,             # send the body at this many bytes per second
    "reset": 0,                   # 1: reset the connection (after truncate_at bytes, else before answering)
    "page_delay_ms": 0,           # wait before answering a result page
    "bad_host": "",               # the result page of this host (or these, comma-separated) misbehaves
    "bad_kind": "",               # popups, hang, stay, downloads, anim, slow or huge
    "animate": 0,                 # 1: every result page runs the animation of /__bad/anim
    "animation": "",              # canvas, css, gif, video or video-frame: every result page starts with it
    "download_size": 200000,      # size of /__download/NAME; byte i is i % 251
    "download_bps": 0,            # send the attachment at this many bytes per second
    "download_truncate_at": -1,   # announce the full length, close after this many bytes
    "engine_faults": "",          # HOST=FAULT,...: how the result page of each host fails (engine_fault)
}

_switches = dict(DEFAULTS)
_switch_lock = threading.Lock()
_log_lock = threading.Lock()
_log_lines = []
_log_file = None


def switches():
    with _switch_lock:
        return dict(_switches)


def log_request(entry):
    line = json.dumps(entry, ensure_ascii=True)
    with _log_lock:
        _log_lines.append(line)
        _log_file.write(line + "\n")
        _log_file.flush()


# -- decoded keywords -----------------------------------------------------------------------------
# What an engine reading GBK, or UTF-8, makes of a request: its path and its query parameters with the
# percent-escapes undone in that encoding ("+" a blank in the query only, as a form means it; bytes
# the encoding has no character for become U+FFFD). A test compares these with the keyword it typed.

def decoded_target(path, query):
    decoded = {}
    for name, encoding in (("gbk", "gbk"), ("utf8", "utf-8")):
        params = urllib.parse.parse_qsl(query, keep_blank_values=True, encoding=encoding, errors="replace")
        decoded[name] = {
            "path": urllib.parse.unquote(path, encoding=encoding, errors="replace"),
            "params": [[key, value] for key, value in params],
        }
    return decoded


def split_target(target, host_header):
    """Host, path and raw query of a request target; escapes stay as they are."""
    match = re.match(r"^[A-Za-z][A-Za-z0-9+.-]*://([^/?#]*)(.*)$", target)
    if match:
        authority, rest = match.group(1), match.group(2)
    else:
        authority, rest = host_header or "", target
    host = authority.rsplit("@", 1)[-1]
    if host.startswith("["):
        host = host[: host.find("]") + 1]
    else:
        host = host.split(":", 1)[0]
    rest = rest.split("#", 1)[0]
    path, _, query = rest.partition("?")
    return host.lower(), path or "/", query


def query_params(query):
    # latin-1 keeps every percent-escaped byte as one character, so values can be re-encoded exactly.
    return {k: v for k, v in urllib.parse.parse_qsl(query, keep_blank_values=True, encoding="latin-1")}


def tiny_png(index):
    """A valid 1x1 PNG whose colour depends on the index."""

    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))

    rgb = bytes(((index * 71) % 256, (index * 131) % 256, (index * 197) % 256))
    ihdr = struct.pack(">IIBBBBB", 1, 1, 8, 2, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", ihdr) + chunk(b"IDAT", zlib.compress(b"\x00" + rgb))
            + chunk(b"IEND", b""))


# Result pages run this: it marks the page and, once it has loaded, reports the size and visibility of
# the page's viewport to /__viewport (logged like every request), so a test sees how a hidden tab laid
# its page out.
APP_JS = (b"window.pluvikTestScript = true;\ndocument.documentElement.setAttribute('data-script', 'ran');\n"
          b"window.addEventListener('load', function () {\n"
          b"  new Image().src = '/__viewport?w=' + innerWidth + '&h=' + innerHeight + '&vis=' +\n"
          b"      document.visibilityState;\n"
          b"});\n")

_PATTERN = bytes(i % 251 for i in range(251))


def package_bytes(size):
    return (_PATTERN * (size // 251 + 1))[:size]


def page(title, body, extra_head=""):
    text = ("<!DOCTYPE html>\n<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=gbk\">"
            f"<title>{html.escape(title)}</title>{extra_head}</head>\n<body>\n{body}\n</body></html>\n")
    return text.encode("gb18030", errors="xmlcharrefreplace")


def result_keyword(query):
    try:
        return urllib.parse.unquote_to_bytes(query).decode("gb18030", errors="replace")
    except Exception:
        return ""


def result_page(title, host, path, query, size):
    keyword = result_keyword(query)
    head = (f"<h1 id=\"host\">{html.escape(host)}</h1>\n<p id=\"path\">{html.escape(path)}</p>\n"
            f"<p id=\"query\">{html.escape(query)}</p>\n<p id=\"decoded\">{html.escape(keyword)}</p>\n"
            "<script src=\"/__js/app.js\"></script>\n")
    entries = []
    total = len(head)
    n = 0
    while total < size:
        entry = (f"<div class=\"result\"><h3><a href=\"http://{html.escape(host)}/item/{n}\">Result {n} for "
                 f"{html.escape(keyword)}</a></h3>"
                 f"<img src=\"/__img/{n % 4}.png\" width=\"16\" height=\"16\" alt=\"\">"
                 f"<p>Entry {n} of the result list on {html.escape(host)}. " + "Lorem ipsum dolor sit amet, "
                 * 8 + "</p></div>\n")
        entries.append(entry)
        total += len(entry)
        n += 1
    return page(title, head + "".join(entries))


NEWWIN_BLANK = """<p><a id="l" target="_blank" href="http://popup.test/target-blank">open in a new window</a></p>
<script>
if (location.search.indexOf('auto=1') >= 0)
    window.addEventListener('load', function () { document.getElementById('l').click(); });
if (location.search.indexOf('user=1') >= 0)
    ['keydown', 'mousedown'].forEach(function (type) {
        document.addEventListener(type, function () { document.getElementById('l').click(); }, {once: true});
    });
</script>"""

NEWWIN_OPEN = """<p><button id="b" onclick="window.open('http://popup.test/window-open')">open</button></p>
<script>
if (location.search.indexOf('auto=1') >= 0)
    window.addEventListener('load', function () { window.open('http://popup.test/window-open'); });
if (location.search.indexOf('user=1') >= 0)
    ['keydown', 'mousedown'].forEach(function (type) {
        document.addEventListener(type, function () {
            window.open(new URLSearchParams(location.search).get('to') || 'http://popup.test/window-open');
        }, {once: true});
    });
</script>"""


BAD_POPUPS = """<p>pop-ups without a click</p>
<script>
(function () {
  var n = parseInt(new URLSearchParams(location.search).get('n') || '30', 10);
  for (var i = 0; i < n; ++i) window.open('http://popup.test/storm-' + i);
})();
</script>"""

# The loop starts while the page is still loading, as a broken or hostile script does.
BAD_HANG = """<p>a script that never ends</p>
<script>for (;;) {}</script>"""

# Chromium asks before leaving only a page the user has interacted with.
BAD_STAY = """<p><input id="t" autofocus placeholder="type here"></p>
<script>
window.addEventListener('beforeunload', function (e) { e.preventDefault(); e.returnValue = 'stay'; return 'stay'; });
</script>"""

BAD_DOWNLOADS = """<p>downloads without a click</p>
<script>
(function () {
  var n = parseInt(new URLSearchParams(location.search).get('n') || '5', 10);
  for (var i = 0; i < n; ++i) {
    var f = document.createElement('iframe');
    f.style.display = 'none';
    f.src = '/__download/storm-' + i + '.bin';
    document.body.appendChild(f);
  }
})();
</script>"""

# 2 ms of script every 16 ms, and a counter on the page that changes with it.
ANIM_SCRIPT = """<p id="anim">0</p>
<script>
(function () {
  var el = document.getElementById('anim'), n = 0;
  setInterval(function () {
    var end = performance.now() + 2;
    while (performance.now() < end) {}
    el.textContent = String(++n);
  }, 16);
})();
</script>"""

BAD_PAGES = {"popups": BAD_POPUPS, "hang": BAD_HANG, "stay": BAD_STAY, "downloads": BAD_DOWNLOADS,
             "anim": ANIM_SCRIPT}

# -- memory bomb (the soak) -------------------------------------------------------------------------
# /__bad/bomb, or bad_kind=bomb: a script that takes memory until its renderer process runs out and
# dies, 100 MB at a time between turns of its event loop. Give the engine a small script heap
# (--js-flags=--max-old-space-size=N) so the process dies before the machine runs short.
BAD_BOMB = """<p id="bomb">0</p>
<script>
(function () {
  var hoard = [];
  function grow() {
    for (var i = 0; i < 50; ++i) hoard.push(new Array(250000).fill(hoard.length));
    document.getElementById('bomb').textContent = String(hoard.length);
    setTimeout(grow, 0);
  }
  grow();
})();
</script>"""
BAD_PAGES["bomb"] = BAD_BOMB

# -- animations on screen ---------------------------------------------------------------------------

ON_SCREEN_ANIMATIONS = {
    # 2 ms of script every 16 ms, and the whole canvas drawn again each time.
    "canvas": """<canvas id="pluvik-anim" width="300" height="250" style="display:block"></canvas>
<script>
(function () {
  var c = document.getElementById('pluvik-anim'), g = c.getContext('2d'), n = 0;
  setInterval(function () {
    var end = performance.now() + 2;
    while (performance.now() < end) {}
    ++n;
    g.fillStyle = 'hsl(' + (n % 360) + ', 60%, 45%)';
    g.fillRect(0, 0, c.width, c.height);
    g.fillStyle = '#fff';
    g.beginPath();
    g.arc(150 + 100 * Math.cos(n / 20), 125 + 80 * Math.sin(n / 20), 30, 0, 2 * Math.PI);
    g.fill();
    g.font = '24px sans-serif';
    g.fillText(String(n), 10, 30);
  }, 16);
})();
</script>""",
    # One rotating element, as a loading spinner: the engine animates it without any script.
    "css": """<style>
@keyframes pluvik-spin { from { transform: rotate(0deg); } to { transform: rotate(360deg); } }
#pluvik-anim { width: 64px; height: 64px; margin: 8px; border: 8px solid #ddd; border-top-color: #36c;
  border-radius: 50%; animation: pluvik-spin 1s linear infinite; }
</style>
<div id="pluvik-anim"></div>""",
    "gif": """<img id="pluvik-anim" src="/__anim/spinner.gif" width="150" height="150" alt="" style="display:block">""",
    # A muted video that starts by itself, as advertisements do; in the page, or in a frame of another site.
    "video": """<video id="pluvik-anim" src="/__anim/clip.webm" width="160" height="120" autoplay muted loop
  playsinline></video>""",
    "video-frame": """<iframe id="pluvik-anim" src="http://ads.example.net/__anim/video" width="200" height="160"
  style="border:0"></iframe>""",
}


_CLIP = {}


def video_clip():
    """Two seconds of VP8 in WebM (a bar sweeping over 160x120 at 30 frames a second), encoded once
    with vpxenc from frames made here; empty when vpxenc is missing."""
    if "webm" not in _CLIP:
        width, height, frames = 160, 120, 60
        raw = bytearray(b"YUV4MPEG2 W%d H%d F30:1 Ip A1:1 C420jpeg\n" % (width, height))
        for k in range(frames):
            x0 = k * width // frames
            luma = bytes((235 if x0 <= x < x0 + 16 else 16 + (y * 2) % 200) for y in range(height) for x in range(width))
            raw += b"FRAME\n" + luma + bytes([128]) * (width * height // 2)
        with tempfile.TemporaryDirectory() as d:
            source, clip = os.path.join(d, "clip.y4m"), os.path.join(d, "clip.webm")
            with open(source, "wb") as f:
                f.write(raw)
            try:
                subprocess.run(["vpxenc", "--codec=vp8", "--good", "--cpu-used=16", "--target-bitrate=200", "-q",
                                "-o", clip, source], check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                               timeout=60)
                with open(clip, "rb") as f:
                    _CLIP["webm"] = f.read()
            except (OSError, subprocess.SubprocessError):
                _CLIP["webm"] = b""
    return _CLIP["webm"]


def animated_gif(size=150, frames=10, delay_cs=5):
    """An endlessly looping GIF of diagonal stripes that move each frame. The picture data is LZW with
    a clear code before the table would outgrow 9-bit codes, so every code is a literal pixel."""
    palette = b"".join(bytes(((i * 7) % 256, (i * 13) % 256, 255 - i)) for i in range(256))
    out = bytearray(b"GIF89a" + struct.pack("<HHBBB", size, size, 0xF7, 0, 0) + palette)
    out += b"\x21\xFF\x0BNETSCAPE2.0\x03\x01\x00\x00\x00"  # loop for ever
    for k in range(frames):
        out += b"\x21\xF9\x04\x00" + struct.pack("<H", delay_cs) + b"\x00\x00"
        out += b"\x2C" + struct.pack("<HHHHB", 0, 0, size, size, 0) + b"\x08"
        codes = []
        pixels = [((x + y + k * size // frames) // 10 * 37) % 256 for y in range(size) for x in range(size)]
        for i, p in enumerate(pixels):
            if i % 250 == 0:
                codes.append(256)
            codes.append(p)
        codes.append(257)
        bits, nbits, data = 0, 0, bytearray()
        for code in codes:
            bits |= code << nbits
            nbits += 9
            while nbits >= 8:
                data.append(bits & 0xFF)
                bits >>= 8
                nbits -= 8
        if nbits:
            data.append(bits & 0xFF)
        for i in range(0, len(data), 255):
            out += bytes([len(data[i:i + 255])]) + data[i:i + 255]
        out += b"\x00"
    return bytes(out + b"\x3B")


_ANIMATED_GIF = animated_gif()


def with_animation(body, kind):
    """The result page with the animation of kind first in its body, where the user sees it."""
    return body.replace(b"<body>\n", b"<body>\n" + ON_SCREEN_ANIMATIONS[kind].encode("ascii") + b"\n", 1)


# -- pages too slow or too big to finish soon: sent by Handler.send_heavy_page ----------------------
HEAVY_KINDS = ("slow", "huge")
HUGE_SIZE = 30 * 1024 * 1024
SLOW_MAX_SECONDS = 3600  # "forever" for any test; a client that listens on ends it
# The head and the start of the body come at once; the page answers scripts while it waits for the rest.
SLOW_HEAD = (b"<!DOCTYPE html>\n<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=gbk\">"
             b"<title>%s</title></head>\n<body>\n<p id=\"slow\">a page that never finishes loading</p>\n")


def bad_hosts(sw):
    return {h.strip().lower() for h in sw["bad_host"].split(",") if h.strip()}


# -- hostile download names --------------------------------------------------------------------------
# What a server may put into Content-Disposition, byte for byte: the program must make each a plain name
# inside the folder the user chooses.
HOSTILE_NAMES = {
    "dotdot": b'filename="../../pluvik-escaped.sh"',
    "absolute": b'filename="/tmp/pluvik-absolute.sh"',
    "drive": b"filename*=UTF-8''C%3A%5CWindows%5Cpluvik-drive.exe",
    "control": b"filename*=UTF-8''a%01b%0Ac%1B%7F.txt",
    "long": b"filename*=UTF-8''" + urllib.parse.quote("长" * 300).encode("ascii") + b".zip",
    "dots": b'filename="...."',
    "reserved": b'filename="CON.txt"',
    "exists": b'filename="exists.bin"',
    "gbk": b'filename="\xc8\xed\xbc\xfe.exe"',
    "broken": b'filename="\xe8\xbd\xff\xfe.exe"',
}


# -- engines that fail --------------------------------------------------------------------------------
# The switch engine_faults gives a host's result page a fault, as engines on the real web have them:
#   status:N   the server answers with status N
#   close      the connection closes without an answer
#   moved:HOST a redirect to HOST's front page (a site that moved)
#   nokeyword  a page that loads but never shows the keyword (a front or consent page); the keyword
#              is in it all the same where nobody sees it, as such pages keep the query: a hidden
#              element, an invisible one, a script

def engine_fault(sw, host):
    for item in sw["engine_faults"].split(","):
        name, _, fault = item.partition("=")
        if name.strip().lower() == host.lower():
            return fault.strip()
    return ""


def hostile_page():
    links = "".join(f'<p><a id="{kind}" href="/__hostile/{kind}">{kind}</a></p>' for kind in HOSTILE_NAMES)
    return page("Hostile names", links)


class HostileNames:
    """The handler's part for /__hostile/."""

    def send_hostile(self, host, path, query):
        kind = path[len("/__hostile/"):]
        if kind and kind not in HOSTILE_NAMES:
            self.log_entry(host, path, query, 404)
            return self.send_html(404, "Not Found", "<h1>Not Found</h1>")
        self.log_entry(host, path, query, 200)
        if not kind:
            return self.send_body(200, "text/html; charset=gbk", hostile_page())
        body = package_bytes(1000)
        self.send_response(200)
        self.send_header("Content-Type", "application/octet-stream")
        self.send_header("Content-Length", str(len(body)))
        # send_header writes str as Latin-1: one character per raw byte.
        self.send_header("Content-Disposition", (b"attachment; " + HOSTILE_NAMES[kind]).decode("latin-1"))
        self.send_header("Cache-Control", "no-store")
        self.end_headers()
        if self.command != "HEAD":
            self.wfile.write(body)


class Handler(HostileNames, BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"
    server_version = "PluvikTestServer/1"
    timeout = 120  # idle keep-alive connections end eventually

    def log_message(self, fmt, *args):
        pass  # the JSON log is the record; nothing on stderr per request

    def do_GET(self):
        self.handle_any()

    def do_POST(self):
        length = int(self.headers.get("Content-Length") or 0)
        if length > 0:
            self.rfile.read(length)
        self.handle_any()

    def do_HEAD(self):
        self.handle_any()

    def do_CONNECT(self):
        self.log_entry(self.path.rsplit(":", 1)[0].lower(), "", "", 501)
        self.send_plain(501, b"CONNECT is not supported: the program uses http only\n")
        self.close_connection = True

    # -- helpers -------------------------------------------------------------------------------------

    def log_entry(self, host, path, query, status):
        log_request({
            "t": time.time(), "method": self.command, "host": host, "path": path, "query": query,
            "target": self.path, "user_agent": self.headers.get("User-Agent", ""),
            "cookie": self.headers.get("Cookie", ""), "status": status,
            "accept_language": self.headers.get("Accept-Language", ""),
            "decoded": decoded_target(path, query),
        })

    def send_body(self, status, content_type, body, headers=(), cache="no-store"):
        self.send_response(status)
        self.send_header("Content-Type", content_type)
        self.send_header("Content-Length", str(len(body)))
        if cache:
            self.send_header("Cache-Control", cache)
        for name, value in headers:
            self.send_header(name, value)
        self.end_headers()
        if self.command != "HEAD" and status >= 200 and status not in (204, 304):
            self.wfile.write(body)

    def send_plain(self, status, body):
        self.send_body(status, "text/plain; charset=utf-8", body)

    def send_html(self, status, title, body, headers=(), cache="no-store"):
        self.send_body(status, "text/html; charset=gbk", page(title, body), headers, cache)

    # -- dispatch ------------------------------------------------------------------------------------

    def handle_any(self):
        host, path, query = split_target(self.path, self.headers.get("Host"))
        if host == CONTROL_HOST:
            return self.handle_control(path, query)
        params = query_params(query)
        status = 200
        if path.startswith("/__hostile/"):
            return self.send_hostile(host, path, query)
        if path == "/__hang":
            self.log_entry(host, path, query, 0)
            return self.hang()
        if path.startswith("/__status/"):
            try:
                status = int(path[len("/__status/"):])
            except ValueError:
                status = 400
            if not 100 <= status <= 599:
                status = 400
        elif path in UPDATE_FILES:
            status = switches()[UPDATE_FILES[path]]
        elif path.startswith("/__img/") or path == "/__js/app.js" or path == "/__viewport":
            pass
        elif path.startswith("/__download/"):
            pass
        elif path.startswith("/__anim/") and path not in ("/__anim/spinner.gif", "/__anim/clip.webm") and \
                path[len("/__anim/"):] not in ON_SCREEN_ANIMATIONS:
            status = 404
        elif path.startswith("/__bad/") and path[len("/__bad/"):] not in BAD_PAGES | dict.fromkeys(HEAVY_KINDS):
            status = 404
        elif path.startswith("/__") and not path.startswith(("/__newwin/", "/__cookie/", "/__plain", "/__bad/",
                                                             "/__anim/")):
            status = 404
        self.log_entry(host, path, query, status)

        if path in UPDATE_FILES:
            return self.send_update_file(path, status)
        if path.startswith("/__status/"):
            headers = [("Location", params["to"])] if 300 <= status < 400 and "to" in params else []
            return self.send_html(status, f"Status {status}", f"<h1>Status {status}</h1>", headers)
        if status == 404:
            return self.send_html(404, "Not Found", "<h1>Not Found</h1>")
        if path == "/__viewport":
            return self.send_body(200, "image/png", tiny_png(0))
        if path.startswith("/__download/"):
            return self.send_download(
                urllib.parse.unquote_to_bytes(path[len("/__download/"):].encode("latin-1")).decode("utf-8", "replace")
                or "file.bin")
        if path.startswith("/__bad/"):
            kind = path[len("/__bad/"):]
            if kind in HEAVY_KINDS:
                return self.send_heavy_page(kind, f"Bad {kind}", host, path, query)
            return self.send_html(200, f"Bad {kind}", BAD_PAGES[kind])
        if path == "/__anim/spinner.gif":
            return self.send_body(200, "image/gif", _ANIMATED_GIF, cache="max-age=3600")
        if path == "/__anim/clip.webm":
            clip = video_clip()
            if not clip:
                return self.send_html(404, "Not Found", "<h1>vpxenc is missing</h1>")
            return self.send_body(200, "video/webm", clip, cache="max-age=3600")
        if path.startswith("/__anim/"):
            kind = path[len("/__anim/"):]
            return self.send_html(200, f"Animation {kind}", ON_SCREEN_ANIMATIONS[kind])
        if path.startswith("/__img/"):
            digits = re.sub(r"\D", "", path) or "0"
            return self.send_body(200, "image/png", tiny_png(int(digits)), cache="max-age=3600")
        if path == "/__js/app.js":
            return self.send_body(200, "application/javascript", APP_JS, cache="max-age=3600")
        if path == "/__newwin/blank":
            return self.send_html(200, "NewWin Blank", NEWWIN_BLANK)
        if path == "/__newwin/open":
            return self.send_html(200, "NewWin Open", NEWWIN_OPEN)
        if path == "/__cookie/set":
            name, value = params.get("name", "pluvik"), params.get("value", "1")
            cookie = f"{name}={value}; Max-Age=86400; Path=/"
            return self.send_html(200, "Cookie Set", f"<p id=\"cookie\">{html.escape(cookie)}</p>",
                                  [("Set-Cookie", cookie)])
        if path == "/__cookie/show":
            return self.send_html(200, "Cookie Show",
                                  f"<p id=\"cookie\">{html.escape(self.headers.get('Cookie', ''))}</p>")
        if path == "/6.2.368.htm":
            return self.send_html(200, "Pluvik 6.2.368", "<p>Pluvik 6.2.368</p>", cache="max-age=3600")

        fault = engine_fault(switches(), host)
        if fault:
            return self.send_engine_fault(fault, query)
        delay = switches()["page_delay_ms"]
        if delay > 0:
            time.sleep(delay / 1000.0)
        title = f"Popup {path}" if host == POPUP_HOST else f"Result {host}"
        size = 1024 if path == "/__plain" else 100 * 1024
        if params.get("__size", "").isdigit():
            size = int(params["__size"])
        sw = switches()
        if host in bad_hosts(sw) and sw["bad_kind"] in HEAVY_KINDS:
            return self.send_heavy_page(sw["bad_kind"], title, host, path, query)
        if host in bad_hosts(sw) and sw["bad_kind"] in BAD_PAGES:
            return self.send_html(200, title, BAD_PAGES[sw["bad_kind"]])
        body = result_page(title, host, path, query, size)
        if sw["animation"] in ON_SCREEN_ANIMATIONS:
            return self.send_body(200, "text/html; charset=gbk", with_animation(body, sw["animation"]))
        if sw["animate"]:
            body = body.replace(b"</body>", ANIM_SCRIPT.encode("ascii") + b"</body>")
            return self.send_body(200, "text/html; charset=gbk", body)
        self.send_body(200, "text/html; charset=gbk", body, cache="max-age=3600")

    def handle_control(self, path, query):
        global _switches
        if path == "/reset":
            with _switch_lock:
                _switches = dict(DEFAULTS)
        elif path == "/clear":
            with _log_lock:
                _log_lines.clear()
                _log_file.truncate(0)
        elif path == "/log":
            with _log_lock:
                text = "".join(line + "\n" for line in _log_lines)
            return self.send_plain(200, text.encode("ascii"))
        elif path == "/set":
            changes = {}
            for key, value in query_params(query).items():
                if key not in DEFAULTS:
                    return self.send_plain(400, f"unknown switch {key}\n".encode())
                if isinstance(DEFAULTS[key], int):
                    try:
                        value = int(value)
                    except ValueError:
                        return self.send_plain(400, f"{key} needs a number\n".encode())
                changes[key] = value
            with _switch_lock:
                _switches.update(changes)
        else:
            return self.send_plain(404, b"control: /set, /reset, /clear or /log\n")
        self.send_plain(200, (json.dumps(switches()) + "\n").encode())

    # -- update files and their faults ----------------------------------------------------------------

    def send_update_file(self, path, status):
        sw = switches()
        if path == "/up.txt":
            if sw["update_text"]:
                body = sw["update_text"].encode("latin-1")
            else:
                body = sw["update_version"].encode("latin-1") + b"\r\nPluvik\r\n"
                if sw["engines_key"]:
                    body += b"engines=" + sw["engines_key"].encode("latin-1") + b"\r\n"
            faulty = sw["faults_on"] in ("update", "both")
            content_type = "text/plain"
        elif path == "/engines.txt":
            body = sw["engines_text"].encode("latin-1")
            faulty = sw["faults_on"] == "engines"
            content_type = "text/plain"
        else:
            body = package_bytes(max(0, sw["package_size"]))
            faulty = sw["faults_on"] in ("package", "both")
            content_type = "application/octet-stream"
        if status >= 400:
            body, content_type = page(f"Status {status}", f"<h1>Status {status}</h1>"), "text/html; charset=gbk"
        if not faulty:
            return self.send_body(status, content_type, body)

        if sw["delay_ms"] > 0:
            time.sleep(sw["delay_ms"] / 1000.0)
        if sw["reset"] and sw["truncate_at"] < 0:
            return self.reset_connection()
        self.send_response(status)
        self.send_header("Content-Type", content_type)
        self.send_header("Content-Length", str(len(body)))
        self.send_header("Cache-Control", "no-store")
        self.end_headers()
        self.wfile.flush()
        if self.command == "HEAD":
            return
        cut = sw["truncate_at"] >= 0 and sw["truncate_at"] < len(body)
        if cut:
            body = body[: sw["truncate_at"]]
        self.write_paced(body, sw["trickle_bps"])
        if sw["reset"]:
            return self.reset_connection()
        if cut:
            self.wfile.flush()
            self.close_connection = True

    def send_download(self, name):
        sw = switches()
        body = package_bytes(max(0, sw["download_size"]))
        quoted = urllib.parse.quote(name)
        self.send_response(200)
        self.send_header("Content-Type", "application/octet-stream")
        self.send_header("Content-Length", str(len(body)))
        self.send_header("Content-Disposition", f"attachment; filename=\"{quoted}\"; filename*=UTF-8''{quoted}")
        self.send_header("Cache-Control", "no-store")
        self.end_headers()
        if self.command == "HEAD":
            return
        cut = 0 <= sw["download_truncate_at"] < len(body)
        if cut:
            body = body[: sw["download_truncate_at"]]
        self.write_paced(body, sw["download_bps"])
        if cut:
            self.wfile.flush()
            self.close_connection = True

    # -- pages too slow or too big to finish soon -------------------------------------------------------

    def send_heavy_page(self, kind, title, host, path, query):
        if kind == "huge":
            return self.send_body(200, "text/html; charset=gbk", result_page(title, host, path, query, HUGE_SIZE))
        # No length and no chunks: the body ends only when the connection does, which it never does.
        self.send_response(200)
        self.send_header("Content-Type", "text/html; charset=gbk")
        self.send_header("Cache-Control", "no-store")
        self.send_header("Connection", "close")
        self.end_headers()
        self.close_connection = True
        if self.command == "HEAD":
            return
        try:
            self.wfile.write(SLOW_HEAD % html.escape(title).encode("gb18030"))
            self.wfile.flush()
            for _ in range(SLOW_MAX_SECONDS):
                time.sleep(1)
                self.wfile.write(b" ")
                self.wfile.flush()
        except OSError:
            pass  # the client went away: a new search, a stop or the end of the program

    def write_paced(self, data, bytes_per_second):
        if bytes_per_second <= 0:
            self.wfile.write(data)
            return
        step = max(1, bytes_per_second // 10)
        for start in range(0, len(data), step):
            self.wfile.write(data[start:start + step])
            self.wfile.flush()
            time.sleep(len(data[start:start + step]) / bytes_per_second)

    def send_engine_fault(self, fault, query=""):
        kind, _, arg = fault.partition(":")
        if kind == "status" and arg.isdigit() and 400 <= int(arg) <= 599:
            return self.send_html(int(arg), f"Status {arg}", f"<h1>Status {arg}</h1>")
        if kind == "moved" and arg:
            return self.send_html(301, "Moved", "<h1>Moved</h1>", [("Location", f"http://{arg}/")])
        if kind == "nokeyword":
            keyword = result_keyword(query)
            literal = json.dumps(keyword).replace("<", "\\u003c")
            unseen = (f"<div style=\"display:none\">{html.escape(keyword)}</div>"
                      f"<p style=\"visibility:hidden\">{html.escape(keyword)}</p>"
                      f"<script>var query = {literal};</script>")
            return self.send_html(200, "Welcome", "<h1>Welcome</h1><p>Please accept the terms first.</p>" + unseen)
        # close, and any fault not known: no answer at all
        self.close_connection = True

    def reset_connection(self):
        self.wfile.flush()
        # Linger 0 turns the close into a RST instead of an orderly FIN.
        self.connection.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, struct.pack("ii", 1, 0))
        self.connection.close()
        self.close_connection = True

    def hang(self):
        """Keep the connection open without answering until the client gives up or time runs out."""
        deadline = time.time() + HANG_SECONDS
        while time.time() < deadline:
            readable, _, _ = select.select([self.connection], [], [], 1.0)
            if readable:
                try:
                    if not self.connection.recv(4096):
                        break
                except OSError:
                    break
        self.close_connection = True


class Server(ThreadingHTTPServer):
    daemon_threads = True
    request_queue_size = 256

    def handle_error(self, request, client_address):
        error = sys.exc_info()[1]
        if isinstance(error, OSError):
            return  # clients that go away mid-answer are normal for a browser
        super().handle_error(request, client_address)


def main():
    global _log_file
    parser = argparse.ArgumentParser(description="Local HTTP server and proxy for the Pluvik tests")
    parser.add_argument("--port", type=int, default=0, help="port on 127.0.0.1; 0 picks a free one")
    parser.add_argument("--log", required=True, help="file that receives one JSON line per request")
    parser.add_argument("--port-file", help="file that receives the chosen port number")
    args = parser.parse_args()

    _log_file = open(args.log, "a", encoding="ascii")
    server = Server(("127.0.0.1", args.port), Handler)
    port = server.server_address[1]
    if args.port_file:
        # Written whole and renamed, so a reader never sees a partial number.
        temp = args.port_file + ".tmp"
        with open(temp, "w") as f:
            f.write(f"{port}\n")
        os.replace(temp, args.port_file)
    print(f"listening on {port}", flush=True)
    try:
        server.serve_forever()
    except KeyboardInterrupt:
        pass


if __name__ == "__main__":
    main()
