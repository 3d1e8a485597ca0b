"""What is saved survives a restart, a crash in the middle of a save, and a shutdown during one."""

import os
import sys
import time
import unittest

import harness
from harness import Server, form_encode, stored_file, transaction_document


def steps(tag, count):
    return [("http://h/%s/%d" % (tag, i), "tag=%s&i=%d&pad=%s" % (tag, i, "p" * 200)) for i in range(count)]


class PersistenceTest(unittest.TestCase):
    def setUp(self):
        self.server = Server().start()
        self.sid, _ = self.server.session("demo", "demo")

    def tearDown(self):
        self.server.close()

    def restart(self):
        self.assertEqual(self.server.stop(), 143, "ended by SIGTERM after its shutdown hook ran")
        self.assertIn("devserver: stopped", self.server.output())
        self.server.start()
        self.sid, _ = self.server.session("demo", "demo")

    def saved(self, document, folder=101):
        reply, root = self.server.save(self.sid, folder, document)
        self.assertEqual(root.get("success"), "true", root.get("message"))
        return int(root.get("resourceid"))

    def snapshot(self):
        files = sorted(os.listdir(self.server.resources_dir))
        return self.server.tree(self.sid, 100)[0].body, {f: open(os.path.join(self.server.resources_dir, f), "rb").read()
                                                        for f in files}

    def begin_save(self, document, folder=101):
        """Sends the headers and the first half of a save, and waits until the server is writing it."""
        conn = self.server.connect()
        conn.putrequest("POST", "/console/Transaction?act=recorderSave&accountid=%d&sessionid=%s"
                        % (folder, form_encode(self.sid)))
        conn.putheader("Content-Length", str(len(document)))
        conn.endheaders()
        half = len(document) // 2
        conn.send(document[:half])
        for _ in range(400):  # bounded: about 20 s
            if any(f.startswith(".tmp-") for f in os.listdir(self.server.resources_dir)):
                return conn, document[half:]
            time.sleep(0.05)
        self.fail("the server never began writing the save")

    def test_saves_survive_a_restart(self):
        new = self.saved(transaction_document("Kept", steps("kept", 3)))
        stress = int(self.server.tree(self.sid, 100)[1].find(".//*[@type='StressTest']").get("resourceid"))
        self.saved(transaction_document("Stress replaced", steps("stress", 2), resourceid=stress))
        before = self.snapshot()
        self.restart()
        self.assertEqual(self.snapshot(), before)
        self.assertGreater(self.saved(transaction_document("Next", [])), new, "ids are not handed out twice")

    def test_a_crash_during_a_save_leaves_the_previous_state(self):
        rid = self.saved(transaction_document("Original", steps("v1", 5)))
        before = self.snapshot()
        conn, _ = self.begin_save(transaction_document("Replacement", steps("v2", 2000), resourceid=rid))
        self.server.kill()
        conn.close()
        self.server.start()
        self.sid, _ = self.server.session("demo", "demo")
        self.assertEqual(self.snapshot(), before)
        self.assertEqual(stored_file(self.server, rid)["name"], "Original")

    def test_a_shutdown_lets_a_save_under_way_finish(self):
        rid = self.saved(transaction_document("Original", steps("v1", 5)))
        conn, rest = self.begin_save(transaction_document("Finished during shutdown", steps("v2", 2000), resourceid=rid))
        self.server.proc.terminate()
        self.assertIsNotNone(self.server.wait_for_line(r"shutting down; 1 request\(s\) under way may finish first"))
        conn.send(rest)
        answer = conn.getresponse().read()
        conn.close()
        self.assertIn(b'success="true"', answer)
        self.assertEqual(self.server.proc.wait(timeout=60), 143)
        self.server.start()
        self.sid, _ = self.server.session("demo", "demo")
        stored = stored_file(self.server, rid)
        self.assertEqual((stored["name"], len(stored["steps"])), ("Finished during shutdown", 2000))

    def test_damaged_and_unfinished_files_do_not_stop_the_start(self):
        kept = self.saved(transaction_document("Kept", steps("k", 2)))
        self.server.stop()
        with open(os.path.join(self.server.resources_dir, "77.txn"), "w") as f:
            f.write("orvantis-resource 1\nfolder 101\ntype Transaction\nname Cut\nstep http%3a%2f%2fh\n")
        with open(os.path.join(self.server.resources_dir, ".tmp-123.txn"), "w") as f:
            f.write("orvantis-resource 1\nfolder 101\n")
        self.server.start()
        self.sid, _ = self.server.session("demo", "demo")
        self.assertRegex(self.server.output(), r"warning: skipped damaged resource file .*77\.txn")
        self.assertNotIn(".tmp-123.txn", os.listdir(self.server.resources_dir))
        ids = {int(e.get("resourceid")) for e in self.server.tree(self.sid, 100)[1].iter("resource")}
        self.assertIn(kept, ids)
        self.assertNotIn(77, ids)

    def test_one_server_per_data_folder(self):
        second = Server(home=self.server.home)
        with self.assertRaises(AssertionError):
            second.start()
        self.assertEqual(second.proc.returncode, 1)
        self.assertIn("another server is using the data folder", second.output())
        self.assertEqual(self.server.login(sessionid=self.sid)[1].get("validated"), "true")


if __name__ == "__main__":
    harness.main(sys.modules[__name__])
