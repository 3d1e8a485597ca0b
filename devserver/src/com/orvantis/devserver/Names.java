package com.orvantis.devserver;

/** What a folder or transaction name may hold: it is shown in the recorder's tree and in the console. */
final class Names {
    private Names() {}

    static final int MAX_LENGTH = 255;

    /** Null when the name is usable, otherwise why not, as a sentence a person can act on. */
    static String problem(String subject, String name) {
        if (name.isBlank()) {
            return subject + " is empty; please give it one.";
        }
        if (name.codePointCount(0, name.length()) > MAX_LENGTH) {
            return subject + " is longer than " + MAX_LENGTH + " characters; please shorten it.";
        }
        for (int i = 0; i < name.length(); ) {
            int cp = name.codePointAt(i);
            if (Character.getType(cp) == Character.CONTROL) {
                return String.format("%s holds the control character U+%04X; please remove it.", subject, cp);
            }
            if (Character.isSurrogate((char) cp) || cp == 0xfffe || cp == 0xffff) {
                return String.format("%s holds U+%04X, which is not a character; please remove it.", subject, cp);
            }
            i += Character.charCount(cp);
        }
        return null;
    }
}
