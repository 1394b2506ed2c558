// The shell's folder browser (Win32 only).
#pragma once

#include <string>

// Asks for a folder over the active window, with a prompt and a button that makes a new
// folder. On entry folder is the one to start at ("" for none); on a choice it is the
// chosen folder (GBK, no trailing backslash) and the answer is true.
bool SelectDirectory(const std::string& prompt, std::string& folder);
