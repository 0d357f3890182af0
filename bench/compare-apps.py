#!/usr/bin/env python3
"""Start-up, memory, idle cost and a long chat of pelko beside MiniBrowser and Chromium in app mode.

Builds the Linux app (Release) for the demo service's origin in build/perf, starts one
Xvfb server and one demo service (in bench mode), then runs the apps in turn (pelko,
MiniBrowser, Chromium, pelko, ...). Run as root, it runs every app as the unprivileged
user pelko-bench (made when missing) through setpriv, so each keeps its sandbox as it
does for a user; otherwise as the invoking user. Each run has a fresh home, XDG
folders, temporary folder and session bus, and launches the app twice:

  cold        the first launch, on an empty profile
    start        from just before the process starts to the demo service logging the
                 page's first GET /api (the page asks it once its script has run)
    tree PSS     Pss of every process of the app's tree, SETTLE seconds after that
    peak RSS     VmHWM of every process of the tree, at the end of the idle window
    idle CPU     utime+stime of the tree during the next IDLE seconds
    wake-ups/s   context switches of every thread of the tree during that window
  warm        after the app has quit as at the end of a session (SIGTERM), the second
              launch on the profile the first left (cookies, cache, storage)
    start        as above
    long chat    in the first CHAT_RUNS runs: the bench has the page send CHAT messages
                 through its composer, one after the other, each after the last reply
                 has streamed in full at the page's own pace; tree PSS SETTLE seconds
                 after every 100 replies, and the tree's CPU while they streamed

pelko runs with PELKO_STARTUP_TRACE set and logs its start-up milestones, which give
its timeline from launch to the first API request.

Prints Markdown tables of medians (min-max) and the ratios of pelko to the others.
Run it through bench/compare-apps.sh, which installs what it needs first.
"""

import argparse
import ctypes
import json
import os
import platform
import pwd
import queue
import select
import shutil
import signal
import statistics
import subprocess
import sys
import tempfile
import threading
import time
import urllib.error
import urllib.request
import uuid
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent
CLK_TCK = os.sysconf("SC_CLK_TCK")
# Every process this program starts carries this variable, so a last sweep finds any
# that escaped its tree (double-forked helpers, a child started just as Ctrl+C came).
SESSION_MARKER = "PELKO_BENCH_SESSION"
# And each app run's processes, with those its session bus starts, carry this one.
RUN_MARKER = "PELKO_BENCH_RUN"
APPS = ("pelko", "minibrowser", "minibrowser-nogl", "chromium")
LABELS = {"pelko": "pelko", "minibrowser": "MiniBrowser", "minibrowser-nogl": "MiniBrowser (no GL)",
          "chromium": "Chromium --app"}
# Who runs the apps when the bench runs as root.
BENCH_USER = "pelko-bench"
# The long chat's PSS is taken after every this many replies.
CHAT_STEP = 100
# pelko's start-up milestones (PELKO_STARTUP_TRACE) and the service's, in the order they come.
MILESTONES = (
    ("main", "main() entered (libraries loaded)"),
    ("toolkit-ready", "toolkit ready (GTK up, application registered)"),
    ("launch-sequence", "launch sequence begins"),
    ("web-view-created", "web view created"),
    ("web-process-launch", "web process launch begins"),
    ("load-issued", "home page load issued"),
    ("window-presented", "window presented"),
    ("launch-sequence-done", "launch sequence done"),
    ("load-started", "web process up (load started)"),
    ("first-request", "first request (GET /, as the service sees it)"),
    ("page-committed", "page committed"),
    ("first-api-request", "first API request (GET /api, as the service sees it)"),
    ("load-finished", "page loaded"),
)
# Where there is no GPU pelko draws without GL (GTK's cairo renderer, WebKit
# without compositing); MiniBrowser does so with these, which makes it the
# bare engine drawing as pelko does.
NO_GL = {"GSK_RENDERER": "cairo", "GDK_DEBUG": "gl-disable", "WEBKIT_DISABLE_COMPOSITING_MODE": "1"}


class RunFailed(Exception):
    pass


def log(message):
    print(message, file=sys.stderr, flush=True)


def interrupted(signum, frame):
    # Cleanup must run to the end: further signals are ignored from here on.
    for s in (signal.SIGINT, signal.SIGTERM, signal.SIGHUP):
        signal.signal(s, signal.SIG_IGN)
    raise KeyboardInterrupt


# ---------------------------------------------------------------- /proc

def read_text(path):
    try:
        with open(path, "rb") as f:
            return f.read().decode(errors="replace")
    except (FileNotFoundError, ProcessLookupError, PermissionError):
        return None


def parse_stat(text):
    """(comm, state, ppid, session, utime+stime, starttime) from a stat line."""
    close = text.rindex(")")
    comm = text[text.index("(") + 1:close]
    fields = text[close + 2:].split()
    # fields[0] is field 3 of proc(5).
    return comm, fields[0], int(fields[1]), int(fields[3]), int(fields[11]) + int(fields[12]), int(fields[19])


def all_processes(zombies=False):
    """pid -> (comm, state, ppid, session, cpu ticks, start ticks) of every live process
    (and of every unreaped one, with zombies)."""
    table = {}
    for name in os.listdir("/proc"):
        if not name.isdigit():
            continue
        text = read_text(f"/proc/{name}/stat")
        if text:
            stat = parse_stat(text)
            if zombies or stat[1] not in "ZX":
                table[int(name)] = stat
    return table


def status_fields(path, *keys):
    text = read_text(path)
    values = {}
    if text:
        for line in text.splitlines():
            key, _, rest = line.partition(":")
            if key in keys:
                values[key] = int(rest.split()[0])
    return values


