#include "mainwindow/Unit12Module.h"

namespace Unit12 {

void Initialization() {}

}  // namespace Unit12
