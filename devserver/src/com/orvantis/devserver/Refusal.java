package com.orvantis.devserver;

/**
 * A request the server declines, with the HTTP status and a message meant for the person
 * at the recorder. It never carries a stack trace: it is an answer, not a fault.
 */
final class Refusal extends Exception {
    private static final long serialVersionUID = 1L;

    final int status;

    Refusal(int status, String message) {
        super(message, null, false, false);
        this.status = status;
    }
}