def thread_switches(pid):
    """tid -> voluntary + nonvoluntary context switches, for every thread of pid."""
    switches = {}
    try:
        tids = os.listdir(f"/proc/{pid}/task")
    except (FileNotFoundError, ProcessLookupError, PermissionError):
        return switches
    for tid in tids:
        values = status_fields(f"/proc/{pid}/task/{tid}/status",
                               "voluntary_ctxt_switches", "nonvoluntary_ctxt_switches")
        if len(values) == 2:
            switches[int(tid)] = sum(values.values())
    return switches


def processes_marked(name, value):
    """pids whose environment holds name=value."""
    needle = b"\0" + f"{name}={value}".encode() + b"\0"
    found = []
    for entry in os.listdir("/proc"):
        if not entry.isdigit() or int(entry) == os.getpid():
            continue
        try:
            with open(f"/proc/{entry}/environ", "rb") as f:
                if needle in b"\0" + f.read() + b"\0":
                    found.append(int(entry))
        except (FileNotFoundError, ProcessLookupError, PermissionError):
            pass
    return found


def boottime_ticks():
    return time.clock_gettime(time.CLOCK_BOOTTIME) * CLK_TCK


def become_subreaper():
    # Orphaned helpers are reparented to this program instead of init, so they can be
    # reaped here and never linger as zombies that look alive.
    try:
        ctypes.CDLL(None, use_errno=True).prctl(36, 1, 0, 0, 0)  # PR_SET_CHILD_SUBREAPER
    except (OSError, AttributeError):
        pass


def reap_orphans():
    me = os.getpid()
    for name in os.listdir("/proc"):
        if name.isdigit():
            text = read_text(f"/proc/{name}/stat")
            if text:
                _, state, ppid, *_ = parse_stat(text)
                if ppid == me and state == "Z":
                    try:
                        os.waitpid(int(name), os.WNOHANG)
                    except ChildProcessError:
                        pass


class Tree:
    """One app's processes: its root and every descendant, walked through ppid links
    each time. A process once seen stays tracked (by pid and start time, so a reused pid
    is never taken for it) even when reparented, and so do its children."""

    def __init__(self, root):
        self.root = root
        self.seen = {}  # pid -> (start ticks, comm)

    def members(self):
        table = all_processes()
        children = {}
        for pid, stat in table.items():
            children.setdefault(stat[2], []).append(pid)
        roots = [p for p, (start, _) in self.seen.items() if p in table and table[p][5] == start]
        if not self.seen:
            roots.append(self.root)
        found = {}
        pending = [p for p in roots if p in table]
        while pending:
            pid = pending.pop()
            if pid in found:
                continue
            found[pid] = table[pid]
            pending.extend(children.get(pid, ()))
        for pid, stat in found.items():
            self.seen.setdefault(pid, (stat[5], stat[0]))
        return found

    def alive(self):
        table = all_processes()
        return {p: table[p][0] for p, (start, _) in self.seen.items() if p in table and table[p][5] == start}


# ---------------------------------------------------------------- services

def wait_for_line(fd, timeout, what):
    """The first line written to fd within timeout seconds."""
    data = b""
    deadline = time.monotonic() + timeout
    while b"\n" not in data:
        remaining = deadline - time.monotonic()
        if remaining <= 0 or not select.select([fd], [], [], remaining)[0]:
            raise RunFailed(f"{what}: nothing within {timeout:.0f} s")
        chunk = os.read(fd, 4096)
        if not chunk:
            raise RunFailed(f"{what}: exited before answering")
        data += chunk
    return data.split(b"\n", 1)[0].decode().strip()


def end_sessions(sessions, extra=lambda: {}, timeout=5.0):
    """SIGKILLs and reaps what is left of the given sessions (each process started here
    leads one) and whatever extra() names, until none is left, even unreaped; returns the
    rest as "pid name" after timeout seconds."""
    left = {}
    deadline = time.monotonic() + timeout
    while True:
        reap_orphans()
        left = {pid: stat[0] for pid, stat in all_processes(zombies=True).items() if stat[3] in sessions}
        left.update(extra())
        if not left or time.monotonic() > deadline:
            return [f"{pid} {name}" for pid, name in sorted(left.items())]
        signal_all(left, signal.SIGKILL)
        time.sleep(0.05)


def signal_all(pids, sig):
    for pid in pids:
        try:
            os.kill(pid, sig)
        except ProcessLookupError:
            pass


def stop_group(process, grace=3.0):
    """SIGTERM to the process's group, SIGKILL after grace seconds; reaps it."""
    if process is None or process.poll() is not None:
        return
    for sig, wait in ((signal.SIGTERM, grace), (signal.SIGKILL, 5.0)):
        try:
            os.killpg(process.pid, sig)
        except ProcessLookupError:
            pass
        try:
            process.wait(timeout=wait)
            return
        except subprocess.TimeoutExpired:
            pass


class Xvfb:
    def __init__(self, environment, log_path):
        read_end, write_end = os.pipe()
        with open(log_path, "ab") as log_file:
            self.process = subprocess.Popen(
                ["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1440x1000x24", "-nolisten", "tcp",
                 "-noreset"],
                env=environment, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=log_file,
                pass_fds=(write_end,), start_new_session=True)
        os.close(write_end)
        try:
            self.display = ":" + wait_for_line(read_end, 15, "Xvfb")
        finally:
            os.close(read_end)

    def stop(self):
        stop_group(self.process)


