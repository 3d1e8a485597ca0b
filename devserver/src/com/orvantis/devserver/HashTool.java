package com.orvantis.devserver;

import java.io.BufferedReader;
import java.io.Console;
import java.io.IOException;
import java.io.InputStreamReader;
import java.nio.charset.StandardCharsets;
import java.util.Arrays;

/**
 * "-hash": reads a password (twice at a terminal, once as a line of standard input) and
 * prints the hash to put in a user's "hash" attribute.
 */
public final class HashTool {
    private HashTool() {}

    public static String usage() {
        return Options.USAGE;
    }

    /** Returns the process exit code. */
    public static int run(String[] args) {
        Options o;
        try {
            o = Options.parse(args);
        } catch (IllegalArgumentException e) {
            System.err.println("devserver: " + e.getMessage() + "\n" + Options.USAGE);
            return 1;
        }
        char[] password;
        Console console = System.console();
        if (console != null) {
            password = console.readPassword("Password: ");
            char[] again = console.readPassword("Again: ");
            boolean same = password != null && Arrays.equals(password, again);
            if (again != null) {
                PasswordHash.wipe(again);
            }
            if (!same) {
                System.err.println("devserver: the two passwords differ; nothing was printed");
                return 1;
            }
        } else {
            try {
                String line = new BufferedReader(new InputStreamReader(System.in, StandardCharsets.UTF_8)).readLine();
                if (line == null) {
                    System.err.println("devserver: no password on standard input");
                    return 1;
                }
                password = line.toCharArray();
            } catch (IOException e) {
                System.err.println("devserver: cannot read the password: " + e.getMessage());
                return 1;
            }
        }
        System.out.println(PasswordHash.create(password, o.iterations));
        PasswordHash.wipe(password);
        return 0;
    }
}
