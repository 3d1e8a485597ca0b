package com.orvantis.devserver;

import com.sun.net.httpserver.HttpExchange;
import com.sun.net.httpserver.HttpServer;
import java.io.IOException;
import java.io.OutputStream;
import java.io.UncheckedIOException;
import java.net.InetAddress;
import java.net.InetSocketAddress;
import java.nio.channels.FileChannel;
import java.nio.charset.StandardCharsets;
import java.nio.file.Files;
import java.nio.file.Path;
import java.nio.file.StandardCopyOption;
import java.nio.file.StandardOpenOption;
import java.time.LocalTime;
import java.time.format.DateTimeFormatter;
import java.util.concurrent.CountDownLatch;
import java.util.concurrent.ExecutorService;
import java.util.concurrent.Executors;
import java.util.concurrent.TimeUnit;
import java.util.concurrent.atomic.AtomicInteger;

/** The development Orvantis server: configuration, store, sessions and the HTTP endpoints. */
public final class DevServer {
    private static final int THREADS = 16;
    /** How long a shutdown waits for requests under way, such as a large save, to finish. */
    private static final long DRAIN_MILLIS = 10_000;

    private final Store store;
    private final HttpServer http;
    private final ExecutorService workers;
    private final Endpoint login;
    private final Endpoint folder;
    private final Endpoint save;
    private final Endpoint console;
    private final CountDownLatch stopped = new CountDownLatch(1);
    private final Object gate = new Object();
    private int inFlight;
    private boolean closing;

    /** Why the server could not start, told to the person who started it. */
    public static final class StartException extends Exception {
        private static final long serialVersionUID = 1L;

        StartException(String message) {
            super(message);
        }
    }

    private DevServer(Options o, Directory directory, Store store) throws IOException {
        this.store = store;
        Sessions sessions = new Sessions(o.idle);
        login = new LoginEndpoint(directory, sessions);
        folder = new FolderEndpoint(directory, sessions, store);
        save = new SaveEndpoint(directory, sessions, store, o.maxBody);
        console = new ConsolePage(directory, store);
        // answers go out as headers and body in two writes; with Nagle's algorithm on, the body
        // waits for the client's delayed acknowledgement (tens of milliseconds per request)
        System.setProperty("sun.net.httpserver.nodelay", "true");
        http = HttpServer.create(new InetSocketAddress(InetAddress.getByName(o.bind), o.port), 64);
        AtomicInteger n = new AtomicInteger();
        workers = Executors.newFixedThreadPool(THREADS, r -> {
            Thread t = new Thread(r, "devserver-" + n.incrementAndGet());
            t.setDaemon(true);
            return t;
        });
        http.setExecutor(workers);
        http.createContext("/", this::serve);
    }

    public static DevServer start(String[] args) throws StartException {
        Options o;
        try {
            o = Options.parse(args);
        } catch (IllegalArgumentException e) {
            throw new StartException(e.getMessage() + "\n" + Options.USAGE);
        }
        return start(o);
    }

    static DevServer start(Options o) throws StartException {
        Path config = o.config.toAbsolutePath().normalize();
        Directory directory;
        try {
            if (!Files.exists(config)) {
                writeAtomically(config, Directory.demo());
                log("wrote a demo configuration to " + config + " (users demo and guest, passwords as the names)");
            }
            directory = Directory.load(config);
        } catch (Directory.ConfigException e) {
            throw new StartException("the configuration cannot be used: " + e.getMessage());
        } catch (IOException e) {
            throw new StartException("the demo configuration cannot be written to " + config + ": " + e.getMessage());
        }
        Path data = o.data.toAbsolutePath().normalize();
        Store store;
        try {
            store = new Store(data, directory);
        } catch (Store.InUseException e) {
            throw new StartException(e.getMessage());
        } catch (IOException | UncheckedIOException e) {
            throw new StartException("the data folder " + data + " cannot be used: " + e.getMessage());
        }
        store.warnings().forEach(w -> log("warning: " + w));
        DevServer server;
        try {
            server = new DevServer(o, directory, store);
        } catch (IOException e) {
            closeQuietly(store);
            throw new StartException("cannot listen on " + o.bind + " port " + o.port + ": " + e.getMessage());
        }
        server.http.start();
        InetSocketAddress at = server.http.getAddress();
        log("configuration " + config + ": " + directory.users.size() + " users, " + directory.folders.size() + " folders");
        log("data " + data + ": " + store.size() + " resources; sessions end after " + o.idle.toSeconds()
            + " s unused; documents up to " + Options.describeSize(o.maxBody) + (o.service ? "; running as a service" : ""));
        log("listening on http://" + at.getAddress().getHostAddress() + ":" + at.getPort() + "/console");
        return server;
    }

    /** Blocks until {@link #shutdown} has finished. */
    public void awaitStopped() throws InterruptedException {
        stopped.await();
    }

