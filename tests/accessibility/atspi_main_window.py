#!/usr/bin/python3
"""The main window as a screen reader meets it, through AT-SPI.

Starts a private X server and D-Bus session, then the real program with Qt's
AT-SPI bridge on, walks its accessibility tree with pyatspi, checks names,
roles and label relations, and switches Real Time Display through the check
box's toggle action. Everything started here is ended on every way out.
Real Time Display is switched twice, so the settings the program keeps
when it is ended (SIGTERM, its orderly end) are the ones it started with.

    atspi_main_window.py PATH_TO_MARLO
"""

import os
import select
import signal
import subprocess
import sys
import tempfile
import time

# Each wait gives up after this; the whole run takes a few seconds.
WAIT_SECONDS = 15
# Past this the run is stopped, helpers ended, and the test fails.
RUN_SECONDS = 45

PUSH_BUTTONS = [
    "Setting", "Open", "Clear Received Text", "Add Received Records", "Delete Batch",
    "New Batch", "Load Batch File", "Save Batch", "Report", "Limit", "Delete Measurement",
]
TEXTS = ["Received Text", "Min", "Max", "Average", "Standard deviation", "Batch on Display"]
TABLES = ["Batches", "Leeb Measurements"]
# Each statistic is labelled by the caption beside it.
LABELLED = {"Min": "Min:", "Max": "Max:", "Average": "Average:",
            "Standard deviation": "Standard deviation:"}


class Failure(Exception):
    pass


class RunOutOfTime(Exception):
    pass


def out_of_time(signum, frame):
    raise RunOutOfTime(f"no verdict after {RUN_SECONDS} s")


def stopped(signum, frame):
    raise SystemExit(f"stopped by signal {signum}")


def read_line_from(fd, what):
    """The first line a helper writes to fd, waiting at most WAIT_SECONDS."""
    data = b""
    deadline = time.monotonic() + WAIT_SECONDS
    while not data.endswith(b"\n"):
        left = deadline - time.monotonic()
        if left <= 0 or not select.select([fd], [], [], left)[0]:
            raise Failure(f"{what} did not start")
        chunk = os.read(fd, 4096)
        if not chunk:
            raise Failure(f"{what} ended before it was ready")
        data += chunk
    os.close(fd)
    return data.decode().strip()


class Helpers:
    """The processes this run starts, each in a process group of its own so
    that whatever it starts in turn (the AT-SPI bus and registry) goes too."""

    def __init__(self, log):
        self.log = log
        self.processes = []

    def start(self, command, env, ready_fd=None):
        pass_fds = (ready_fd,) if ready_fd is not None else ()
        process = subprocess.Popen(command, env=env, stdin=subprocess.DEVNULL, stdout=self.log,
                                   stderr=self.log, pass_fds=pass_fds, start_new_session=True)
        self.processes.append(process)
        return process

    def start_reporting(self, command, env, what):
        """Starts a helper that writes its address to a pipe once ready."""
        read_end, write_end = os.pipe()
        try:
            self.start(command(write_end), env, ready_fd=write_end)
        finally:
            os.close(write_end)
        return read_line_from(read_end, what)

    def end_all(self):
        for process in reversed(self.processes):
            signal_group(process, signal.SIGTERM)
        deadline = time.monotonic() + 3
        for process in reversed(self.processes):
            try:
                process.wait(max(0.1, deadline - time.monotonic()))
            except subprocess.TimeoutExpired:
                pass
            signal_group(process, signal.SIGKILL)
            process.wait()


def signal_group(process, signum):
    try:
        os.killpg(process.pid, signum)
    except ProcessLookupError:
        pass


def wait_for(what, condition):
    deadline = time.monotonic() + WAIT_SECONDS
    while True:
        result = condition()
        if result:
            return result
        if time.monotonic() > deadline:
            raise Failure(f"{what}: not within {WAIT_SECONDS} s")
        time.sleep(0.1)


def descendants(pyatspi, root):
    """Every accessible below root, not into tables: their cells are data."""
    found = []
    pending = [root]
    while pending:
        node = pending.pop()
        for index in range(node.childCount):
            child = node.getChildAtIndex(index)
            if child is None:
                continue
            found.append(child)
            if child.getRole() not in (pyatspi.ROLE_TABLE, pyatspi.ROLE_TREE_TABLE):
                pending.append(child)
    return found


def fresh_states(node):
    node.clearCache()
    return node.getState()


