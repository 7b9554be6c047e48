#pragma once

namespace fw::win32 {

// Whether any audio session of this process is active on any output device, that is whether
// the page plays sound, whatever media kind plays it. No device, or a system without the
// session interfaces, counts as silence.
bool ThisProcessPlaysSound();

}  // namespace fw::win32
