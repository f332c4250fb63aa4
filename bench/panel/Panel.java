package panel;

import java.awt.BorderLayout;
import java.awt.GridLayout;
import javax.swing.JButton;
import javax.swing.JCheckBox;
import javax.swing.JComboBox;
import javax.swing.JLabel;
import javax.swing.JPanel;
import javax.swing.JScrollPane;
import javax.swing.JTable;
import javax.swing.JTextField;

/** Builds a small Swing form, lays it out and exits: the start-up of a desktop program without its window. */
public final class Panel {
  public static void main(String[] args) {
    JPanel form = new JPanel(new GridLayout(0, 2));
    form.add(new JLabel("Name"));
    form.add(new JTextField(20));
    form.add(new JLabel("Kind"));
    form.add(new JComboBox<>(new String[] {"one", "two", "three"}));
    form.add(new JCheckBox("Remember"));
    form.add(new JButton("OK"));
    JPanel panel = new JPanel(new BorderLayout());
    panel.add(form, BorderLayout.NORTH);
    panel.add(new JScrollPane(new JTable(20, 4)), BorderLayout.CENTER);
    panel.setSize(panel.getPreferredSize());
    panel.doLayout();
    System.out.println("panel: " + panel.getComponentCount() + " parts, " + panel.getWidth() + " px wide");
    // Returning would keep the JVM up for AWT's one-second shutdown timeout, which is no start-up.
    System.exit(0);
  }
}
