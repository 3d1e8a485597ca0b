package com.orvantis.devserver;

import java.util.HashMap;
import java.util.Map;

/** The form-encoded parameters of a request's query; a parameter given twice is refused as ambiguous. */
final class Query {
    private final Map<String, byte[]> values = new HashMap<>();

    private Query() {}

    static Query parse(String rawQuery) throws Refusal {
        Query q = new Query();
        if (rawQuery == null) {
            return q;
        }
        for (String pair : rawQuery.split("&", -1)) {
            if (pair.isEmpty()) {
                continue;
            }
            int eq = pair.indexOf('=');
            String rawKey = eq < 0 ? pair : pair.substring(0, eq);
            String rawValue = eq < 0 ? "" : pair.substring(eq + 1);
            String key;
            byte[] value;
            try {
                key = FormCodec.text(FormCodec.decodeRequestText(rawKey));
                value = FormCodec.decodeRequestText(rawValue);
            } catch (IllegalArgumentException e) {
                throw new Refusal(400, "The query parameter \"" + rawKey + "\" has " + e.getMessage() + ".");
            }
            if (q.values.put(key, value) != null) {
                throw new Refusal(400, "The query gives \"" + key + "\" more than once; give it once.");
            }
        }
        return q;
    }

    boolean has(String name) {
        return values.containsKey(name);
    }

    byte[] bytes(String name) {
        return values.get(name);
    }

    /** The value as text, or null when the parameter is absent. */
    String text(String name) {
        byte[] v = values.get(name);
        return v == null ? null : FormCodec.text(v);
    }

    int number(String name) throws Refusal {
        String v = text(name);
        if (v == null) {
            throw new Refusal(400, "The query lacks \"" + name + "\".");
        }
        try {
            return Numbers.decimal(v);
        } catch (NumberFormatException e) {
            throw new Refusal(400, "The query's " + name + " \"" + v + "\" is not a whole number.");
        }
    }
}
