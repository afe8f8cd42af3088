"""Shared pieces of the benchmark scripts: the local server, a home of its own for each run of the program,
the event trace, the minimal baseline program, proportional set sizes of process trees, and the output
(one line of JSON, then a human summary).

Nothing here talks to anything but 127.0.0.1: the program, the baseline and Chromium all get the local
test server as their proxy, and the server answers for every host itself.
"""

import json
import os
import shutil
import signal
import statistics
import subprocess
import sys
import tempfile
import time
import urllib.request

BENCH_DIR = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
REPO = os.path.dirname(BENCH_DIR)
SERVER = os.path.join(REPO, "tests", "server", "server.py")
MAIN_WINDOW = "禾朔搜索"
RESULT_TABS = 23
BUILT_IN_TABS = 21
# What the program sets for its engine when the user sets no Chromium flags (src/app/main.cpp).
PROGRAM_DEFAULT_CHROMIUM_FLAGS = "--renderer-process-limit=4"
DATA_SUFFIXES = (".htm", ".html", ".ini", ".css", ".js", ".png", ".ico", ".gif", ".jpg", ".jpeg", ".bmp",
                 ".svg")
SETTINGS_FILES = ("gn.txt", "diy.txt", "update.txt", "pluvik.rar")


def now_ms():
    return time.time() * 1000.0


def log(*parts):
    print(*parts, file=sys.stderr, flush=True)


def median(values):
    values = [v for v in values if v is not None]
    return statistics.median(values) if values else None


def ratio(a, b):
    return round(a / b, 3) if a is not None and b else None


def rounded(value, digits=1):
    return None if value is None else round(value, digits)


def ensure_display():
    """Runs the calling script again under a virtual display when there is none."""
    if os.environ.get("DISPLAY") or os.environ.get("PLUVIK_BENCH_IN_XVFB"):
        return
    if not shutil.which("xvfb-run"):
        sys.exit("no DISPLAY and no xvfb-run: install xvfb")
    log("no display: running under xvfb-run")
    env = dict(os.environ, PLUVIK_BENCH_IN_XVFB="1")
    args = ["xvfb-run", "-a", "-s", "-screen 0 1280x1024x24", sys.executable] + sys.argv
    sys.exit(subprocess.call(args, env=env))


_desktop = []


