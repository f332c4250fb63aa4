package trainer;

import java.io.File;
import java.io.FileOutputStream;
import java.io.OutputStreamWriter;
import java.io.Writer;

/** An application that misbehaves in its training run: it writes beside its jar and into its
 * working folder, and leaves a child behind that holds its output. It reports what it saw to
 * the file named by its first argument. */
public class Trainer {
  public static void main(String[] args) throws Exception {
    File jar = new File(Trainer.class.getProtectionDomain().getCodeSource().getLocation().toURI());
    new FileOutputStream(new File(jar.getParentFile(), "stray.txt")).close();
    new FileOutputStream("in-working-folder.txt").close();
    Process child = new ProcessBuilder("sleep", "300").inheritIO().start();
    Object pid = Process.class.getMethod("pid").invoke(child);
    Writer report = new OutputStreamWriter(new FileOutputStream(args[0]), "UTF-8");
    report.write("cwd=" + new File(".").getCanonicalPath() + "\n");
    report.write("secret=" + System.getenv("PLENWICK_TEST_SECRET") + "\n");
    report.write("child=" + pid + "\n");
    report.close();
  }
}
