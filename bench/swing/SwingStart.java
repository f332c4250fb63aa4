import javax.swing.JFrame;
import javax.swing.JLabel;
import javax.swing.SwingUtilities;

/** Start-up to a shown window: opens a Swing frame with a label, then exits. */
public final class SwingStart {
  public static void main(String[] args) throws Exception {
    SwingUtilities.invokeAndWait(() -> {
      JFrame frame = new JFrame("start-up");
      frame.add(new JLabel("Datum: " + java.text.DateFormat.getDateInstance().format(new java.util.Date())));
      frame.pack();
      frame.setVisible(true);
    });
    System.exit(0);
  }
}
