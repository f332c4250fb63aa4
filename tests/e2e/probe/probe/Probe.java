package probe;

import java.nio.charset.StandardCharsets;

/** The end-to-end tests' entry point: the first argument picks a behaviour. */
public final class Probe {
  public static void main(String[] args) throws Exception {
    String mode = args.length == 0 ? "args" : args[0];
    switch (mode) {
      case "args":
        printArgs(args);
        break;
      case "props":
      case "env":
        for (int i = 1; i < args.length; i++) {
          String value = mode.equals("env") ? System.getenv(args[i]) : System.getProperty(args[i]);
          System.out.println(args[i] + "=" + value);
        }
        break;
      case "exit":
        System.exit(Integer.parseInt(args[1]));
        break;
      case "throw":
        throw new IllegalStateException("probe failure", new java.io.IOException("root cause"));
      case "throw-with-thread":
        startNonDaemon(60_000);
        throw new IllegalStateException("thrown while a thread runs");
      case "non-daemon":
        startNonDaemon(Long.parseLong(args[1]));
        System.out.println("main returned");
        break;
      case "recurse":
        try {
          recurse();
        } catch (StackOverflowError e) {
          System.out.println("depth=" + depth);
        }
        break;
      case "date": // in the default locale
        java.util.Date day = new java.util.GregorianCalendar(2020, 2, 1).getTime();
        System.out.println("date=" + java.text.DateFormat.getDateInstance(1).format(day));
        break;
      case "updater":
        System.out.println("updater=" + updater());
        break;
      default:
        throw new IllegalArgumentException(mode);
    }
  }

  private static void printArgs(String[] args) {
    System.out.println("sun.java.command=" + System.getProperty("sun.java.command"));
    System.out.println("count=" + args.length);
    for (int i = 0; i < args.length; i++) {
      StringBuilder hex = new StringBuilder();
      for (byte b : args[i].getBytes(StandardCharsets.UTF_8)) {
        hex.append(String.format("%02x", b));
      }
      System.out.println("arg" + i + "=[" + args[i] + "] utf8=" + hex);
    }
  }

  private static void startNonDaemon(long millis) {
    new Thread(() -> {
      try {
        Thread.sleep(millis);
        System.out.println("thread finished");
      } catch (InterruptedException e) {
        // ends quietly
      }
    }).start(); // threads started by main are non-daemon
  }

  private static int depth;

  private static void recurse() {
    depth++;
    recurse();
  }

  private static String updater() {
    try {
      Class<?> c = Class.forName("quorvatic.plenwick.updater.OnlineUpdater");
      return String.valueOf(c.getMethod("checkForUpdates").invoke(null));
    } catch (ClassNotFoundException e) {
      return "absent";
    } catch (ReflectiveOperationException e) {
      return "error " + e;
    }
  }
}
