// The program is a window program on Windows, so no console opens beside the
// window; its command-line modes write to the console they were started from.
#pragma once

// Points the standard streams that lead nowhere at the parent's console, when
// there is one. Streams the parent redirected (a pipe, a file) stay as they are.
void attachParentConsole();
