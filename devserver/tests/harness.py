"""Runs the development server as a real process and talks to it over loopback HTTP.

Each Server lives in a throw-away home folder laid out like an Orvantis server home
(the process runs in home/bin, so the default -data ../data and -config ../devserver.xml
land in the home). Every answer is checked for the things all answers share: XML served
as text/xml, no XML declaration, no stack trace.
"""

import argparse
import http.client
import os
import re
import signal
import subprocess
import sys
import tempfile
import threading
import time
import unittest
import xml.etree.ElementTree as ET

JAVA = None
JAR = None
HOST = "127.0.0.1"
START_WAIT = 60  # seconds a server may take to start before the test gives up on it


def form_encode(value):
    """The recorder's form encoding of a byte string (text is taken as UTF-8)."""
    if isinstance(value, str):
        value = value.encode("utf-8")
    out = []
    for b in value:
        c = chr(b)
        if c.isascii() and (c.isalnum() or c in ".-*_"):
            out.append(c)
        elif b == 32:
            out.append("+")
        else:
            out.append("%%%02x" % b)
    return "".join(out)


def transaction_document(name, steps=(), resourceid=None):
    """The one-line document the recorder posts; steps are (url, senddata) pairs."""
    parts = ["<transaction"]
    if resourceid is not None:
        parts.append(' resourceid="%s"' % resourceid)
    parts.append(' name="%s">' % form_encode(name))
    for i, (url, data) in enumerate(steps, 1):
        parts.append('<step stepnumber="%d" url="%s"' % (i, form_encode(url)))
        if data:
            parts.append(' senddata="%s"' % form_encode(data))
        parts.append(" />")
    parts.append("</transaction>")
    return "".join(parts).encode("ascii")


def password_hash(password, _cache={}):
    """A hash made by the server's own -hash tool (few iterations, to keep tests quick)."""
    if password not in _cache:
        done = subprocess.run([JAVA, "-jar", JAR, "-hash", "-iterations", "1000"],
                              input=password + "\n", capture_output=True, text=True, encoding="utf-8")
        if done.returncode != 0:
            raise AssertionError("-hash failed: " + done.stderr)
        _cache[password] = done.stdout.strip()
    return _cache[password]


def config_xml(users, folders):
    """users: (name, accountid, password); folders: XML text of the <folder> elements."""
    lines = ['<?xml version="1.0" encoding="UTF-8"?>', "<devserver>"]
    for name, account, password in users:
        lines.append('  <user name="%s" accountid="%d" hash="%s"/>' % (name, account, password_hash(password)))
    lines.append(folders)
    lines.append("</devserver>")
    return "\n".join(lines)


class Reply:
    def __init__(self, status, headers, body):
        self.status = status
        self.headers = headers
        self.body = body

    def header(self, name):
        return self.headers.get(name.lower())


class Server:
    """One server process in its own home folder; start() blocks until it listens."""

    def __init__(self, config=None, args=(), home=None):
        self._tmp = None
        if home is None:
            self._tmp = tempfile.TemporaryDirectory(prefix="devserver-test-")
            home = self._tmp.name
        self.home = home
        os.makedirs(os.path.join(home, "bin"), exist_ok=True)
        if config is not None:
            with open(os.path.join(home, "devserver.xml"), "w", encoding="utf-8") as f:
                f.write(config)
        self.args = list(args)
        self.proc = None
        self.port = None
        self.lines = []
        self._changed = threading.Condition()

    @property
    def resources_dir(self):
        return os.path.join(self.home, "data", "resources")

    def start(self, port=0):
        self.lines = []
        self._eof = False
        self.proc = subprocess.Popen(
            [JAVA, "-jar", JAR, "-port", str(port)] + self.args,
            cwd=os.path.join(self.home, "bin"), stdin=subprocess.DEVNULL,
            stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True, encoding="utf-8", errors="replace")
        threading.Thread(target=self._read, args=(self.proc,), daemon=True).start()
        found = self.wait_for_line(r"listening on http://127\.0\.0\.1:(\d+)/console")
        if found is None:
            self.kill()
            raise AssertionError("server did not start:\n" + self.output())
        self.port = int(found.group(1))
        return self

    def _read(self, proc):
        for line in proc.stdout:
            with self._changed:
                self.lines.append(line.rstrip("\n"))
                self._changed.notify_all()
        with self._changed:
            self._eof = True
            self._changed.notify_all()

    def wait_for_line(self, pattern, wait=START_WAIT):
        """The first output line matching pattern, waiting a bounded time for it; None if it never comes."""
        rx = re.compile(pattern)
        deadline = time.monotonic() + wait
        with self._changed:
            while True:
                for line in self.lines:
                    m = rx.search(line)
                    if m:
                        return m
                left = deadline - time.monotonic()
                if self._eof or left <= 0:
                    return None
                self._changed.wait(left)

    def output(self):
        with self._changed:
            return "\n".join(self.lines)

    def stop(self):
        """Ends the process as a shutdown does (SIGTERM) and returns its exit code."""
        if self.proc and self.proc.poll() is None:
            self.proc.send_signal(signal.SIGTERM)
            self.proc.wait(timeout=60)
        return self.proc.returncode

    def kill(self):
        if self.proc and self.proc.poll() is None:
            self.proc.kill()
            self.proc.wait(timeout=60)

    def close(self):
        self.kill()
        if self._tmp:
            self._tmp.cleanup()

    # --- HTTP -----------------------------------------------------------

    def connect(self):
        return http.client.HTTPConnection(HOST, self.port, timeout=120)

    def request(self, method, path, body=None, headers=None):
        conn = self.connect()
        try:
            headers = headers or {}
            conn.request(method, path, body=body, headers=headers,
                         encode_chunked=headers.get("Transfer-Encoding") == "chunked")
            r = conn.getresponse()
            return Reply(r.status, {k.lower(): v for k, v in r.getheaders()}, r.read())
        finally:
            conn.close()

    def xml(self, method, path, body=None, headers=None):
        """Returns (reply, root element), after checking what every answer must be."""
        reply = self.request(method, path, body, headers)
        check_xml_answer(reply)
        return reply, ET.fromstring(reply.body)

    def login(self, user=None, password=None, sessionid=None):
        path = "/console/Login?action=recorderLogin"
        if user is not None:
            path += "&user=%s&password=%s" % (form_encode(user), form_encode(password))
        if sessionid is not None:
            path += "&sessionid=" + form_encode(sessionid)
        return self.xml("GET", path)

    def session(self, user, password):
        _, root = self.login(user, password)
        assert root.get("validated") == "true", ET.tostring(root)
        return root.get("sessionid"), int(root.get("accountid"))

    def tree(self, sessionid, accountid):
        return self.xml("GET", "/console/Folder?act=resourceTree&accountid=%s&sessionid=%s"
                        % (accountid, form_encode(sessionid)))

    def save(self, sessionid, folder, document):
        return self.xml("POST", "/console/Transaction?act=recorderSave&accountid=%s&sessionid=%s"
                        % (folder, form_encode(sessionid)), body=document)


