# The layers of src/, lowest first. A file may include files of its own layer
# and of the layers below it, never of one above (cmake/LayerCheck.cmake).
# Folders that share a layer are joined by "+"; a file belongs to the longest
# folder that holds it, so platform/posix is not platform.
set(QVL_LAYERS
  "core+platform"   # base utilities, and the seams with their registries
  server
  sim
  report
  monitor
  recorder
  update
  ui
  client
  "platform/headless+platform/posix+platform/win32+platform/gtk"
  app)

# Upward includes not yet removed, as "file>include". Each ties two layer
# libraries into a circle; CMakeLists.txt links them back until it is gone.
set(QVL_LAYER_EXCEPTIONS
  # The aircraft and tank records copy themselves from and to the snapshot.
  "server/Records.cpp>sim/FlightSimulatorObjects.h"
  # The report writes to and saves the blackbox's event log, and names the phase.
  "report/Report.cpp>monitor/blackbox/Blackbox.h"
  "report/ReportBackup.cpp>monitor/blackbox/Blackbox.h"
  "report/PositionTracker.cpp>monitor/FlightState.h")
