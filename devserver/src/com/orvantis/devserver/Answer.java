package com.orvantis.devserver;

import java.nio.charset.StandardCharsets;

/** What goes back to the client: a status and a body that is XML (or, for the console page, HTML). */
record Answer(int status, String contentType, byte[] body) {
    static Answer xml(int status, String xml) {
        return new Answer(status, "text/xml; charset=UTF-8", xml.getBytes(StandardCharsets.UTF_8));
    }

    static Answer html(int status, String html) {
        return new Answer(status, "text/html; charset=UTF-8", html.getBytes(StandardCharsets.UTF_8));
    }

    static Answer error(Refusal r) {
        return xml(r.status, Xml.element("error", "success", "false", "message", r.getMessage()));
    }
}
