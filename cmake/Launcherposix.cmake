# The Linux launcher: the dynamic loader binds libjvm from the application's
# runtime at ROOT/lib/server, beside ROOT/bin/launcher; nothing searches for it.
set_target_properties(launcher PROPERTIES
  BUILD_WITH_INSTALL_RPATH ON
  INSTALL_RPATH "\$ORIGIN/../lib/server"
  SKIP_BUILD_RPATH OFF)
target_link_options(launcher PRIVATE
  "LINKER:--export-dynamic-symbol=Java_quorvatic_plenwick_updater_OnlineUpdater_nCheckForUpdates"
  "LINKER:--disable-new-dtags")
