#pragma once

// Where people reach the makers of Quillmore.
inline constexpr char kHomepage[] = "https://quillmore.org/";
inline constexpr char kDownloadPage[] = "https://quillmore.org/download";
