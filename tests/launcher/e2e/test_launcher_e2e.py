#!/usr/bin/env python3
"""End-to-end runs of the native Launcher with a real JVM.

Each test lays out a server home in a temporary folder:
    home/bin/Launcher                                  (a copy, so it finds its own folder)
    home/console/WEB-INF/properties/ovproperties.ini
and runs it with a reporting start class that writes down what it received.
"""
import argparse
import os
import shutil
import signal
import socket
import subprocess
import sys
import tempfile
import time
import unittest
import urllib.request

ARGS = None
MARKER = os.path.join("console", "WEB-INF", "properties", "ovproperties.ini")
MESSAGES = {
    1: "Sorry, there was a type 1 error while starting Orvantis.",
    2: "Sorry, there was a type 2 error while starting Orvantis.",
    3: "Sorry, there was a type 3 error while starting Orvantis.",
    6: "Sorry, there was a type 6 error while starting Orvantis.  The Java installation was not found.",
    7: "Sorry, there was a type 7 error while registering the service.",
    10: "Sorry, there was a type 10 error while unregistering the service.",
    12: "Sorry, there was a type 12 error while launching Orvantis.",
}


class ServerHome:
    def __init__(self, root, name="home"):
        self.home = os.path.join(root, name)
        self.bin = os.path.join(self.home, "bin")
        os.makedirs(self.bin)
        self.launcher = os.path.join(self.bin, "Launcher")
        shutil.copy2(ARGS.launcher, self.launcher)
        self.report = os.path.join(root, name + "-report.txt")

    def write_properties(self, text, path=None):
        path = path or os.path.join(self.home, MARKER)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "w", encoding="latin-1") as f:
            f.write(text)
        return path

    def run(self, *argv, cwd=None, env=None, timeout=120):
        environment = dict(os.environ)
        environment.pop("JAVA_HOME", None)
        environment["ORV_E2E_REPORT"] = self.report
        environment.update(env or {})
        return subprocess.run([self.launcher, *argv], cwd=cwd or tempfile.gettempdir(), env=environment,
                              capture_output=True, text=True, timeout=timeout)

    def read_report(self):
        report = {"arg": [], "vmarg": []}
        with open(self.report, encoding="utf-8") as f:
            for line in f.read().splitlines():
                key, _, value = line.partition(":")
                if key in ("arg", "vmarg"):
                    report[key].append(value)
                else:
                    report[key] = value
        return report


def standard_properties(extra=""):
    return f"Launch.JavaHome={ARGS.java_home}\nLaunch.Classpath={ARGS.classes}\n{extra}"


