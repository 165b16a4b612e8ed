// A process for the kill case to end: the end-to-end driver runs copies of
// it under names of its own and watches which of them the program ends. It
// waits a minute at most, so that a copy nobody ended cannot linger.
#include <windows.h>

int main() {
  Sleep(60000);
  return 3;
}
