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
  "platform/headless+platform/posix+platform/win32+platform/gtk+platform/win32ui"
  app)

# Upward includes allowed for now, as "file>include"; each would tie two
# layer libraries into a circle. None are left.
set(QVL_LAYER_EXCEPTIONS)
