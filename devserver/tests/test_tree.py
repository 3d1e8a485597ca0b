"""Folder tree: GET /console/Folder?act=resourceTree&accountid=N, for the session's own account only."""

import sys
import unittest

import harness
from harness import Server, check_tree_shape, tree_resources


class FolderTreeTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        # no configuration given: the server writes its demo configuration on first start
        cls.server = Server().start()
        cls.demo = cls.server.session("demo", "demo")
        cls.guest = cls.server.session("guest", "guest")

    @classmethod
    def tearDownClass(cls):
        cls.server.close()

    def test_demo_account_shows_nested_folders_and_both_kinds_of_resource(self):
        sid, account = self.demo
        reply, root = self.server.tree(sid, account)
        self.assertEqual(reply.status, 200)
        check_tree_shape(self, reply, root)
        self.assertEqual((root.get("name"), root.get("accountid")), ("Demo", "100"))
        self.assertEqual([(f.get("name"), f.get("accountid")) for f in root],
                         [("Web shop", "101"), ("Intranet", "102")])
        self.assertEqual(sorted(t for _, _, t in tree_resources(root).values()), ["StressTest", "XmlTransaction"])
        self.assertEqual({folder for folder, _, _ in tree_resources(root).values()}, {101})

    def test_each_account_sees_only_its_own_folders(self):
        sid, account = self.guest
        reply, root = self.server.tree(sid, account)
        check_tree_shape(self, reply, root)
        self.assertEqual([(e.tag, e.get("name"), e.get("accountid")) for e in root.iter()], [("folder", "Guest", "200")])

    def test_refusals(self):
        demo_sid, _ = self.demo
        guest_sid, _ = self.guest
        cases = {
            "no session": ("GET", "act=resourceTree&accountid=100", 403),
            "unknown session": ("GET", "act=resourceTree&accountid=100&sessionid=00000000000000000000000000000000", 403),
            "another account's tree": ("GET", "act=resourceTree&accountid=100&sessionid=" + guest_sid, 403),
            "a folder below the account, not the account": ("GET", "act=resourceTree&accountid=101&sessionid=" + demo_sid, 403),
            "account that does not exist": ("GET", "act=resourceTree&accountid=999&sessionid=" + demo_sid, 403),
            "account id not a number": ("GET", "act=resourceTree&accountid=1e2&sessionid=" + demo_sid, 400),
            "account id with a blank": ("GET", "act=resourceTree&accountid=+100&sessionid=" + demo_sid, 400),
            "account id out of range": ("GET", "act=resourceTree&accountid=99999999999&sessionid=" + demo_sid, 400),
            "no account id": ("GET", "act=resourceTree&sessionid=" + demo_sid, 400),
            "unknown act": ("GET", "act=tree&accountid=100&sessionid=" + demo_sid, 400),
            "no act": ("GET", "accountid=100&sessionid=" + demo_sid, 400),
            "posted": ("POST", "act=resourceTree&accountid=100&sessionid=" + demo_sid, 405),
        }
        for what, (method, query, status) in cases.items():
            with self.subTest(what):
                reply, root = self.server.xml(method, "/console/Folder?" + query, body=b"" if method == "POST" else None)
                self.assertEqual(reply.status, status)
                self.assertEqual(root.tag, "resourceTree", "a refusal is never a usable tree")
                self.assertEqual(root.get("success"), "false")
                self.assertTrue(root.get("message"))
                self.assertEqual(len(root), 0)


if __name__ == "__main__":
    harness.main(sys.modules[__name__])
