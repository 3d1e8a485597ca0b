package com.orvantis.devserver;

import java.io.IOException;
import java.util.List;
import java.util.Map;

/**
 * GET /console: a read-only page for a person, listing every folder with its transactions
 * and their first steps; /console?resourceid=N shows all steps of one. Everything taken
 * from users or the store is escaped.
 */
final class ConsolePage extends Endpoint {
    private static final int OVERVIEW_STEPS = 20;
    private static final int OVERVIEW_TEXT = 300;
    private static final int DETAIL_TEXT = 4000;

    private final Directory directory;
    private final Store store;

    ConsolePage(Directory directory, Store store) {
        this.directory = directory;
        this.store = store;
    }

    @Override
    Answer handle(Exchange x) throws Refusal, IOException {
        x.allow("GET");
        Query q = x.query();
        if (q.has("resourceid")) {
            int id = q.number("resourceid");
            Store.Resource r = store.get(id);
            if (r == null || !directory.folders.containsKey(r.folderId)) {
                throw new Refusal(404, "There is no resource " + id + ".");
            }
            return Answer.html(200, resourcePage(r));
        }
        return Answer.html(200, overview());
    }

    @Override
    Answer refused(Refusal r) {
        StringBuilder sb = begin("Orvantis development server");
        sb.append("<p class=\"refused\">").append(escape(r.getMessage())).append("</p><p><a href=\"/console\">All folders</a></p>");
        return Answer.html(r.status, end(sb));
    }

    private String overview() throws IOException {
        Map<Integer, List<Store.Resource>> resources = store.byFolder();
        StringBuilder sb = begin("Orvantis development server");
        sb.append("<p>Read-only view of all folders. Users:");
        String sep = " ";
        for (Directory.User u : directory.users.values()) {
            sb.append(sep).append(escape(u.name())).append(" (account ").append(u.accountId()).append(')');
            sep = ", ";
        }
        sb.append(".</p>");
        sb.append("<ul class=\"tree\">");
        for (Directory.Folder f : directory.tops) {
            folder(sb, f, resources);
        }
        sb.append("</ul>");
        return end(sb);
    }

    private void folder(StringBuilder sb, Directory.Folder f, Map<Integer, List<Store.Resource>> resources) throws IOException {
        sb.append("<li><span class=\"folder\">").append(escape(f.name)).append("</span> <span class=\"meta\">account ")
          .append(f.accountId).append("</span><ul>");
        for (Directory.Folder c : f.children) {
            folder(sb, c, resources);
        }
        for (Store.Resource r : resources.getOrDefault(f.accountId, List.of())) {
            sb.append("<li>");
            heading(sb, r, true);
            steps(sb, r, OVERVIEW_STEPS, OVERVIEW_TEXT);
            if (r.stepCount > OVERVIEW_STEPS) {
                sb.append("<p class=\"meta\"><a href=\"/console?resourceid=").append(r.id).append("\">")
                  .append(r.stepCount - OVERVIEW_STEPS).append(" more steps</a></p>");
            }
            sb.append("</li>");
        }
        sb.append("</ul></li>");
    }

    private String resourcePage(Store.Resource r) throws IOException {
        StringBuilder sb = begin(r.name);
        sb.append("<p><a href=\"/console\">All folders</a> / ")
          .append(escape(directory.folders.get(r.folderId).path())).append("</p>");
        heading(sb, r, false);
        steps(sb, r, Integer.MAX_VALUE, DETAIL_TEXT);
        return end(sb);
    }

    private static void heading(StringBuilder sb, Store.Resource r, boolean link) {
        sb.append("<span class=\"resource\">");
        if (link) {
            sb.append("<a href=\"/console?resourceid=").append(r.id).append("\">").append(escape(r.name)).append("</a>");
        } else {
            sb.append(escape(r.name));
        }
        sb.append("</span> <span class=\"meta\">").append(escape(r.type)).append(", resource ").append(r.id)
          .append(", ").append(r.stepCount).append(r.stepCount == 1 ? " step" : " steps").append("</span>");
    }

    private void steps(StringBuilder sb, Store.Resource r, int limit, int textLimit) throws IOException {
        if (r.stepCount == 0) {
            return;
        }
        sb.append("<table><tr><th>#</th><th>URL</th><th>Posted data</th></tr>");
        int[] n = {0};
        store.forEachStep(r, limit, s -> sb.append("<tr><td>").append(++n[0]).append("</td><td>")
            .append(shown(s.url(), textLimit)).append("</td><td>").append(shown(s.sendData(), textLimit)).append("</td></tr>"));
        sb.append("</table>");
    }

    /** Recorded bytes as readable, escaped text: control characters spelled out, long values cut. */
    private static String shown(byte[] bytes, int limit) {
        String text = FormCodec.text(bytes);
        StringBuilder sb = new StringBuilder();
        for (int i = 0; i < text.length() && sb.length() < limit; i++) {
            char c = text.charAt(i);
            if (Character.getType(c) == Character.CONTROL) {
                sb.append(String.format("\\x%02x", (int) c));
            } else {
                sb.append(c);
            }
        }
        String cut = sb.length() < text.length() && sb.length() >= limit
            ? " \u2026 (" + bytes.length + " bytes in all)" : "";
        return escape(sb.toString()) + cut;
    }

    private static StringBuilder begin(String title) {
        return new StringBuilder(8192).append("<!DOCTYPE html><html lang=\"en\"><head><meta charset=\"utf-8\"><title>")
            .append(escape(title)).append("</title><style>")
            .append("body{font-family:sans-serif;margin:1.5em}ul.tree,ul.tree ul{list-style:none;padding-left:1.2em}")
            .append(".folder{font-weight:bold}.meta{color:#666;font-size:90%}")
            .append("table{border-collapse:collapse;margin:.3em 0 .8em}td,th{border:1px solid #ccc;padding:2px 6px;")
            .append("text-align:left;vertical-align:top;font-family:monospace;word-break:break-all}")
            .append(".refused{color:#a00}</style></head><body><h1>").append(escape(title)).append("</h1>");
    }

    private static String end(StringBuilder sb) {
        return sb.append("</body></html>").toString();
    }

    static String escape(String s) {
        StringBuilder sb = new StringBuilder(s.length() + 16);
        for (int i = 0; i < s.length(); i++) {
            char c = s.charAt(i);
            switch (c) {
                case '&': sb.append("&amp;"); break;
                case '<': sb.append("&lt;"); break;
                case '>': sb.append("&gt;"); break;
                case '"': sb.append("&quot;"); break;
                case '\'': sb.append("&#39;"); break;
                default: sb.append(c);
            }
        }
        return sb.toString();
    }
}
