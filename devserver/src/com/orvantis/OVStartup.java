package com.orvantis;

import com.orvantis.devserver.DevServer;
import com.orvantis.devserver.HashTool;

/**
 * Start class of the development Orvantis server, called by the launcher. {@code main}
 * serves until the process ends, because the launcher ends the process as soon as main
 * returns; a JVM shutdown lets requests under way finish first.
 */
public final class OVStartup {
    private OVStartup() {}

    public static void main(String[] args) {
        for (String a : args) {
            if (a.equals("-help") || a.equals("--help") || a.equals("-h")) {
                System.out.println(HashTool.usage());
                return;
            }
            if (a.equals("-hash")) {
                System.exit(HashTool.run(args));
            }
        }
        DevServer server;
        try {
            server = DevServer.start(args);
        } catch (DevServer.StartException e) {
            System.err.println("devserver: " + e.getMessage());
            System.exit(1);
            return;
        }
        Runtime.getRuntime().addShutdownHook(new Thread(server::shutdown, "devserver-shutdown"));
        try {
            server.awaitStopped();
        } catch (InterruptedException e) {
            Thread.currentThread().interrupt();
        }
    }
}
