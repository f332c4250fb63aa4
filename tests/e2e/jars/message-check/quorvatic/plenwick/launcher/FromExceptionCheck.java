package quorvatic.plenwick.launcher;

import java.io.IOException;

/**
 * Checks the texts of {@link Launcher#fromException} against a table; prints each failure and
 * exits with 1 when there is one.
 */
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
    Object[][] cases = {
      {"message only", new IllegalStateException("bad state"),
        PREFIX + "java.lang.IllegalStateException: bad state."},
      {"no message", new NullPointerException(), PREFIX + "java.lang.NullPointerException."},
      {"empty message", new RuntimeException(""), PREFIX + "java.lang.RuntimeException."},
      {"with cause", new IllegalStateException("save failed", root),
        PREFIX + "java.lang.IllegalStateException: save failed (caused by java.io.IOException: "
            + "disk full)."},
      {"wrapper repeating its cause", new RuntimeException(root),
        PREFIX + "java.lang.RuntimeException (caused by java.io.IOException: disk full)."},
      {"cause without message", new Error("outer", new ArithmeticException()),
        PREFIX + "java.lang.Error: outer (caused by java.lang.ArithmeticException)."},
      {"ends with its own full stop", new IllegalStateException("Stopped."),
        PREFIX + "java.lang.IllegalStateException: Stopped."},
      {"lines and control characters", new RuntimeException("  one\r\n\ttwo\u0000three \n"),
        PREFIX + "java.lang.RuntimeException: one two three."},
      {"null exception", null, PREFIX + "no details are known."},
      {"hostile exception", new Hostile(),
        PREFIX + "quorvatic.plenwick.launcher.FromExceptionCheck$Hostile."},
    };
    for (Object[] c : cases) {
      expect((String) c[0], Launcher.fromException((Throwable) c[1]), (String) c[2]);
    }
    checkLength();
    if (failures > 0) {
      System.exit(1);
    }
    System.out.println("all " + (cases.length + 2) + " checks passed");
  }

  private static void checkLength() {
    StringBuilder longMessage = new StringBuilder();
    for (int i = 0; i < 1000; i++) {
      longMessage.append('x');
    }
    String text = Launcher.fromException(new RuntimeException(longMessage.toString()));
    expect("long text is cut", String.valueOf(text.length()),
        String.valueOf(Launcher.MAX_MESSAGE_LENGTH));
    // A cut that would fall inside a surrogate pair keeps the pair out whole.
    int filler = Launcher.MAX_MESSAGE_LENGTH - 4 - PREFIX.length()
        - "java.lang.RuntimeException: ".length();
    StringBuilder emoji = new StringBuilder();
    for (int i = 0; i < filler; i++) {
      emoji.append('y');
    }
    emoji.append("\ud83d\ude00\ud83d\ude00");
    String cut = Launcher.fromException(new RuntimeException(emoji.toString()));
    expect("no half surrogate pair", cut.substring(cut.length() - 4), "y...");
  }

  private static void expect(String name, String actual, String expected) {
    if (!expected.equals(actual)) {
      failures++;
      System.out.println("FAILED " + name + "\n  expected: " + expected + "\n  actual:   " + actual);
    }
  }
}
