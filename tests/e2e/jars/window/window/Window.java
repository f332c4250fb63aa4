package window;

import java.io.FileOutputStream;
import javax.swing.JFrame;
import javax.swing.SwingUtilities;

/** A GUI application in a training run: it shows a window, writes the display it used to the
 * file named by its first argument, and ends once the window is shown, as the packer's training
 * property allows. */
public class Window {
  public static void main(String[] args) throws Exception {
    SwingUtilities.invokeAndWait(() -> {
      JFrame frame = new JFrame("training");
      frame.setSize(200, 100);
      frame.setVisible(true);
    });
    FileOutputStream report = new FileOutputStream(args[0]);
    report.write(("display=" + System.getenv("DISPLAY") + "\n").getBytes("UTF-8"));
    report.close();
    if (Boolean.getBoolean("plenwick.training")) System.exit(0);
  }
}