def check_window(pyatspi, app):
    windows = [app.getChildAtIndex(i) for i in range(app.childCount)]
    window = next((w for w in windows if w is not None and w.name == "Marlo"), None)
    if window is None:
        raise Failure(f"no window named Marlo among {[w.name for w in windows if w]}")
    nodes = descendants(pyatspi, window)

    def find(name, role):
        matches = [n for n in nodes if n.name == name and n.getRole() == role]
        if len(matches) != 1:
            shown = sorted(f"{n.getRoleName()}:{n.name!r}" for n in nodes)
            raise Failure(f"{len(matches)} accessibles named {name!r} of role {role}; "
                          f"the tree has {shown}")
        return matches[0]

    for name in PUSH_BUTTONS:
        find(name, pyatspi.ROLE_PUSH_BUTTON)
    for name in TEXTS:
        find(name, pyatspi.ROLE_TEXT)
    for name in TABLES:
        find(name, pyatspi.ROLE_TABLE)
    chart = find("Chart", pyatspi.ROLE_CHART)
    if not chart.description.startswith("Bar chart"):
        raise Failure(f"the chart's description is {chart.description!r}")

    controls = (pyatspi.ROLE_PUSH_BUTTON, pyatspi.ROLE_CHECK_BOX, pyatspi.ROLE_TEXT,
                pyatspi.ROLE_TABLE, pyatspi.ROLE_COMBO_BOX, pyatspi.ROLE_CHART)
    nameless = [n.getRoleName() for n in nodes
                if n.getRole() in controls and n.getState().contains(pyatspi.STATE_SHOWING)
                and not n.name]
    if nameless:
        raise Failure(f"shown controls without a name: {nameless}")

    for name, caption in LABELLED.items():
        field = find(name, pyatspi.ROLE_TEXT)
        labels = [relation.getTarget(i).name
                  for relation in field.getRelationSet()
                  if relation.getRelationType() == pyatspi.RELATION_LABELLED_BY
                  for i in range(relation.getNTargets())]
        if caption not in labels:
            raise Failure(f"{name!r} is labelled by {labels}, not {caption!r}")

    box = find("Real Time Display", pyatspi.ROLE_CHECK_BOX)
    add = find("Add Received Records", pyatspi.ROLE_PUSH_BUTTON)
    check_real_time_actions(pyatspi, box, add)


def check_real_time_actions(pyatspi, box, add):
    """Real Time Display switched on and off by the box's toggle action, the
    mode following each time: Add takes no presses while records are filed
    as they come."""
    action = box.queryAction()
    names = [action.getName(i).lower() for i in range(action.nActions)]
    if "toggle" not in names:
        raise Failure(f"the Real Time Display box offers the actions {names}")
    for _ in range(2):
        now_checked = not fresh_states(box).contains(pyatspi.STATE_CHECKED)
        if not action.doAction(names.index("toggle")):
            raise Failure("the toggle action was refused")

        def mode_followed():
            checked = fresh_states(box).contains(pyatspi.STATE_CHECKED)
            add_sensitive = fresh_states(add).contains(pyatspi.STATE_SENSITIVE)
            return checked == now_checked and add_sensitive == (not now_checked)

        wait_for(f"Real Time Display {'on' if now_checked else 'off'} by its toggle action",
                 mode_followed)


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    marlo = os.path.abspath(sys.argv[1])
    signal.signal(signal.SIGTERM, stopped)
    signal.signal(signal.SIGINT, stopped)
    signal.signal(signal.SIGALRM, out_of_time)
    signal.alarm(RUN_SECONDS)

    with tempfile.TemporaryDirectory(prefix="marlo-atspi-") as home, \
            open(os.path.join(home, "helpers.log"), "w+") as log:
        helpers = Helpers(log)
        try:
            run(marlo, home, helpers)
        except (Failure, RunOutOfTime) as failure:
            log.flush()
            log.seek(0)
            sys.stderr.write(log.read()[-4000:])
            print(f"FAIL: {failure}", file=sys.stderr)
            return 1
        finally:
            signal.alarm(0)  # the ending itself is bounded
            helpers.end_all()
    print("the main window passes through AT-SPI")
    return 0


def run(marlo, home, helpers):
    runtime = os.path.join(home, "run")
    os.mkdir(runtime, 0o700)
    env = {
        "PATH": os.environ.get("PATH", "/usr/bin:/bin"),
        "HOME": home,
        "XDG_RUNTIME_DIR": runtime,
        "XDG_CONFIG_HOME": os.path.join(home, ".config"),
        "LANG": "C.UTF-8",
        # at-spi-bus-launcher reads GSettings; nothing is kept.
        "GSETTINGS_BACKEND": "memory",
    }
    display = helpers.start_reporting(
        lambda fd: ["Xvfb", "-displayfd", str(fd), "-screen", "0", "1280x1024x24",
                    "-nolisten", "tcp", "-noreset"], env, "Xvfb")
    env["DISPLAY"] = f":{display}"
    env["DBUS_SESSION_BUS_ADDRESS"] = helpers.start_reporting(
        lambda fd: ["dbus-daemon", "--session", "--nofork", f"--print-address={fd}"], env,
        "dbus-daemon")

    # pyatspi finds the accessibility bus through this session.
    os.environ.update(env)
    import pyatspi

    program = helpers.start([marlo], dict(env, QT_QPA_PLATFORM="xcb", QT_ACCESSIBILITY="1",
                                          QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1"))
    desktop = pyatspi.Registry.getDesktop(0)

    def marlo_application():
        if program.poll() is not None:
            raise Failure(f"marlo ended with {program.returncode}")
        for index in range(desktop.childCount):
            app = desktop.getChildAtIndex(index)
            if app is not None and app.get_process_id() == program.pid and app.childCount > 0:
                return app
        return None

    app = wait_for("marlo on the accessibility bus", marlo_application)
    check_window(pyatspi, app)


if __name__ == "__main__":
    sys.exit(main())
