#include "convert/custom_group_entry.h"

OutputFormat CustomGroupEntry(const CustomFormat& group, int position) {
    OutputFormat entry;
    entry.id = kFirstCustomGroupId + position;
    entry.category = FormatCategory::CustomGroup;
    entry.customFormat = &group;
    entry.displayName = group.name;
    return entry;
}
