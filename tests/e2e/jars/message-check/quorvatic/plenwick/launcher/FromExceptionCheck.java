package quorvatic.plenwick.launcher;

import java.io.IOException;

/** Checks the texts of {@link Launcher#fromException}; exits with 1 after any failure. */
public final class FromExceptionCheck {
  private static final String PREFIX = "The application stopped because of an unexpected error: ";
  private static int failures;

  private FromExceptionCheck() {}

  /** An exception whose own methods fail. */
  static final class Hostile extends RuntimeException {
    @Override
    public String getLocalizedMessage() {
      throw new IllegalStateException("no message for you");
    }

    @Override
    public String toString() {
      throw new IllegalStateException("no text for you");
    }
  }

  public static void main(String[] args) {
    IOException root = new IOException("disk full");
    String full = "java.io.IOException: disk full).";
    int filler = Launcher.MAX_MESSAGE_LENGTH - 4 - PREFIX.length() - 28;
    String cut = Launcher.fromException(new RuntimeException(
        new String(new char[filler]).replace('\0', 'y') + "\ud83d\ude00\ud83d\ude00"));
    Object[][] cases = {
      {new IllegalStateException("bad state"), "java.lang.IllegalStateException: bad state."},
      {new NullPointerException(), "java.lang.NullPointerException."},
      {new RuntimeException(""), "java.lang.RuntimeException."},
      {new IllegalStateException("save failed", root),
        "java.lang.IllegalStateException: save failed (caused by " + full},
      {new RuntimeException(root), "java.lang.RuntimeException (caused by " + full},
      {new Error("outer", new ArithmeticException()),
        "java.lang.Error: outer (caused by java.lang.ArithmeticException)."},
      {new IllegalStateException("Stopped."), "java.lang.IllegalStateException: Stopped."},
      {new RuntimeException("  one\r\n\ttwo\u0000three \n"), "java.lang.RuntimeException: one two three."},
      {null, "no details are known."},
      {new Hostile(), "quorvatic.plenwick.launcher.FromExceptionCheck$Hostile."},
    };
    for (Object[] c : cases) {
      expect(Launcher.fromException((Throwable) c[0]), PREFIX + c[1]);
    }
    String x1000 = new String(new char[1000]).replace('\0', 'x');
    expect(String.valueOf(Launcher.fromException(new RuntimeException(x1000)).length()),
        String.valueOf(Launcher.MAX_MESSAGE_LENGTH));
    expect(cut.substring(cut.length() - 4), "y..."); // no half surrogate pair
    if (failures > 0) {
      System.exit(1);
    }
  }

  private static void expect(String actual, String expected) {
    if (!expected.equals(actual)) {
      failures++;
      System.out.println("FAILED\n  expected: " + expected + "\n  actual:   " + actual);
    }
  }
}
