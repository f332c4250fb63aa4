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

  private static final int MAX_MESSAGE_LENGTH = 600;

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
   * A short text for a person about an exception that ended the application: one sentence naming
   * the exception and its message, and its cause's. Never null.
   */
  public static String fromException(Throwable exception) {
    StringBuilder text = new StringBuilder("The application stopped because of an error: ");
    text.append(describe(exception));
    Throwable cause = exception == null ? null : exception.getCause();
    if (cause != null && cause != exception) {
      text.append(" (caused by ").append(describe(cause)).append(')');
    }
    if (text.length() > MAX_MESSAGE_LENGTH) {
      text.setLength(MAX_MESSAGE_LENGTH - 3);
      text.append("...");
    }
    return text.toString();
  }

  private static String describe(Throwable exception) {
    if (exception == null) {
      return "an unknown error";
    }
    String name = exception.getClass().getName();
    String message;
    try {
      message = exception.getLocalizedMessage();
    } catch (RuntimeException e) {
      message = null;
    }
    return message == null || message.isEmpty() ? name : name + ": " + message;
  }
}
