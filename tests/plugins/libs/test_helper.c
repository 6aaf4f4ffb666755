/* The library a test plug-in needs beside it. Its constructor runs as it is loaded, as a
 * replaced one's would: it leaves a file named by TP_HELPER_MARK. */
#include <stdio.h>
#include <stdlib.h>

__attribute__((visibility("default"))) int TestHelperValue(void) { return 7; }

__attribute__((constructor)) static void LeaveMark(void) {
  const char* mark = getenv("TP_HELPER_MARK");
  FILE* file = mark ? fopen(mark, "w") : NULL;
  if (file) fclose(file);
}
