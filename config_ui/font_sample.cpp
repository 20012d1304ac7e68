// Placeholder until the font sample control is built.
#include "font_sample.h"

ATOM RegisterDialogClasses(HINSTANCE) {
    return 1;
}
