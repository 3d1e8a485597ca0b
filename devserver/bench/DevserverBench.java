import java.io.BufferedReader;
import java.io.IOException;
import java.io.InputStreamReader;
import java.net.URI;
import java.net.http.HttpClient;
import java.net.http.HttpRequest;
import java.net.http.HttpResponse;
import java.nio.charset.StandardCharsets;
import java.nio.file.Files;
import java.nio.file.Path;
import java.util.ArrayList;
import java.util.Arrays;
import java.util.Comparator;
import java.util.List;
import java.util.concurrent.ExecutorService;
import java.util.concurrent.Executors;
import java.util.concurrent.Future;
import java.util.concurrent.atomic.AtomicInteger;
import java.util.regex.Matcher;
import java.util.regex.Pattern;

/**
 * Prints the development server's figures: saves per second of a 100-step transaction with
 * several clients, the time to save 1,000 steps of 32 KB posted data each, and the time to
 * serve a folder tree of 10,000 resources. Starts its own server in a temporary home, with
 * the heap the launcher gives by default, on 127.0.0.1 only.
 *
 * usage: java DevserverBench.java JAVA DEVSERVER_JAR
 */
public final class DevserverBench {
    static final int CLIENTS = 8;
    static final int SAVES_EACH = 60;
    static final int TREE_RESOURCES = 10_000;
    static final String HEAP = "-Xmx192m";

    static String base;
    static final HttpClient HTTP = HttpClient.newBuilder().version(HttpClient.Version.HTTP_1_1).build();

    public static void main(String[] args) throws Exception {
        if (args.length != 2) {
            System.err.println("usage: java DevserverBench.java JAVA DEVSERVER_JAR");
            System.exit(2);
        }
        Path home = Files.createTempDirectory("devserver-bench-");
        Files.createDirectories(home.resolve("bin"));
        Process server = new ProcessBuilder(args[0], HEAP, "-jar", args[1], "-port", "0")
            .directory(home.resolve("bin").toFile()).redirectErrorStream(true).start();
        try {
            base = "http://127.0.0.1:" + awaitPort(server);
            String session = login();
            System.out.printf("server: %s, %d cores, 127.0.0.1%n", HEAP, Runtime.getRuntime().availableProcessors());

            byte[] hundred = document("Bench 100", 100, 120);
            parallel(CLIENTS, c -> { for (int i = 0; i < 15; i++) save(session, 101, hundred); });  // warm-up
            long t0 = System.nanoTime();
            parallel(CLIENTS, c -> { for (int i = 0; i < SAVES_EACH; i++) save(session, 101, hundred); });
            double seconds = (System.nanoTime() - t0) / 1e9;
            System.out.printf("saves per second, 100-step transaction (%d KB), %d clients x %d saves: %.0f%n",
                hundred.length / 1024, CLIENTS, SAVES_EACH, CLIENTS * SAVES_EACH / seconds);

            byte[] big = document("Bench 1000 x 32 KB", 1000, 32 * 1024);
            double[] bigTimes = new double[3];
            for (int i = 0; i < bigTimes.length; i++) {
                long t = System.nanoTime();
                save(session, 102, big);
                bigTimes[i] = (System.nanoTime() - t) / 1e6;
            }
            System.out.printf("save of 1,000 steps with 32 KB posted data each (%.1f MB document): median %.0f ms (of %s)%n",
                big.length / 1048576.0, median(bigTimes), fmt(bigTimes));

            int have = count(session);
            byte[] small = document("Tree filler", 1, 20);
            AtomicInteger left = new AtomicInteger(TREE_RESOURCES - have);
            parallel(CLIENTS, c -> { while (left.getAndDecrement() > 0) save(session, 100, small); });
            int total = count(session);
            double[] treeTimes = new double[10];
            int size = 0;
            for (int i = 0; i < treeTimes.length; i++) {
                long t = System.nanoTime();
                size = get("/console/Folder?act=resourceTree&accountid=100&sessionid=" + session).length();
                treeTimes[i] = (System.nanoTime() - t) / 1e6;
            }
            System.out.printf("folder tree of %,d resources (%d KB answer): median %.1f ms (of %s)%n",
                total, size / 1024, median(treeTimes), fmt(treeTimes));
        } finally {
            server.destroy();
            server.waitFor();
            try (var files = Files.walk(home)) {
                files.sorted(Comparator.reverseOrder()).forEach(p -> p.toFile().delete());
            }
        }
    }

