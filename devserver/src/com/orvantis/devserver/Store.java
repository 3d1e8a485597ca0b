package com.orvantis.devserver;

import java.io.BufferedReader;
import java.io.BufferedOutputStream;
import java.io.Closeable;
import java.io.IOException;
import java.io.OutputStream;
import java.io.RandomAccessFile;
import java.io.UncheckedIOException;
import java.nio.channels.Channels;
import java.nio.channels.FileChannel;
import java.nio.channels.FileLock;
import java.nio.channels.OverlappingFileLockException;
import java.nio.charset.StandardCharsets;
import java.nio.file.DirectoryStream;
import java.nio.file.Files;
import java.nio.file.Path;
import java.nio.file.StandardCopyOption;
import java.nio.file.StandardOpenOption;
import java.util.ArrayList;
import java.util.Comparator;
import java.util.HashMap;
import java.util.List;
import java.util.Map;
import java.util.concurrent.ConcurrentHashMap;
import java.util.concurrent.atomic.AtomicInteger;
import java.util.function.Consumer;

/**
 * The transactions and stress tests of all folders.
 *
 * Each saved resource is one file, "resources/ID.txn", written whole under a temporary
 * name, forced to disk and then renamed over the old one: a reader or a crash sees either
 * the previous file or the new one, never a mix. Leftover temporary files are deleted at
 * start. Resources from the configuration live in memory until a save replaces them.
 * Only the name and kind of each resource are held in memory; steps stay on disk.
 */
final class Store implements Closeable {
    /** The kind given to what the recorder saves; the recorder may replace it later. */
    static final String SAVED_TYPE = "Transaction";
    static final String XML_TRANSACTION = "XmlTransaction";

    private static final String MAGIC = "orvantis-resource 1";
    private static final String TEMP_PREFIX = ".tmp-";
    private static final String SUFFIX = ".txn";

    static final class Resource {
        final int id;
        final int folderId;
        final String type;
        final String name;
        final int stepCount;
        private final Path file;
        private final List<Step> seedSteps;

        private Resource(int id, int folderId, String type, String name, int stepCount, Path file, List<Step> seedSteps) {
            this.id = id;
            this.folderId = folderId;
            this.type = type;
            this.name = name;
            this.stepCount = stepCount;
            this.file = file;
            this.seedSteps = seedSteps;
        }

        /** The recorder replaces transactions and stress tests, never XML transactions. */
        boolean replaceable() {
            return !type.equals(XML_TRANSACTION);
        }
    }

    private final Path dir;
    private final FileChannel lockChannel;
    private final FileLock lock;
    private final ConcurrentHashMap<Integer, Resource> resources = new ConcurrentHashMap<>();
    private final AtomicInteger nextId;
    private final Object[] stripes = new Object[64];
    private final List<String> warnings = new ArrayList<>();

    static final class InUseException extends IOException {
        private static final long serialVersionUID = 1L;

        InUseException(String message) {
            super(message);
        }
    }

    Store(Path dataDir, Directory directory) throws IOException {
        for (int i = 0; i < stripes.length; i++) {
            stripes[i] = new Object();
        }
        Files.createDirectories(dataDir);
        dir = dataDir.resolve("resources");
        Files.createDirectories(dir);
        lockChannel = FileChannel.open(dataDir.resolve(".lock"), StandardOpenOption.CREATE, StandardOpenOption.WRITE);
        FileLock l;
        try {
            l = lockChannel.tryLock();
        } catch (OverlappingFileLockException e) {
            l = null;
        }
        if (l == null) {
            lockChannel.close();
            throw new InUseException("another server is using the data folder " + dataDir.toAbsolutePath());
        }
        lock = l;
        try {
            nextId = new AtomicInteger(load(directory) + 1);
        } catch (IOException | RuntimeException e) {
            close();
            throw e;
        }
    }

