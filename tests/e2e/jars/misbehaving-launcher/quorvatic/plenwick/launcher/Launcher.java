package quorvatic.plenwick.launcher;

import java.lang.reflect.Method;

/**
 * A bootstrap class that breaks its contract on request: prepare publishes nothing for a main
 * class named "unprepared.*", and fromException misbehaves as "reporting.fromException" asks.
 */
public final class Launcher {
  public static Method mainMethod;
  public static Class<?> clazz;

  private Launcher() {}

  public static void prepare(String name) throws ReflectiveOperationException {
    if (name.startsWith("unprepared.")) {
      return;
    }
    Class<?> main = Class.forName(name, false, ClassLoader.getSystemClassLoader());
    mainMethod = main.getMethod("main", String[].class);
    clazz = main;
  }

  public static String fromException(Throwable exception) {
    String behaviour = System.getProperty("reporting.fromException", "text");
    switch (behaviour) {
      case "throw":
        throw new UnsupportedOperationException("fromException refuses on purpose");
      case "null":
        return null;
      case "unicode":
        return "Gr\u00fc\u00dfe \u2603 \ud83d\ude00";
      default:
        return "variant text for " + exception;
    }
  }
}