class DemoService:
    """The demo service in bench mode; a thread reads its request log and timestamps
    each line."""

    def __init__(self, binary, port, version, environment):
        self.origin = f"http://127.0.0.1:{port}"
        self.lines = queue.Queue()
        self.process = subprocess.Popen(
            [str(binary), "--port", str(port), "--version", version, "--bench"], env=environment,
            stdin=subprocess.DEVNULL, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, start_new_session=True)
        threading.Thread(target=self._read, daemon=True).start()
        deadline = time.monotonic() + 10
        output = []
        while True:
            try:
                _, line = self.lines.get(timeout=max(0.0, deadline - time.monotonic()))
            except queue.Empty:
                line = None
            if line is None:
                raise RunFailed("the demo service did not start: " + " ".join(output))
            output.append(line)
            if line.startswith("Pelko demo service on"):
                return

    def _read(self):
        for raw in iter(self.process.stdout.readline, b""):
            self.lines.put((time.monotonic(), raw.decode(errors="replace").strip()))
        self.lines.put((time.monotonic(), None))

    def drain(self):
        while True:
            try:
                self.lines.get_nowait()
            except queue.Empty:
                return

    def command(self, order, timeout=15.0):
        """Hands the bench-mode page an order; waits for a page to listen."""
        deadline = time.monotonic() + timeout
        body = json.dumps(order).encode()
        while True:
            request = urllib.request.Request(self.origin + "/bench/command", data=body, method="POST",
                                             headers={"Content-Type": "application/json"})
            try:
                with urllib.request.urlopen(request, timeout=5) as answer:
                    if answer.status == 202:
                        return
            except urllib.error.HTTPError as error:
                if error.code != 409:
                    raise RunFailed(f"the demo service refused the bench's order: HTTP {error.code}")
            except OSError as error:
                raise RunFailed(f"the demo service did not take the bench's order: {error}")
            if time.monotonic() > deadline:
                raise RunFailed(f"no page listened for the bench's orders within {timeout:g} s")
            time.sleep(0.1)

    def stop(self):
        stop_group(self.process)


# ---------------------------------------------------------------- one run

class Account:
    """Who runs the apps. As root: the unprivileged user BENCH_USER, made when missing,
    through setpriv, so that each app keeps its sandbox as it does for a user (Chromium
    refuses to start as root without --no-sandbox). Otherwise: the invoking user."""

    def __init__(self):
        self.created = False
        if os.geteuid() != 0:
            self.uid, self.gid = os.getuid(), os.getgid()
            try:
                self.name = pwd.getpwuid(self.uid).pw_name
            except KeyError:
                self.name = str(self.uid)
            self.prefix = []
            return
        try:
            entry = pwd.getpwnam(BENCH_USER)
        except KeyError:
            subprocess.run(["useradd", "--system", "--user-group", "--no-create-home", "--home-dir", "/nonexistent",
                            "--shell", "/usr/sbin/nologin", BENCH_USER], check=True)
            entry = pwd.getpwnam(BENCH_USER)
            self.created = True
        self.uid, self.gid, self.name = entry.pw_uid, entry.pw_gid, BENCH_USER
        self.prefix = ["setpriv", f"--reuid={self.uid}", f"--regid={self.gid}", "--clear-groups", "--"]

    def own(self, folder):
        if os.geteuid() != 0:
            return
        for path in [folder] + list(Path(folder).rglob("*")):
            os.chown(path, self.uid, self.gid, follow_symlinks=False)

    def describe(self):
        return f"{self.name} (uid {self.uid})"


def app_command(app, tools, origin, profile):
    if app == "pelko":
        return [str(tools["pelko"])]
    if app in ("minibrowser", "minibrowser-nogl"):
        return [str(tools["minibrowser"]), origin + "/"]
    return ["chromium", f"--app={origin}/", "--no-first-run", "--no-default-browser-check",
            f"--user-data-dir={profile}",
            # Offline and quiet: no background requests, updates, sync, keyring or crash uploads.
            "--disable-background-networking", "--disable-component-update", "--disable-sync",
            "--disable-default-apps", "--disable-domain-reliability", "--disable-breakpad",
            "--disable-client-side-phishing-detection", "--no-pings", "--metrics-recording-only",
            "--password-store=basic"]


