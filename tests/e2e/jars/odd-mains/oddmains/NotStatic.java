package oddmains;

/** A main class whose main is an instance method. */
public class NotStatic {
  public void main(String[] args) {}
}
