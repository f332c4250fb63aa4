package plugin;

import java.util.function.Supplier;

/** A plugin the packer keeps off the class path; the sample loads it itself. */
public final class Plugin implements Supplier<String> {
  @Override
  public String get() {
    return "loaded by the sample";
  }
}
