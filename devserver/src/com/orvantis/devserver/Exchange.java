package com.orvantis.devserver;

import com.sun.net.httpserver.HttpExchange;
import java.io.FilterInputStream;
import java.io.IOException;
import java.io.InputStream;

/** One request as the endpoints see it. */
final class Exchange {
    final HttpExchange http;
    final String method;
    final String path;
    private Query query;

    Exchange(HttpExchange http) {
        this.http = http;
        this.method = http.getRequestMethod();
        this.path = http.getRequestURI().getRawPath();
    }

    Query query() throws Refusal {
        if (query == null) {
            query = Query.parse(http.getRequestURI().getRawQuery());
        }
        return query;
    }

    void allow(String expected) throws Refusal {
        if (!expected.equals(method)) {
            http.getResponseHeaders().set("Allow", expected);
            throw new Refusal(405, path + " is used with " + expected + ", not " + method + ".");
        }
    }

    /** Requires the query parameter {@code name} to be exactly {@code word}, the only request this path knows. */
    void expect(String name, String word) throws Refusal {
        String v = query().text(name);
        if (v == null) {
            throw new Refusal(400, "The query lacks \"" + name + "\"; " + path + " answers " + name + "=" + word + ".");
        }
        if (!v.equals(word)) {
            throw new Refusal(400, "Unknown " + name + " \"" + v + "\"; " + path + " answers " + name + "=" + word + ".");
        }
    }

    /** The request body, refused before it is read when it announces more than {@code limit} bytes. */
    InputStream body(long limit) throws Refusal {
        String declared = http.getRequestHeaders().getFirst("Content-Length");
        if (declared != null) {
            long n;
            try {
                n = Long.parseLong(declared.trim());
            } catch (NumberFormatException e) {
                throw new Refusal(400, "The Content-Length \"" + declared + "\" is not a number.");
            }
            if (n > limit) {
                throw tooLarge(limit);
            }
            if (n == 0) {
                throw new Refusal(400, "The request has no body; it must carry the transaction document. Nothing was saved.");
            }
        }
        return new Limited(http.getRequestBody(), limit);
    }

    static Refusal tooLarge(long limit) {
        return new Refusal(413, "The transaction is larger than this server accepts (" + Options.describeSize(limit)
            + " as a document); save it in smaller parts. Nothing was saved.");
    }

    /** The body's stream failed: not a fault of the document in it. */
    abstract static class BodyFailure extends IOException {
        private static final long serialVersionUID = 1L;

        BodyFailure(String message) {
            super(message);
        }
    }

    /** The body grew past the size limit. */
    static final class TooLarge extends BodyFailure {
        private static final long serialVersionUID = 1L;

        TooLarge() {
            super("the body is over the size limit");
        }
    }

    /** The client sent a body that cannot be read, such as broken chunks or a connection cut short. */
    static final class Unreadable extends BodyFailure {
        private static final long serialVersionUID = 1L;

        Unreadable(String message) {
            super(message == null ? "cut short" : message);
        }
    }

    /** Stops a body that runs past the limit, also when its length was not announced. */
    private static final class Limited extends FilterInputStream {
        private long left;

        Limited(InputStream in, long limit) {
            super(in);
            left = limit;
        }

        @Override
        public int read() throws IOException {
            byte[] one = new byte[1];
            return read(one, 0, 1) < 0 ? -1 : one[0] & 0xff;
        }

        @Override
        public int read(byte[] b, int off, int len) throws IOException {
            int n;
            try {
                n = in.read(b, off, (int) Math.min(len, left + 1));
            } catch (IOException e) {
                throw new Unreadable(e.getMessage());
            }
            if (n > 0) {
                left -= n;
                if (left < 0) {
                    throw new TooLarge();
                }
            }
            return n;
        }
    }
}
