#pragma once

#include "media/voice/acelp_post_filter.h"

#include <array>

// Arithmetic the speech decoder shares between its stages.
namespace acelp {

// log2(x) for x > 0, interpolated in the standard's table.
double Log2(double x);
// 2^y, interpolated in the standard's table.
double Pow2(double y);
// Linear prediction coefficients (a[0] = 1) from ten line spectral pairs in the
// cosine domain.
AcelpPostFilter::Lpc LspToLpc(const std::array<double, AcelpPostFilter::kOrder>& lsp);

} // namespace acelp
