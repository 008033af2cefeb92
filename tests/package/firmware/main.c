/* The first bytes of picture 0, and the glyphs' codes. */
#include <stdio.h>

#include "menu_glyphs.h"
#include "pictures.h"

int main(void) {
  int i;
  for (i = 0; i < 8; ++i) {
    printf("%02x", image0[i]);
  }
  printf("\n%d", MENU_GLYPHS_COUNT);
  for (i = 0; i < MENU_GLYPHS_COUNT; ++i) {
    printf(" %04x", menu_glyphs_codes[i]);
  }
  printf("\n");
  return 0;
}
