package com.orvantis.devserver;

import java.nio.file.Path;
import java.time.Duration;

/** The server's command line, as the launcher passes it from Launch.OVArgs. */
final class Options {
    static final String USAGE = String.join("\n",
        "usage: java -jar devserver.jar [-port N] [-bind ADDRESS] [-data DIR] [-config FILE]",
        "                               [-idle SECONDS] [-maxbody SIZE] [--service]",
        "       java -jar devserver.jar -hash [-iterations N]",
        "  -port N         port to serve on (default 8080; 0 picks a free one)",
        "  -bind ADDRESS   address to listen on (default 127.0.0.1, this machine only)",
        "  -data DIR       where saved transactions are kept (default ../data)",
        "  -config FILE    users and folders (default ../devserver.xml; written with demo users if missing)",
        "  -idle SECONDS   a session ends after this long unused (default 1800)",
        "  -maxbody SIZE   largest transaction document accepted, in bytes, or with k or m (default 64m)",
        "  --service       given by the launcher when it runs as a Windows service",
        "  -hash           read a password and print its hash for the configuration file");

    int port = 8080;
    String bind = "127.0.0.1";
    Path data = Path.of("..", "data");
    Path config = Path.of("..", "devserver.xml");
    Duration idle = Duration.ofMinutes(30);
    long maxBody = 64L << 20;
    boolean service;
    boolean hash;
    boolean help;
    int iterations = PasswordHash.DEFAULT_ITERATIONS;

    static Options parse(String[] args) {
        Options o = new Options();
        for (int i = 0; i < args.length; i++) {
            String a = args[i];
            switch (a) {
                case "--service": o.service = true; continue;
                case "-hash": o.hash = true; continue;
                case "-help": case "--help": case "-h": o.help = true; continue;
                default: break;
            }
            if (i + 1 >= args.length) {
                throw new IllegalArgumentException(a.startsWith("-") ? a + " needs a value" : "unexpected argument " + a);
            }
            String v = args[++i];
            switch (a) {
                case "-port": o.port = range(a, v, 0, 65535); break;
                case "-bind": o.bind = v; break;
                case "-data": o.data = Path.of(v); break;
                case "-config": o.config = Path.of(v); break;
                case "-idle": o.idle = Duration.ofSeconds(range(a, v, 1, Integer.MAX_VALUE)); break;
                case "-maxbody": o.maxBody = size(a, v); break;
                case "-iterations": o.iterations = range(a, v, 1000, Integer.MAX_VALUE); break;
                default: throw new IllegalArgumentException("unknown option " + a);
            }
        }
        return o;
    }

    private static int range(String option, String v, int min, int max) {
        try {
            int n = Integer.parseInt(v);
            if (n >= min && n <= max) {
                return n;
            }
        } catch (NumberFormatException e) {
            // reported below
        }
        throw new IllegalArgumentException(option + " takes a whole number from " + min + " to " + max + ", not " + v);
    }

    private static long size(String option, String v) {
        String s = v.toLowerCase(java.util.Locale.ROOT);
        int shift = s.endsWith("k") ? 10 : s.endsWith("m") ? 20 : 0;
        String digits = shift == 0 ? s : s.substring(0, s.length() - 1);
        try {
            long n = Long.parseLong(digits);
            if (n >= 1 && n <= (1L << 40) >> shift) {
                return n << shift;
            }
        } catch (NumberFormatException e) {
            // reported below
        }
        throw new IllegalArgumentException(option + " takes a size such as 65536, 512k or 64m, not " + v);
    }

    static String describeSize(long bytes) {
        if (bytes % (1 << 20) == 0) {
            return (bytes >> 20) + " MB";
        }
        if (bytes % (1 << 10) == 0) {
            return (bytes >> 10) + " KB";
        }
        return bytes + " bytes";
    }
}