def check_xml_answer(reply):
    ctype = reply.header("content-type") or ""
    assert ctype.startswith("text/xml"), "content type %r for %r" % (ctype, reply.body[:200])
    assert not reply.body.lstrip().startswith(b"<?xml"), "answer has an XML declaration"
    check_no_stack_trace(reply.body)


def check_no_stack_trace(body):
    text = body.decode("utf-8", "replace")
    assert not re.search(r"\bat [\w.$]+\(|Exception:|\bcom\.orvantis\.|java\.\w+\.", text), \
        "answer shows internals: " + text[:300]


def tree_resources(root):
    """{resourceid: (folder accountid, name, type)} of a folder-tree answer."""
    found = {}

    def walk(folder):
        for child in folder:
            if child.tag == "folder":
                walk(child)
            else:
                found[int(child.get("resourceid"))] = (int(folder.get("accountid")), child.get("name"), child.get("type"))
    walk(root)
    return found


def check_tree_shape(test, reply, root):
    """What the recorder needs of a folder tree: the top is a folder, every folder has a name and a
    numeric accountid, every other element a name, a type and a numeric resourceid, and no text
    node anywhere (the recorder would stop reading at one)."""
    test.assertEqual(root.tag, "folder")
    test.assertIsNone(re.search(rb">\s+<", reply.body), "white space between elements")
    for el in root.iter():
        test.assertIsNone(el.text, "text in the tree")
        test.assertTrue(el is root or el.tail is None, "text in the tree")
        test.assertIsNotNone(el.get("name"))
        if el.tag == "folder":
            int(el.get("accountid"))
        else:
            test.assertTrue(el.get("type"))
            int(el.get("resourceid"))
            test.assertEqual(len(el), 0, "a resource holds elements")


def stored_file(server, resourceid):
    """The saved resource file, parsed: header fields and steps as raw bytes."""
    path = os.path.join(server.resources_dir, "%d.txn" % resourceid)
    with open(path, "rb") as f:
        lines = f.read().decode("ascii").split("\n")
    assert lines[0] == "orvantis-resource 1" and lines[-1] == "", lines[:2]
    header = dict(line.split(" ", 1) for line in lines[1:4])
    steps = []
    for line in lines[4:-2]:
        word, rest = line.split(" ", 1)
        assert word == "step", line
        url, _, data = rest.partition(" ")
        steps.append((form_decode(url), form_decode(data)))
    assert lines[-2] == "end %d" % len(steps), lines[-2]
    return {"folder": int(header["folder"]), "type": form_decode(header["type"]).decode("utf-8"),
            "name": form_decode(header["name"]).decode("utf-8"), "steps": steps}


def form_decode(text):
    out = bytearray()
    i = 0
    while i < len(text):
        c = text[i]
        if c == "+":
            out.append(32)
        elif c == "%":
            out.append(int(text[i + 1:i + 3], 16))
            i += 2
        else:
            out.append(ord(c))
        i += 1
    return bytes(out)


def main(module):
    """Runs the module's tests; skipped tests count as failures (a test never skips silently)."""
    global JAVA, JAR
    parser = argparse.ArgumentParser()
    parser.add_argument("--java", required=True)
    parser.add_argument("--jar", required=True)
    parser.add_argument("tests", nargs="*")
    opts = parser.parse_args()
    JAVA, JAR = opts.java, opts.jar
    for tool in (JAVA, JAR):
        if not os.path.isfile(tool):
            print("missing: " + tool + " (build the native preset first)")
            print("0 passed, 1 failed")
            sys.exit(1)
    loader = unittest.defaultTestLoader
    suite = loader.loadTestsFromNames(opts.tests, module) if opts.tests else loader.loadTestsFromModule(module)
    result = unittest.TextTestRunner(verbosity=2).run(suite)
    failed = len(result.failures) + len(result.errors) + len(result.skipped) + len(result.unexpectedSuccesses)
    print("%d passed, %d failed" % (result.testsRun - failed, failed))
    sys.exit(1 if failed or result.testsRun == 0 else 0)
