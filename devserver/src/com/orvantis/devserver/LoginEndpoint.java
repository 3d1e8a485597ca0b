package com.orvantis.devserver;

/**
 * GET /console/Login?action=recorderLogin, with the held sessionid or with user and password.
 * Every outcome is an answer: a login that fails is not validated, never an error page,
 * so the recorder knows to ask for the password.
 */
final class LoginEndpoint extends Endpoint {
    private final Directory directory;
    private final Sessions sessions;

    LoginEndpoint(Directory directory, Sessions sessions) {
        this.directory = directory;
        this.sessions = sessions;
    }

    @Override
    Answer handle(Exchange x) throws Refusal {
        x.allow("GET");
        x.expect("action", "recorderLogin");
        Query q = x.query();
        String held = q.text("sessionid");
        if (q.has("user") || q.has("password")) {
            if (!q.has("user") || !q.has("password")) {
                return notValidated("Both user and password are needed to log in.");
            }
            String user = q.text("user");
            Directory.User u = directory.users.get(user);
            char[] password = q.text("password").toCharArray();
            boolean good = (u == null ? PasswordHash.DECOY : u.hash()).matches(password) && u != null;
            if (!good) {
                DevServer.log("login refused for user \"" + user + "\"");
                return notValidated("Unknown user name or wrong password.");
            }
            sessions.end(held);
            Sessions.Session s = sessions.open(u.name(), u.accountId());
            DevServer.log("user \"" + u.name() + "\" logged in to account " + u.accountId());
            return validated(s);
        }
        Sessions.Session s = sessions.find(held);
        if (s != null) {
            return validated(s);
        }
        return notValidated(held == null || held.isEmpty()
            ? "Please log in with your user name and password."
            : "Your session is unknown or has ended; please log in again.");
    }

    @Override
    Answer refused(Refusal r) {
        return Answer.xml(r.status, Xml.element("login", "validated", "false", "message", r.getMessage()));
    }

    private static Answer validated(Sessions.Session s) {
        return Answer.xml(200, Xml.element("login", "validated", "true", "sessionid", s.id,
            "accountid", Integer.toString(s.accountId), "user", s.user));
    }

    private static Answer notValidated(String message) {
        return Answer.xml(200, Xml.element("login", "validated", "false", "message", message));
    }
}