    /** Reads the configured and the saved resources; returns the largest id in use. */
    private int load(Directory directory) throws IOException {
        int maxId = 0;
        for (Directory.SeedResource s : directory.seeds) {
            resources.put(s.id(), new Resource(s.id(), s.folderId(), s.type(), s.name(), s.steps().size(), null, s.steps()));
            maxId = Math.max(maxId, s.id());
        }
        try (DirectoryStream<Path> files = Files.newDirectoryStream(dir)) {
            for (Path p : files) {
                String fileName = p.getFileName().toString();
                if (fileName.startsWith(TEMP_PREFIX)) {
                    // a save that never finished; its resource still has its previous file
                    Files.deleteIfExists(p);
                    continue;
                }
                int id = idOf(fileName);
                if (id < 1) {
                    warnings.add("ignored " + p + ": not a resource file");
                    continue;
                }
                try {
                    Resource r = readHeader(id, p);
                    if (resources.containsKey(id)) {
                        warnings.add("saved resource " + id + " takes the place of the configured one with that id");
                    }
                    if (!directory.folders.containsKey(r.folderId)) {
                        warnings.add("resource " + id + " belongs to folder " + r.folderId + ", which is no longer configured; it is hidden");
                    }
                    resources.put(id, r);
                    maxId = Math.max(maxId, id);
                } catch (IOException | RuntimeException e) {
                    warnings.add("skipped damaged resource file " + p + ": " + e.getMessage());
                }
            }
        }
        syncDirectory();
        return maxId;
    }

    List<String> warnings() {
        return warnings;
    }

    int size() {
        return resources.size();
    }

    Resource get(int id) {
        return resources.get(id);
    }

    /** The resources of every folder, each list ordered by name as a person would look for them. */
    Map<Integer, List<Resource>> byFolder() {
        Map<Integer, List<Resource>> out = new HashMap<>();
        for (Resource r : resources.values()) {
            out.computeIfAbsent(r.folderId, k -> new ArrayList<>()).add(r);
        }
        Comparator<Resource> order = Comparator.comparing((Resource r) -> r.name, String.CASE_INSENSITIVE_ORDER)
            .thenComparing(r -> r.name).thenComparingInt(r -> r.id);
        out.values().forEach(list -> list.sort(order));
        return out;
    }

    /** Visits up to {@code limit} steps of a resource, in order. */
    void forEachStep(Resource r, int limit, Consumer<Step> visitor) throws IOException {
        if (r.file == null) {
            r.seedSteps.stream().limit(limit).forEach(visitor);
            return;
        }
        try (BufferedReader in = Files.newBufferedReader(r.file, StandardCharsets.US_ASCII)) {
            String line;
            int seen = 0;
            while (seen < limit && (line = in.readLine()) != null) {
                if (line.startsWith("step ")) {
                    visitor.accept(parseStep(line));
                    seen++;
                } else if (line.startsWith("end ")) {
                    break;
                }
            }
        }
    }

    /** Begins a save: the steps go straight to a temporary file, so a large transaction is never held whole in memory. */
    Draft draft() throws IOException {
        return new Draft(Files.createTempFile(dir, TEMP_PREFIX, SUFFIX));
    }

    final class Draft implements Closeable {
        private final Path temp;
        private final FileChannel channel;
        private final OutputStream out;
        private int steps;
        private boolean committed;

        private Draft(Path temp) throws IOException {
            this.temp = temp;
            FileChannel c = null;
            try {
                c = FileChannel.open(temp, StandardOpenOption.WRITE, StandardOpenOption.TRUNCATE_EXISTING);
            } finally {
                if (c == null) {
                    Files.deleteIfExists(temp);
                }
            }
            channel = c;
            out = new BufferedOutputStream(Channels.newOutputStream(channel), 1 << 16);
        }

        void header(int folderId, String type, String name) throws IOException {
            ascii(MAGIC + "\nfolder " + folderId + "\ntype " + encode(type) + "\nname " + encode(name) + "\n");
        }

        void step(Step s) throws IOException {
            ascii("step ");
            out.write(FormCodec.encodeBytes(s.url()));
            if (s.sendData().length > 0) {
                out.write(' ');
                out.write(FormCodec.encodeBytes(s.sendData()));
            }
            out.write('\n');
            steps++;
        }

        private void ascii(String text) throws IOException {
            out.write(text.getBytes(StandardCharsets.US_ASCII));
        }