class Run:
    """One app run, launched once or more on one profile, in its own folders and on its
    own session bus, as the bench's account; always cleans up."""

    def __init__(self, app, tools, origin, base_environment, scratch, account):
        self.app = app
        self.tools = tools
        self.origin = origin
        self.account = account
        self.folder = Path(tempfile.mkdtemp(prefix=f"{app}-", dir=scratch))
        self.run_id = uuid.uuid4().hex
        self.bus = None
        self.bus_services = []
        self.process = None
        self.tree = None
        self.log_path = None
        home = self.folder / "home"
        self.environment = dict(base_environment)
        self.environment.update({
            "HOME": str(home), "XDG_CONFIG_HOME": str(home / ".config"), "XDG_DATA_HOME": str(home / ".local/share"),
            "XDG_STATE_HOME": str(home / ".local/state"), "XDG_CACHE_HOME": str(home / ".cache"),
            "XDG_RUNTIME_DIR": str(self.folder / "runtime"), "TMPDIR": str(self.folder / "tmp"),
            "USER": account.name, "LOGNAME": account.name, RUN_MARKER: self.run_id,
        })
        for key in ("XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_STATE_HOME", "XDG_CACHE_HOME", "XDG_RUNTIME_DIR",
                    "TMPDIR"):
            Path(self.environment[key]).mkdir(parents=True, exist_ok=True)
        os.chmod(self.environment["XDG_RUNTIME_DIR"], 0o700)
        (self.folder / "logs").mkdir()
        account.own(self.folder)

    def start_bus(self):
        self.bus = subprocess.Popen(
            self.account.prefix + ["dbus-daemon", "--session", "--nofork", "--nopidfile", "--print-address=1"],
            env=self.environment, cwd=self.folder, stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
            stderr=subprocess.DEVNULL, start_new_session=True)
        self.environment["DBUS_SESSION_BUS_ADDRESS"] = wait_for_line(self.bus.stdout.fileno(), 10, "dbus-daemon")
        # A desktop session's accessibility bus runs from its start; on this fresh bus the
        # first app to ask for it would wait for it to start.
        try:
            subprocess.run(self.account.prefix + ["dbus-send", "--session", "--print-reply", "--dest=org.a11y.Bus",
                                                  "/org/a11y/bus", "org.a11y.Bus.GetAddress"],
                           env=self.environment, cwd=self.folder, stdin=subprocess.DEVNULL,
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=10)
        except subprocess.TimeoutExpired:
            pass

    def launch(self, name):
        command = self.account.prefix + app_command(self.app, self.tools, self.origin, self.folder / "profile")
        environment = dict(self.environment, **(NO_GL if self.app == "minibrowser-nogl" else {}))
        if self.app == "pelko":
            environment["PELKO_STARTUP_TRACE"] = "1"
        self.log_path = self.folder / "logs" / f"{name}.log"
        with open(self.log_path, "wb") as log_file:
            started = time.monotonic()
            self.process = subprocess.Popen(command, env=environment, cwd=self.environment["HOME"],
                                            stdin=subprocess.DEVNULL, stdout=log_file, stderr=subprocess.STDOUT,
                                            start_new_session=True)
        self.tree = Tree(self.process.pid)
        return started

    def log_tail(self):
        text = read_text(self.log_path) or ""
        lines = [line for line in text.splitlines() if line.strip() and not line.startswith("pelko-startup ")]
        return "".join("\n    " + line for line in lines[-8:])

    def milestones(self, started):
        """pelko's start-up milestones in this launch's log, in ms from `started`."""
        found = {}
        for line in (read_text(self.log_path) or "").splitlines():
            parts = line.split()
            if len(parts) == 3 and parts[0] == "pelko-startup":
                try:
                    found.setdefault(parts[1], (float(parts[2]) - started) * 1000)
                except ValueError:
                    pass
        return found

    def check_running(self):
        if self.process.poll() is not None and not self.tree.members():
            raise RunFailed(f"exited with status {self.process.returncode}" + self.log_tail())

    def quit(self, timeout=15.0):
        """Ends the app as the end of a session does: SIGTERM to its first process (on
        which Chromium shuts down in order, and the others end at once, their profile
        long written), then waits for its whole tree. True when it ended by itself."""
        self.tree.members()
        signal_all([self.process.pid], signal.SIGTERM)
        deadline = time.monotonic() + timeout
        while self.process.poll() is None or self.tree.alive():
            if time.monotonic() > deadline:
                signal_all(self.tree.alive(), signal.SIGKILL)
                try:
                    self.process.wait(timeout=5)
                except subprocess.TimeoutExpired:
                    pass
                return False
            reap_orphans()
            self.tree.members()
            time.sleep(0.05)
        return True

    def stop(self):
        """Ends the app's tree, then its bus and whatever the bus started; returns what
        could not be ended."""
        if self.bus is not None and self.bus.poll() is None:
            # Activated services leave the bus's process tree but stay in its session.
            self.bus_services = sorted(stat[0] for pid, stat in all_processes().items()
                                       if stat[3] == self.bus.pid and pid != self.bus.pid)
        if self.process is not None:
            self.tree.members()
            try:
                os.killpg(self.process.pid, signal.SIGTERM)
            except ProcessLookupError:
                pass
            signal_all(self.tree.alive(), signal.SIGTERM)
            deadline = time.monotonic() + 3
            while time.monotonic() < deadline and (self.process.poll() is None or self.tree.alive()):
                reap_orphans()
                time.sleep(0.05)
            signal_all(self.tree.alive(), signal.SIGKILL)
            try:
                self.process.wait(timeout=5)
            except subprocess.TimeoutExpired:
                pass
        stop_group(self.bus, grace=1.0)

        def stragglers():
            found = self.tree.alive() if self.tree else {}
            for pid in processes_marked(RUN_MARKER, self.run_id):
                found.setdefault(pid, (read_text(f"/proc/{pid}/comm") or "?").strip())
            return found

        left = end_sessions({p.pid for p in (self.process, self.bus) if p is not None}, stragglers)
        shutil.rmtree(self.folder, ignore_errors=True)
        return left


def sleep_watching(run, seconds):
    deadline = time.monotonic() + seconds
    while (remaining := deadline - time.monotonic()) > 0:
        time.sleep(min(0.5, remaining))
        run.check_running()
        run.tree.members()


class CpuMeter:
    """The CPU time of a tree's processes and the context switches of their threads,
    from a first look to the last: from the first look for those alive then, from zero
    for those started since."""

    def __init__(self, tree):
        self.tree = tree
        self.started = boottime_ticks()
        self.began = time.monotonic()
        self.cpu_first, self.cpu_last, self.switches_first, self.switches_last = {}, {}, {}, {}
        self.look(first=True)

    def look(self, first=False):
        for pid, stat in self.tree.members().items():
            key = (pid, stat[5])
            if key not in self.cpu_first:
                self.cpu_first[key] = 0 if not first and stat[5] >= self.started else stat[4]
            self.cpu_last[key] = stat[4]
            for tid, count in thread_switches(pid).items():
                thread = key + (tid,)
                if thread not in self.switches_first:
                    self.switches_first[thread] = count if first else 0
                self.switches_last[thread] = max(count, self.switches_last.get(thread, 0))
        self.ended = time.monotonic()

    def cpu_seconds(self):
        return sum(self.cpu_last[k] - self.cpu_first[k] for k in self.cpu_last) / CLK_TCK

    def switches_per_second(self):
        return sum(self.switches_last[k] - self.switches_first[k] for k in self.switches_last) / (
            self.ended - self.began)


def tree_pss_mib(members):
    pss = [status_fields(f"/proc/{pid}/smaps_rollup", "Pss").get("Pss") for pid in members]
    if None in pss:
        log(f"  warning: {pss.count(None)} of {len(pss)} processes' smaps_rollup unreadable")
    return sum(p or 0 for p in pss) / 1024


