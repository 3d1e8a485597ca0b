package com.orvantis.devserver;

import java.util.ArrayDeque;
import java.util.Deque;
import java.util.List;
import java.util.Map;

/**
 * GET /console/Folder?act=resourceTree&accountid=N: the folder tree of the session's own
 * account. Folders carry their accountid, resources their name, type and resourceid.
 * There is no white space between elements: the recorder reads a text node as an
 * element it cannot use.
 */
final class FolderEndpoint extends Endpoint {
    private final Directory directory;
    private final Sessions sessions;
    private final Store store;

    FolderEndpoint(Directory directory, Sessions sessions, Store store) {
        this.directory = directory;
        this.sessions = sessions;
        this.store = store;
    }

    @Override
    Answer handle(Exchange x) throws Refusal {
        x.allow("GET");
        x.expect("act", "resourceTree");
        Sessions.Session s = session(sessions, x);
        int account = x.query().number("accountid");
        if (account != s.accountId) {
            throw new Refusal(403, "You may read the folder tree of your own account (" + s.accountId
                + ") only, not of account " + account + ".");
        }
        return Answer.xml(200, tree(directory.folders.get(account), store.byFolder()));
    }

    @Override
    Answer refused(Refusal r) {
        return Answer.xml(r.status, Xml.element("resourceTree", "success", "false", "message", r.getMessage()));
    }

    static String tree(Directory.Folder top, Map<Integer, List<Store.Resource>> resources) {
        Xml xml = new Xml(1 << 16);
        Deque<Object> work = new ArrayDeque<>();
        work.push(top);
        while (!work.isEmpty()) {
            Object item = work.pop();
            if (item instanceof String closing) {
                xml.close(closing);
            } else if (item instanceof Directory.Folder f) {
                xml.open("folder").attribute("name", f.name).attribute("accountid", f.accountId);
                work.push("folder");
                List<Store.Resource> own = resources.getOrDefault(f.accountId, List.of());
                for (int i = own.size() - 1; i >= 0; i--) {
                    work.push(own.get(i));
                }
                for (int i = f.children.size() - 1; i >= 0; i--) {
                    work.push(f.children.get(i));
                }
            } else {
                Store.Resource r = (Store.Resource) item;
                xml.open("resource").attribute("name", r.name).attribute("type", r.type)
                   .attribute("resourceid", r.id).close("resource");
            }
        }
        return xml.toString();
    }
}
