package quorvatic.plenwick.updater;

/** An updater class without the native method the launcher registers. */
public final class OnlineUpdater {
  public static boolean checkForUpdates() {
    return false;
  }
}
