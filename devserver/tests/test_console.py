"""The read-only /console page for a person, and paths the server does not serve."""

import re
import sys
import unittest

import harness
from harness import Server, transaction_document

HOSTILE = '<script>alert("x")</script>&amp;\''


class ConsolePageTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.server = Server().start()
        cls.sid, _ = cls.server.session("demo", "demo")
        steps = [("http://h/%d?q=%s" % (i, HOSTILE), "n=%d&v=%s" % (i, HOSTILE)) for i in range(1, 31)]
        steps[0] = ("http://h/ctl", "a\x01b")
        _, root = cls.server.save(cls.sid, 102, transaction_document(HOSTILE, steps))
        cls.rid = int(root.get("resourceid"))

    @classmethod
    def tearDownClass(cls):
        cls.server.close()

    def page(self, path):
        reply = self.server.request("GET", path)
        self.assertTrue(reply.header("content-type").startswith("text/html"))
        self.assertIn("default-src 'none'", reply.header("content-security-policy"))
        harness.check_no_stack_trace(reply.body)
        return reply, reply.body.decode("utf-8")

    def assertEscaped(self, html):
        self.assertNotIn("<script", html)
        self.assertIn("&lt;script&gt;alert(&quot;x&quot;)&lt;/script&gt;&amp;amp;&#39;", html)

    def test_overview_lists_folders_transactions_and_their_first_steps(self):
        reply, html = self.page("/console")
        self.assertEqual(reply.status, 200)
        for text in ("Demo", "Web shop", "Intranet", "Guest", "Order status service", "Checkout at peak hour",
                     "XmlTransaction", "StressTest", "http://shop.example/cart", "item=42&amp;qty=1"):
            self.assertIn(text, html)
        self.assertEscaped(html)
        self.assertIn("a\\x01b", html, "control characters are spelled out")
        self.assertIn("http://h/20?", html)
        self.assertNotIn("http://h/21?", html, "the overview shows the first 20 steps")
        self.assertIn('<a href="/console?resourceid=%d">10 more steps</a>' % self.rid, html)
        self.assertEqual(self.page("/console/")[1], html)

    def test_resource_page_shows_every_step(self):
        reply, html = self.page("/console?resourceid=%d" % self.rid)
        self.assertEqual(reply.status, 200)
        self.assertEscaped(html)
        self.assertEqual(len(re.findall(r"<tr><td>\d+</td>", html)), 30)
        self.assertIn("n=30&amp;v=", html)

    def test_console_refusals(self):
        for path, status in [("/console?resourceid=abc", 400), ("/console?resourceid=99999", 404),
                             ("/console?resourceid=1&resourceid=2", 400)]:
            with self.subTest(path):
                reply, html = self.page(path)
                self.assertEqual(reply.status, status)
                self.assertIn('class="refused"', html)
        self.assertEqual(self.server.request("POST", "/console", body=b"x").status, 405)

    def test_other_paths(self):
        reply = self.server.request("GET", "/")
        self.assertEqual((reply.status, reply.header("location")), (303, "/console"))
        for path in ("/nothing", "/console/Login/extra", "/console/login?action=recorderLogin", "/Console"):
            with self.subTest(path):
                reply, root = self.server.xml("GET", path)
                self.assertEqual((reply.status, root.tag, root.get("success")), (404, "error", "false"))
                self.assertIn("/console/Login", root.get("message"))


if __name__ == "__main__":
    harness.main(sys.modules[__name__])
