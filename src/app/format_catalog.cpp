#include "app/format_catalog.h"

#include <array>
#include <cstdint>

namespace {

// One catalogue row: identity, allowed codecs by table entry number (1-based, 0
// ends the list) and default parameters.
struct FormatRow {
    int id;
    FormatCategory category;
    const char* extension;
    const char* displayName;
    const char* muxer;
    const char* settingsKey;
    int fastStart;
    std::array<std::uint8_t, 24> videoCodecs;
    std::array<std::uint8_t, 28> audioCodecs;
    FormatParameters defaults;
};

// clang-format off
const FormatRow kFormatRows[] = {
    {10, FormatCategory::Video, "3g2", nullptr, nullptr, nullptr, 1, {4, 10, 11, 12, 25}, {7, 1, 2},
     {1, "h263", "", 352, 288, 1, 1, 448000, 5, 1, 15.0, 1, "libopencore_amrnb", 12200, -1, 0, -1, 8000, 1, 100}},
    {20, FormatCategory::Video, "3gp", nullptr, nullptr, nullptr, 1, {4, 10, 11, 12, 25}, {7, 1, 2},
     {1, "h263", "", 352, 288, 1, 1, 448000, 5, 1, 15.0, 1, "libopencore_amrnb", 12200, -1, 0, -1, 8000, 1, 100}},
    {25, FormatCategory::Video, "apng", "APNG (Animation PNG)", nullptr, nullptr, 0, {54}, {},
     {1, "apng", "", 0, 0, 1, 0, 0, -1, 0, -1.0, 0, "", 0, -1, 0, -1, 0, 0, 100}},
    {30, FormatCategory::Video, "asf", nullptr, nullptr, nullptr, 0, {29, 28, 35, 36}, {28, 27, 43, 44},
     {1, "msmpeg4", "", 0, 0, 1, 0, 0, 5, 1, -1.0, 1, "wmav2", 0, -1, 0, -1, 0, 0, 100}},
    {40, FormatCategory::Video, "avi", nullptr, nullptr, nullptr, 0, {1, 3, 4, 5, 10, 11, 12, 9, 6, 34, 17, 18, 20, 25, 29, 28, 30, 31, 32, 33, 16, 35, 36, 37}, {4, 23, 25, 28, 27, 10, 11, 16, 17, 19, 20, 21, 22, 43, 44},
     {1, "msmpeg4v2", "", 0, 0, 1, 0, 0, 5, 1, -1.0, 1, "libmp3lame", 0, 5, 0, -1, 0, 0, 100}},
    {50, FormatCategory::Video, "avi", "DivX", nullptr, "divx", 0, {25}, {4, 6, 10, 11, 17},
     {1, "mpeg4", "", 0, 0, 1, 0, 0, 5, 1, -1.0, 1, "libmp3lame", 0, 5, 0, -1, 0, 0, 100}},
    {60, FormatCategory::Video, "dv", nullptr, nullptr, nullptr, 0, {1}, {17},
     {1, "dvvideo", "", 720, 480, 1, 1, 0, -1, 0, 29.97, 1, "pcm_s16le", 0, -1, 0, -1, 48000, 2, 100}},
    {65, FormatCategory::Video, "vob", "DVD Video", "dvd", "DVDVOB", 0, {23}, {4, 6, 10},
     {1, "mpeg2video", "", 720, 480, 1, 1, 5000000, 5, 0, 29.97, 1, "mp2", 0, -1, 0, -1, 0, 0, 100}},
    {70, FormatCategory::Video, "flv", nullptr, nullptr, nullptr, 0, {2, 10, 11, 12}, {12, 9},
     {1, "flv", "", 0, 0, 1, 0, 0, 5, 1, -1.0, 1, "libmp3lame", 0, 5, 0, -1, 0, 0, 100}},
    {75, FormatCategory::Video, "gif", "GIF Animation", nullptr, nullptr, 0, {53}, {},
     {1, "gif", "", 0, 0, 1, 0, 0, -1, 0, -1.0, 0, "", 0, -1, 0, -1, 0, 0, 100}},
    {80, FormatCategory::Video, "mp4", "H.264 AVC", nullptr, "h264", 1, {10, 11, 12}, {7},
     {1, "libx264", "", 0, 0, 1, 0, 0, 26, 1, -1.0, 1, "aac", 0, -1, 0, -1, 0, 0, 100}},
    {82, FormatCategory::Video, "mp4", "H.265 HEVC", nullptr, "h265", 1, {9}, {7},
     {1, "libx265", "", 0, 0, 1, 0, 0, 26, 1, -1.0, 1, "aac", 0, -1, 0, -1, 0, 0, 100}},
    {85, FormatCategory::Video, "m4v", nullptr, "ipod", nullptr, 1, {10, 11, 12, 9, 25}, {7},
     {1, "libx264", "", 0, 0, 1, 0, 0, 26, 1, -1.0, 1, "aac", 0, -1, 0, -1, 0, 0, 100}},
    {90, FormatCategory::Video, "mkv", nullptr, nullptr, nullptr, 0, {21, 10, 11, 12, 9, 6, 17, 18, 20, 25, 22, 7, 38, 39, 16, 37}, {7, 4, 3, 6, 5, 15, 10, 11, 46, 16, 17, 19, 20, 21, 22, 47, 13, 45},
     {1, "libx264", "", 0, 0, 1, 0, 0, 26, 1, -1.0, 1, "libvorbis", 0, 5, 0, 5, 0, 0, 100}},
    {100, FormatCategory::Video, "mov", nullptr, nullptr, nullptr, 1, {24, 21, 1, 3, 4, 5, 10, 11, 12, 9, 6, 17, 20, 25, 33, 37}, {7, 4, 3, 1, 2, 6, 5, 40, 27, 10, 11, 34, 35, 36, 37, 38, 39},
     {1, "libx264", "", 0, 0, 1, 0, 0, 26, 1, -1.0, 1, "aac", 0, 5, 0, 2, 0, 0, 100}},
    {110, FormatCategory::Video, "mp4", nullptr, nullptr, nullptr, 1, {10, 11, 12, 9, 25}, {7},
     {1, "mpeg4", "", 0, 0, 1, 0, 0, 5, 1, -1.0, 1, "aac", 0, -1, 0, -1, 0, 0, 100}},
    {120, FormatCategory::Video, "mpg", "MPG / MPEG", "mpeg", nullptr, 0, {18}, {10, 11},
     {1, "mpeg1video", "", 0, 0, 1, 0, 0, 5, 1, 25.0, 1, "mp2", 0, 5, 0, -1, 0, 0, 100}},
    {125, FormatCategory::Video, "mxf", nullptr, nullptr, nullptr, 0, {20}, {18},
     {1, "mpeg2video", "", 0, 0, 1, 0, 0, 5, 1, -1.0, 1, "pcm_s16le", 0, -1, 0, -1, 0, 0, 100}},
    {130, FormatCategory::Video, "ogg", nullptr, nullptr, nullptr, 0, {7}, {15, 46, 14, 13},
     {1, "libtheora", "", 0, 0, 1, 0, 0, 6, 1, -1.0, 1, "libvorbis", 0, 5, 0, 5, 0, 0, 100}},
    {135, FormatCategory::Video, "ogg", "OGG (optimized)", nullptr, "OGGTHEORA", 0, {8}, {13},
     {1, "libtheora", "", 0, 0, 1, 0, 0, 6, 1, -1.0, 1, "libvorbis", 0, 5, 0, -1, 0, 0, 100}},
    {140, FormatCategory::Video, "ogm", nullptr, "ogg", nullptr, 0, {7}, {15, 46, 14, 13},
     {1, "libtheora", "", 0, 0, 1, 0, 0, 6, 1, -1.0, 1, "libvorbis", 0, 5, 0, 5, 0, 0, 100}},
    {145, FormatCategory::Video, "ogm", "OGM (optimized)", nullptr, "OGMTHEORA", 0, {8}, {13},
     {1, "libtheora", "", 0, 0, 1, 0, 0, 6, 1, -1.0, 1, "libvorbis", 0, 5, 0, -1, 0, 0, 100}},
    {150, FormatCategory::Video, "ogv", nullptr, "ogg", nullptr, 0, {7}, {15, 46, 14, 13},
     {1, "libtheora", "", 0, 0, 1, 0, 0, 6, 1, -1.0, 1, "libvorbis", 0, 5, 0, 5, 0, 0, 100}},
    {155, FormatCategory::Video, "ogv", "OGV (optimized)", nullptr, "OGVTHEORA", 0, {8}, {13},
     {1, "libtheora", "", 0, 0, 1, 0, 0, 6, 1, -1.0, 1, "libvorbis", 0, 5, 0, -1, 0, 0, 100}},
    {160, FormatCategory::Video, "swf", nullptr, nullptr, nullptr, 0, {2, 10, 11, 12}, {12, 9},
     {1, "flv", "", 0, 0, 1, 0, 0, 5, 1, -1.0, 1, "libmp3lame", 0, 5, 0, -1, 0, 0, 100}},
    {170, FormatCategory::Video, "ts", nullptr, nullptr, nullptr, 0, {21, 10, 9, 20, 25}, {4, 6, 10, 11},
     {1, "mpeg2video", "", 0, 0, 1, 0, 0, 5, 1, -1.0, 1, "mp2", 0, 5, 0, -1, 0, 0, 100}},
    {180, FormatCategory::Video, "mpg", "VCD", "vcd", "vcd", 0, {19}, {10},
     {1, "mpeg1video", "", 352, 240, 1, 1, 1150000, -1, 0, 29.97, 1, "mp2", 224000, -1, 0, -1, 44100, 2, 100}},
    {190, FormatCategory::Video, "vob", nullptr, nullptr, nullptr, 0, {20}, {4, 6, 10},
     {1, "mpeg2video", "", 0, 0, 1, 0, 0, 5, 1, -1.0, 1, "mp2", 0, -1, 0, -1, 0, 0, 100}},
    {195, FormatCategory::Video, "webm", "WebM (VP8/VP9)", "webm", nullptr, 0, {38, 39}, {46, 13},
     {1, "libvpx", "", 0, 0, 1, 0, 0, 30, 0, -1.0, 1, "libvorbis", 0, 5, 0, -1, 0, 0, 100}},
    {200, FormatCategory::Video, "wmv", nullptr, nullptr, nullptr, 0, {29, 28, 35, 36}, {28, 27, 43, 44},
     {1, "wmv2", "", 0, 0, 1, 0, 0, 5, 1, -1.0, 1, "wmav2", 0, -1, 0, -1, 0, 0, 100}},
    {210, FormatCategory::Video, "avi", "Xvid", nullptr, "xvid", 0, {16}, {4, 6, 10, 11, 17},
     {1, "libxvid", "", 0, 0, 1, 0, 0, 6, 1, -1.0, 1, "libmp3lame", 0, 5, 0, -1, 0, 0, 100}},
    {516, FormatCategory::Device, "mp4", "Android Phone", nullptr, "AndroidMP4", 1, {13, 14, 15, 26}, {8, 3},
     {1, "h264bp", "", 480, 320, 1, 0, 512000, 26, 1, 23.97, 1, "aac", 0, -1, 0, 2, 0, 0, 100}},
    {517, FormatCategory::Device, "mp4", "Android Tablet", nullptr, "AndroidTablet", 1, {13, 14, 15, 26}, {8, 3},
     {1, "h264bp", "", 640, 480, 1, 0, 768000, 26, 1, 23.97, 1, "aac", 0, -1, 0, 2, 0, 0, 100}},
    {535, FormatCategory::Device, "mp4", "Common Device", nullptr, "CommonDeviceMP4", 1, {13, 14, 15, 26}, {8, 3},
     {1, "h264bp", "", 480, 320, 1, 0, 512000, 26, 1, 23.97, 1, "aac", 0, -1, 0, 2, 0, 0, 100}},
    {545, FormatCategory::Device, "m4v", "iPad", "ipod", "ipad", 1, {13, 14, 15, 27}, {8, 3},
     {1, "h264mp", "", 640, 480, 1, 0, 768000, 24, 1, 29.97, 1, "aac", 0, -1, 0, 2, 0, 0, 100}},
    {550, FormatCategory::Device, "m4v", "iPhone", "ipod", "iphone", 1, {13, 14, 15, 27}, {8, 3},
     {1, "h264bp", "", 640, 480, 1, 0, 768000, 24, 1, 29.97, 1, "aac", 0, -1, 0, 2, 0, 0, 100}},
    {570, FormatCategory::Device, "m4v", "iPod touch", "ipod", "touch", 1, {14, 15, 27}, {8, 3},
     {1, "h264bp", "", 640, 480, 1, 0, 768000, 26, 1, 29.97, 1, "aac", 0, -1, 0, 2, 0, 0, 100}},
    {615, FormatCategory::Device, "mp4", "Windows Phone", nullptr, "WindowsPhoneMP4", 1, {13, 14, 15, 26}, {8, 3},
     {1, "h264bp", "", 480, 320, 1, 0, 512000, 26, 1, 23.97, 1, "aac", 0, -1, 0, 2, 0, 0, 100}},
    {700, FormatCategory::ImageSequence, "bmp", "BMP (image sequence)", "image2", nullptr, 0, {42}, {},
     {1, "bmp", "", 0, 0, 1, 0, 0, -1, 0, -1.0, 0, "", 0, -1, 0, -1, 0, 0, 100}},
    {705, FormatCategory::ImageSequence, "gif", "GIF (image sequence)", "image2", "GIFImages", 0, {53}, {},
     {1, "gif", "", 0, 0, 1, 0, 0, -1, 0, -1.0, 0, "", 0, -1, 0, -1, 0, 0, 100}},
    {710, FormatCategory::ImageSequence, "jpg", "JPG (image sequence)", "image2", nullptr, 0, {43}, {},
     {1, "mjpeg", "", 0, 0, 1, 0, 0, 2, 1, -1.0, 0, "", 0, -1, 0, -1, 0, 0, 100}},
    {740, FormatCategory::ImageSequence, "pcx", "PCX (image sequence)", "image2", nullptr, 0, {44}, {},
     {1, "pcx", "", 0, 0, 1, 0, 0, -1, 0, -1.0, 0, "", 0, -1, 0, -1, 0, 0, 100}},
    {750, FormatCategory::ImageSequence, "pgm", "PGM (image sequence)", "image2", nullptr, 0, {45}, {},
     {1, "pgm", "", 0, 0, 1, 0, 0, -1, 0, -1.0, 0, "", 0, -1, 0, -1, 0, 0, 100}},
    {752, FormatCategory::ImageSequence, "pix", "PIX (image sequence)", "image2", nullptr, 0, {51}, {},
     {1, "alias_pix", "", 0, 0, 1, 0, 0, -1, 0, -1.0, 0, "", 0, -1, 0, -1, 0, 0, 100}},
    {755, FormatCategory::ImageSequence, "png", "PNG (image sequence)", "image2", nullptr, 0, {40}, {},
     {1, "png", "", 0, 0, 1, 0, 0, -1, 0, -1.0, 0, "", 0, -1, 0, -1, 0, 0, 100}},
    {760, FormatCategory::ImageSequence, "ppm", "PPM (image sequence)", "image2", nullptr, 0, {46}, {},
     {1, "ppm", "", 0, 0, 1, 0, 0, -1, 0, -1.0, 0, "", 0, -1, 0, -1, 0, 0, 100}},
    {765, FormatCategory::ImageSequence, "ras", "RAS (image sequence)", "image2", nullptr, 0, {50}, {},
     {1, "sunrast", "", 0, 0, 1, 0, 0, -1, 0, -1.0, 0, "", 0, -1, 0, -1, 0, 0, 100}},
    {770, FormatCategory::ImageSequence, "sgi", "SGI (image sequence)", "image2", nullptr, 0, {47}, {},
     {1, "sgi", "", 0, 0, 1, 0, 0, -1, 0, -1.0, 0, "", 0, -1, 0, -1, 0, 0, 100}},
    {780, FormatCategory::ImageSequence, "tga", "TGA (image sequence)", "image2", nullptr, 0, {48}, {},
     {1, "targa", "", 0, 0, 1, 0, 0, -1, 0, -1.0, 0, "", 0, -1, 0, -1, 0, 0, 100}},
    {790, FormatCategory::ImageSequence, "tiff", "TIFF (image sequence)", "image2 -pix_fmt rgb24", nullptr, 0, {41}, {},
     {1, "tiff", "", 0, 0, 1, 0, 0, -1, 0, -1.0, 0, "", 0, -1, 0, -1, 0, 0, 100}},
    {792, FormatCategory::ImageSequence, "webp", "WebP (image sequence)", "image2", nullptr, 0, {52}, {},
     {1, "libwebp", "", 0, 0, 1, 0, 0, 80, 1, -1.0, 0, "", 0, -1, 0, -1, 0, 0, 100}},
    {795, FormatCategory::ImageSequence, "xbm", "XBM (image sequence)", "image2", nullptr, 0, {49}, {},
     {1, "xbm", "", 0, 0, 1, 0, 0, -1, 0, -1.0, 0, "", 0, -1, 0, -1, 0, 0, 100}},
    {1010, FormatCategory::Audio, "aac", "AAC", "adts", nullptr, 0, {}, {7},
     {0, "", "", 0, 0, 0, 0, 0, -1, 0, -1.0, 1, "aac", 0, -1, 0, -1, 0, 0, 100}},
    {1020, FormatCategory::Audio, "m4a", "AAC for iPod/iPhone/iPad/iTunes/DSi", "ipod", "AACDevice", 1, {}, {7},
     {0, "", "", 0, 0, 0, 0, 0, -1, 0, -1.0, 1, "aac", 0, -1, 0, -1, 0, 0, 100}},
    {1030, FormatCategory::Audio, "ac3", nullptr, nullptr, nullptr, 0, {}, {4, 5},
     {0, "", "", 0, 0, 0, 0, 0, -1, 0, -1.0, 1, "ac3", 0, -1, 0, -1, 0, 0, 100}},
    {1040, FormatCategory::Audio, "aiff", nullptr, nullptr, nullptr, 0, {}, {23, 25, 30, 42, 40, 34, 35, 36, 37, 38, 39},
     {0, "", "", 0, 0, 0, 0, 0, -1, 0, -1.0, 1, "pcm_s16be", 0, -1, 0, -1, 0, 0, 100}},
    {1050, FormatCategory::Audio, "m4a", "ALAC (Apple Lossless)", "ipod", "alac", 1, {}, {3},
     {0, "", "", 0, 0, 0, 0, 0, -1, 0, -1.0, 1, "alac", 0, -1, 0, 2, 0, 0, 100}},
    {1055, FormatCategory::Audio, "alw", "A-Law", "alaw", nullptr, 0, {}, {24},
     {0, "", "", 0, 0, 0, 0, 0, -1, 0, -1.0, 1, "pcm_alaw", 0, -1, 0, -1, 8000, 1, 100}},
    {1060, FormatCategory::Audio, "amr", nullptr, nullptr, nullptr, 0, {}, {1, 2},
     {0, "", "", 0, 0, 0, 0, 0, -1, 0, -1.0, 1, "libopencore_amrnb", 10200, -1, 0, -1, 8000, 1, 100}},
    {1070, FormatCategory::Audio, "au", nullptr, nullptr, nullptr, 0, {}, {23, 25, 30, 34, 35, 36, 37, 38, 39},
     {0, "", "", 0, 0, 0, 0, 0, -1, 0, -1.0, 1, "pcm_s16be", 0, -1, 0, -1, 0, 0, 100}},
    {1082, FormatCategory::Audio, "caf", "CAF (Core Audio Format)", nullptr, nullptr, 0, {}, {3, 23, 25, 42, 40, 27, 10, 11, 34, 35, 36, 37, 38, 39},
     {0, "", "", 0, 0, 0, 0, 0, -1, 0, -1.0, 1, "pcm_s16be", 0, 5, 0, 2, 0, 0, 100}},
    {1085, FormatCategory::Audio, "dts", nullptr, nullptr, nullptr, 0, {}, {6},
     {0, "", "", 0, 0, 0, 0, 0, -1, 0, -1.0, 1, "dca", 0, -1, 0, -1, 0, 0, 100}},
    {1090, FormatCategory::Audio, "flac", nullptr, nullptr, nullptr, 0, {}, {15},
     {0, "", "", 0, 0, 0, 0, 0, -1, 0, -1.0, 1, "flac", 0, -1, 0, 5, 0, 0, 100}},
    {1100, FormatCategory::Audio, "m4a", "M4A (MPEG-4 audio)", "ipod", nullptr, 1, {}, {7, 3},
     {0, "", "", 0, 0, 0, 0, 0, -1, 0, -1.0, 1, "aac", 0, -1, 0, 2, 0, 0, 100}},
    {1110, FormatCategory::Audio, "m4b", "M4B (MPEG-4 audiobook)", "ipod", nullptr, 1, {}, {7, 3},
     {0, "", "", 0, 0, 0, 0, 0, -1, 0, -1.0, 1, "aac", 0, -1, 0, 2, 0, 0, 100}},
    {1120, FormatCategory::Audio, "m4r", "M4R (iPhone ringtone)", "ipod", nullptr, 1, {}, {7, 3},
     {0, "", "", 0, 0, 0, 0, 0, -1, 0, -1.0, 1, "aac", 0, -1, 0, 2, 0, 0, 100}},
    {1130, FormatCategory::Audio, "mka", nullptr, "matroska", nullptr, 0, {}, {7, 4, 3, 6, 5, 15, 10, 11, 46, 16, 17, 19, 20, 21, 22, 47, 13, 45},
     {0, "", "", 0, 0, 0, 0, 0, -1, 0, -1.0, 1, "libvorbis", 0, 5, 0, 5, 0, 0, 100}},
    {1140, FormatCategory::Audio, "mmf", nullptr, nullptr, nullptr, 0, {}, {33},
     {0, "", "", 0, 0, 0, 0, 0, -1, 0, -1.0, 1, "adpcm_yamaha", 0, -1, 0, -1, 0, 0, 100}},
    {1150, FormatCategory::Audio, "mp2", nullptr, nullptr, nullptr, 0, {}, {10},
     {0, "", "", 0, 0, 0, 0, 0, -1, 0, -1.0, 1, "mp2", 0, -1, 0, -1, 0, 0, 100}},
    {1160, FormatCategory::Audio, "mp3", nullptr, nullptr, nullptr, 0, {}, {11},
     {0, "", "", 0, 0, 0, 0, 0, -1, 0, -1.0, 1, "libmp3lame", 0, 5, 0, -1, 0, 0, 100}},
    {1170, FormatCategory::Audio, "mpa", nullptr, "mpeg", nullptr, 0, {}, {10, 11},
     {0, "", "", 0, 0, 0, 0, 0, -1, 0, -1.0, 1, "mp2", 0, 5, 0, -1, 0, 0, 100}},
    {1175, FormatCategory::Audio, "ulw", "mu-Law", "mulaw", nullptr, 0, {}, {26},
     {0, "", "", 0, 0, 0, 0, 0, -1, 0, -1.0, 1, "pcm_mulaw", 0, -1, 0, -1, 8000, 1, 100}},
    {1180, FormatCategory::Audio, "ogg", "OGG (OGG Audio)", nullptr, nullptr, 0, {}, {15, 46, 14, 13},
     {0, "", "", 0, 0, 0, 0, 0, -1, 0, -1.0, 1, "libvorbis", 0, 5, 0, 5, 0, 0, 100}},
    {1182, FormatCategory::Audio, "opus", "Opus", nullptr, nullptr, 0, {}, {46},
     {0, "", "", 0, 0, 0, 0, 0, -1, 0, -1.0, 1, "libopus", 0, -1, 0, -1, 0, 0, 100}},
    {1185, FormatCategory::Audio, "spx", "SPX (Speex)", nullptr, nullptr, 0, {}, {14},
     {0, "", "", 0, 0, 0, 0, 0, -1, 0, -1.0, 1, "libspeex", 14000, -1, 0, -1, 16000, 1, 100}},
    {1190, FormatCategory::Audio, "voc", nullptr, nullptr, nullptr, 0, {}, {23, 25, 16, 17},
     {0, "", "", 0, 0, 0, 0, 0, -1, 0, -1.0, 1, "pcm_u8", 0, -1, 0, -1, 0, 0, 100}},
    {1200, FormatCategory::Audio, "wav", nullptr, nullptr, nullptr, 0, {}, {7, 4, 1, 2, 23, 25, 6, 5, 15, 30, 31, 29, 28, 27, 41, 10, 11, 16, 17, 19, 20, 21, 22, 14, 13, 43, 44, 32},
     {0, "", "", 0, 0, 0, 0, 0, -1, 0, -1.0, 1, "pcm_s16le", 0, 5, 0, 5, 0, 0, 100}},
    {1210, FormatCategory::Audio, "wma", nullptr, nullptr, nullptr, 0, {}, {43, 44},
     {0, "", "", 0, 0, 0, 0, 0, -1, 0, -1.0, 1, "wmav2", 0, -1, 0, -1, 0, 0, 100}},
    {1220, FormatCategory::Audio, "wv", "WV (WavPack Lossless)", nullptr, nullptr, 0, {}, {45},
     {0, "", "", 0, 0, 0, 0, 0, -1, 0, -1.0, 1, "wavpack", 0, -1, 0, 0, 0, 0, 100}},
};
// clang-format on

// The formats whose id stands for a way of making them.
const struct {
    int id;
    FixedTarget fixedTarget;
    bool usesTheoraTool;
} kSpecialFormats[] = {
    {60, FixedTarget::Dv, false},   {65, FixedTarget::Dvd, false},  {180, FixedTarget::Vcd, false},
    {135, FixedTarget::None, true}, {145, FixedTarget::None, true}, {155, FixedTarget::None, true},
};

QString OptionalText(const char* text) {
    return text ? QString::fromLatin1(text) : QString();
}

std::unique_ptr<OutputFormat> MakeFormat(const FormatRow& row) {
    auto format = std::make_unique<OutputFormat>();
    static_cast<FormatParameters&>(*format) = row.defaults;
    format->id = row.id;
    format->category = row.category;
    format->extension = QString::fromLatin1(row.extension);
    format->displayName = OptionalText(row.displayName);
    format->muxer = OptionalText(row.muxer);
    format->settingsKey = OptionalText(row.settingsKey);
    format->fastStart = row.fastStart;
    for (const auto& special : kSpecialFormats) {
        if (special.id == row.id) {
            format->fixedTarget = special.fixedTarget;
            format->usesTheoraTool = special.usesTheoraTool;
        }
    }
    for (const std::uint8_t entry : row.videoCodecs) {
        if (entry == 0)
            break;
        format->videoCodecs.push_back(&kVideoCodecs[entry - 1]);
    }
    for (const std::uint8_t entry : row.audioCodecs) {
        if (entry == 0)
            break;
        format->audioCodecs.push_back(&kAudioCodecs[entry - 1]);
    }
    return format;
}

} // namespace