    /**
     * Stops taking requests, lets those under way finish (a save either completes or leaves
     * nothing behind), then closes the store.
     */
    public void shutdown() {
        synchronized (gate) {
            if (closing) {
                return;
            }
            closing = true;
            log("shutting down" + (inFlight > 0 ? "; " + inFlight + " request(s) under way may finish first" : ""));
            long deadline = System.currentTimeMillis() + DRAIN_MILLIS;
            try {
                for (long left = DRAIN_MILLIS; inFlight > 0 && left > 0; left = deadline - System.currentTimeMillis()) {
                    gate.wait(left);
                }
            } catch (InterruptedException e) {
                Thread.currentThread().interrupt();
            }
        }
        http.stop(0);
        workers.shutdown();
        try {
            workers.awaitTermination(5, TimeUnit.SECONDS);
        } catch (InterruptedException e) {
            Thread.currentThread().interrupt();
        }
        closeQuietly(store);
        log("stopped");
        stopped.countDown();
    }

    private void serve(HttpExchange he) {
        synchronized (gate) {
            if (closing) {
                reply(he, Answer.error(new Refusal(503, "The server is shutting down; try again once it is back.")));
                return;
            }
            inFlight++;
        }
        try {
            Exchange x = new Exchange(he);
            Endpoint e = route(x.path);
            Answer a;
            if (e == null) {
                a = x.path.equals("/") ? redirect(he) : Answer.error(new Refusal(404, "There is nothing at " + x.path
                    + "; the recorder uses /console/Login, /console/Folder and /console/Transaction."));
            } else {
                try {
                    a = e.handle(x);
                } catch (Refusal r) {
                    a = e.refused(r);
                } catch (Exchange.Unreadable bad) {
                    a = e.refused(new Refusal(400, "The request body could not be read (" + bad.getMessage() + "). Nothing was saved."));
                } catch (IOException fault) {
                    log("could not complete " + x.method + " " + x.path + ": " + fault);
                    a = e.refused(new Refusal(500, "The server could not store this (" + fault.getMessage()
                        + "); please tell whoever runs it. Nothing was saved."));
                } catch (RuntimeException bug) {
                    log("fault on " + x.method + " " + x.path + ": " + bug);
                    bug.printStackTrace(System.out);
                    a = e.refused(new Refusal(500, "The server failed on this request; its log tells why. Nothing was saved."));
                }
            }
            reply(he, a);
        } finally {
            synchronized (gate) {
                if (--inFlight == 0) {
                    gate.notifyAll();
                }
            }
        }
    }

    private Endpoint route(String path) {
        switch (path) {
            case "/console/Login": return login;
            case "/console/Folder": return folder;
            case "/console/Transaction": return save;
            case "/console":
            case "/console/": return console;
            default: return null;
        }
    }

    private static Answer redirect(HttpExchange he) {
        he.getResponseHeaders().set("Location", "/console");
        return Answer.html(303, "<!DOCTYPE html><p><a href=\"/console\">/console</a></p>");
    }

    private static void reply(HttpExchange he, Answer a) {
        try (OutputStream out = he.getResponseBody()) {
            var h = he.getResponseHeaders();
            h.set("Content-Type", a.contentType());
            // the recorder's HTTP stack caches GET answers unless told not to, which would keep ended sessions alive
            h.set("Cache-Control", "no-store, no-cache");
            h.set("Pragma", "no-cache");
            h.set("X-Content-Type-Options", "nosniff");
            if (a.contentType().startsWith("text/html")) {
                h.set("Content-Security-Policy", "default-src 'none'; style-src 'unsafe-inline'");
            }
            boolean head = "HEAD".equals(he.getRequestMethod());
            he.sendResponseHeaders(a.status(), head || a.body().length == 0 ? -1 : a.body().length);
            if (!head) {
                out.write(a.body());
            }
        } catch (IOException clientGone) {
            // nothing to tell a client that has gone
        } finally {
            he.close();
        }
    }

    private static void writeAtomically(Path file, String text) throws IOException {
        Path parent = file.getParent();
        Files.createDirectories(parent);
        Path temp = Files.createTempFile(parent, ".tmp-", ".xml");
        try {
            try (FileChannel c = FileChannel.open(temp, StandardOpenOption.WRITE)) {
                c.write(StandardCharsets.UTF_8.encode(text));
                c.force(true);
            }
            Files.move(temp, file, StandardCopyOption.ATOMIC_MOVE);
        } finally {
            Files.deleteIfExists(temp);
        }
    }

    private static void closeQuietly(Store store) {
        try {
            store.close();
        } catch (IOException e) {
            log("warning: the data folder's lock was not released cleanly: " + e.getMessage());
        }
    }

    private static final DateTimeFormatter CLOCK = DateTimeFormatter.ofPattern("HH:mm:ss");

    /** One line on standard output; control characters from requests are spelled out so a line stays a line. */
    static void log(String message) {
        StringBuilder sb = new StringBuilder(message.length() + 24).append(LocalTime.now().format(CLOCK)).append(" devserver: ");
        message.codePoints().forEach(c -> {
            if (Character.getType(c) == Character.CONTROL) {
                sb.append(String.format("\\x%02x", c));
            } else {
                sb.appendCodePoint(c);
            }
        });
        System.out.println(sb);
    }
}
