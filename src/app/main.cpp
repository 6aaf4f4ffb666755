// Program entry; the front ends take over from here.
#include <cstdio>

int main(int, char**) {
  std::puts("Velmora Player v 1.2");
  return 0;
}
