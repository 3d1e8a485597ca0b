package com.orvantis;

import java.io.IOException;
import java.io.PrintWriter;
import java.lang.management.ManagementFactory;
import java.nio.charset.StandardCharsets;
import java.nio.file.Files;
import java.nio.file.Paths;

/**
 * A start class for the launcher's tests: writes down what it received to the
 * file named by ORV_E2E_REPORT, then returns, or with ORV_E2E_MODE=wait keeps
 * running until the process is ended.
 */
public final class OVStartup {
    private OVStartup() {
    }

    public static void main(String[] args) throws IOException, InterruptedException {
        java.time.Instant entered = java.time.Instant.now();
        String report = System.getenv("ORV_E2E_REPORT");
        if (report != null) {
            StringBuilder out = new StringBuilder();
            out.append("entered:").append(entered.getEpochSecond() * 1_000_000L + entered.getNano() / 1000).append('\n');
            out.append("count:").append(args.length).append('\n');
            for (String arg : args) {
                out.append("arg:").append(arg).append('\n');
            }
            out.append("classpath:").append(System.getProperty("java.class.path")).append('\n');
            out.append("userdir:").append(System.getProperty("user.dir")).append('\n');
            for (String vmArg : ManagementFactory.getRuntimeMXBean().getInputArguments()) {
                out.append("vmarg:").append(vmArg).append('\n');
            }
            out.append("prop:").append(System.getProperty("orv.e2e", "<unset>")).append('\n');
            out.append("thread:").append(Thread.currentThread().getName()).append('\n');
            String tmp = report + ".tmp";
            try (PrintWriter writer = new PrintWriter(Files.newBufferedWriter(Paths.get(tmp), StandardCharsets.UTF_8))) {
                writer.print(out);
            }
            Files.move(Paths.get(tmp), Paths.get(report), java.nio.file.StandardCopyOption.ATOMIC_MOVE);
        }
        if ("wait".equals(System.getenv("ORV_E2E_MODE"))) {
            Thread.sleep(Long.MAX_VALUE);
        }
    }
}
