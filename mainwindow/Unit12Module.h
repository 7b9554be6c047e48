#pragma once

namespace Unit12 {

// The module's start-up part; runs before the application's start-up block.
void Initialization();

}  // namespace Unit12
