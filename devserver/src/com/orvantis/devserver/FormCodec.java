package com.orvantis.devserver;

import java.nio.ByteBuffer;
import java.nio.charset.CharacterCodingException;
import java.nio.charset.CodingErrorAction;
import java.nio.charset.StandardCharsets;

/**
 * The recorder's form encoding, and how the bytes it carries become text.
 *
 * The recorder sends the bytes of its ANSI code page, while a browser or a script
 * usually sends UTF-8; a byte sequence that is valid UTF-8 is read as UTF-8 and
 * anything else as Windows-1252, so both round-trip.
 */
final class FormCodec {
    private FormCodec() {}

    /** Windows-1252 for 0x80..0x9F; its five unassigned bytes keep their Latin-1 value, as Windows does. */
    private static final String CP1252_HIGH =
        "\u20ac\u0081\u201a\u0192\u201e\u2026\u2020\u2021\u02c6\u2030\u0160\u2039\u0152\u008d\u017d\u008f"
      + "\u0090\u2018\u2019\u201c\u201d\u2022\u2013\u2014\u02dc\u2122\u0161\u203a\u0153\u009d\u017e\u0178";

    /** Reverses the form encoding: '+' is a blank, "%hh" a byte, anything else stands for itself. */
    static byte[] decode(byte[] in) {
        byte[] out = new byte[in.length];
        int n = 0;
        for (int i = 0; i < in.length; i++) {
            byte b = in[i];
            if (b == '+') {
                out[n++] = ' ';
            } else if (b == '%') {
                int hi = i + 2 < in.length ? Character.digit(in[i + 1], 16) : -1;
                int lo = hi >= 0 ? Character.digit(in[i + 2], 16) : -1;
                if (lo < 0) {
                    throw new IllegalArgumentException("a '%' that is not followed by two hexadecimal digits");
                }
                out[n++] = (byte) (hi << 4 | lo);
                i += 2;
            } else {
                out[n++] = b;
            }
        }
        return java.util.Arrays.copyOf(out, n);
    }

    /** For a request line: HttpServer reads it as Latin-1, so each char is one byte of the wire. */
    static byte[] decodeRequestText(String raw) {
        return decode(raw.getBytes(StandardCharsets.ISO_8859_1));
    }

    /** For an attribute of a parsed document: its chars came from UTF-8 bytes. */
    static byte[] decodeDocumentText(String value) {
        return decode(value.getBytes(StandardCharsets.UTF_8));
    }

    /** Bytes that stand for themselves in the form encoding. */
    private static final boolean[] PLAIN = new boolean[256];
    private static final byte[] HEX = "0123456789abcdef".getBytes(StandardCharsets.US_ASCII);

    static {
        for (int c = 0; c < 256; c++) {
            PLAIN[c] = c >= 'a' && c <= 'z' || c >= 'A' && c <= 'Z' || c >= '0' && c <= '9'
                || c == '.' || c == '-' || c == '*' || c == '_';
        }
    }

    /** The form encoding as ASCII bytes: blank as '+', other bytes outside letters, digits and ".-*_" as "%hh". */
    static byte[] encodeBytes(byte[] in) {
        int size = in.length;
        for (byte b : in) {
            if (!PLAIN[b & 0xff] && b != ' ') {
                size += 2;
            }
        }
        byte[] out = new byte[size];
        int n = 0;
        for (byte b : in) {
            int c = b & 0xff;
            if (PLAIN[c]) {
                out[n++] = b;
            } else if (c == ' ') {
                out[n++] = '+';
            } else {
                out[n++] = '%';
                out[n++] = HEX[c >> 4];
                out[n++] = HEX[c & 15];
            }
        }
        return out;
    }

    static String encode(byte[] in) {
        return new String(encodeBytes(in), StandardCharsets.US_ASCII);
    }

    static String text(byte[] bytes) {
        try {
            return StandardCharsets.UTF_8.newDecoder()
                .onMalformedInput(CodingErrorAction.REPORT)
                .onUnmappableCharacter(CodingErrorAction.REPORT)
                .decode(ByteBuffer.wrap(bytes)).toString();
        } catch (CharacterCodingException notUtf8) {
            StringBuilder sb = new StringBuilder(bytes.length);
            for (byte b : bytes) {
                int c = b & 0xff;
                sb.append(c >= 0x80 && c < 0xa0 ? CP1252_HIGH.charAt(c - 0x80) : (char) c);
            }
            return sb.toString();
        }
    }
}
