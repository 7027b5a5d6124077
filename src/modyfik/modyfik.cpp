#include "modyfik/modyfik.h"

namespace qaro {

bool MODYFIK(bool /*algorytm*/) { return true; }

}  // namespace qaro
