package com.orvantis.devserver;

import java.security.GeneralSecurityException;
import java.security.MessageDigest;
import java.security.SecureRandom;
import java.util.Arrays;
import java.util.Base64;
import javax.crypto.SecretKeyFactory;
import javax.crypto.spec.PBEKeySpec;

/**
 * Salted PBKDF2 password hashes, written as "pbkdf2-sha256:ITERATIONS:SALT:HASH" with
 * salt and hash in Base64, so the configuration never holds a password in clear.
 */
final class PasswordHash {
    static final String SCHEME = "pbkdf2-sha256";
    static final int DEFAULT_ITERATIONS = 210_000;
    private static final int SALT_BYTES = 16;
    private static final int HASH_BYTES = 32;
    private static final SecureRandom RANDOM = new SecureRandom();

    final int iterations;
    private final byte[] salt;
    private final byte[] hash;

    private PasswordHash(int iterations, byte[] salt, byte[] hash) {
        this.iterations = iterations;
        this.salt = salt;
        this.hash = hash;
    }

    static String create(char[] password, int iterations) {
        byte[] salt = new byte[SALT_BYTES];
        RANDOM.nextBytes(salt);
        byte[] hash = derive(password, salt, iterations, HASH_BYTES);
        Base64.Encoder b64 = Base64.getEncoder().withoutPadding();
        return SCHEME + ":" + iterations + ":" + b64.encodeToString(salt) + ":" + b64.encodeToString(hash);
    }

    static PasswordHash parse(String text) {
        String[] parts = text.split(":", -1);
        if (parts.length != 4 || !parts[0].equals(SCHEME)) {
            throw new IllegalArgumentException("is not a \"" + SCHEME + ":...\" hash (make one with -hash)");
        }
        int iterations;
        byte[] salt;
        byte[] hash;
        try {
            iterations = Integer.parseInt(parts[1]);
            salt = Base64.getDecoder().decode(parts[2]);
            hash = Base64.getDecoder().decode(parts[3]);
        } catch (IllegalArgumentException e) {
            throw new IllegalArgumentException("has an unreadable iteration count, salt or hash (make one with -hash)");
        }
        if (iterations < 1 || salt.length < 8 || hash.length < 16) {
            throw new IllegalArgumentException("has too few iterations or too short a salt or hash (make one with -hash)");
        }
        return new PasswordHash(iterations, salt, hash);
    }

    boolean matches(char[] password) {
        return MessageDigest.isEqual(hash, derive(password, salt, iterations, hash.length));
    }

    private static byte[] derive(char[] password, byte[] salt, int iterations, int bytes) {
        PBEKeySpec spec = new PBEKeySpec(password, salt, iterations, bytes * 8);
        try {
            return SecretKeyFactory.getInstance("PBKDF2WithHmacSHA256").generateSecret(spec).getEncoded();
        } catch (GeneralSecurityException e) {
            throw new IllegalStateException("PBKDF2WithHmacSHA256 is missing from this Java runtime", e);
        } finally {
            spec.clearPassword();
        }
    }

    /** Spends the same work as a real check, so an unknown user name answers no faster than a known one. */
    static final PasswordHash DECOY = new PasswordHash(DEFAULT_ITERATIONS, new byte[SALT_BYTES], new byte[HASH_BYTES]);

    static void wipe(char[] secret) {
        Arrays.fill(secret, '\0');
    }
}
