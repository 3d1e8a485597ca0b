"""The command line, the configuration file and the -hash tool."""

import os
import re
import subprocess
import sys
import tempfile
import unittest

import harness
from harness import Server, config_xml, password_hash

HASH = re.compile(r"^pbkdf2-sha256:(\d+):[A-Za-z0-9+/]{22}:[A-Za-z0-9+/]{43}$")


def run(args, stdin=None, cwd=None):
    with tempfile.TemporaryDirectory() as tmp:
        return subprocess.run([harness.JAVA, "-jar", harness.JAR] + args, input=stdin, capture_output=True,
                              text=True, cwd=cwd or tmp, timeout=120)


class CommandLineTest(unittest.TestCase):
    def test_first_start_writes_a_demo_configuration_without_clear_passwords(self):
        server = Server().start()
        try:
            path = os.path.join(server.home, "devserver.xml")
            with open(path, encoding="utf-8") as f:
                text = f.read()
            users = re.findall(r'<user name="(\w+)" accountid="(\d+)" hash="([^"]+)"/>', text)
            self.assertEqual([(u, a) for u, a, _ in users], [("demo", "100"), ("guest", "200")])
            for _, _, h in users:
                self.assertRegex(h, HASH)
            self.assertNotEqual(users[0][2], users[1][2])
            server.stop()
            server.start()
            with open(path, encoding="utf-8") as f:
                self.assertEqual(f.read(), text, "an existing configuration is left alone")
            self.assertEqual(server.login("demo", "demo")[1].get("validated"), "true")
        finally:
            server.close()

    def test_hash_tool(self):
        first = run(["-hash", "-iterations", "5000"], stdin="s3cret \u00e9\n")
        second = run(["-hash", "-iterations", "5000"], stdin="s3cret \u00e9\n")
        self.assertEqual((first.returncode, second.returncode), (0, 0), first.stderr)
        self.assertEqual(HASH.match(first.stdout.strip()).group(1), "5000")
        self.assertNotEqual(first.stdout, second.stdout, "every hash has its own salt")
        folders = '<folder name="F" accountid="1"/>'
        server = Server('<devserver><user name="u" accountid="1" hash="%s"/>%s</devserver>'
                        % (first.stdout.strip(), folders)).start()
        try:
            self.assertEqual(server.login("u", "s3cret \u00e9")[1].get("validated"), "true")
            self.assertNotEqual(server.login("u", "s3cret")[1].get("validated"), "true")
        finally:
            server.close()
        self.assertEqual(run(["-hash"], stdin="").returncode, 1)

    def test_bad_arguments_are_refused_before_serving(self):
        for args in (["-port", "x"], ["-port", "70000"], ["-port"], ["-bogus", "1"], ["stray"], ["-idle", "0"],
                     ["-maxbody", "12q"], ["-maxbody", "0"], ["-iterations", "10", "-hash"]):
            with self.subTest(args=args):
                done = run(args, stdin="pw\n")
                self.assertEqual(done.returncode, 1)
                self.assertIn("usage:", done.stderr)
                self.assertNotIn("listening", done.stdout)
        helped = run(["-help"])
        self.assertEqual((helped.returncode, "usage:" in helped.stdout), (0, True))

    def test_service_switch_and_options_are_taken(self):
        server = Server(args=["-idle", "90", "-maxbody", "512k", "--service"]).start()
        try:
            self.assertRegex(server.output(), r"sessions end after 90 s unused; documents up to 512 KB; running as a service")
        finally:
            server.close()

    def test_a_configuration_that_cannot_be_used_stops_the_start(self):
        good_hash = password_hash("pw")
        folder = '<folder name="F" accountid="1"/>'
        cases = {
            "not XML": ("<devserver>", "not well-formed"),
            "wrong root": ("<users/>", "root element must be <devserver>"),
            "no users": ("<devserver>%s</devserver>" % folder, "no <user>"),
            "clear-text password": ('<devserver><user name="u" accountid="1" hash="pw"/>%s</devserver>' % folder,
                                    'user "u": the hash is not'),
            "account without folder": ('<devserver><user name="u" accountid="2" hash="%s"/>%s</devserver>' % (good_hash, folder),
                                       "no folder has that accountid"),
            "folder ids repeated": ('<devserver><user name="u" accountid="1" hash="%s"/>%s<folder name="G" accountid="1"/></devserver>'
                                    % (good_hash, folder), "the same accountid 1"),
            "resource ids repeated": ('<devserver><user name="u" accountid="1" hash="%s"/><folder name="F" accountid="1">'
                                      '<resource name="a" type="StressTest" resourceid="5"/><resource name="b" type="StressTest" resourceid="5"/>'
                                      '</folder></devserver>' % good_hash, "resourceid 5, which another"),
            "typo in an attribute": ('<devserver><user name="u" acountid="1" hash="%s"/>%s</devserver>' % (good_hash, folder),
                                     'unknown attribute "acountid"'),
            "folder name with a control character": ('<devserver><user name="u" accountid="1" hash="%s"/>'
                                                     '<folder name="a&#x7f;" accountid="1"/></devserver>' % good_hash,
                                                     "control character"),
            "entity declarations": ('<!DOCTYPE d [<!ENTITY e SYSTEM "file:///etc/passwd">]><devserver>&e;</devserver>',
                                    "DOCTYPE"),
        }
        for what, (config, expected) in cases.items():
            with self.subTest(what):
                server = Server(config)
                try:
                    with self.assertRaises(AssertionError):
                        server.start()
                    self.assertEqual(server.proc.returncode, 1)
                    self.assertIn("the configuration cannot be used", server.output())
                    self.assertIn(expected, server.output())
                finally:
                    server.close()

    def test_a_taken_port_stops_the_start(self):
        first = Server(config_xml([("u", 1, "pw")], '<folder name="F" accountid="1"/>')).start()
        second = Server(config_xml([("u", 1, "pw")], '<folder name="F" accountid="1"/>'))
        try:
            with self.assertRaises(AssertionError):
                second.start(port=first.port)
            self.assertEqual(second.proc.returncode, 1)
            self.assertIn("cannot listen on 127.0.0.1 port %d" % first.port, second.output())
        finally:
            first.close()
            second.close()


if __name__ == "__main__":
    harness.main(sys.modules[__name__])
