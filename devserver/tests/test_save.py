"""Save: POST /console/Transaction?act=recorderSave&accountid=F with the transaction document."""

import os
import sys
import unittest

import harness
from harness import Server, check_tree_shape, stored_file, transaction_document, tree_resources

LIMIT = 256 * 1024


class SaveTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.server = Server(args=["-maxbody", "256k"]).start()
        cls.demo, _ = cls.server.session("demo", "demo")
        cls.guest, _ = cls.server.session("guest", "guest")

    @classmethod
    def tearDownClass(cls):
        cls.server.close()

    def save(self, document, folder=101, session=None):
        return self.server.save(self.demo if session is None else session, folder, document)

    def saved(self, document, folder=101, session=None):
        reply, root = self.save(document, folder, session)
        self.assertEqual((reply.status, root.get("success")), (200, "true"), root.get("message"))
        return int(root.get("resourceid"))

    def resources(self, session=None, account=100):
        reply, root = self.server.tree(self.demo if session is None else session, account)
        check_tree_shape(self, reply, root)
        return tree_resources(root)

    def state(self):
        """Everything a refused request must leave as it was: both accounts' trees and the stored files."""
        files = sorted(os.listdir(self.server.resources_dir))
        return (self.server.tree(self.demo, 100)[0].body, self.server.tree(self.guest, 200)[0].body,
                files, [open(os.path.join(self.server.resources_dir, f), "rb").read() for f in files])

    def assertRefused(self, reply, root, status):
        self.assertEqual(root.tag, "recorderSave")
        self.assertEqual(root.get("success"), "false")
        self.assertTrue(root.get("message"), "a refusal tells the person why")
        self.assertEqual(reply.status, status, root.get("message"))

    def test_new_transaction_is_stored_with_its_steps(self):
        steps = [("http://h/a.asp", ""), ("http://h/b.asp?x=1", "q=7&r=a b")]
        rid = self.saved(transaction_document("Order test", steps), folder=102)
        self.assertEqual(self.resources()[rid], (102, "Order test", "Transaction"))
        stored = stored_file(self.server, rid)
        self.assertEqual(stored["steps"], [(u.encode(), d.encode()) for u, d in steps])
        self.assertEqual(self.saved(transaction_document("Empty", [])), rid + 1, "ids are handed out in order")

    def test_saves_go_into_any_folder_of_the_account(self):
        for folder in (100, 101, 102):
            with self.subTest(folder=folder):
                rid = self.saved(transaction_document("In %d" % folder, [("http://h/", "")]), folder=folder)
                self.assertEqual(self.resources()[rid][0], folder)

    def test_replace_keeps_id_and_kind(self):
        rid = self.saved(transaction_document("Before", [("http://h/1", "a=1")]))
        stress = [r for r, (_, _, t) in self.resources().items() if t == "StressTest"][0]
        for target, kind in ((rid, "Transaction"), (stress, "StressTest")):
            with self.subTest(kind=kind):
                new_steps = [("http://h/x", ""), ("http://h/y", "b=2"), ("http://h/z", "")]
                document = transaction_document("After " + kind, new_steps, resourceid=target)
                self.assertEqual(self.saved(document), target)
                self.assertEqual(self.resources()[target], (101, "After " + kind, kind))
                self.assertEqual(len([n for _, n, _ in self.resources().values() if n.startswith("After " + kind)]), 1)
                self.assertEqual(stored_file(self.server, target)["steps"],
                                 [(u.encode(), d.encode()) for u, d in new_steps])

    def test_access_refusals_store_nothing(self):
        guest_rid = self.saved(transaction_document("Guest's", [("http://g/", "")]), folder=200, session=self.guest)
        xml_rid = [r for r, (_, _, t) in self.resources().items() if t == "XmlTransaction"][0]
        stress = [r for r, (_, _, t) in self.resources().items() if t == "StressTest"][0]
        doc = transaction_document("Intruder", [("http://h/", "")])
        cases = {
            "guest into a demo folder": (self.guest, 101, doc, 403),
            "demo into the guest account": (self.demo, 200, doc, 403),
            "a folder that does not exist": (self.demo, 999, doc, 403),
            "no session": ("", 101, doc, 403),
            "unknown session": ("ffffffffffffffffffffffffffffffff", 101, doc, 403),
            "replace an XML transaction": (self.demo, 101, transaction_document("X", [], resourceid=xml_rid), 409),
            "replace a stress test from another folder": (self.demo, 102, transaction_document("X", [], resourceid=stress), 404),
            "replace another account's transaction": (self.demo, 101, transaction_document("X", [], resourceid=guest_rid), 404),
            "replace a resource that does not exist": (self.demo, 101, transaction_document("X", [], resourceid=99999), 404),
            "replace with a negative id": (self.demo, 101, transaction_document("X", [], resourceid=-1), 404),
        }
        before = self.state()
        for what, (session, folder, document, status) in cases.items():
            with self.subTest(what):
                reply, root = self.save(document, folder, session)
                self.assertRefused(reply, root, status)
        self.assertEqual(self.state(), before)

    def test_bodies_that_are_not_the_document_store_nothing(self):
        good_step = '<step stepnumber="1" url="http%3a%2f%2fh%2f" />'
        cases = {
            "empty": b"",
            "plain text": b"hello",
            "another root element": b'<save name="x"></save>',
            "no name": b"<transaction>" + good_step.encode() + b"</transaction>",
            "resourceid not a number": b'<transaction resourceid="abc" name="x"></transaction>',
            "resourceid empty": b'<transaction resourceid="" name="x"></transaction>',
            "steps numbered from 2": b'<transaction name="x"><step stepnumber="2" url="u" /></transaction>',
            "step number missing": b'<transaction name="x"><step url="u" /></transaction>',
            "step number repeated": b'<transaction name="x"><step stepnumber="1" url="u" /><step stepnumber="1" url="v" /></transaction>',
            "step without url": b'<transaction name="x"><step stepnumber="1" senddata="a" /></transaction>',
            "step with an empty url": b'<transaction name="x"><step stepnumber="1" url="" /></transaction>',
            "element inside a step": b'<transaction name="x"><step stepnumber="1" url="u"><b/></step></transaction>',
            "unknown element": b'<transaction name="x">' + good_step.encode() + b"<note/></transaction>",
            "text between steps": b'<transaction name="x">hi' + good_step.encode() + b"</transaction>",
            "broken escape in a url": b'<transaction name="x"><step stepnumber="1" url="http%3" /></transaction>',
            "broken escape in the name": b'<transaction name="a%g1"></transaction>',
            "cut off": b'<transaction name="x">' + good_step.encode(),
            "two documents": b'<transaction name="x"></transaction><transaction name="y"></transaction>',
            "bytes that are not UTF-8": b'<transaction name="\xff\xfe"></transaction>',
            "external entity": b'<!DOCTYPE t [<!ENTITY e SYSTEM "file:///etc/passwd">]><transaction name="&e;"></transaction>',
            "entity expansion": b'<!DOCTYPE t [<!ENTITY a "aaaaaaaaaa"><!ENTITY b "&a;&a;&a;&a;&a;">]><transaction name="&b;"></transaction>',
        }
        before = self.state()
        for what, body in cases.items():
            with self.subTest(what):
                reply, root = self.save(body)
                self.assertRefused(reply, root, 400)
                self.assertNotIn("root:", root.get("message"), "nothing from a file leaks into the answer")
        self.assertEqual(self.state(), before)
        self.assertEqual([f for f in os.listdir(self.server.resources_dir) if f.startswith(".tmp")], [])

    def test_requests_in_the_wrong_shape_are_refused(self):
        doc = transaction_document("x", [("http://h/", "")])
        base = "/console/Transaction?"
        cases = [
            ("GET", base + "act=recorderSave&accountid=101&sessionid=" + self.demo, None, 405),
            ("PUT", base + "act=recorderSave&accountid=101&sessionid=" + self.demo, doc, 405),
            ("POST", base + "act=save&accountid=101&sessionid=" + self.demo, doc, 400),
            ("POST", base + "accountid=101&sessionid=" + self.demo, doc, 400),
            ("POST", base + "act=recorderSave&sessionid=" + self.demo, doc, 400),
            ("POST", base + "act=recorderSave&accountid=10x&sessionid=" + self.demo, doc, 400),
            ("POST", base + "act=recorderSave&accountid=101&accountid=102&sessionid=" + self.demo, doc, 400),
        ]
        before = self.state()
        for method, path, body, status in cases:
            with self.subTest(method=method, path=path):
                reply, root = self.server.xml(method, path, body=body)
                self.assertRefused(reply, root, status)
        self.assertEqual(self.state(), before)

    def test_size_limit(self):
        def document(size):
            filler = "x" * 1000
            steps = [("http://h/%d" % i, "f=" + filler) for i in range(size // 1050)]
            return transaction_document("Big", steps)
        too_big = document(LIMIT + 20_000)
        self.assertGreater(len(too_big), LIMIT)
        before = self.state()
        path = "/console/Transaction?act=recorderSave&accountid=101&sessionid=" + self.demo
        # an announced length over the limit is refused before any of the body is read
        conn = self.server.connect()
        conn.putrequest("POST", path)
        conn.putheader("Content-Length", str(LIMIT + 1))
        conn.endheaders()
        r = conn.getresponse()
        announced = harness.Reply(r.status, {k.lower(): v for k, v in r.getheaders()}, r.read())
        conn.close()
        # a chunked body is counted as it streams in
        chunked = self.server.request("POST", path, body=iter([too_big]), headers={"Transfer-Encoding": "chunked"})
        for what, reply in {"announced length": announced, "chunked": chunked}.items():
            with self.subTest(what):
                harness.check_xml_answer(reply)
                root = harness.ET.fromstring(reply.body)
                self.assertRefused(reply, root, 413)
                self.assertIn("256 KB", root.get("message"))
        self.assertEqual(self.state(), before)
        fits = document(LIMIT - 20_000)
        self.assertLess(len(fits), LIMIT)
        self.saved(fits)

    def test_names_with_any_bytes(self):
        # names as the recorder sends them: bytes of its ANSI code page, form-encoded
        accepted = {
            b"<b>&\"quoted\"'": "<b>&\"quoted\"'",
            b"caf\xe9 \x80": "caf\u00e9 \u20ac",                  # Windows-1252
            "caf\u00e9 \u65e5\u672c".encode(): "caf\u00e9 \u65e5\u672c",  # UTF-8
            b"  padded  ": "  padded  ",
            b"]]>": "]]>",
            b"a" * 255: "a" * 255,
        }
        for sent, shown in accepted.items():
            with self.subTest(sent=sent):
                rid = self.saved(transaction_document(sent, [("http://h/", "")]))
                self.assertEqual(self.resources()[rid], (101, shown, "Transaction"))
                self.assertEqual(stored_file(self.server, rid)["name"], shown)
        refused = [b"", b"   ", b"a\x00b", b"\x01", b"tab\there", b"two\r\nlines", b"del\x7f", b"\x81", b"a" * 256]
        before = self.state()
        for sent in refused:
            with self.subTest(sent=sent):
                reply, root = self.save(transaction_document(sent, [("http://h/", "")]))
                self.assertRefused(reply, root, 400)
                self.assertIn("name", root.get("message"))
        self.assertEqual(self.state(), before)

    def test_steps_keep_every_byte(self):
        every = bytes(range(256))
        steps = [(b"http://h/" + every, every[::-1]), (b"http://h/plain", b""), (b"\x00", b"+%&=")]
        rid = self.saved(transaction_document("Every byte", steps))
        self.assertEqual(stored_file(self.server, rid)["steps"], steps)


if __name__ == "__main__":
    harness.main(sys.modules[__name__])
