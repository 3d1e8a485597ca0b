package probe;

/** Has a main, but not the static main(String[]) a start class needs. */
public final class NoMain {
    public void main(String[] args) {
    }

    public static void main(String arg) {
    }
}
