package oddmains;

/** A main class whose main returns a value. */
public class NotVoid {
  public static int main(String[] args) {
    return 0;
  }
}