class LauncherRuns(unittest.TestCase):
    def setUp(self):
        self.tmp = tempfile.mkdtemp(prefix="orv-e2e-")
        self.home = ServerHome(self.tmp)

    def tearDown(self):
        shutil.rmtree(self.tmp, ignore_errors=True)

    def assertServerRan(self, result):
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertEqual(result.stderr, "")
        return self.home.read_report()

    def test_default_path_from_another_folder(self):
        self.home.write_properties(standard_properties("Launch.MemSize=64\n"))
        report = self.assertServerRan(self.home.run(cwd="/"))
        self.assertEqual(report["userdir"], os.path.realpath(self.home.bin))
        self.assertEqual(report["count"], "0")  # empty Launch.OVArgs: an array of length 0
        self.assertEqual(report["classpath"], ARGS.classes)
        self.assertIn("-Xms64m", report["vmarg"])
        self.assertIn("-Xmx64m", report["vmarg"])
        self.assertEqual(report["thread"], "main")

    def test_path_argument_and_service_switch(self):
        elsewhere = os.path.join(self.tmp, "other dir", "my.ini")
        self.home.write_properties(standard_properties("Launch.OVArgs=-port 8080\n"), path=elsewhere)
        cases = [
            ([elsewhere], ["-port", "8080"]),
            (["--service", elsewhere], ["-port", "8080", "--service"]),
            ([elsewhere, "--service"], ["-port", "8080", "--service"]),  # a switch after the path is no path
            (["/SERVICE", elsewhere], ["-port", "8080", "--service"]),
        ]
        for argv, expected in cases:
            with self.subTest(argv=argv):
                report = self.assertServerRan(self.home.run(*argv))
                self.assertEqual(report["arg"], expected)
                # Launch.OVHome becomes the whole path, which cannot be entered: the launcher's folder stays.
                self.assertEqual(report["userdir"], os.path.realpath(self.home.bin))

    def test_relative_path_is_taken_from_the_launchers_folder(self):
        self.home.write_properties(standard_properties(), path=os.path.join(self.home.bin, "my.ini"))
        report = self.assertServerRan(self.home.run("my.ini", "--service", cwd="/"))
        self.assertEqual(report["arg"], ["--service"])

    def test_server_home_derived_from_path(self):
        other = ServerHome(self.tmp, "second")
        path = other.write_properties(standard_properties())
        report = self.assertServerRan(self.home.run(path))
        self.assertEqual(report["userdir"], os.path.realpath(other.bin))

        # A given Launch.OVHome wins over the path.
        path = other.write_properties(standard_properties(f"Launch.OVHome={self.home.home}\n"))
        report = self.assertServerRan(self.home.run(path))
        self.assertEqual(report["userdir"], os.path.realpath(self.home.bin))

    def test_extra_vm_arguments_with_a_quoted_blank(self):
        self.home.write_properties(standard_properties('Launch.ExtraVMArgs=-Xss512k "-Dorv.e2e=a b"\n'))
        report = self.assertServerRan(self.home.run())
        self.assertEqual(report["prop"], "a b")
        self.assertIn("-Xss512k", report["vmarg"])

    def test_java_home_from_environment(self):
        self.home.write_properties(f"Launch.Classpath={ARGS.classes}\n")
        self.assertServerRan(self.home.run(env={"JAVA_HOME": ARGS.java_home}))

    def test_failures_show_their_message(self):
        empty_home = os.path.join(self.tmp, "no-java")
        os.makedirs(empty_home)
        cases = [
            (1, standard_properties("Launch.ExtraVMArgs=-Xbogus-option\n"), {}),
            (1, standard_properties("Launch.MemSize=1g\n"), {}),
            (2, standard_properties("Launch.StartClass=com.orvantis.Missing\n"), {}),
            (2, f"Launch.JavaHome={ARGS.java_home}\n", {}),
            (3, standard_properties("Launch.StartClass=probe.NoMain\n"), {}),
            # A set Launch.JavaHome without a runtime: JAVA_HOME is not looked at.
            (6, f"Launch.JavaHome={empty_home}\nLaunch.Classpath={ARGS.classes}\n", {"JAVA_HOME": ARGS.java_home}),
        ]
        for number, properties, env in cases:
            with self.subTest(message=number, properties=properties):
                self.home.write_properties(properties)
                result = self.home.run(env=env)
                self.assertEqual(result.returncode, 1)
                self.assertEqual(result.stderr.splitlines()[-1:], [MESSAGES[number]])
                self.assertFalse(os.path.exists(self.home.report))

    def test_missing_properties_and_service_switches(self):
        cases = [
            ((), 12),
            (("--service",), 12),
            (("/registerx",), 12),
            ((self.tmp,), 12),  # a folder is no properties file
            (("/register",), 7),
            (("/Unregister", "x.ini"), 10),
        ]
        for argv, number in cases:
            with self.subTest(argv=argv):
                result = self.home.run(*argv)
                self.assertEqual(result.returncode, 1)
                self.assertEqual(result.stderr, MESSAGES[number] + "\n")

    def test_main_that_keeps_running_keeps_the_launcher(self):
        self.home.write_properties(standard_properties())
        environment = dict(os.environ, ORV_E2E_REPORT=self.home.report, ORV_E2E_MODE="wait")
        process = subprocess.Popen([self.home.launcher], env=environment, stdout=subprocess.PIPE,
                                   stderr=subprocess.PIPE, text=True)
        try:
            deadline = time.monotonic() + 60
            while not os.path.exists(self.home.report) and time.monotonic() < deadline:
                self.assertIsNone(process.poll(), "the launcher ended while main was running")
                time.sleep(0.05)
            self.assertTrue(os.path.exists(self.home.report))
            self.assertIsNone(process.poll())
        finally:
            process.send_signal(signal.SIGTERM)
            process.communicate(timeout=60)


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


class LauncherRunsTheDevelopmentServer(unittest.TestCase):
    def test_serves_and_stops_cleanly(self):
        tmp = tempfile.mkdtemp(prefix="orv-e2e-dev-")
        try:
            home = ServerHome(tmp)
            port = free_port()
            home.write_properties(f"Launch.JavaHome={ARGS.java_home}\nLaunch.Classpath={ARGS.devserver}\n"
                                  f"Launch.OVArgs=-port {port} -data ../data\n")
            process = subprocess.Popen([home.launcher, "--service"], cwd="/", stdout=subprocess.PIPE,
                                       stderr=subprocess.PIPE, text=True)
            try:
                answer = None
                deadline = time.monotonic() + 60
                url = f"http://127.0.0.1:{port}/console/Login?action=recorderLogin&user=demo&password=demo"
                while answer is None and time.monotonic() < deadline:
                    self.assertIsNone(process.poll(), "the launcher ended early")
                    try:
                        with urllib.request.urlopen(url, timeout=5) as response:
                            answer = response.read().decode("utf-8")
                    except OSError:
                        time.sleep(0.1)
                self.assertIsNotNone(answer, "the server never answered")
                self.assertIn('validated="true"', answer)
                # The server's home is the launcher's home: its configuration was written there.
                self.assertTrue(os.path.exists(os.path.join(home.home, "devserver.xml")))
            finally:
                process.send_signal(signal.SIGTERM)
                process.communicate(timeout=60)
        finally:
            shutil.rmtree(tmp, ignore_errors=True)


def main():
    global ARGS
    parser = argparse.ArgumentParser()
    parser.add_argument("--launcher", required=True)
    parser.add_argument("--classes", required=True)
    parser.add_argument("--java-home", required=True)
    parser.add_argument("--devserver", required=True)
    ARGS, rest = parser.parse_known_args()
    result = unittest.main(argv=[sys.argv[0], "-v", *rest], exit=False).result
    # A failing subtest is reported on its own; count each test once.
    failed = len({getattr(test, "test_case", test).id() for test, _ in result.failures + result.errors})
    failed += len(result.unexpectedSuccesses)
    skipped = len(result.skipped)
    print(f"{result.testsRun - failed - skipped} passed, {failed + skipped} failed")
    sys.exit(0 if failed == 0 and skipped == 0 and result.testsRun > 0 else 1)


if __name__ == "__main__":
    main()
