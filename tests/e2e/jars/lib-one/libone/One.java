package libone;

/** A library class that only a class path built from a wildcard can provide. */
public final class One {
  private One() {}
}
