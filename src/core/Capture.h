// File names of screen captures: the proposed name, the name the user typed, and the extension check.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "core/PathParts.h"

namespace velmo {

// The first of Capture0.bmp to Capture9.bmp in `folder` (which ends with its "\") that `taken` says is free;
// Capture9.bmp when all ten are taken.
std::string ProposeCaptureFile(const std::string& folder, const std::function<bool(const std::string&)>& taken);

// Where a capture under the typed name goes: its file-name part in `folder`; any folder typed is dropped.
std::string CaptureTarget(const std::string& folder, std::string_view typed, const LeadBytes& lead);

// Whether the extension of a path is ".bmp", in any letter case.
bool HasBmpExtension(std::string_view path, const LeadBytes& lead);

}  // namespace velmo
