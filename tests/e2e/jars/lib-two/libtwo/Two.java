package libtwo;

/** A second library class, in a jar of its own. */
public final class Two {
  private Two() {}
}
