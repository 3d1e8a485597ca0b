package com.orvantis.devserver;

import java.security.SecureRandom;
import java.time.Duration;
import java.util.HexFormat;
import java.util.concurrent.ConcurrentHashMap;

/**
 * Logged-in sessions, kept in memory only: a restart ends them all, and the recorder
 * then simply asks for the password again. A session ends after it has gone unused
 * for the idle time; each use starts that time anew.
 */
final class Sessions {
    /** Beyond this many live sessions the least recently used one is dropped, so logins cannot fill memory. */
    static final int MAX_SESSIONS = 10_000;

    static final class Session {
        final String id;
        final String user;
        final int accountId;
        private volatile long lastUse;

        private Session(String id, String user, int accountId, long now) {
            this.id = id;
            this.user = user;
            this.accountId = accountId;
            this.lastUse = now;
        }
    }

    private final SecureRandom random = new SecureRandom();
    private final ConcurrentHashMap<String, Session> live = new ConcurrentHashMap<>();
    private final long idleNanos;

    Sessions(Duration idle) {
        this.idleNanos = idle.toNanos();
    }

    Session open(String user, int accountId) {
        long now = System.nanoTime();
        purge(now);
        byte[] raw = new byte[16];
        random.nextBytes(raw);
        Session s = new Session(HexFormat.of().formatHex(raw), user, accountId, now);
        live.put(s.id, s);
        return s;
    }

    /** The live session with this id, freshly touched, or null when it is unknown or has ended. */
    Session find(String id) {
        if (id == null || id.isEmpty()) {
            return null;
        }
        Session s = live.get(id);
        if (s == null) {
            return null;
        }
        long now = System.nanoTime();
        if (now - s.lastUse > idleNanos) {
            live.remove(id, s);
            return null;
        }
        s.lastUse = now;
        return s;
    }

    void end(String id) {
        if (id != null) {
            live.remove(id);
        }
    }

    private void purge(long now) {
        live.values().removeIf(s -> now - s.lastUse > idleNanos);
        while (live.size() >= MAX_SESSIONS) {
            Session oldest = null;
            for (Session s : live.values()) {
                if (oldest == null || s.lastUse - oldest.lastUse < 0) {
                    oldest = s;
                }
            }
            if (oldest == null) {
                break;
            }
            live.remove(oldest.id, oldest);
        }
    }
}
