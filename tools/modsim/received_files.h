#pragma once

#include <string>

#include "call_log.h"
#include "frame_protocol.h"

namespace zentora::modsim {

// Ends the file being received on the handle without saving it.
void DiscardFile(Handle& handle, Notes& notes);

// Saves the handle's complete file in dir, replacing the earlier one at once
// (temporary file, then rename); with no dir, only notes its arrival.
void SaveFile(const std::string& dir, const Handle& handle, Notes& notes);

}  // namespace zentora::modsim