def namespaces(pid):
    found = {}
    for kind in ("user", "pid", "net"):
        try:
            found[kind] = os.readlink(f"/proc/{pid}/ns/{kind}")
        except OSError:
            found[kind] = None
    return found


def sandbox_facts(run, members):
    """How many of the tree's processes run in namespaces of their own (user, pid or
    network) apart from the app's first process, and how many run as root."""
    own = namespaces(run.process.pid)
    confined = sum(1 for pid in members if pid != run.process.pid and any(
        value is not None and own[kind] is not None and value != own[kind]
        for kind, value in namespaces(pid).items()))
    as_root = sum(1 for pid in members
                  if status_fields(f"/proc/{pid}/status", "Uid").get("Uid", -1) == 0)
    return {"confined": confined, "processes": len(members), "as_root": as_root}


def next_request(run, service, deadline, late, meanwhile):
    """The next line of the service's request log and when it came, looking after the
    app (and calling `meanwhile`) while none comes; RunFailed(late) after the deadline."""
    while True:
        remaining = deadline - time.monotonic()
        if remaining <= 0:
            raise RunFailed(late + run.log_tail())
        try:
            at, line = service.lines.get(timeout=min(0.5, remaining))
        except queue.Empty:
            run.check_running()
            meanwhile()
            continue
        if line is None:
            raise RunFailed("the demo service exited")
        return at, line


def launch_until_api(run, service, options, name):
    """Launches the app and waits for the page's first GET /api; the launch time and the
    service's first request and first API request, in ms from it."""
    service.drain()
    started = run.launch(name)
    deadline = started + options.timeout
    first_at = api_at = None
    while api_at is None:
        at, line = next_request(run, service, deadline, f"{name}: no GET /api within {options.timeout:g} s",
                                run.tree.members)
        parts = line.split()
        if len(parts) >= 2 and parts[0] == "GET" and not parts[1].startswith("/bench/"):
            first_at = first_at or at
            if parts[1] == "/api":
                api_at = at
    return started, {"first-request": (first_at - started) * 1000, "first-api-request": (api_at - started) * 1000}


def long_chat(run, service, options):
    """The bench-mode page sends options.chat messages, CHAT_STEP at a time; the tree's
    PSS before and after each step, and its CPU while the replies streamed."""
    sleep_watching(run, options.settle)
    pss = [tree_pss_mib(run.tree.members())]
    cpu_seconds = 0.0
    streaming_seconds = 0.0
    done = 0
    while done < options.chat:
        count = min(CHAT_STEP, options.chat - done)
        service.drain()
        meter = CpuMeter(run.tree)
        service.command({"chat": count, "wordMs": options.chat_word_ms})
        # Generous: a reply of the demo's is about 30 words.
        deadline = time.monotonic() + 15 + count * max(5.0, 60 * options.chat_word_ms / 1000)
        finished = False
        while not finished:
            _, line = next_request(run, service, deadline, f"the page did not finish {count} replies in time",
                                   meter.look)
            finished = line.startswith("POST /bench/done")
        meter.look()
        cpu_seconds += meter.cpu_seconds()
        streaming_seconds += meter.ended - meter.began
        done += count
        sleep_watching(run, options.settle)
        pss.append(tree_pss_mib(run.tree.members()))
    return {"chat_pss_before_mib": pss[0], "chat_pss_steps_mib": pss[1:], "chat_pss_mib": pss[-1],
            "chat_growth_mib": (pss[-1] - pss[0]) * CHAT_STEP / done, "chat_cpu_per_reply_s": cpu_seconds / done,
            "chat_seconds_per_reply": streaming_seconds / done}


def measure(run, service, options, warm_up, chat):
    """One run: the cold launch's figures and, unless warming up, the warm launch's; or
    RunFailed."""
    run.start_bus()
    started, marks = launch_until_api(run, service, options, "cold")
    figures = {"start_ms": marks["first-api-request"], "first_request_ms": marks["first-request"]}
    if warm_up:
        return figures

    sleep_watching(run, options.settle)
    members = run.tree.members()
    figures["pss_mib"] = tree_pss_mib(members)
    figures["processes"] = len(members)
    figures["process_names"] = sorted(stat[0] for stat in members.values())
    figures["threads"] = sum(len(os.listdir(f"/proc/{pid}/task")) for pid in members if os.path.exists(
        f"/proc/{pid}/task"))
    figures["sandbox"] = sandbox_facts(run, members)

    idle_end = time.monotonic() + options.idle
    meter = CpuMeter(run.tree)
    while (remaining := idle_end - time.monotonic()) > 0:
        time.sleep(min(1.0, remaining))
        run.check_running()
        meter.look()
    figures["idle_cpu_s"] = meter.cpu_seconds()
    figures["wakeups_per_s"] = meter.switches_per_second()
    figures["peak_rss_mib"] = sum(status_fields(f"/proc/{pid}/status", "VmHWM").get("VmHWM", 0)
                                  for pid in run.tree.members()) / 1024
    figures["timeline_cold"] = dict(run.milestones(started), **marks)
    if not run.quit():
        figures["unclean_quit"] = True

    started, marks = launch_until_api(run, service, options, "warm")
    figures["warm_start_ms"] = marks["first-api-request"]
    if chat:
        figures.update(long_chat(run, service, options))
    else:
        sleep_watching(run, 1.0)  # the milestones that follow the first API request
    figures["timeline_warm"] = dict(run.milestones(started), **marks)
    return figures


# ---------------------------------------------------------------- set-up and report

