package com.orvantis.devserver;

import java.io.IOException;
import java.io.InputStream;
import javax.xml.stream.XMLInputFactory;
import javax.xml.stream.XMLStreamConstants;
import javax.xml.stream.XMLStreamException;
import javax.xml.stream.XMLStreamReader;

/**
 * Reads the recorder's transaction document as it streams in:
 * {@code <transaction [resourceid="N"] name="..."><step stepnumber="1" url="..." [senddata="..."] />...</transaction>}
 * with every text value form-encoded. The name and steps are handed on one by one, so
 * nothing is kept whole; any departure from that shape is refused.
 */
final class TransactionReader {
    interface Sink {
        /** The root element has been read; {@code resourceId} is null for a new transaction. */
        void begin(byte[] name, Integer resourceId) throws Refusal, IOException;

        void step(Step step) throws IOException;
    }

    private static final ThreadLocal<XMLInputFactory> FACTORY = ThreadLocal.withInitial(() -> {
        XMLInputFactory f = XMLInputFactory.newInstance();
        f.setProperty(XMLInputFactory.SUPPORT_DTD, false);
        f.setProperty(XMLInputFactory.IS_SUPPORTING_EXTERNAL_ENTITIES, false);
        f.setProperty(XMLInputFactory.IS_NAMESPACE_AWARE, false);
        f.setProperty(XMLInputFactory.IS_REPLACING_ENTITY_REFERENCES, false);
        return f;
    });

    private TransactionReader() {}

    /** Reads the whole document into the sink and returns the number of steps. */
    static int read(InputStream body, Sink sink) throws Refusal, IOException {
        XMLStreamReader x = null;
        try {
            x = FACTORY.get().createXMLStreamReader(body);
            nextTag(x, "the body is empty or holds no element");
            if (!x.getLocalName().equals("transaction")) {
                throw notDocument("its top element is <" + x.getLocalName() + ">, not <transaction>");
            }
            sink.begin(formValue(x, "name", "the <transaction> element"), resourceId(x));
            int steps = 0;
            while (nextTag(x, "the document ends inside <transaction>") == XMLStreamConstants.START_ELEMENT) {
                if (!x.getLocalName().equals("step")) {
                    throw notDocument("<" + x.getLocalName() + "> appears inside <transaction>, where only <step> belongs");
                }
                steps++;
                String where = "step " + steps;
                String number = x.getAttributeValue(null, "stepnumber");
                if (!String.valueOf(steps).equals(number)) {
                    throw notDocument(where + " has stepnumber " + (number == null ? "missing" : "\"" + number + "\"")
                        + "; steps are numbered 1, 2, 3 in order");
                }
                byte[] url = formValue(x, "url", where);
                if (url.length == 0) {
                    throw notDocument(where + " has an empty url");
                }
                String data = x.getAttributeValue(null, "senddata");
                sink.step(new Step(url, data == null ? new byte[0] : decode(data, where, "senddata")));
                if (nextTag(x, "the document ends inside <step>") != XMLStreamConstants.END_ELEMENT) {
                    throw notDocument(where + " holds an element; a step is an empty element");
                }
            }
            while (x.hasNext()) {
                if (x.next() == XMLStreamConstants.START_ELEMENT) {
                    throw notDocument("it holds more than one top element");
                }
            }
            return steps;
        } catch (XMLStreamException e) {
            // a failure of the body's stream arrives wrapped; it is no fault of the document
            for (Throwable t = e; t != null; t = t instanceof XMLStreamException w && w.getNestedException() != null
                    ? w.getNestedException() : t.getCause()) {
                if (t instanceof Exchange.BodyFailure failure) {
                    throw failure;
                }
            }
            throw notDocument("it is not well-formed XML (" + oneLine(e.getMessage()) + ")");
        } finally {
            if (x != null) {
                try {
                    x.close();
                } catch (XMLStreamException ignored) {
                    // nothing is held open but the body, which the exchange closes
                }
            }
        }
    }

    /** Moves to the next start or end tag, refusing text, a DTD and entity references on the way. */
    private static int nextTag(XMLStreamReader x, String atEnd) throws XMLStreamException, Refusal {
        while (x.hasNext()) {
            int ev = x.next();
            switch (ev) {
                case XMLStreamConstants.START_ELEMENT:
                case XMLStreamConstants.END_ELEMENT:
                    return ev;
                case XMLStreamConstants.CHARACTERS:
                case XMLStreamConstants.CDATA:
                case XMLStreamConstants.SPACE:
                    if (!x.isWhiteSpace()) {
                        throw notDocument("it holds text outside the attributes");
                    }
                    break;
                case XMLStreamConstants.DTD:
                case XMLStreamConstants.ENTITY_REFERENCE:
                    throw notDocument("it declares a document type or refers to an entity");
                default:
                    break; // comments and processing instructions carry nothing
            }
        }
        throw notDocument(atEnd);
    }

    private static Integer resourceId(XMLStreamReader x) throws Refusal {
        String v = x.getAttributeValue(null, "resourceid");
        if (v == null) {
            return null;
        }
        try {
            return Integer.valueOf(Numbers.decimal(v));
        } catch (NumberFormatException e) {
            throw notDocument("its resourceid \"" + v + "\" is not a whole number");
        }
    }

    private static byte[] formValue(XMLStreamReader x, String attribute, String where) throws Refusal {
        String v = x.getAttributeValue(null, attribute);
        if (v == null) {
            throw notDocument(where + " lacks its \"" + attribute + "\" attribute");
        }
        return decode(v, where, attribute);
    }

    private static byte[] decode(String value, String where, String attribute) throws Refusal {
        try {
            return FormCodec.decodeDocumentText(value);
        } catch (IllegalArgumentException e) {
            throw notDocument("the " + attribute + " of " + where + " has " + e.getMessage());
        }
    }

    private static Refusal notDocument(String why) {
        return new Refusal(400, "The body is not a transaction document: " + why + ". Nothing was saved.");
    }

    private static String oneLine(String s) {
        return s == null ? "no detail" : s.replaceAll("\\s+", " ").trim();
    }
}
