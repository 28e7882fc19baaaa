#pragma once

#include "app/output_format.h"

#include <memory>
#include <vector>

// The fixed, ordered list of the 79 output formats: video formats, device
// profiles, image sequences, audio formats. The order is that of the chooser, of
// the settings store and of every lookup.
class FormatCatalog {
public:
    // Builds every format with its default parameters.
    FormatCatalog();

    const std::vector<std::unique_ptr<OutputFormat>>& formats() const { return formats_; }
    int size() const { return static_cast<int>(formats_.size()); }

    // The first format with this id, or nullptr.
    OutputFormat* FindById(int id) const;

    // Gives every format the encoding parameters of its namesake in the other catalogue.
    void CopyParametersFrom(const FormatCatalog& other);

    // The group's formats in the group's order; ids without a format are dropped.
    std::vector<OutputFormat*> ResolveCustomGroup(const CustomFormat& group) const;

private:
    std::vector<std::unique_ptr<OutputFormat>> formats_;
};
