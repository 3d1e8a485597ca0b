package com.orvantis.devserver;

import java.io.IOException;

/** One path of the server; a refusal is answered in that path's own answer format. */
abstract class Endpoint {
    abstract Answer handle(Exchange x) throws Refusal, IOException;

    Answer refused(Refusal r) {
        return Answer.error(r);
    }

    /** The session a request names, or a refusal that sends the recorder back to its login. */
    static Sessions.Session session(Sessions sessions, Exchange x) throws Refusal {
        Sessions.Session s = sessions.find(x.query().text("sessionid"));
        if (s == null) {
            throw new Refusal(403, "Your session is unknown or has ended; please log in again.");
        }
        return s;
    }
}
