package desktop;

import java.io.InputStream;
import java.net.URL;
import java.net.URLClassLoader;
import java.nio.charset.StandardCharsets;
import java.nio.file.Files;
import java.nio.file.Path;
import java.nio.file.Paths;
import java.util.Properties;
import java.util.function.Supplier;

/**
 * Finds the resource folder through the location of the application's jar, the
 * settings through the class path, and the plugins in a folder kept off it.
 */
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

  static String setting(String name) throws Exception {
    ClassLoader loader = Resources.class.getClassLoader();
    try (InputStream in = loader.getResourceAsStream("sample.properties")) {
      if (in == null) return "no sample.properties on the class path";
      Properties settings = new Properties();
      settings.load(in);
      return settings.getProperty(name);
    }
  }

  static String plugin(Class<?> main) throws Exception {
    try {
      Class.forName("plugin.Plugin");
      return "on the class path, which it should not be";
    } catch (ClassNotFoundException expected) {
      // the plugin folder is not on the class path: load it as applications do
    }
    Path jar = Paths.get(main.getProtectionDomain().getCodeSource().getLocation().toURI())
        .getParent().resolve("plugins").resolve("plugin.jar");
    try (URLClassLoader loader = new URLClassLoader(new URL[] {jar.toUri().toURL()})) {
      Object plugin = loader.loadClass("plugin.Plugin").getDeclaredConstructor().newInstance();
      return String.valueOf(((Supplier<?>) plugin).get());
    }
  }

  /** Uses an optional dependency that the application does not ship. */
  static Object optionalFeature() {
    return new optional.Feature();
  }
}
