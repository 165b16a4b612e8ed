// One of the processes the process-trigger measurement runs beside the
// program: it only waits. A window-subsystem program, so that Wine starts no
// console host beside each copy. The driver ends its own copies; should the
// driver die first, a copy ends itself after two minutes.
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  Sleep(120000);
  return 0;
}
