package com.orvantis.devserver;

/** Whole numbers as the recorder writes them: an optional minus sign and decimal digits, nothing else. */
final class Numbers {
    private Numbers() {}

    static int decimal(String s) {
        int start = s.startsWith("-") ? 1 : 0;
        if (s.length() == start || s.length() - start > 10) {
            throw new NumberFormatException(s);
        }
        for (int i = start; i < s.length(); i++) {
            char c = s.charAt(i);
            if (c < '0' || c > '9') {
                throw new NumberFormatException(s);
            }
        }
        return Integer.parseInt(s);
    }
}
