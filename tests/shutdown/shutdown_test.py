#!/usr/bin/env python3
"""The real program under a bare X server (Xvfb), driven from outside.

  close  Start the program, dismiss the startup notice, start a retrieval of a
         slow course, and close the main window at a random moment of it, the
         way a window manager's close button does. Repeated ROUNDS times: each
         time the process must end within 2 s of the close, with status 0 and
         without any sanitizer report on its standard error.
  press  Start a retrieval of a slow course and press the download button 20
         times quickly: the service must see exactly one course-list request
         (the course's lesson requests and nothing more).

Run beside the sample service (scripts/with-sample-service.sh exports
MERRAVINE_SERVICE_HOST). PROGRAM is the native merravine, or
"scripts/wine-run.sh path/merravine.exe" for the Windows program.

  shutdown_test.py close|press [--rounds N] [--seed S] -- PROGRAM [ARGS...]
"""
import argparse
import json
import os
import random
import re
import socket
import subprocess
import sys
import tempfile
import time
import urllib.request

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from x11_close import close_window  # noqa: E402

# The download button's centre in the main window's client area.
BUTTON = (464 + 28, 8 + 12)
# A point inside the address box.
ADDRESS_BOX = (64 + 200, 8 + 12)
# The client area's width (the design's outer width less a 3-pixel frame on
# each side). Qt's X window is the client area alone; an unmanaged Wine window
# is the whole window, whose frame Wine draws itself: a 3-pixel border and a
# 19-pixel caption bar above the client area.
CLIENT_WIDTH = 529
WINE_CAPTION = 19
EXIT_LIMIT_S = 2.0
SANITIZER_REPORT = re.compile(
    r"ERROR: AddressSanitizer|ERROR: LeakSanitizer|WARNING: ThreadSanitizer|"
    r"runtime error:|ERROR: UndefinedBehaviorSanitizer")


def service_host():
    host = os.environ.get("MERRAVINE_SERVICE_HOST", "")
    if not host:
        sys.exit("MERRAVINE_SERVICE_HOST is not set: run through scripts/with-sample-service.sh")
    return host


def stats(reset=False):
    path = "/stats/reset" if reset else "/stats"
    with urllib.request.urlopen("http://%s%s" % (service_host(), path), timeout=5) as answer:
        return json.loads(answer.read().decode())


def abstract_socket_taken(number):
    """Whether an X server of another file-system view already listens on the
    display's abstract socket, which X clients try before the socket file."""
    probe = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
    try:
        probe.connect("\0/tmp/.X11-unix/X%d" % number)
        return True
    except OSError:
        return False
    finally:
        probe.close()


