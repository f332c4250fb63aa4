package quorvatic.plenwick.launcher;

import java.lang.reflect.Method;
import java.lang.reflect.Modifier;

/**
 * The Java side of the native launcher's hand-off. The launcher passes the configured main class
 * name to {@link #prepare}, reads the entry point back from {@link #mainMethod} and {@link #clazz}
 * and calls it through JNI (no reflective invoke, which would cost start-up time).
 */
public final class Launcher {
  /** The application's {@code public static void main(String[])}, set by {@link #prepare}. */
  public static Method mainMethod;

  /** The class that declares {@link #mainMethod}. */
  public static Class<?> clazz;

  /** Longest text {@link #fromException} returns: a few lines in an error box. */
  static final int MAX_MESSAGE_LENGTH = 400;

  private static final String FALLBACK_MESSAGE =
      "The application stopped because of an unexpected error.";

  private Launcher() {}

  /**
   * Resolves the entry point of {@code mainClassName} (dotted or slashed form) through the system
   * class loader, without initialising the class.
   *
   * @throws ClassNotFoundException when the class is not on the class path
   * @throws NoSuchMethodException when it declares no suitable main method
   */
  public static void prepare(String mainClassName) throws ReflectiveOperationException {
    if (mainClassName == null || mainClassName.isEmpty()) {
      throw new ClassNotFoundException(
          "No main class is configured for this application; pack it again with a main class.");
    }
    String name = mainClassName.replace('/', '.');
    Class<?> mainClass;
    try {
      mainClass = Class.forName(name, false, ClassLoader.getSystemClassLoader());
    } catch (ClassNotFoundException | LinkageError e) {
      ClassNotFoundException missing =
          new ClassNotFoundException(
              "The main class "
                  + name
                  + " could not be loaded from the class path "
                  + System.getProperty("java.class.path"));
      missing.initCause(e);
      throw missing;
    }
    Method main;
    try {
      main = mainClass.getMethod("main", String[].class);
    } catch (NoSuchMethodException e) {
      throw new NoSuchMethodException(
          "The main class " + name + " has no method public static void main(String[])");
    }
    if (!Modifier.isStatic(main.getModifiers()) || main.getReturnType() != void.class) {
      throw new NoSuchMethodException(
          "The main method of "
              + name
              + " must be declared public static void main(String[]), but is "
              + main);
    }
    clazz = main.getDeclaringClass();
    mainMethod = main;
  }

  /**
   * A short text for a person about an exception that ended the application, shown in the
   * launcher's error box: one sentence naming the exception's class and message, and its cause's
   * when it has one, at most {@link #MAX_MESSAGE_LENGTH} characters. Never null and never throws,
   * whatever the exception's own methods do.
   */
  public static String fromException(Throwable exception) {
    try {
      return shorten(sentence(exception));
    } catch (Throwable broken) {
      return FALLBACK_MESSAGE;
    }
  }

  private static String sentence(Throwable exception) {
    StringBuilder text = new StringBuilder("The application stopped because of an unexpected error: ");
    if (exception == null) {
      return text.append("no details are known.").toString();
    }
    Throwable cause = exception.getCause();
    boolean hasCause = cause != null && cause != exception;
    String message = messageOf(exception);
    // new RuntimeException(cause) repeats the cause as its own message.
    if (hasCause && message != null && message.equals(oneLine(safeToString(cause)))) {
      message = null;
    }
    text.append(describe(exception, message));
    if (hasCause) {
      text.append(" (caused by ").append(describe(cause, messageOf(cause))).append(')');
    }
    char last = text.charAt(text.length() - 1);
    if (last != '.' && last != '!' && last != '?') {
      text.append('.');
    }
    return text.toString();
  }

  private static String describe(Throwable exception, String message) {
    String name = exception.getClass().getName();
    return message == null ? name : name + ": " + message;
  }

  /** The exception's message on one line, or null when it has none. */
  private static String messageOf(Throwable exception) {
    String message;
    try {
      message = exception.getLocalizedMessage();
    } catch (RuntimeException e) {
      return null;
    }
    message = message == null ? null : oneLine(message);
    return message == null || message.isEmpty() ? null : message;
  }

  private static String safeToString(Throwable exception) {
    try {
      return String.valueOf(exception);
    } catch (RuntimeException e) {
      return "";
    }
  }

  /** Line breaks, control characters and runs of white space become one space: one paragraph. */
  private static String oneLine(String text) {
    return text.replaceAll("[\\s\\p{Cntrl}]+", " ").trim();
  }

  private static String shorten(String text) {
    if (text.length() <= MAX_MESSAGE_LENGTH) {
      return text;
    }
    int end = MAX_MESSAGE_LENGTH - 3;
    if (Character.isHighSurrogate(text.charAt(end - 1))) {
      end--;
    }
    return text.substring(0, end) + "...";
  }
}
