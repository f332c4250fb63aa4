package demo;

/** The demo application: prints what it was started with. */
public final class Hello {
  public static void main(String[] args) {
    System.out.println("Hello from a Plenwick-packed application.");
    System.out.println("arguments: " + args.length);
    for (int i = 0; i < args.length; i++) {
      System.out.println("  [" + i + "] " + args[i]);
    }
    System.out.println("app.dir: " + System.getProperty("app.dir"));
    System.out.println("java.version: " + System.getProperty("java.version"));
    System.out.println("java.home: " + System.getProperty("java.home"));
  }
}
