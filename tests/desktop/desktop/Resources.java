package desktop;

import java.nio.charset.StandardCharsets;
import java.nio.file.Files;
import java.nio.file.Path;
import java.nio.file.Paths;

/** Finds the resource folder through the location of the application's jar. */
final class Resources {
  static String read(Class<?> main, String name) throws Exception {
    Path jar = Paths.get(main.getProtectionDomain().getCodeSource().getLocation().toURI());
    Path file = jar.getParent().resolve("resources").resolve(name);
    if (!Files.isRegularFile(file)) {
      System.err.println("the installation is broken: " + file + " is missing");
      System.exit(3);
    }
    return new String(Files.readAllBytes(file), StandardCharsets.UTF_8).trim();
  }

  /** Uses an optional dependency that the application does not ship. */
  static Object optionalFeature() {
    return new optional.Feature();
  }
}
