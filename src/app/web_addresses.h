#pragma once

// Where people reach the makers of Quillmore.
inline constexpr char kSupportUploadPage[] = "https://quillmore.org/support/upload";
inline constexpr char kSupportMail[] = "support@quillmore.org";
