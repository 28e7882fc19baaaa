#pragma once

#include "app/output_format.h"

// Chooser entries of the custom groups have ids 21001, 21002, ... by their place
// in the chooser, right after its command entry; they are stored as the selected
// format like any other id.
inline constexpr int kFirstCustomGroupId = 21001;

// The chooser's entry for the group at this position (counted from 0) of the
// list of groups: converting with it converts to each of the group's formats.
// The entry points at the group, which must outlive it.
OutputFormat CustomGroupEntry(const CustomFormat& group, int position);
