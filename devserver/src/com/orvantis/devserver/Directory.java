package com.orvantis.devserver;

import java.io.IOException;
import java.nio.charset.StandardCharsets;
import java.nio.file.Path;
import java.util.ArrayList;
import java.util.Collections;
import java.util.HashMap;
import java.util.HashSet;
import java.util.LinkedHashMap;
import java.util.List;
import java.util.Map;
import java.util.Set;
import javax.xml.XMLConstants;
import javax.xml.parsers.DocumentBuilder;
import javax.xml.parsers.DocumentBuilderFactory;
import javax.xml.parsers.ParserConfigurationException;
import org.w3c.dom.Element;
import org.w3c.dom.NamedNodeMap;
import org.w3c.dom.Node;
import org.w3c.dom.NodeList;
import org.xml.sax.ErrorHandler;
import org.xml.sax.SAXException;
import org.xml.sax.SAXParseException;

/**
 * Users and folders, read once at start from the configuration file. A folder's id is the
 * "account id" the recorder speaks of; a user's account is one folder and everything below it.
 */
final class Directory {
    static final class Folder {
        final int accountId;
        final String name;
        final Folder parent;
        final List<Folder> children = new ArrayList<>();

        private Folder(int accountId, String name, Folder parent) {
            this.accountId = accountId;
            this.name = name;
            this.parent = parent;
        }

        boolean isWithin(int accountId) {
            for (Folder f = this; f != null; f = f.parent) {
                if (f.accountId == accountId) {
                    return true;
                }
            }
            return false;
        }

        String path() {
            return parent == null ? name : parent.path() + " / " + name;
        }
    }

    record User(String name, int accountId, PasswordHash hash) {}

    /** A resource the configuration provides; a saved resource with the same id takes its place. */
    record SeedResource(int id, int folderId, String type, String name, List<Step> steps) {}

    final List<Folder> tops = new ArrayList<>();
    final Map<Integer, Folder> folders = new LinkedHashMap<>();
    final Map<String, User> users = new LinkedHashMap<>();
    final List<SeedResource> seeds = new ArrayList<>();
    private final Set<Integer> seedIds = new HashSet<>();

    private Directory() {}

    static final class ConfigException extends Exception {
        private static final long serialVersionUID = 1L;

        ConfigException(String message) {
            super(message);
        }
    }

    static Directory load(Path file) throws ConfigException {
        Element root;
        try {
            root = parser().parse(file.toFile()).getDocumentElement();
        } catch (SAXParseException e) {
            throw new ConfigException(file + " line " + e.getLineNumber() + " is not well-formed XML: " + e.getMessage());
        } catch (SAXException e) {
            throw new ConfigException(file + " is not well-formed XML: " + e.getMessage());
        } catch (IOException e) {
            throw new ConfigException(file + " cannot be read: " + e.getMessage());
        }
        Directory d = new Directory();
        try {
            d.read(root);
        } catch (IllegalArgumentException e) {
            throw new ConfigException(file + ": " + e.getMessage());
        }
        return d;
    }

    private static DocumentBuilder parser() {
        try {
            DocumentBuilderFactory f = DocumentBuilderFactory.newInstance();
            f.setFeature("http://apache.org/xml/features/disallow-doctype-decl", true);
            f.setFeature(XMLConstants.FEATURE_SECURE_PROCESSING, true);
            f.setXIncludeAware(false);
            f.setExpandEntityReferences(false);
            f.setNamespaceAware(false);
            DocumentBuilder b = f.newDocumentBuilder();
            b.setErrorHandler(new ErrorHandler() {
                // errors end the start with one message; the parser prints nothing of its own
                @Override
                public void warning(SAXParseException e) {
                }

                @Override
                public void error(SAXParseException e) throws SAXException {
                    throw e;
                }

                @Override
                public void fatalError(SAXParseException e) throws SAXException {
                    throw e;
                }
            });
            return b;
        } catch (ParserConfigurationException e) {
            throw new IllegalStateException(e);
        }
    }