def _x_property(name):
    out = subprocess.run(["xprop", "-root", name], stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
    return out.stdout if out.returncode == 0 else ""


def ensure_window_manager():
    """Starts openbox on the display when no window manager runs there (xvfb-run starts none), so
    windows are placed, minimised and restored as on a desktop. It ends with this script."""
    if "window id" in _x_property("_NET_SUPPORTING_WM_CHECK"):
        return
    if not shutil.which("openbox"):
        sys.exit("no window manager on the display and no openbox: run scripts/setup")
    _desktop.append(spawn(["openbox", "--sm-disable"], dict(os.environ)))
    deadline = time.time() + 10
    while "window id" not in _x_property("_NET_SUPPORTING_WM_CHECK"):
        if time.time() > deadline:
            raise RuntimeError("openbox did not start")
        time.sleep(0.1)


class Tray:
    """A notification area (trayer) on the display for as long as the object lives."""

    def __init__(self):
        if not shutil.which("trayer"):
            raise RuntimeError("no trayer: run scripts/setup")
        self.proc = spawn(["trayer", "--edge", "bottom", "--align", "right", "--widthtype", "request",
                           "--height", "24"], dict(os.environ))
        time.sleep(1)

    def stop(self):
        stop(self.proc)


def stop_desktop():
    while _desktop:
        stop(_desktop.pop())


def program_path():
    path = os.environ.get("PLUVIK_EXECUTABLE") or os.path.join(REPO, "build", "bin", "pluvik")
    if not os.access(path, os.X_OK):
        sys.exit(f"{path} not found: run scripts/test first (or set PLUVIK_EXECUTABLE)")
    return path


_bench_bin = None


def bench_bin(name):
    """A program of bench/CMakeLists.txt, built once per run by bench/build.sh."""
    global _bench_bin
    if _bench_bin is None:
        out = subprocess.run([os.path.join(BENCH_DIR, "build.sh")], check=True, stdout=subprocess.PIPE,
                             text=True).stdout.strip().splitlines()
        _bench_bin = out[-1]
    return os.path.join(_bench_bin, name)


def emit(results, summary):
    print(json.dumps(results, ensure_ascii=False, sort_keys=True))
    print(summary)


# -- processes ------------------------------------------------------------------------------------------

def stop(proc, grace=5.0):
    if proc is None or proc.poll() is not None:
        return
    proc.send_signal(signal.SIGTERM)
    try:
        proc.wait(grace)
    except subprocess.TimeoutExpired:
        try:
            os.killpg(proc.pid, signal.SIGKILL)
        except OSError:
            proc.kill()
        proc.wait()
    # Helpers the browser left behind (zygotes, renderers) belong to the process group.
    try:
        os.killpg(proc.pid, signal.SIGKILL)
    except OSError:
        pass


def spawn(args, env, cwd=None, stdout=None):
    """Starts a process in a group of its own, so its helper processes can be ended with it."""
    return subprocess.Popen(args, env=env, cwd=cwd, stdout=stdout or subprocess.DEVNULL,
                            stderr=subprocess.DEVNULL, start_new_session=True)


def process_tree(pid):
    children = {}
    for entry in os.listdir("/proc"):
        if not entry.isdigit():
            continue
        try:
            with open(f"/proc/{entry}/stat") as f:
                stat = f.read()
        except OSError:
            continue
        ppid = int(stat[stat.rfind(")") + 2:].split()[1])
        children.setdefault(ppid, []).append(int(entry))
    tree, todo = [], [pid]
    while todo:
        p = todo.pop()
        tree.append(p)
        todo.extend(children.get(p, []))
    return tree


def cmdline(pid):
    try:
        with open(f"/proc/{pid}/cmdline", "rb") as f:
            return f.read().replace(b"\0", b" ").decode(errors="replace")
    except OSError:
        return ""


def pss_kb(pid):
    try:
        with open(f"/proc/{pid}/smaps_rollup") as f:
            for line in f:
                if line.startswith("Pss:"):
                    return int(line.split()[1])
    except OSError:
        pass
    return 0


def tree_memory(pid):
    """Sum of the proportional set sizes of a process and every descendant, in MB, and the process count
    by Chromium process type."""
    pids = process_tree(pid)
    kinds = {}
    for p in pids:
        line = cmdline(p)
        kind = "main"
        if "--type=" in line:
            kind = line.split("--type=", 1)[1].split()[0]
        kinds[kind] = kinds.get(kind, 0) + 1
    return sum(pss_kb(p) for p in pids) / 1024.0, kinds


# -- the local server -----------------------------------------------------------------------------------

class Server:
    def __init__(self, workdir):
        self.log_path = os.path.join(workdir, "server.log")
        port_file = os.path.join(workdir, "server.port")
        self.proc = subprocess.Popen([sys.executable, SERVER, "--port", "0", "--log", self.log_path,
                                      "--port-file", port_file],
                                     stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        deadline = time.time() + 10
        while not os.path.exists(port_file):
            if time.time() > deadline or self.proc.poll() is not None:
                raise RuntimeError("the test server did not start")
            time.sleep(0.05)
        with open(port_file) as f:
            self.port = int(f.read().strip())
        self.proxy = f"http://127.0.0.1:{self.port}"

    def control(self, query):
        opener = urllib.request.build_opener(urllib.request.ProxyHandler({"http": self.proxy}))
        with opener.open(f"http://control.test/{query}", timeout=10) as reply:
            return reply.read()

    def requests(self):
        try:
            with open(self.log_path, encoding="ascii") as f:
                return [json.loads(line) for line in f if line.strip()]
        except OSError:
            return []

    def close(self):
        self.proc.terminate()
        try:
            self.proc.wait(5)
        except subprocess.TimeoutExpired:
            self.proc.kill()

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.close()


def proxy_env(proxy, base=None):
    env = dict(base if base is not None else os.environ)
    for name in ("http_proxy", "HTTP_PROXY", "https_proxy", "HTTPS_PROXY"):
        env[name] = proxy
    for name in ("no_proxy", "NO_PROXY"):
        env[name] = ""
    for name in ("all_proxy", "ALL_PROXY", "ftp_proxy", "FTP_PROXY"):
        env.pop(name, None)
    if os.geteuid() == 0:
        env["QTWEBENGINE_DISABLE_SANDBOX"] = "1"
    return env


# -- the program ----------------------------------------------------------------------------------------

class Home:
    """A temporary home: a program directory with the build's data files (no settings files), the XDG
    folders and the trace file, as the end-to-end tests make one."""

    def __init__(self, root, name):
        self.dir = os.path.join(root, name)
        self.program_dir = os.path.join(self.dir, "program")
        for sub in ("program", ".config", ".local/share", ".cache"):
            os.makedirs(os.path.join(self.dir, sub), exist_ok=True)
        runtime = os.path.dirname(program_path())
        for name in os.listdir(runtime):
            src = os.path.join(runtime, name)
            if (os.path.isfile(src) and name.lower().endswith(DATA_SUFFIXES)
                    and name.lower() not in SETTINGS_FILES and not os.access(src, os.X_OK)):
                shutil.copy(src, self.program_dir)
        self.trace_path = os.path.join(self.dir, "trace.jsonl")
        self.start_page = os.path.join(self.program_dir, "Pluvik.htm")

    def env(self, proxy, extra=None):
        env = proxy_env(proxy)
        env.update({"PLUVIK_HOME": self.program_dir, "PLUVIK_TRACE": self.trace_path, "HOME": self.dir,
                    "XDG_CONFIG_HOME": os.path.join(self.dir, ".config"),
                    "XDG_DATA_HOME": os.path.join(self.dir, ".local/share"),
                    "XDG_CACHE_HOME": os.path.join(self.dir, ".cache")})
        env.update(extra or {})
        return env

    def write_diy(self, name1, url1, name2, url2):
        """Switches both user-defined engines on ("DIY.txt": GBK, CR LF, one value per line)."""
        lines = [" 1 ", " 1 ", name1, name2, url1, url2]
        with open(os.path.join(self.program_dir, "DIY.txt"), "wb") as f:
            f.write("".join(line + "\r\n" for line in lines).encode("gbk"))


class JsonLines:
    """The JSON lines a process appends to a file, read on from where the last read stopped: the
    scripts poll a trace every 20 ms while the machine is busiest, and parsing it whole each time
    would cost the side with the longer trace more of the CPU both sides are measured on."""

    def __init__(self, path):
        self.path = path
        self._offset = 0
        self._partial = b""
        self._events = []

    def read(self):
        try:
            with open(self.path, "rb") as f:
                f.seek(self._offset)
                data = f.read()
        except OSError:
            return list(self._events)
        self._offset += len(data)
        data = self._partial + data
        lines = data.split(b"\n")
        self._partial = lines.pop()  # a line still being written
        for line in lines:
            try:
                self._events.append(json.loads(line))
            except ValueError:
                pass
        return list(self._events)


class Program:
    def __init__(self, home, proxy, extra_env=None):
        self.home = home
        self.t0 = now_ms()
        self.proc = spawn([program_path()], home.env(proxy, extra_env), cwd=home.program_dir)
        self._trace = JsonLines(home.trace_path)

    def events(self):
        return self._trace.read()

    def wait_for(self, predicate, timeout, poll=0.02):
        """Polls the trace until predicate(events) gives something other than None; returns it."""
        deadline = time.time() + timeout
        while time.time() < deadline:
            if self.proc.poll() is not None:
                raise RuntimeError("the program ended early")
            value = predicate(self.events())
            if value is not None:
                return value
            time.sleep(poll)
        raise TimeoutError("the program did not get there in time")

    def stop(self):
        stop(self.proc)


def first_loads(events, since_ms=0, tabs=RESULT_TABS, scheme=None):
    """The first load_finished after since_ms of each main-window result tab WebBrowser1..tabs."""
    wanted = {f"WebBrowser{i}" for i in range(1, tabs + 1)}
    loads = {}
    for e in events:
        if (e.get("event") == "load_finished" and e.get("window") == MAIN_WINDOW and e["t_ms"] >= since_ms
                and e.get("browser") in wanted and e.get("browser") not in loads
                and (scheme is None or e.get("url", "").startswith(scheme))):
            loads[e["browser"]] = e
    return loads


def all_loaded(tabs=RESULT_TABS, since_ms=0, scheme=None):
    """A trace predicate: the time the last of the tabs had loaded, once all have."""
    def predicate(events):
        loads = first_loads(events, since_ms, tabs, scheme)
        return max(e["t_ms"] for e in loads.values()) if len(loads) == tabs else None
    return predicate


def loaded_count(count, since_ms=0, scheme=None):
    """A trace predicate: the time the count-th result tab had loaded, once that many have."""
    def predicate(events):
        loads = first_loads(events, since_ms, RESULT_TABS, scheme)
        return max(e["t_ms"] for e in loads.values()) if len(loads) >= count else None
    return predicate


# The program's own option files that change what a search loads: tabs loaded when first shown (only
# the tab in front loads at Enter), and a search scope of one group (网页, nine engines).
VARIANTS = {"lazy": ("tabs_when_shown.txt", "1\n"), "group": ("scope.txt", "网页\n")}


def write_variant(home, variant):
    if variant:
        name, text = VARIANTS[variant]
        with open(os.path.join(home.program_dir, name), "w", encoding="utf-8") as f:
            f.write(text)


def search_loads(started, variant):
    """How many pages a search loads at Enter: one with tabs loaded when shown, else its tabs."""
    return 1 if variant == "lazy" else len(started.get("tabs", [])) or BUILT_IN_TABS


def event_time(name, since_ms=0):
    def predicate(events):
        for e in events:
            if e.get("event") == name and e["t_ms"] >= since_ms:
                return e
        return None
    return predicate


def xdotool(*args):
    subprocess.run(["xdotool", *args], check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


def window_geometry(window_id):
    """(x, y, width, height) of a window on the screen."""
    out = subprocess.run(["xdotool", "getwindowgeometry", "--shell", str(window_id)], check=True,
                         stdout=subprocess.PIPE, text=True).stdout
    values = dict(line.split("=", 1) for line in out.split())
    return int(values["X"]), int(values["Y"]), int(values["WIDTH"]), int(values["HEIGHT"])


def type_search(program, keyword, replace=False):
    """Clicks the keyword box, types the keyword and returns the time just before Enter went out."""
    shown = program.wait_for(event_time("main_window_shown"), 30)
    # The place is recorded as the window is first shown, before a window manager places it: taken
    # against the window, it stays right wherever the window went. Older builds noted only the place on
    # the screen, which was the place in the window as long as they opened at the screen's corner.
    x = shown.get("keyword_window_x", shown["keyword_x"])
    y = shown.get("keyword_window_y", shown["keyword_y"])
    xdotool("mousemove", "--window", shown["window_id"], str(x), str(y), "click", "1")
    time.sleep(0.3)
    if replace:
        # Ctrl+A is the program's "关于" shortcut: the old keyword is selected by keys of the box itself.
        xdotool("key", "End", "shift+Home")
    xdotool("type", "--delay", "20", keyword)
    time.sleep(0.3)
    t_enter = now_ms()
    xdotool("key", "Return")
    return t_enter


# -- the baseline ---------------------------------------------------------------------------------------

class Baseline:
    """The minimal Qt WebEngine program: one tab per address, load times as JSON lines on stdout."""

    def __init__(self, root, name, proxy, addresses, extra_args=(), extra_env=None):
        self.dir = os.path.join(root, name)
        os.makedirs(self.dir, exist_ok=True)
        self.out_path = os.path.join(self.dir, "events.jsonl")
        env = proxy_env(proxy)
        env.update({"HOME": self.dir, "XDG_CACHE_HOME": os.path.join(self.dir, ".cache"),
                    "XDG_DATA_HOME": os.path.join(self.dir, ".local/share"),
                    "XDG_CONFIG_HOME": os.path.join(self.dir, ".config")})
        env.update(extra_env or {})
        args = [bench_bin("bench_baseline"), "--profile", os.path.join(self.dir, "profile"), *extra_args,
                *addresses]
        self._out = open(self.out_path, "wb")
        self.t0 = now_ms()
        self.proc = spawn(args, env, cwd=self.dir, stdout=self._out)
        self._events = JsonLines(self.out_path)

    def events(self):
        return self._events.read()

    def wait_for(self, predicate, timeout):
        deadline = time.time() + timeout
        while time.time() < deadline:
            if self.proc.poll() is not None:
                raise RuntimeError("the baseline ended early")
            value = predicate(self.events())
            if value is not None:
                return value
            time.sleep(0.02)
        raise TimeoutError("the baseline did not get there in time")

    def stop(self):
        stop(self.proc)
        self._out.close()


def baseline_round(number):
    def predicate(events):
        for e in events:
            if e.get("event") == "all_loaded" and e.get("round") == number:
                return e
        return None
    return predicate


def work_dir(prefix):
    return tempfile.mkdtemp(prefix=f"pluvik-bench-{prefix}-")


# -- CPU time of process trees --------------------------------------------------------------------------

CLOCK_TICKS = os.sysconf("SC_CLK_TCK")


def cpu_snapshot(pid):
    """Per process of the tree: (utime + stime, cutime + cstime) in clock ticks. The second pair holds
    the children a process has already waited for, so helpers that ended are not lost."""
    out = {}
    for p in process_tree(pid):
        try:
            with open(f"/proc/{p}/stat") as f:
                fields = f.read().rsplit(")", 1)[1].split()
        except (OSError, IndexError):
            continue
        # Fields 14 to 17 of stat (1-based); the split starts at field 3, the state.
        out[p] = (int(fields[11]) + int(fields[12]), int(fields[13]) + int(fields[14]))
    return out


def cpu_seconds(before, after):
    """CPU seconds the tree used between two snapshots: each process's own time since the first (all of
    it for one that appeared since), and what its waited-for children used in between."""
    ticks = 0
    for p, (own, children) in after.items():
        was_own, was_children = before.get(p, (0, children))
        ticks += max(0, own - was_own) + max(0, children - was_children)
    return ticks / CLOCK_TICKS


def process_kind(pid, root):
    """"main" for root, else the Chromium process type of a helper (--type=...). The engine's renderers
    are forked from its zygote and keep the zygote's command line: a zygote under a zygote is one."""
    if pid == root:
        return "main"

    def kind_of(p):
        line = cmdline(p)
        return line.split("--type=", 1)[1].split()[0] if "--type=" in line else "other"

    kind = kind_of(pid)
    if kind == "zygote":
        try:
            with open(f"/proc/{pid}/stat") as f:
                parent = int(f.read().rsplit(")", 1)[1].split()[1])
        except (OSError, IndexError, ValueError):
            return kind
        if kind_of(parent) == "zygote":
            return "renderer"
    return kind


def thread_group(pid, tid, name):
    """What a thread of a main process does, by its name: the main (GUI) thread, Mesa's GL rasterisers
    (llvmpipe-N, softpipe), the engine's GPU and compositor threads, the Qt Quick render thread, the
    rest."""
    if tid == pid:
        return "main"
    if name.startswith(("llvmpipe", "softpipe", "lp:")):
        return "gl_raster"
    if name.startswith(("Chrome_InProcGp", "CrGpuMain", "VizCompositor", "Compositor")):
        return "gpu_compositor"
    if name.startswith("QSGRender"):
        return "qt_quick_render"
    return "other"


def thread_snapshot(pid):
    """utime + stime in clock ticks of each thread of one process: {tid: (name, ticks)}."""
    out = {}
    try:
        tids = os.listdir(f"/proc/{pid}/task")
    except OSError:
        return out
    for tid in tids:
        try:
            with open(f"/proc/{pid}/task/{tid}/stat") as f:
                stat = f.read()
        except OSError:
            continue
        name = stat[stat.find("(") + 1:stat.rfind(")")]
        fields = stat.rsplit(")", 1)[1].split()
        out[int(tid)] = (name, int(fields[11]) + int(fields[12]))
    return out


def measure_cpu(pid, seconds):
    """CPU seconds the process tree of pid uses over the next seconds: {"cpu_s", "processes", "by_kind"
    (main, renderer, gpu-process, zygote, utility...), "busiest_s" (the one process that used most),
    "main_by_thread" (the main process's time by thread_group; threads that ended in between are
    missing)}."""
    before, threads_before = cpu_snapshot(pid), thread_snapshot(pid)
    time.sleep(seconds)
    after, threads_after = cpu_snapshot(pid), thread_snapshot(pid)
    by_thread = {}
    for tid, (name, ticks) in threads_after.items():
        group = thread_group(pid, tid, name)
        used = (ticks - threads_before.get(tid, (name, 0))[1]) / CLOCK_TICKS
        by_thread[group] = round(by_thread.get(group, 0) + used, 2)
    kinds, busiest = {}, 0.0
    for p in after:
        used = cpu_seconds({p: before[p]} if p in before else {}, {p: after[p]})
        kind = process_kind(p, pid)
        kinds[kind] = round(kinds.get(kind, 0) + used, 2)
        busiest = max(busiest, used)
    return {"cpu_s": cpu_seconds(before, after), "processes": len(after), "by_kind": kinds,
            "busiest_s": busiest, "main_by_thread": by_thread}


# -- Debian's Chromium ------------------------------------------------------------------------------------

def chromium_path():
    for name in ("chromium", "chromium-browser"):
        if shutil.which(name):
            return shutil.which(name)
    log("installing Debian's chromium")
    sudo = [] if os.geteuid() == 0 else ["sudo"]
    subprocess.run(sudo + ["apt-get", "install", "-y", "chromium"], check=True, stdout=subprocess.DEVNULL)
    return shutil.which("chromium")


class Chromium:
    """Chromium with a fresh profile and the local server as its proxy (background networking off), the
    addresses in tabs: the first on the command line, the others opened through the DevTools endpoint
    on 127.0.0.1. Headless, or with geometry (x, y, width, height) in a window on the display, as a
    user runs it (its own choice of GPU or software compositing)."""

    def __init__(self, root, name, proxy, urls, geometry=None):
        import urllib.parse
        self.profile = os.path.join(root, name)
        os.makedirs(self.profile)
        if geometry:
            x, y, w, h = geometry
            shown = [f"--window-position={x},{y}", f"--window-size={w},{h}", "--no-default-browser-check",
                     "--password-store=basic", "--disable-session-crashed-bubble"]
        else:
            shown = ["--headless=new", "--disable-gpu"]
        args = [chromium_path(), f"--proxy-server={proxy}", "--no-sandbox", *shown,
                "--no-first-run", "--disable-background-networking", "--disable-component-update",
                "--disable-sync", "--remote-debugging-address=127.0.0.1", "--remote-debugging-port=0",
                f"--user-data-dir={self.profile}", urls[0]]
        env = proxy_env(proxy)
        env["HOME"] = self.profile
        self.proc = spawn(args, env)
        port_file = os.path.join(self.profile, "DevToolsActivePort")
        deadline = time.time() + 30
        while not os.path.exists(port_file) or not open(port_file).read().strip():
            if time.time() > deadline or self.proc.poll() is not None:
                self.stop()
                raise RuntimeError("Chromium did not open its DevTools port")
            time.sleep(0.1)
        self.port = int(open(port_file).read().split()[0])
        self._direct = urllib.request.build_opener(urllib.request.ProxyHandler({}))
        for url in urls[1:]:
            self._get(f"/json/new?{urllib.parse.quote(url, safe='')}", "PUT")

    def _get(self, path, method="GET"):
        request = urllib.request.Request(f"http://127.0.0.1:{self.port}{path}", method=method)
        with self._direct.open(request, timeout=10) as reply:
            body = reply.read()
        try:
            return json.loads(body)
        except ValueError:
            return body.decode(errors="replace")  # "Target activated" and the like

    def pages(self):
        return [t for t in self._get("/json/list") if t.get("type") == "page"]

    def activate(self, url):
        """Brings the tab showing url to the front."""
        for t in self.pages():
            if t.get("url") == url:
                self._get(f"/json/activate/{t['id']}")
                return True
        return False

    def window_id(self):
        """The X window of Chromium's browser window (the newest, should it have opened more)."""
        found = subprocess.run(["xdotool", "search", "--onlyvisible", "--pid", str(self.proc.pid)],
                               stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True).stdout.split()
        if not found:
            found = subprocess.run(["xdotool", "search", "--onlyvisible", "--class", "chromium"],
                                   stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True).stdout.split()
        if not found:
            raise RuntimeError("Chromium shows no window")
        return int(found[-1])

    def evaluate(self, target, expression):
        """The value of a script expression in one tab (Runtime.evaluate over the tab's WebSocket)."""
        return _devtools_call(target["webSocketDebuggerUrl"], "Runtime.evaluate",
                              {"expression": expression, "returnByValue": True})["result"].get("value")

    def stop(self):
        stop(self.proc)


def _devtools_call(ws_url, method, params):
    """One call over a DevTools WebSocket: a minimal client (handshake, one masked text frame out,
    text frames in until the answer to this call)."""
    import base64
    import socket
    import struct
    import urllib.parse
    parts = urllib.parse.urlsplit(ws_url)
    with socket.create_connection((parts.hostname, parts.port), timeout=10) as sock:
        key = base64.b64encode(os.urandom(16)).decode()
        sock.sendall((f"GET {parts.path} HTTP/1.1\r\nHost: {parts.netloc}\r\nUpgrade: websocket\r\n"
                      f"Connection: Upgrade\r\nSec-WebSocket-Key: {key}\r\nSec-WebSocket-Version: 13\r\n\r\n")
                     .encode())
        buf = b""
        while b"\r\n\r\n" not in buf:
            chunk = sock.recv(4096)
            if not chunk:
                raise RuntimeError("DevTools closed the WebSocket handshake")
            buf += chunk
        head, buf = buf.split(b"\r\n\r\n", 1)
        if b" 101 " not in head.split(b"\r\n", 1)[0]:
            raise RuntimeError("DevTools refused the WebSocket: " + head.split(b"\r\n", 1)[0].decode())
        payload = json.dumps({"id": 1, "method": method, "params": params}).encode()
        mask = os.urandom(4)
        header = bytes([0x81])
        if len(payload) < 126:
            header += bytes([0x80 | len(payload)])
        elif len(payload) < 65536:
            header += bytes([0x80 | 126]) + struct.pack(">H", len(payload))
        else:
            header += bytes([0x80 | 127]) + struct.pack(">Q", len(payload))
        sock.sendall(header + mask + bytes(c ^ mask[i % 4] for i, c in enumerate(payload)))

        def need(n):
            nonlocal buf
            while len(buf) < n:
                chunk = sock.recv(65536)
                if not chunk:
                    raise RuntimeError("DevTools closed the WebSocket")
                buf += chunk
            data, buf = buf[:n], buf[n:]
            return data

        message = b""
        while True:
            first, second = need(2)
            length = second & 0x7F
            if length == 126:
                length = struct.unpack(">H", need(2))[0]
            elif length == 127:
                length = struct.unpack(">Q", need(8))[0]
            data = need(length)
            message += data
            if not first & 0x80:
                continue  # more fragments follow
            if first & 0x0F in (1, 0):
                reply = json.loads(message)
                if reply.get("id") == 1:
                    if "error" in reply:
                        raise RuntimeError(f"DevTools: {reply['error']}")
                    return reply["result"]
            message = b""
