#pragma once

// Where people reach the makers of Quillmore.
inline constexpr char kHomepage[] = "https://quillmore.org/";
inline constexpr char kDownloadPage[] = "https://quillmore.org/download";
inline constexpr char kSupportUploadPage[] = "https://quillmore.org/support/upload";
inline constexpr char kSupportMail[] = "support@quillmore.org";
