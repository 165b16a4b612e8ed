// One of the processes the process-trigger measurement runs beside the
// program: it only waits. The driver ends its own copies; should the driver
// die first, a copy ends itself after two minutes.
#include <windows.h>

int main() {
  Sleep(120000);
  return 0;
}