QString OutputFormat::SettingsPrefix() const {
    return (settingsKey.isEmpty() ? extension : settingsKey).toUpper();
}

const VideoCodecInfo* OutputFormat::FindVideoCodec(const QString& name) const {
    for (const VideoCodecInfo* codec : videoCodecs)
        if (name == QLatin1StringView(codec->name))
            return codec;
    return nullptr;
}

const AudioCodecInfo* OutputFormat::FindAudioCodec(const QString& name) const {
    for (const AudioCodecInfo* codec : audioCodecs)
        if (name == QLatin1StringView(codec->name))
            return codec;
    return nullptr;
}

QString OutputFormat::ChooserText() const {
    return QStringLiteral(" to") + ListText();
}

QString OutputFormat::ListText() const {
    if (displayName.isEmpty())
        return u' ' + extension.toUpper();
    return QStringLiteral(" %1 (*.%2)").arg(displayName, extension);
}

FormatCatalog::FormatCatalog() {
    formats_.reserve(std::size(kFormatRows));
    for (const FormatRow& row : kFormatRows)
        formats_.push_back(MakeFormat(row));
}

void FormatCatalog::CopyParametersFrom(const FormatCatalog& other) {
    // Both catalogues hold the same fixed list, so formats pair up by position.
    for (std::size_t i = 0; i < formats_.size(); ++i)
        static_cast<FormatParameters&>(*formats_[i]) = *other.formats_[i];
}

OutputFormat* FormatCatalog::FindById(int id) const {
    for (const auto& format : formats_) {
        if (format->id == id)
            return format.get();
    }
    return nullptr;
}

std::vector<OutputFormat*> FormatCatalog::ResolveCustomGroup(const CustomFormat& group) const {
    std::vector<OutputFormat*> resolved;
    for (const int id : group.formatIds) {
        if (OutputFormat* format = FindById(id))
            resolved.push_back(format);
    }
    return resolved;
}