    private void read(Element root) {
        if (!root.getTagName().equals("devserver")) {
            throw new IllegalArgumentException("the root element must be <devserver>, not <" + root.getTagName() + ">");
        }
        List<Element> userElements = new ArrayList<>();
        for (Element e : children(root, "devserver")) {
            switch (e.getTagName()) {
                case "user": userElements.add(e); break;
                case "folder": tops.add(readFolder(e, null)); break;
                default: throw new IllegalArgumentException("<" + e.getTagName() + "> does not belong in <devserver>");
            }
        }
        for (Element e : userElements) {
            attributesOnly(e, "name", "accountid", "hash");
            String name = required(e, "name");
            int account = number(e, "accountid");
            String where = "user \"" + name + "\"";
            if (users.containsKey(name)) {
                throw new IllegalArgumentException(where + " is configured twice");
            }
            if (!folders.containsKey(account)) {
                throw new IllegalArgumentException(where + " has accountid " + account + ", but no folder has that accountid");
            }
            PasswordHash hash;
            try {
                hash = PasswordHash.parse(required(e, "hash"));
            } catch (IllegalArgumentException bad) {
                throw new IllegalArgumentException(where + ": the hash " + bad.getMessage());
            }
            users.put(name, new User(name, account, hash));
        }
        if (users.isEmpty()) {
            throw new IllegalArgumentException("no <user> is configured, so nobody could log in");
        }
    }

    private Folder readFolder(Element e, Folder parent) {
        attributesOnly(e, "name", "accountid");
        String name = checkedName(e, "folder");
        int id = positive(e, "accountid", "folder \"" + name + "\"");
        if (folders.containsKey(id)) {
            throw new IllegalArgumentException("folders \"" + folders.get(id).name + "\" and \"" + name + "\" have the same accountid " + id);
        }
        Folder f = new Folder(id, name, parent);
        folders.put(id, f);
        for (Element c : children(e, "folder \"" + name + "\"")) {
            switch (c.getTagName()) {
                case "folder": f.children.add(readFolder(c, f)); break;
                case "resource": seeds.add(readResource(c, f)); break;
                default: throw new IllegalArgumentException("<" + c.getTagName() + "> does not belong in a <folder>");
            }
        }
        return f;
    }

    private SeedResource readResource(Element e, Folder folder) {
        attributesOnly(e, "name", "type", "resourceid");
        String name = checkedName(e, "resource");
        String where = "resource \"" + name + "\"";
        int id = positive(e, "resourceid", where);
        if (!seedIds.add(id)) {
            throw new IllegalArgumentException(where + " has resourceid " + id + ", which another resource has too");
        }
        String type = required(e, "type");
        if (Names.problem("type", type) != null || !type.chars().allMatch(Character::isLetterOrDigit)) {
            throw new IllegalArgumentException(where + " needs a type that is one word, such as XmlTransaction or StressTest");
        }
        List<Step> steps = new ArrayList<>();
        for (Element s : children(e, where)) {
            if (!s.getTagName().equals("step")) {
                throw new IllegalArgumentException("<" + s.getTagName() + "> does not belong in a <resource>");
            }
            attributesOnly(s, "url", "senddata");
            children(s, "a <step>");
            steps.add(new Step(required(s, "url").getBytes(StandardCharsets.UTF_8),
                               s.getAttribute("senddata").getBytes(StandardCharsets.UTF_8)));
        }
        return new SeedResource(id, folder.accountId, type, name, Collections.unmodifiableList(steps));
    }

    private static List<Element> children(Element parent, String where) {
        List<Element> out = new ArrayList<>();
        NodeList nodes = parent.getChildNodes();
        for (int i = 0; i < nodes.getLength(); i++) {
            Node n = nodes.item(i);
            if (n.getNodeType() == Node.ELEMENT_NODE) {
                out.add((Element) n);
            } else if (n.getNodeType() == Node.TEXT_NODE || n.getNodeType() == Node.CDATA_SECTION_NODE) {
                if (!n.getNodeValue().isBlank()) {
                    throw new IllegalArgumentException("text \"" + n.getNodeValue().strip() + "\" in " + where
                        + ": values belong in attributes");
                }
            }
        }
        return out;
    }