        /**
         * Makes the draft the resource: a new one when {@code target} is null, otherwise the
         * replacement of {@code target}, which keeps its id and its kind.
         */
        Resource commit(int folderId, Resource target, String type, String name) throws IOException {
            ascii("end " + steps + "\n");
            out.flush();
            channel.force(true);
            channel.close();
            int id = target == null ? nextId.getAndIncrement() : target.id;
            if (id < 1) {
                throw new IOException("no resource ids are left");
            }
            Path file = dir.resolve(id + SUFFIX);
            Resource saved = new Resource(id, folderId, type, name, steps, file, null);
            // the rename and the index change together, so concurrent replaces end as the last rename left the file
            synchronized (stripes[Math.floorMod(id, stripes.length)]) {
                Files.move(temp, file, StandardCopyOption.ATOMIC_MOVE, StandardCopyOption.REPLACE_EXISTING);
                committed = true;
                syncDirectory();
                resources.put(id, saved);
            }
            return saved;
        }

        @Override
        public void close() throws IOException {
            if (!committed) {
                try {
                    channel.close();
                } finally {
                    Files.deleteIfExists(temp);
                }
            }
        }
    }

    @Override
    public void close() throws IOException {
        try {
            lock.release();
        } finally {
            lockChannel.close();
        }
    }

    private static int idOf(String fileName) {
        if (!fileName.endsWith(SUFFIX)) {
            return -1;
        }
        String digits = fileName.substring(0, fileName.length() - SUFFIX.length());
        if (digits.isEmpty() || digits.length() > 9 || !digits.chars().allMatch(c -> c >= '0' && c <= '9')) {
            return -1;
        }
        return Integer.parseInt(digits);
    }

    private static Resource readHeader(int id, Path file) throws IOException {
        int folder;
        String type;
        String name;
        try (BufferedReader in = Files.newBufferedReader(file, StandardCharsets.US_ASCII)) {
            if (!MAGIC.equals(in.readLine())) {
                throw new IOException("it does not begin with \"" + MAGIC + "\"");
            }
            folder = Integer.parseInt(field(in.readLine(), "folder"));
            type = FormCodec.text(FormCodec.decode(field(in.readLine(), "type").getBytes(StandardCharsets.US_ASCII)));
            name = FormCodec.text(FormCodec.decode(field(in.readLine(), "name").getBytes(StandardCharsets.US_ASCII)));
        }
        return new Resource(id, folder, type, name, trailerCount(file), file, null);
    }

    /** The step count from the closing "end N" line, read from the end so a large file is not read whole. */
    private static int trailerCount(Path file) throws IOException {
        try (RandomAccessFile f = new RandomAccessFile(file.toFile(), "r")) {
            int n = (int) Math.min(f.length(), 32);
            byte[] tail = new byte[n];
            f.seek(f.length() - n);
            f.readFully(tail);
            String s = new String(tail, StandardCharsets.US_ASCII);
            int at = s.lastIndexOf("\nend ");
            if (at < 0 || !s.endsWith("\n")) {
                throw new IOException("it lacks its closing \"end\" line");
            }
            return Integer.parseInt(s.substring(at + 5, s.length() - 1));
        }
    }

    private static String field(String line, String key) throws IOException {
        if (line == null || !line.startsWith(key + " ")) {
            throw new IOException("its \"" + key + "\" line is missing");
        }
        return line.substring(key.length() + 1);
    }

    private static Step parseStep(String line) {
        int sp = line.indexOf(' ', 5);
        String url = sp < 0 ? line.substring(5) : line.substring(5, sp);
        String data = sp < 0 ? "" : line.substring(sp + 1);
        return new Step(FormCodec.decode(url.getBytes(StandardCharsets.US_ASCII)),
                        FormCodec.decode(data.getBytes(StandardCharsets.US_ASCII)));
    }

    private static String encode(String text) {
        return FormCodec.encode(text.getBytes(StandardCharsets.UTF_8));
    }

    private void syncDirectory() {
        try (FileChannel d = FileChannel.open(dir, StandardOpenOption.READ)) {
            d.force(true);
        } catch (IOException | UncheckedIOException e) {
            // some platforms cannot open a folder for this; the rename is atomic all the same
        }
    }
}
