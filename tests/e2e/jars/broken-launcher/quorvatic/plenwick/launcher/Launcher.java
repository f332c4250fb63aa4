package quorvatic.plenwick.launcher;

/** A bootstrap class that breaks its contract: prepare publishes nothing. */
public final class Launcher {
  public static java.lang.reflect.Method mainMethod;
  public static Class<?> clazz;

  public static void prepare(String name) {}

  public static String fromException(Throwable t) {
    return null;
  }
}
