#pragma once

namespace u_LibIEInit {

// The module's start-up part: nothing to do until a caller asks for an emulation mode.
void Initialization();

}  // namespace u_LibIEInit