class Xvfb:
    """A private X server on a display number that nothing else here uses,
    started with -noreset: by default it resets, refusing connections for a
    moment, each time its last client leaves (between two rounds).
    Display numbers are tried at random: another X server of this machine may
    hold a number (its lock file or its abstract socket) without this process
    seeing it."""

    def __enter__(self):
        rng = random.Random()
        for _ in range(20):
            number = rng.randrange(200, 2000)
            if os.path.exists("/tmp/.X%d-lock" % number) or abstract_socket_taken(number):
                continue
            self.display = ":%d" % number
            self.process = subprocess.Popen(
                ["Xvfb", self.display, "-screen", "0", "1024x768x24", "-nolisten", "tcp",
                 "-noreset"],
                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            if self._answers():
                return self
            self._stop()
        sys.exit("Xvfb did not start")

    def _answers(self):
        env = dict(os.environ, DISPLAY=self.display)
        for _ in range(100):
            if self.process.poll() is not None:
                return False
            probe = subprocess.run(["xdotool", "getdisplaygeometry"], env=env,
                                   capture_output=True, text=True)
            if probe.returncode == 0 and probe.stdout.strip() == "1024 768":
                return True
            time.sleep(0.05)
        return False

    def _stop(self):
        self.process.terminate()
        try:
            self.process.wait(timeout=5)
        except subprocess.TimeoutExpired:
            self.process.kill()
            self.process.wait()

    def __exit__(self, *exc):
        self._stop()


class WinePrefix:
    """For the Windows program: a Wine prefix of the test's own whose windows
    are unmanaged. With no window manager on the X server, Wine waits 2 s for
    one to confirm every managed window it hides (the notice, and the main
    window at exit), which would count against the program; unmanaged windows
    are drawn and withdrawn by Wine alone. A persistent wineserver keeps the
    starts short; it is stopped at the end."""

    def __init__(self, command, display):
        self.command = command
        self.command_runner = command[0]
        self.active = os.path.basename(command[0]) == "wine-run.sh"
        # Wine's desktop process starts with the first program and keeps its
        # display: every run, the set-up ones included, gets the test's X server.
        self.env = dict(os.environ, DISPLAY=display)
        if not self.active:
            return
        root = os.path.dirname(os.path.dirname(os.path.abspath(command[0])))
        base = os.environ.get("MERRAVINE_WINEPREFIX", os.path.join(root, "build", "wine-prefix"))
        self.env["MERRAVINE_WINEPREFIX"] = base + "-bare-x"
        self.env["WINEPREFIX"] = self.env["MERRAVINE_WINEPREFIX"]

    def __enter__(self):
        if self.active:
            subprocess.run([self.command_runner, "reg", "add", r"HKCU\Software\Wine\X11 Driver",
                            "/v", "Managed", "/d", "N", "/f"], env=self.env,
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=300)
            subprocess.run(["wineserver", "-p", "30"], env=self.env, timeout=60)
            # A first start ends the prefix's own set-up before any timed run.
            subprocess.run(self.command + ["--version"], env=self.env, stdout=subprocess.DEVNULL,
                           stderr=subprocess.DEVNULL, timeout=300)
        return self

    def __exit__(self, *exc):
        if self.active:
            subprocess.run(["wineserver", "-k"], env=self.env, timeout=60)


class Program:
    """One run of the program under test, its standard error kept in a file."""

    def __init__(self, command, display, base_env=None):
        self.display = display
        self.env = dict(base_env or os.environ, DISPLAY=display, QT_QPA_PLATFORM="xcb")
        # Only read by a ThreadSanitizer build: Qt's own synchronisation is
        # invisible to it (see tsan-qt.supp). A caller that names suppressions
        # of its own (the test script does) keeps them.
        options = self.env.get("TSAN_OPTIONS", "")
        if "suppressions=" not in options:
            suppressions = os.path.join(os.path.dirname(os.path.abspath(__file__)),
                                        "tsan-qt.supp")
            self.env["TSAN_OPTIONS"] = ("suppressions=%s ignore_noninstrumented_modules=1 %s"
                                        % (suppressions, options)).strip()
        self.log = tempfile.TemporaryFile()
        self.started = time.monotonic()
        self.process = subprocess.Popen(command, env=self.env, stdin=subprocess.DEVNULL,
                                        stdout=subprocess.DEVNULL, stderr=self.log)

    def xdotool(self, *args, timeout=30):
        result = subprocess.run(["xdotool", *args], env=self.env, capture_output=True, text=True,
                                timeout=timeout)
        return result.stdout.strip()

    def wait_window(self, name_pattern, limit_s=60):
        deadline = time.monotonic() + limit_s
        while time.monotonic() < deadline:
            if self.process.poll() is not None:
                raise RuntimeError("the program ended early (status %d): %s" % (
                    self.process.returncode, self.stderr_text()[-3000:]))
            found = self.xdotool("search", "--onlyvisible", "--name", name_pattern)
            if found:
                return int(found.split()[0])
            time.sleep(0.02)
        raise RuntimeError("no window named %r" % name_pattern)

    def client_origin(self, window):
        geometry = self.xdotool("getwindowgeometry", "--shell", str(window))
        width = int(re.search(r"WIDTH=(\d+)", geometry).group(1))
        border = max(0, (width - CLIENT_WIDTH) // 2)
        return (border, border + WINE_CAPTION) if border else (0, 0)

    def click(self, window, point, repeat=1, delay_ms=0):
        origin = self.client_origin(window)
        x, y = origin[0] + point[0], origin[1] + point[1]
        args = ["mousemove", "--window", str(window), str(x), str(y), "click"]
        if repeat > 1:
            args += ["--repeat", str(repeat), "--delay", str(delay_ms)]
        self.xdotool(*args, "1")

    def open_course(self, course_id):
        """Dismisses the notice, puts the course's page address into the address
        box and presses the download button. Returns the main window."""
        notice = self.wait_window("^Tovrela$")
        close_window(self.display, notice)
        window = self.wait_window("^Merravine")
        self.xdotool("windowfocus", "--sync", str(window))
        self.click(window, ADDRESS_BOX)
        # Emptied with End, Shift+Home and Delete, which every edit control
        # knows; Ctrl+A is not select-all in every one (64-bit Wine's
        # inserted the address into the old one).
        self.xdotool("key", "--clearmodifiers", "End", "shift+Home", "Delete")
        self.xdotool("type", "--delay", "2",
                     "http://%s/play_%s.shtml" % (service_host(), course_id))
        return window

    def stderr_text(self):
        self.log.seek(0)
        return self.log.read().decode(errors="replace")

    def kill(self):
        if self.process.poll() is None:
            self.process.kill()
            self.process.wait()


def wait_exit(program, limit_s):
    try:
        program.process.wait(timeout=limit_s)
        return True
    except subprocess.TimeoutExpired:
        return False


class StartFailed(Exception):
    pass


def start_with_one_retry(command, display, env, course):
    """Starts the program up to its main window. A start that fails before any
    window shows is tried once more (it says nothing about the shutdown, and
    this machine's shared X sockets have once refused a connection); a second
    failure fails the round."""
    for attempt in (1, 2):
        program = Program(command, display, env)
        try:
            return program, program.open_course(course)
        except (RuntimeError, subprocess.TimeoutExpired) as error:
            program.kill()
            if attempt == 2:
                raise StartFailed(str(error))
            print("start failed, tried once more: %s" % str(error).splitlines()[0])
    raise StartFailed("unreachable")


def run_close(command, rounds, seed):
    # 10 lessons of 500 ms each: every close below lands inside the retrieval.
    course, lessons = "slow_10_500", 10
    rng = random.Random(seed)
    failures = 0
    exit_times = []
    with Xvfb() as x, WinePrefix(command, x.display) as wine:
        for round_number in range(1, rounds + 1):
            delay = rng.uniform(0.0, 4.0)
            try:
                program, window = start_with_one_retry(command, x.display, wine.env, course)
                stats(reset=True)
                program.click(window, BUTTON)
                time.sleep(delay)
                served = stats()["requests"]
                close_window(x.display, window)
                closed = time.monotonic()
                ended = wait_exit(program, 10)
                elapsed = time.monotonic() - closed
            except StartFailed as error:
                print("round %d: %s" % (round_number, error))
                failures += 1
                continue
            except (RuntimeError, subprocess.TimeoutExpired) as error:
                print("round %d: %s" % (round_number, error))
                program.kill()
                print(program.stderr_text()[-2000:])
                failures += 1
                continue
            problems = []
            if not ended:
                problems.append("still running 10 s after the close")
                program.kill()
            elif elapsed >= EXIT_LIMIT_S:
                problems.append("ended %.2f s after the close" % elapsed)
            if ended and program.process.returncode != 0:
                problems.append("exit status %d" % program.process.returncode)
            report = SANITIZER_REPORT.search(program.stderr_text())
            if report:
                problems.append("sanitizer report: " + program.stderr_text()[report.start():][:3000])
            # A close before the list request arrived still falls inside the
            # retrieval: the worker is running by then.
            if served > lessons:
                problems.append("closed after the retrieval (%d requests served)" % served)
            exit_times.append(elapsed)
            status = "FAIL " + "; ".join(problems) if problems else "ok"
            print("round %2d: close after %.2f s (%d of %d requests served), exit after %.3f s: %s"
                  % (round_number, delay, served, lessons + 1, elapsed, status), flush=True)
            failures += bool(problems)
    if exit_times:
        exit_times.sort()
        print("exit after close: median %.3f s, max %.3f s over %d rounds"
              % (exit_times[len(exit_times) // 2], exit_times[-1], len(exit_times)))
    return failures


def run_press(command, presses):
    # 2 lessons of 1.5 s each: the presses all land while the retrieval runs.
    course, lessons = "slow_2_1500", 2
    with Xvfb() as x, WinePrefix(command, x.display) as wine:
        program = Program(command, x.display, wine.env)
        try:
            window = program.open_course(course)
            stats(reset=True)
            program.click(window, BUTTON, repeat=presses, delay_ms=30)
            # Wait for the retrieval to end: the count stays still for 2 s.
            deadline = time.monotonic() + 20
            last, still_since = -1, time.monotonic()
            while time.monotonic() < deadline:
                now = stats()["requests"]
                if now != last:
                    last, still_since = now, time.monotonic()
                elif time.monotonic() - still_since > 2.0:
                    break
                time.sleep(0.1)
            close_window(x.display, window)
            wait_exit(program, 10)
        finally:
            program.kill()
    # One course-list request and the course's lesson requests.
    print("%d presses: %d requests served (one retrieval makes %d)" % (presses, last, lessons + 1))
    return 0 if last == lessons + 1 else 1


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("mode", choices=["close", "press"])
    parser.add_argument("--rounds", type=int, default=50)
    parser.add_argument("--presses", type=int, default=20)
    parser.add_argument("--seed", type=int, default=int(time.time()))
    argv = sys.argv[1:]
    split = argv.index("--") if "--" in argv else len(argv)
    args = parser.parse_args(argv[:split])
    command = argv[split + 1:]
    if not command:
        parser.error("no program given")
    if args.mode == "close":
        print("seed %d" % args.seed)
        failures = run_close(command, args.rounds, args.seed)
        print("close rounds: %d ok, %d failed" % (args.rounds - failures, failures))
    else:
        failures = run_press(command, args.presses)
        print("presses: %s" % ("ok" if not failures else "FAILED"))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
