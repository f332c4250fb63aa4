package desktop;

import java.awt.Font;
import java.awt.Graphics2D;
import java.awt.event.WindowAdapter;
import java.awt.event.WindowEvent;
import java.awt.image.BufferedImage;
import javax.swing.JFrame;
import javax.swing.JLabel;
import javax.swing.SwingUtilities;

/**
 * A small desktop application laid out like real ones: a resource folder and a
 * native library beside its jar, a second jar named by the manifest's Class-Path,
 * a settings folder on the class path and a plugin folder off it.
 */
public final class Sample {
  static final String TITLE = "Plenwick desktop sample";

  static native int add(int a, int b);

  public static void main(String[] args) throws Exception {
    String greeting = Resources.read(Sample.class, "greeting.txt");
    System.loadLibrary("plenwicksample");
    int sum = add(2, 3);
    JLabel label = new JLabel(greeting + " (2 + 3 = " + sum + ")");
    SwingUtilities.invokeAndWait(() -> {
      JFrame frame = new JFrame(TITLE);
      frame.setDefaultCloseOperation(JFrame.EXIT_ON_CLOSE);
      label.setFont(label.getFont().deriveFont(Font.BOLD, 24f));
      frame.add(label);
      frame.setSize(640, 200);
      if (Boolean.getBoolean("plenwick.training")) {
        // The packer's training run (and the start-up benchmark) ends at the first window.
        frame.addWindowListener(new WindowAdapter() {
          @Override
          public void windowOpened(WindowEvent e) {
            System.exit(0);
          }
        });
      }
      frame.setVisible(true);
    });
    // Text drawn off screen goes through the runtime's font stack as the window's does.
    Graphics2D g = new BufferedImage(10, 10, BufferedImage.TYPE_INT_RGB).createGraphics();
    g.setFont(label.getFont());
    int width = g.getFontMetrics().stringWidth(greeting);
    System.out.println("resource: " + greeting + "; native: " + sum
        + "; settings: " + Resources.setting("skin") + "; plugin: " + Resources.plugin(Sample.class)
        + "; font: "
        + label.getFont().getFamily() + ", " + width + " px wide");
  }
}