    private static void attributesOnly(Element e, String... allowed) {
        NamedNodeMap attrs = e.getAttributes();
        for (int i = 0; i < attrs.getLength(); i++) {
            String n = attrs.item(i).getNodeName();
            if (!List.of(allowed).contains(n)) {
                throw new IllegalArgumentException("<" + e.getTagName() + "> has the unknown attribute \"" + n
                    + "\"; it takes " + String.join(", ", allowed));
            }
        }
    }

    private static String required(Element e, String attribute) {
        if (!e.hasAttribute(attribute)) {
            throw new IllegalArgumentException("a <" + e.getTagName() + "> lacks its \"" + attribute + "\" attribute");
        }
        return e.getAttribute(attribute);
    }

    private static String checkedName(Element e, String what) {
        String name = required(e, "name");
        String problem = Names.problem("the name of a " + what, name);
        if (problem != null) {
            throw new IllegalArgumentException(problem);
        }
        return name;
    }

    private static int number(Element e, String attribute) {
        String v = required(e, attribute);
        try {
            return Integer.parseInt(v);
        } catch (NumberFormatException bad) {
            throw new IllegalArgumentException("a <" + e.getTagName() + "> has " + attribute + "=\"" + v + "\", which is not a whole number");
        }
    }

    private static int positive(Element e, String attribute, String where) {
        int v = number(e, attribute);
        if (v < 1) {
            throw new IllegalArgumentException(where + " has " + attribute + " " + v + "; ids start at 1");
        }
        return v;
    }

    /** The configuration written on first start, so there is something to log in to and look at. */
    static String demo() {
        Map<String, String> hashes = new HashMap<>();
        for (String user : List.of("demo", "guest")) {
            char[] pw = user.toCharArray();
            hashes.put(user, PasswordHash.create(pw, PasswordHash.DEFAULT_ITERATIONS));
            PasswordHash.wipe(pw);
        }
        return String.join("\n",
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?>",
            "<!--",
            "  Users and folders of the Orvantis development server; read once at start.",
            "  A folder's accountid is what the recorder calls an account id: a user may read",
            "  the folder tree of its own account and save into that folder or any below it.",
            "  Resource ids are unique across all folders; saved transactions get new ids",
            "  above the largest one in use. The hashes below are for the passwords",
            "  demo and guest; make new ones with:  java -jar devserver.jar -hash",
            "-->",
            "<devserver>",
            "  <user name=\"demo\" accountid=\"100\" hash=\"" + hashes.get("demo") + "\"/>",
            "  <user name=\"guest\" accountid=\"200\" hash=\"" + hashes.get("guest") + "\"/>",
            "  <folder name=\"Demo\" accountid=\"100\">",
            "    <folder name=\"Web shop\" accountid=\"101\">",
            "      <resource name=\"Order status service\" type=\"XmlTransaction\" resourceid=\"1\">",
            "        <step url=\"http://shop.example/status.xml\" senddata=\"order=1001\"/>",
            "      </resource>",
            "      <resource name=\"Checkout at peak hour\" type=\"StressTest\" resourceid=\"2\">",
            "        <step url=\"http://shop.example/\"/>",
            "        <step url=\"http://shop.example/cart\" senddata=\"item=42&amp;qty=1\"/>",
            "        <step url=\"http://shop.example/checkout\"/>",
            "      </resource>",
            "    </folder>",
            "    <folder name=\"Intranet\" accountid=\"102\"/>",
            "  </folder>",
            "  <folder name=\"Guest\" accountid=\"200\"/>",
            "</devserver>",
            "");
    }
}