def build(build_dir, port):
    origin = f"http://127.0.0.1:{port}"
    log(f"Building pelko and pelko-demo (Release, {origin}) in {build_dir.relative_to(ROOT)}")
    subprocess.run(["cmake", "-S", str(ROOT), "-B", str(build_dir), "-G", "Ninja", "-DCMAKE_BUILD_TYPE=Release",
                    f"-DPELKO_SERVICE_ORIGIN={origin}"], check=True, stdout=subprocess.DEVNULL)
    subprocess.run(["cmake", "--build", str(build_dir), "--target", "pelko", "pelko-demo", "-j",
                    str(os.cpu_count() or 2)], check=True, stdout=sys.stderr)
    version = "0.0.0"
    for line in (build_dir / "CMakeCache.txt").read_text().splitlines():
        if line.startswith("PELKO_VERSION:"):
            version = line.split("=", 1)[1]
    return build_dir / "src/gtk/pelko", build_dir / "demo/pelko-demo", version


def minibrowser_path():
    listing = subprocess.run(["dpkg", "-L", "libwebkitgtk-6.0-4"], capture_output=True, text=True).stdout
    for line in listing.splitlines():
        if line.endswith("/MiniBrowser") and os.access(line, os.X_OK):
            return Path(line)
    sys.exit("MiniBrowser not found in libwebkitgtk-6.0-4 (dpkg -L libwebkitgtk-6.0-4)")


def package_version(name):
    result = subprocess.run(["dpkg-query", "-W", "-f=${Version}", name], capture_output=True, text=True)
    return result.stdout.strip() or "?"


def stripped_size(binary, scratch):
    copy = Path(scratch) / "pelko.stripped"
    subprocess.run(["strip", "-o", str(copy), str(binary)], check=True)
    size = copy.stat().st_size
    copy.unlink()
    return size


def cpu_model():
    for line in (read_text("/proc/cpuinfo") or "").splitlines():
        if line.startswith("model name"):
            return line.split(":", 1)[1].strip()
    return platform.machine()


FIGURES = (
    ("start_ms", "cold start to first API request (ms)", "{:.0f}"),
    ("warm_start_ms", "warm start to first API request (ms)", "{:.0f}"),
    ("first_request_ms", "cold start to first request (ms)", "{:.0f}"),
    ("pss_mib", "tree PSS after load (MiB)", "{:.0f}"),
    ("chat_pss_mib", "tree PSS after {chat} replies (MiB)", "{:.0f}"),
    ("chat_growth_mib", "PSS growth per 100 replies (MiB)", "{:.1f}"),
    ("chat_cpu_per_reply_s", "CPU per streamed reply (CPU s)", "{:.3f}"),
    ("peak_rss_mib", "tree peak RSS, sum of VmHWM (MiB)", "{:.0f}"),
    ("idle_cpu_s", "idle CPU in {idle:g} s (CPU s)", "{:.2f}"),
    ("wakeups_per_s", "idle wake-ups (context switches/s)", "{:.1f}"),
    ("processes", "processes", "{:.0f}"),
)


def spread(values, form):
    if not values:
        return "–"
    median = statistics.median(values)
    if len(values) == 1:
        return form.format(median)
    return f"{form.format(median)} ({form.format(min(values))}–{form.format(max(values))})"


def summarize(results, apps):
    summary = {}
    for app in apps:
        summary[app] = {}
        ok = [r for r in results[app] if "error" not in r]
        for key, _, _ in FIGURES:
            values = [r[key] for r in ok if key in r]
            if values:
                summary[app][key] = {"median": statistics.median(values), "min": min(values), "max": max(values),
                                     "runs": len(values)}
        for kind in ("timeline_cold", "timeline_warm"):
            marks = {}
            for r in ok:
                for name, ms in r.get(kind, {}).items():
                    marks.setdefault(name, []).append(ms)
            summary[app][kind] = {name: statistics.median(values) for name, values in marks.items()}
            summary[app][kind + "_all"] = marks
    return summary


def ratio(a, b):
    if a is None or b is None:
        return "–"
    if b == 0:
        return "–" if a == 0 else "∞"
    return f"{a / b:.2f}"


def how_it_ran(app, results, account):
    """The account and what the sandbox check saw, from the app's measured runs."""
    facts = [r["sandbox"] for r in results[app] if "sandbox" in r]
    if not facts:
        return "–"
    confined = sorted({f"{f['confined']} of {f['processes']}" for f in facts})
    as_root = max(f["as_root"] for f in facts)
    sandbox = {"pelko": "WebKit's bubblewrap sandbox", "minibrowser": "WebKit's bubblewrap sandbox",
               "minibrowser-nogl": "WebKit's bubblewrap sandbox", "chromium": "Chromium's namespace sandbox"}[app]
    text = f"as {account.describe()}, {sandbox}: {' or '.join(confined)} processes in namespaces of their own"
    if as_root:
        text += f"; {as_root} as root"
    return text