    interface Work {
        void run(int client) throws Exception;
    }

    static void parallel(int clients, Work work) throws Exception {
        ExecutorService pool = Executors.newFixedThreadPool(clients);
        try {
            List<Future<Object>> done = new ArrayList<>();
            for (int c = 0; c < clients; c++) {
                int client = c;
                done.add(pool.submit(() -> { work.run(client); return null; }));
            }
            for (Future<Object> f : done) {
                f.get();
            }
        } finally {
            pool.shutdown();
        }
    }

    static int awaitPort(Process server) throws IOException {
        BufferedReader out = new BufferedReader(new InputStreamReader(server.getInputStream(), StandardCharsets.UTF_8));
        Pattern listening = Pattern.compile("listening on http://127\\.0\\.0\\.1:(\\d+)/");
        for (String line; (line = out.readLine()) != null; ) {
            Matcher m = listening.matcher(line);
            if (m.find()) {
                Thread drain = new Thread(() -> {
                    try {
                        while (out.readLine() != null) {
                            // the server's log is not part of the figures
                        }
                    } catch (IOException ended) {
                        // the server has been stopped
                    }
                });
                drain.setDaemon(true);
                drain.start();
                return Integer.parseInt(m.group(1));
            }
        }
        throw new IOException("the server did not start");
    }

    static String login() throws Exception {
        String answer = get("/console/Login?action=recorderLogin&user=demo&password=demo");
        Matcher m = Pattern.compile("sessionid=\"([0-9a-f]+)\"").matcher(answer);
        if (!m.find()) {
            throw new IOException("login failed: " + answer);
        }
        return m.group(1);
    }

    static int count(String session) throws Exception {
        String tree = get("/console/Folder?act=resourceTree&accountid=100&sessionid=" + session);
        return tree.split("<resource ", -1).length - 1;
    }

    static String get(String path) throws Exception {
        return HTTP.send(HttpRequest.newBuilder(URI.create(base + path)).build(), HttpResponse.BodyHandlers.ofString()).body();
    }

    static void save(String session, int folder, byte[] document) throws Exception {
        HttpRequest r = HttpRequest.newBuilder(URI.create(base + "/console/Transaction?act=recorderSave&accountid=" + folder
            + "&sessionid=" + session)).POST(HttpRequest.BodyPublishers.ofByteArray(document)).build();
        String answer = HTTP.send(r, HttpResponse.BodyHandlers.ofString()).body();
        if (!answer.contains("success=\"true\"")) {
            throw new IOException("save failed: " + answer);
        }
    }

    /** A document as the recorder writes it: form posts of field=value pairs, form-encoded once more. */
    static byte[] document(String name, int steps, int postedBytes) {
        StringBuilder data = new StringBuilder(postedBytes);
        for (int i = 0; data.length() < postedBytes; i++) {
            data.append(i == 0 ? "" : "&").append("field").append(i).append('=').append("value").append(i * 7919 % 100000);
        }
        data.setLength(postedBytes);
        String posted = encode(data.toString());
        StringBuilder doc = new StringBuilder().append("<transaction name=\"").append(encode(name)).append("\">");
        for (int i = 1; i <= steps; i++) {
            doc.append("<step stepnumber=\"").append(i).append("\" url=\"")
               .append(encode("http://shop.example/app/page" + i + ".asp?session=42&step=" + i))
               .append("\" senddata=\"").append(posted).append("\" />");
        }
        return doc.append("</transaction>").toString().getBytes(StandardCharsets.US_ASCII);
    }

    static String encode(String s) {
        StringBuilder sb = new StringBuilder();
        for (byte b : s.getBytes(StandardCharsets.UTF_8)) {
            int c = b & 0xff;
            if (Character.isLetterOrDigit(c) && c < 128 || c == '.' || c == '-' || c == '*' || c == '_') {
                sb.append((char) c);
            } else if (c == ' ') {
                sb.append('+');
            } else {
                sb.append(String.format("%%%02x", c));
            }
        }
        return sb.toString();
    }

    static double median(double[] v) {
        double[] s = v.clone();
        Arrays.sort(s);
        return s[s.length / 2];
    }

    static String fmt(double[] v) {
        StringBuilder sb = new StringBuilder();
        for (double d : v) {
            sb.append(sb.length() == 0 ? "" : ", ").append(String.format("%.0f", d));
        }
        return sb.append(" ms").toString();
    }
}
