#include "browser/u_LibIEInit.h"

namespace u_LibIEInit {

void Initialization() {}

}  // namespace u_LibIEInit
