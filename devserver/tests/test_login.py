"""Login: GET /console/Login?action=recorderLogin with a held session or with credentials."""

import re
import sys
import time
import unittest

import harness
from harness import Server, config_xml, form_encode

FOLDERS = '<folder name="Ann" accountid="7"><folder name="Sub" accountid="8"/></folder><folder name="Bob" accountid="9"/>'
# a password with every character the recorder must encode, and one beyond ASCII
ANN_PASSWORD = "a&b=c+d e%f\u00e9"


class LoginTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.server = Server(config_xml([("ann lee", 7, ANN_PASSWORD), ("bob", 9, "bob-pw")], FOLDERS)).start()

    @classmethod
    def tearDownClass(cls):
        cls.server.close()

    def assertNotValidated(self, reply, root):
        self.assertEqual(root.tag, "login")
        self.assertNotEqual(root.get("validated"), "true")
        self.assertIsNone(root.get("sessionid"))
        self.assertTrue(root.get("message"), "a refusal says why")

    def test_credentials_give_a_session_of_the_users_account(self):
        seen = set()
        for user, password, account in [("ann lee", ANN_PASSWORD, "7"), ("bob", "bob-pw", "9")] * 3:
            reply, root = self.server.login(user, password)
            self.assertEqual(reply.status, 200)
            self.assertEqual(root.get("validated"), "true")
            self.assertEqual(root.get("accountid"), account)
            self.assertRegex(root.get("sessionid"), r"^[0-9a-f]{32}$")  # 128 random bits
            seen.add(root.get("sessionid"))
        self.assertEqual(len(seen), 6, "every login gets its own session")

    def test_held_session_is_validated_again(self):
        sid, account = self.server.session("bob", "bob-pw")
        for _ in range(3):
            _, root = self.server.login(sessionid=sid)
            self.assertEqual((root.get("validated"), root.get("sessionid"), root.get("accountid")),
                             ("true", sid, str(account)))

    def test_password_arrives_as_the_recorder_encodes_it(self):
        # The recorder sends its ANSI code page (Windows-1252); a browser would send UTF-8.
        for encoding in ("cp1252", "utf-8"):
            path = "/console/Login?action=recorderLogin&user=ann+lee&password=" + form_encode(ANN_PASSWORD.encode(encoding))
            _, root = self.server.xml("GET", path)
            self.assertEqual(root.get("validated"), "true", encoding)

    def test_what_is_not_validated(self):
        sid, _ = self.server.session("bob", "bob-pw")
        cases = {
            "no session, no credentials": "",
            "unknown session": "&sessionid=0123456789abcdef0123456789abcdef",
            "empty session": "&sessionid=",
            "wrong password": "&user=bob&password=bob",
            "password with a blank added": "&user=bob&password=bob-pw+",
            "unknown user": "&user=nobody&password=bob-pw",
            "user name in another case": "&user=BOB&password=bob-pw",
            "empty user and password": "&user=&password=",
            "user without password": "&user=bob",
            "password without user": "&password=bob-pw",
            "good session with wrong credentials": "&user=bob&password=x&sessionid=" + sid,
        }
        for what, query in cases.items():
            with self.subTest(what):
                reply, root = self.server.xml("GET", "/console/Login?action=recorderLogin" + query)
                self.assertEqual(reply.status, 200, "a refused login is an answer, not a failed transfer")
                self.assertNotValidated(reply, root)

    def test_a_new_login_ends_the_session_it_replaces(self):
        old, _ = self.server.session("bob", "bob-pw")
        _, root = self.server.login("bob", "bob-pw", sessionid=old)
        new = root.get("sessionid")
        self.assertNotEqual(new, old)
        self.assertNotEqual(self.server.login(sessionid=old)[1].get("validated"), "true")
        self.assertEqual(self.server.login(sessionid=new)[1].get("validated"), "true")

    def test_malformed_requests_are_refused_in_the_login_format(self):
        cases = [
            ("POST", "/console/Login?action=recorderLogin&user=bob&password=bob-pw", 405),
            ("HEAD", "/console/Login?action=recorderLogin", 405),
            ("GET", "/console/Login", 400),
            ("GET", "/console/Login?action=recorderlogin", 400),
            ("GET", "/console/Login?action=login&user=bob&password=bob-pw", 400),
            ("GET", "/console/Login?action=recorderLogin&user=bob&user=ann&password=bob-pw", 400),
            ("GET", "/console/Login?action=recorderLogin&action=recorderLogin", 400),
        ]
        for method, path, status in cases:
            with self.subTest(method=method, path=path):
                if method == "HEAD":
                    reply = self.server.request(method, path)
                    self.assertEqual(reply.status, status)
                    continue
                reply, root = self.server.xml(method, path, body=b"x" if method == "POST" else None)
                self.assertEqual(reply.status, status)
                self.assertNotValidated(reply, root)
                if status == 405:
                    self.assertEqual(reply.header("allow"), "GET")
        # A request line that is not a URI (a broken escape) is turned away by the JDK's HTTP layer
        # itself, before the server sees it: a plain 400, and the server goes on serving.
        for path in ["/console/Login?action=recorderLogin&user=bob&password=bob-p%zz",
                     "/console/Login?action=recorderLogin&user=bob&password=bob-pw%4"]:
            with self.subTest(path=path):
                reply = self.server.request("GET", path)
                self.assertEqual(reply.status, 400)
                harness.check_no_stack_trace(reply.body)
        # and after all of that the server still logs people in
        self.assertEqual(self.server.login("bob", "bob-pw")[1].get("validated"), "true")


class IdleSessionTest(unittest.TestCase):
    def test_session_ends_after_its_idle_time(self):
        with_idle = Server(config_xml([("bob", 9, "bob-pw")], FOLDERS), args=["-idle", "1"])
        try:
            with_idle.start()
            sid, account = with_idle.session("bob", "bob-pw")
            time.sleep(2.5)  # well past the one-second idle time
            _, root = with_idle.login(sessionid=sid)
            self.assertNotEqual(root.get("validated"), "true")
            reply, root = with_idle.tree(sid, account)
            self.assertEqual((reply.status, root.get("success")), (403, "false"))
            self.assertIn("log in again", root.get("message"))
            self.assertRegex(with_idle.output(), r"sessions end after 1 s unused")
        finally:
            with_idle.close()


if __name__ == "__main__":
    harness.main(sys.modules[__name__])
