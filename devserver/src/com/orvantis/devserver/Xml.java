package com.orvantis.devserver;

/** Writes the server's answers: plain elements with attributes, no declaration, no white space. */
final class Xml {
    private final StringBuilder sb;
    private boolean tagOpen;

    Xml() {
        this(256);
    }

    Xml(int capacity) {
        sb = new StringBuilder(capacity);
    }

    /** A one-element answer, such as {@code <login validated="true" .../>}. */
    static String element(String name, String... attributePairs) {
        Xml x = new Xml().open(name);
        for (int i = 0; i < attributePairs.length; i += 2) {
            x.attribute(attributePairs[i], attributePairs[i + 1]);
        }
        return x.close(name).toString();
    }

    Xml open(String name) {
        finishTag();
        sb.append('<').append(name);
        tagOpen = true;
        return this;
    }

    Xml attribute(String name, String value) {
        sb.append(' ').append(name).append("=\"");
        escapeInto(sb, value);
        sb.append('"');
        return this;
    }

    Xml attribute(String name, long value) {
        sb.append(' ').append(name).append("=\"").append(value).append('"');
        return this;
    }

    Xml close(String name) {
        if (tagOpen) {
            sb.append("/>");
            tagOpen = false;
        } else {
            sb.append("</").append(name).append('>');
        }
        return this;
    }

    private void finishTag() {
        if (tagOpen) {
            sb.append('>');
            tagOpen = false;
        }
    }

    @Override
    public String toString() {
        return sb.toString();
    }

    /** Escapes for an attribute value; characters XML cannot carry at all become U+FFFD. */
    static void escapeInto(StringBuilder sb, String s) {
        for (int i = 0; i < s.length(); i++) {
            char c = s.charAt(i);
            switch (c) {
                case '&': sb.append("&amp;"); break;
                case '<': sb.append("&lt;"); break;
                case '>': sb.append("&gt;"); break;
                case '"': sb.append("&quot;"); break;
                case '\'': sb.append("&apos;"); break;
                case '\t': sb.append("&#9;"); break;
                case '\n': sb.append("&#10;"); break;
                case '\r': sb.append("&#13;"); break;
                default:
                    if (Character.isSurrogate(c)) {
                        if (Character.isHighSurrogate(c) && i + 1 < s.length() && Character.isLowSurrogate(s.charAt(i + 1))) {
                            sb.append(c).append(s.charAt(++i));
                        } else {
                            sb.append('\ufffd');
                        }
                    } else if (c < 0x20 || c == 0xfffe || c == 0xffff) {
                        sb.append('\ufffd');
                    } else {
                        sb.append(c);
                    }
            }
        }
    }
}
