package com.orvantis.devserver;

import java.io.IOException;
import java.io.InputStream;

/**
 * POST /console/Transaction?act=recorderSave&accountid=F with the transaction document as
 * body: stores a new transaction in folder F, or replaces the transaction or stress test
 * that the document's resourceid names in that folder. Either all of it is stored or nothing.
 */
final class SaveEndpoint extends Endpoint {
    private final Directory directory;
    private final Sessions sessions;
    private final Store store;
    private final long maxBody;

    SaveEndpoint(Directory directory, Sessions sessions, Store store, long maxBody) {
        this.directory = directory;
        this.sessions = sessions;
        this.store = store;
        this.maxBody = maxBody;
    }

    @Override
    Answer handle(Exchange x) throws Refusal, IOException {
        x.allow("POST");
        x.expect("act", "recorderSave");
        Sessions.Session s = session(sessions, x);
        int folderId = x.query().number("accountid");
        Directory.Folder folder = directory.folders.get(folderId);
        if (folder == null || !folder.isWithin(s.accountId)) {
            throw new Refusal(403, "Folder " + folderId + " is not one of your account's folders; choose one of yours. Nothing was saved.");
        }
        InputStream body = x.body(maxBody);
        Target t = new Target();
        Store.Resource saved;
        try (Store.Draft draft = store.draft()) {
            TransactionReader.read(body, new TransactionReader.Sink() {
                @Override
                public void begin(byte[] nameBytes, Integer resourceId) throws Refusal, IOException {
                    t.name = FormCodec.text(nameBytes);
                    String problem = Names.problem("The transaction's name", t.name);
                    if (problem != null) {
                        throw new Refusal(400, problem + " Nothing was saved.");
                    }
                    if (resourceId != null) {
                        t.replaced = replaceable(resourceId, folder);
                    }
                    t.type = t.replaced == null ? Store.SAVED_TYPE : t.replaced.type;
                    draft.header(folderId, t.type, t.name);
                }

                @Override
                public void step(Step step) throws IOException {
                    draft.step(step);
                }
            });
            saved = draft.commit(folderId, t.replaced, t.type, t.name);
        } catch (Exchange.TooLarge e) {
            throw Exchange.tooLarge(maxBody);
        }
        DevServer.log((t.replaced == null ? "saved new " : "replaced ") + saved.type + " " + saved.id + " \""
            + saved.name + "\" (" + saved.stepCount + " steps) in folder " + folderId + " for user \"" + s.user + "\"");
        return Answer.xml(200, Xml.element("recorderSave", "success", "true",
            "resourceid", Integer.toString(saved.id),
            "message", "Saved \"" + saved.name + "\" with " + saved.stepCount + " steps in \"" + folder.path() + "\"."));
    }

    @Override
    Answer refused(Refusal r) {
        return Answer.xml(r.status, Xml.element("recorderSave", "success", "false", "message", r.getMessage()));
    }

    private Store.Resource replaceable(int resourceId, Directory.Folder folder) throws Refusal {
        Store.Resource r = store.get(resourceId);
        if (r == null || r.folderId != folder.accountId) {
            throw new Refusal(404, "There is no transaction " + resourceId + " in \"" + folder.path()
                + "\" to replace; save it under a new name. Nothing was saved.");
        }
        if (!r.replaceable()) {
            throw new Refusal(409, "\"" + r.name + "\" is an XML transaction, which the recorder cannot replace;"
                + " save under another name. Nothing was saved.");
        }
        return r;
    }

    private static final class Target {
        String name;
        String type;
        Store.Resource replaced;
    }
}