def report(summary, results, apps, options, account, context):
    lines = []
    others = [a for a in apps if a != "pelko"] if "pelko" in apps else []
    header = [""] + [LABELS[a] for a in apps] + [f"pelko / {LABELS[a].replace(' --app', '')}" for a in others]
    lines.append("| " + " | ".join(header) + " |")
    lines.append("|" + "---|" * len(header))
    lines.append("| " + " | ".join(["how it ran"] + [how_it_ran(a, results, account) for a in apps]
                                   + [""] * len(others)) + " |")
    for key, title, form in FIGURES:
        row = [title.format(idle=options.idle, chat=options.chat)]
        if not any(key in summary[a] for a in apps):
            continue
        for app in apps:
            s = summary[app].get(key)
            if not s:
                row.append("–")
            elif s["runs"] == 1:
                row.append(form.format(s["median"]))
            else:
                row.append(f"{form.format(s['median'])} ({form.format(s['min'])}–{form.format(s['max'])})")
        mine = summary["pelko"].get(key, {}).get("median") if "pelko" in apps else None
        for app in others:
            row.append(ratio(mine, summary[app].get(key, {}).get("median")))
        lines.append("| " + " | ".join(row) + " |")
    if "pelko" in apps and summary["pelko"].get("timeline_cold"):
        lines.append("")
        lines.append("pelko's start-up, ms from launch (medians, min–max):")
        lines.append("")
        lines.append("| milestone | cold | warm |")
        lines.append("|---|---|---|")
        for name, title in MILESTONES:
            cold = summary["pelko"]["timeline_cold_all"].get(name, [])
            warm = summary["pelko"]["timeline_warm_all"].get(name, [])
            if cold or warm:
                lines.append(f"| {title} | {spread(cold, '{:.0f}')} | {spread(warm, '{:.0f}')} |")
    lines.append("")
    lines.extend(context)
    return "\n".join(lines)


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--runs", type=int, default=5, help="measured runs per app (default 5)")
    parser.add_argument("--idle", type=float, default=30, help="idle window in seconds (default 30)")
    parser.add_argument("--settle", type=float, default=3, help="seconds from GET /api to the PSS look (default 3)")
    parser.add_argument("--timeout", type=float, default=30, help="seconds a launch may take to GET /api (default 30)")
    parser.add_argument("--warmup", type=int, default=1, help="unmeasured runs per app first (default 1)")
    parser.add_argument("--chat", type=int, default=200, help="replies in the long chat; 0: none (default 200)")
    parser.add_argument("--chat-runs", type=int, default=1,
                        help="measured runs per app, the first ones, that hold the long chat (default 1)")
    parser.add_argument("--chat-word-ms", type=int, default=70,
                        help="ms between two words of a streamed reply (default 70, the page's own)")
    parser.add_argument("--port", type=int, default=8437, help="the demo service's port (default 8437)")
    parser.add_argument("--apps", default=",".join(APPS), help="comma-separated subset of " + ",".join(APPS))
    parser.add_argument("--json", metavar="FILE", help="also write every run's figures to FILE")
    options = parser.parse_args()
    chosen = [a.strip() for a in options.apps.split(",") if a.strip()]
    apps = [a for a in APPS if a in chosen]
    if not apps or any(a not in APPS for a in chosen) or options.runs < 1 or options.chat < 0 \
            or options.chat_word_ms < 1:
        parser.error("--apps takes " + ", ".join(APPS) + "; --runs at least 1; --chat at least 0; "
                     "--chat-word-ms at least 1")
    tools_needed = ("Xvfb", "dbus-daemon", "strip") + (("setpriv", "useradd") if os.geteuid() == 0 else ()) \
        + (("chromium",) if "chromium" in apps else ())
    for tool in tools_needed:
        if not shutil.which(tool):
            sys.exit(f"{tool} is missing: run bench/compare-apps.sh, which installs it")

    pelko, demo, version = build(ROOT / "build/perf", options.port)
    wants_minibrowser = any(a.startswith("minibrowser") for a in apps)
    origin = f"http://127.0.0.1:{options.port}"

    for s in (signal.SIGINT, signal.SIGTERM, signal.SIGHUP):
        signal.signal(s, interrupted)
    become_subreaper()
    account = Account()
    session_marker = uuid.uuid4().hex
    scratch = None
    base_environment = {
        "PATH": os.environ.get("PATH", "/usr/local/bin:/usr/bin:/bin"),
        "LANG": os.environ.get("LANG", "C.UTF-8"),
        "USER": os.environ.get("USER", "root"), "LOGNAME": os.environ.get("LOGNAME", "root"),
        SESSION_MARKER: session_marker,
    }
    xvfb = service = None
    results = {app: [] for app in apps}
    failures = []
    leftovers = []
    unclean = {app: 0 for app in apps}
    bus_services = {app: set() for app in apps}
    exit_status = 0
    try:
        scratch = tempfile.mkdtemp(prefix="pelko-compare-apps-")
        # The apps' account reaches its run folders, and pelko wherever the clone is.
        os.chmod(scratch, 0o755)
        (Path(scratch) / "bin").mkdir(mode=0o755)
        shutil.copy2(pelko, Path(scratch) / "bin" / "pelko")
        tools = {"pelko": Path(scratch) / "bin" / "pelko",
                 "minibrowser": minibrowser_path() if wants_minibrowser else None}
        xvfb = Xvfb(base_environment, Path(scratch) / "xvfb.log")
        base_environment["DISPLAY"] = xvfb.display
        service = DemoService(demo, options.port, version, base_environment)
        size = stripped_size(pelko, scratch)
        log(f"Xvfb on {xvfb.display}, demo service on {origin}; apps run as {account.describe()}"
            f"{', made now' if account.created else ''}; {options.warmup} warm-up and {options.runs} measured runs "
            f"per app, idle window {options.idle:g} s, a long chat of {options.chat} replies in "
            f"{min(options.chat_runs, options.runs) if options.chat else 0} of them")

        schedule = [(0, app, True) for _ in range(options.warmup) for app in apps]
        schedule += [(n + 1, app, False) for n in range(options.runs) for app in apps]
        for number, app, warm_up in schedule:
            run = Run(app, tools, origin, base_environment, scratch, account)
            name = f"{'warm-up' if warm_up else f'run {number}'} {LABELS[app]}"
            chat = options.chat > 0 and not warm_up and number <= options.chat_runs
            try:
                figures = measure(run, service, options, warm_up, chat)
            except RunFailed as failure:
                figures = {"error": str(failure)}
            finally:
                left = run.stop()
            bus_services[app].update(run.bus_services)
            if left:
                leftovers.append(f"{name}: {', '.join(left)}")
                figures.setdefault("error", "processes left after the kill: " + ", ".join(left))
            if figures.get("unclean_quit"):
                unclean[app] += 1
            if "error" in figures:
                log(f"{name}: FAILED: {figures['error']}")
                if not warm_up:
                    failures.append(f"{LABELS[app]} run {number}: {figures['error'].splitlines()[0]}")
            elif warm_up:
                log(f"{name}: start {figures['start_ms']:.0f} ms")
            else:
                text = (f"{name}: start {figures['start_ms']:.0f} ms, warm {figures['warm_start_ms']:.0f} ms, "
                        f"PSS {figures['pss_mib']:.0f} MiB in {figures['processes']} processes, "
                        f"peak RSS {figures['peak_rss_mib']:.0f} MiB, idle CPU {figures['idle_cpu_s']:.2f} s, "
                        f"{figures['wakeups_per_s']:.1f} wake-ups/s")
                if "chat_pss_mib" in figures:
                    text += (f"; after {options.chat} replies PSS {figures['chat_pss_mib']:.0f} MiB "
                             f"(+{figures['chat_growth_mib']:.1f} MiB per 100), "
                             f"{figures['chat_cpu_per_reply_s']:.3f} CPU s per reply")
                log(text)
            if not warm_up:
                figures["run"] = number
                results[app].append(figures)

        summary = summarize(results, apps)
        runs_done = {app: len([r for r in results[app] if "error" not in r]) for app in apps}
        counts = set(runs_done.values())
        runs_text = (f"{next(iter(counts))} run{'s' if counts != {1} else ''} per app" if len(counts) == 1
                     else ", ".join(f"{runs_done[a]} {LABELS[a]} runs" for a in apps))
        warmup_text = f" after {options.warmup} warm-up run{'s' if options.warmup > 1 else ''} each" \
            if options.warmup else ""
        context = [
            f"Medians (min–max) of {runs_text}, taken in turn{warmup_text}, on the demo service under Xvfb "
            f"(1440x1000x24), {os.cpu_count()} CPUs ({cpu_model()}), load average "
            f"{(read_text('/proc/loadavg') or '?').split()[0]} at the end. "
            f"Every app ran as {account.describe()}"
            + (", an unprivileged user the bench runs them as (through setpriv), so every sandbox is on"
               if os.geteuid() == 0 else "") + ". "
            f"Cold: the first launch on an empty profile; PSS {options.settle:g} s after GET /api; idle CPU "
            f"and wake-ups over the following {options.idle:g} s; peak RSS at its end. Warm: the launch after "
            "the app was ended with SIGTERM, on the profile it left. Every process of the app's tree counts; "
            "services the session bus starts do not.",
            f"pelko: Release build, WebKitGTK {package_version('libwebkitgtk-6.0-4')} (as MiniBrowser); "
            f"binary {size / 1048576:.1f} MiB stripped.",
        ]
        if options.chat and any("chat_pss_mib" in r for app in apps for r in results[app]):
            chat_runs = {app: sum(1 for r in results[app] if "chat_pss_mib" in r) for app in apps}
            seconds = [r["chat_seconds_per_reply"] for app in apps for r in results[app] if "chat_pss_mib" in r]
            context.append(
                f"Long chat: in the warm launch of {' and '.join(sorted({str(c) for c in chat_runs.values()}))} "
                f"run{'s' if max(chat_runs.values()) > 1 else ''} per app, the page sent {options.chat} messages "
                f"through its composer, one after the other, each reply (about 30 words) streamed a word every "
                f"{options.chat_word_ms} ms ({statistics.median(seconds):.1f} s per reply); PSS {options.settle:g} s "
                f"after the last reply against {options.settle:g} s after GET /api; CPU while the replies "
                "streamed.")
        if "chromium" in apps:
            context.append(f"Chromium {package_version('chromium')}.")
        not_clean = [f"{LABELS[a]}: {unclean[a]}" for a in apps if unclean[a]]
        if not_clean:
            context.append("Killed after 15 s when asked to quit before the warm launch: " + "; ".join(not_clean) + ".")
        started_by_bus = [f"{LABELS[a]}: {', '.join(sorted(bus_services[a]))}" for a in apps if bus_services[a]]
        if started_by_bus:
            context.append("Started by the session bus, not counted: " + "; ".join(started_by_bus) + ".")
        if failures:
            context.append("Failed runs: " + "; ".join(failures) + ".")
        if leftovers:
            context.append("Left after the kill: " + "; ".join(leftovers) + ".")
        print(report(summary, results, apps, options, account, context), flush=True)
        if options.json:
            with open(options.json, "w") as f:
                json.dump({"options": vars(options), "account": account.describe(),
                           "context": context, "stripped_size_bytes": size, "summary": summary,
                           "runs": results}, f, indent=2)
        if any(not runs_done[a] for a in apps):
            exit_status = 1
    except KeyboardInterrupt:
        log("Interrupted; cleaning up.")
        exit_status = 130
    except RunFailed as failure:
        log(f"compare-apps: {failure}")
        exit_status = 1
    finally:
        for s in (signal.SIGINT, signal.SIGTERM, signal.SIGHUP):
            signal.signal(s, signal.SIG_IGN)
        if service:
            service.stop()
        if xvfb:
            xvfb.stop()
        left = end_sessions({p.process.pid for p in (service, xvfb) if p is not None},
                            lambda: {pid: "?" for pid in processes_marked(SESSION_MARKER, session_marker)})
        if left:
            log("compare-apps: could not end " + ", ".join(left))
            exit_status = exit_status or 1
        if scratch:
            shutil.rmtree(scratch, ignore_errors=True)
    return exit_status


if __name__ == "__main__":
    try:
        sys.exit(main())
    except KeyboardInterrupt:
        # Before anything was started (during the build): nothing to clean up.
        sys.exit(130)
