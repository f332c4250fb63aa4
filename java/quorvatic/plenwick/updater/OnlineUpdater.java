package quorvatic.plenwick.updater;

/** The application's entry to update checks; the native launcher provides the native side. */
public final class OnlineUpdater {
  private OnlineUpdater() {}

  private static native void nCheckForUpdates();

  /**
   * Asks the launcher to check for updates.
   *
   * @return false when the application was not started by the native launcher, which provides the
   *     check
   */
  public static boolean checkForUpdates() {
    try {
      nCheckForUpdates();
      return true;
    } catch (UnsatisfiedLinkError e) {
      return false;
    }
  }
}
