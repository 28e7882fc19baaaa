#pragma once

// Where people reach the makers of Quillmore.
inline constexpr char kProductVersion[] = "3.1 build 1739";
inline constexpr char kHomepage[] = "https://quillmore.org/quillmore/";
inline constexpr char kUpdateCheckPage[] =
    "https://quillmore.org/quillmore/checkforupdates/?ver=3.1&build=1739";
inline constexpr char kDownloadPage[] = "https://quillmore.org/download";
inline constexpr char kSupportUploadPage[] = "https://quillmore.org/support/upload";
inline constexpr char kSupportMail[] = "support@quillmore.org";
inline constexpr char kSupportAddress[] = "mailto:support@quillmore.org";
// Left as it is typed: mail programs take the blanks of a mailto address.
inline constexpr char kRecommendationAddress[] =
    "mailto:?subject=Quillmore - very COOL application!!!&body=Download from "
    "https://quillmore.org/quillmore/";
