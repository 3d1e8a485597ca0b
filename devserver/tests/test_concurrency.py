"""Several clients at once: concurrent saves lose nothing, concurrent replaces never mix."""

import sys
import threading
import unittest

import harness
from harness import Server, stored_file, transaction_document

CLIENTS = 8
SAVES_EACH = 20


def run_all(work):
    """Runs each callable on its own thread and re-raises the first failure."""
    errors = []

    def guard(fn):
        try:
            fn()
        except BaseException as e:  # reported below, on the test's thread
            errors.append(e)
    threads = [threading.Thread(target=guard, args=(fn,)) for fn in work]
    for t in threads:
        t.start()
    for t in threads:
        t.join(timeout=300)
        if t.is_alive():
            raise AssertionError("a client did not finish")
    if errors:
        raise errors[0]


class ConcurrencyTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.server = Server().start()
        cls.sid, _ = cls.server.session("demo", "demo")

    @classmethod
    def tearDownClass(cls):
        cls.server.close()

    @staticmethod
    def steps_of(tag, count):
        return [(("http://h/%s/%d" % (tag, i)).encode(), ("who=%s&i=%d" % (tag, i)).encode()) for i in range(count)]

    def test_concurrent_saves_keep_everything(self):
        sent = {}  # resourceid -> (name, steps)
        lock = threading.Lock()
        trees = []

        def client(c):
            for i in range(SAVES_EACH):
                name = "client %d save %d" % (c, i)
                steps = self.steps_of("c%d-%d" % (c, i), 1 + (c + i) % 7)
                _, root = self.server.save(self.sid, 100 + c % 3, transaction_document(name, steps))
                assert root.get("success") == "true", root.get("message")
                with lock:
                    rid = int(root.get("resourceid"))
                    assert rid not in sent, "resource id %d handed out twice" % rid
                    sent[rid] = (100 + c % 3, name, steps)

        def reader():
            for _ in range(30):
                reply, root = self.server.tree(self.sid, 100)
                harness.check_tree_shape(self, reply, root)
                trees.append(len(list(root.iter("resource"))))

        run_all([lambda c=c: client(c) for c in range(CLIENTS)] + [reader])
        self.assertEqual(len(sent), CLIENTS * SAVES_EACH)
        self.assertEqual(trees, sorted(trees), "a tree read during saves never loses a resource")
        listed = harness.tree_resources(self.server.tree(self.sid, 100)[1])
        for rid, (folder, name, steps) in sent.items():
            self.assertEqual(listed[rid], (folder, name, "Transaction"))
            stored = stored_file(self.server, rid)
            self.assertEqual((stored["name"], stored["steps"]), (name, steps), "resource %d" % rid)

    def test_concurrent_replaces_never_mix(self):
        _, root = self.server.save(self.sid, 101, transaction_document("Contested", self.steps_of("start", 3)))
        rid = int(root.get("resourceid"))
        versions = {}

        def client(c):
            for i in range(10):
                tag = "r%d-%d" % (c, i)
                steps = self.steps_of(tag, 1 + (7 * c + i) % 40)
                versions[tag] = steps
                _, root = self.server.save(self.sid, 101, transaction_document(tag, steps, resourceid=rid))
                assert root.get("success") == "true" and root.get("resourceid") == str(rid), root.attrib

        run_all([lambda c=c: client(c) for c in range(6)])
        stored = stored_file(self.server, rid)
        self.assertEqual(stored["steps"], versions[stored["name"]], "the stored version is one whole save")
        listed = harness.tree_resources(self.server.tree(self.sid, 100)[1])
        self.assertEqual(listed[rid], (101, stored["name"], "Transaction"), "the tree names the version on disk")
        self.assertEqual([r for r, (_, n, _) in listed.items() if n in versions], [rid])


if __name__ == "__main__":
    harness.main(sys.modules[__name__])
