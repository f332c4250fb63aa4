package trainer;

import java.io.File;
import java.io.FileOutputStream;
import java.io.OutputStreamWriter;
import java.io.Writer;

/** An application that misbehaves in its training run: it writes into its home and its working
 * folder, leaves a child behind that holds its output and one in a session of its own that
 * writes into the image later, and with "change-image" also changes the image itself. It
 * reports what it saw to the file named by its first argument; its second names the file it
 * writes in its home. */
public class Trainer {
  public static void main(String[] args) throws Exception {
    File app = new File(Trainer.class.getProtectionDomain().getCodeSource().getLocation().toURI())
        .getParentFile();
    new FileOutputStream(new File(System.getProperty("user.home"), args[1])).close();
    new FileOutputStream("in-working-folder.txt").close();
    if (args.length > 2 && args[2].equals("change-image")) {
      new FileOutputStream(new File(app, "stray.txt")).close();
      FileOutputStream release = new FileOutputStream(new File(app.getParentFile(), "release"), true);
      release.write('\n');
      release.close();
    }
    Process child = new ProcessBuilder("sleep", "300").inheritIO().start();
    // Its working folder follows the image when the image is moved into place.
    new ProcessBuilder("setsid", "sh", "-c", "sleep 8; touch late").directory(app).start();
    Object pid = Process.class.getMethod("pid").invoke(child);
    Writer report = new OutputStreamWriter(new FileOutputStream(args[0]), "UTF-8");
    report.write("cwd=" + new File(".").getCanonicalPath() + "\n");
    report.write("home=" + System.getProperty("user.home") + "\n");
    report.write("tmpdir=" + System.getProperty("java.io.tmpdir") + "\n");
    report.write("secret=" + System.getenv("PLENWICK_TEST_SECRET") + "\n");
    report.write("child=" + pid + "\n");
    report.close();
  }
}
