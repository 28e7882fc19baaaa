// Codec tables of the output formats: codecs, option lists and limits.
#include "app/codec_tables.h"

namespace {

constexpr int kB1[] = {4750, 5150, 5900, 6700, 7400, 7950, 10200, 12200, -1};
constexpr int kB2[] = {6600, 8850, 12650, 14250, 15850, 18250, 19850, 23050, 23850, -1};
constexpr int kB3[] = {0, 1, 2, -1};
constexpr int kB4[] = {32000,  40000,  48000,  56000,  64000,  80000,  96000,
                       112000, 128000, 160000, 192000, 224000, 256000, 320000,
                       384000, 448000, 512000, 576000, 640000, -1};
constexpr int kB5[] = {16000,  24000,  32000,  40000,  48000,  56000,  64000,
                       80000,  96000,  112000, 128000, 144000, 160000, 192000,
                       224000, 256000, 320000, 384000, 448000, 512000, -1};
constexpr int kB6[] = {96000, 112000, 128000, 144000, 160000, 192000, -1};
constexpr int kB7[] = {8000,   16000,  24000,  32000,  40000,  48000,  56000,  64000,  80000, 96000,
                       112000, 128000, 144000, 160000, 192000, 224000, 256000, 320000, -1};
constexpr int kB8[] = {8000,   16000,  24000,  32000,  40000,  48000,  56000,
                       64000,  80000,  96000,  112000, 128000, 144000, 160000,
                       192000, 224000, 256000, 320000, 400000, 480000, -1};
constexpr int kB9[] = {2000,  4000,  7000,  9000,  11000, 14000, 18000,
                       22000, 25000, 29000, 36000, 44000, -1};
constexpr int kB10[] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, -1};
constexpr int kB11[] = {2, 3, 4, 5, -1};
constexpr int kB12[] = {6300, -1};
constexpr int kB13[] = {13000, -1};
constexpr int kB14[] = {8000,  12000,  16000,  20000,  32000,  40000,  48000,  64000,  80000,
                        96000, 128000, 160000, 192000, 256000, 320000, 384000, 440000, -1};
constexpr int kB15[] = {0, 1, 2, 3, 4, -1};
constexpr int kB16[] = {6000,   8000,   12000,  16000,  24000,  32000,  40000,  48000,
                        56000,  64000,  80000,  96000,  112000, 128000, 144000, 160000,
                        192000, 224000, 256000, 320000, 384000, 448000, 512000, -1};
constexpr double kF1[] = {25.0, 29.97, -1.0};
constexpr double kF2[] = {5.0,  8.0,  10.0,  12.0, 15.0, 20.0, 23.97,
                          24.0, 25.0, 29.97, 30.0, 50.0, 60.0, -1.0};
constexpr double kF3[] = {8.0, 10.0, 11.0, 12.0, 15.0, 20.0, 23.97, 24.0, 25.0, 29.97, 30.0, -1.0};
constexpr double kF4[] = {23.97, 25.0, 29.97, -1.0};
constexpr double kF5[] = {0.1,  0.2,  0.3,  0.4,  0.5,   0.8,  1.0,  2.0,   3.0,  4.0,  5.0,  8.0,
                          10.0, 12.0, 15.0, 20.0, 23.97, 24.0, 25.0, 29.97, 30.0, 50.0, 60.0, -1.0};
constexpr int kK1[] = {96000,   128000,   160000,   192000,   256000,   320000,   384000,
                       448000,  512000,   640000,   768000,   800000,   900000,   1000000,
                       1200000, 1500000,  1800000,  2000000,  2200000,  2500000,  2800000,
                       3000000, 3500000,  4000000,  5000000,  6000000,  7000000,  8000000,
                       9000000, 10000000, 12000000, 15000000, 18000000, 20000000, -1};
constexpr int kK2[] = {1150000, -1};
constexpr int kR1[] = {8000, -1};
constexpr int kR2[] = {16000, -1};
constexpr int kR3[] = {8000,  11025, 12000, 16000, 22050,  24000,  32000,
                       44100, 48000, 88200, 96000, 176400, 192000, -1};
constexpr int kR4[] = {32000, 44100, 48000, -1};
constexpr int kR5[] = {8000, 11025, 12000, 16000, 22050, 24000, 32000, 44100, 48000, -1};
constexpr int kR6[] = {8000,  11025, 12000, 16000, 22050, 24000,
                       32000, 44100, 48000, 88200, 96000, -1};
constexpr int kR7[] = {44100, -1};
constexpr int kR8[] = {16000, 22050, 24000, 32000, 44100, 48000, -1};
constexpr int kR9[] = {11025, 22050, 44100, -1};
constexpr int kR10[] = {8000, 16000, 32000, -1};
constexpr int kR11[] = {8000,  16000, 22050, 24000,  32000,  44100,
                        48000, 88200, 96000, 176400, 192000, -1};
constexpr int kR12[] = {6000,  8000,  11025, 12000, 16000,  22050,  24000, 32000,
                        44100, 48000, 88200, 96000, 176400, 192000, -1};
constexpr int kR13[] = {48000, -1};
constexpr int kR14[] = {7000, -1};
constexpr int kR15[] = {4000, 8000, 11025, 22050, 44100, -1};
constexpr int kR16[] = {8000, 11025, 16000, 22050, 32000, 44100, 48000, 88200, 96000, -1};
constexpr int kR17[] = {8000, 12000, 16000, 24000, 48000, -1};
constexpr VideoSize kS1[] = {{-1, -1}, {720, 480}, {720, 576}, {0, 0}};
constexpr VideoSize kS2[] = {{128, 96},    {176, 144},   {240, 160},   {320, 240},   {352, 288},
                             {480, 320},   {640, 360},   {640, 480},   {704, 576},   {720, 480},
                             {720, 576},   {800, 480},   {800, 600},   {960, 540},   {1024, 576},
                             {1024, 768},  {1280, 720},  {1280, 1024}, {1366, 768},  {1408, 1152},
                             {1440, 900},  {1600, 900},  {1600, 1200}, {1920, 1080}, {1920, 1200},
                             {2048, 1152}, {2560, 1440}, {3200, 1800}, {3840, 2160}, {4096, 2304},
                             {0, 0}};
constexpr VideoSize kS3[] = {{-1, -1}, {176, 144}, {352, 288}, {0, 0}};
constexpr VideoSize kS4[] = {{-1, -1},   {128, 96},    {176, 144}, {352, 288},
                             {704, 576}, {1408, 1152}, {0, 0}};
constexpr VideoSize kS5[] = {{128, 96},   {176, 144},   {240, 160},   {320, 240},   {352, 288},
                             {480, 320},  {640, 360},   {640, 480},   {704, 576},   {720, 480},
                             {800, 480},  {800, 600},   {960, 540},   {1024, 576},  {1024, 768},
                             {1280, 720}, {1280, 1024}, {1366, 768},  {1408, 1152}, {1440, 900},
                             {1600, 900}, {1600, 1200}, {1920, 1080}, {0, 0}};
constexpr VideoSize kS6[] = {{-1, -1}, {352, 240}, {352, 288}, {0, 0}};
constexpr VideoSize kS7[] = {{240, 160}, {320, 240}, {480, 320}, {640, 360}, {640, 480}, {0, 0}};

} // namespace

const AudioCodecInfo kAudioCodecs[kAudioCodecCount] = {
    {"libopencore_amrnb", "AMR-NB (Adaptive Multi-Rate Narrow-Band)", 1, kR1, kB1, -1, -1, 1}, // A1
    {"libvo_amrwbenc", "AMR-WB (Adaptive Multi-Rate Wide-Band)", 1, kR2, kB2, -1, -1, 1},      // A2
    {"alac", "ALAC (Apple Lossless Audio Codec)", 4, kR3, kB3, -1, -1, 2},                     // A3
    {"ac3", "AC-3 (Dolby Digital)", 1, kR4, kB4, -1, -1, 63},                                  // A4
    {"eac3", "Enhanced AC-3 (Dolby Digital Plus)", 1, kR4, kB4, -1, -1, 63},                   // A5
    {"dca", "DTS Coherent Acoustics", 0, kR5, nullptr, -1, -1, 3},                             // A6
    {"aac", "AAC (Advanced Audio Codec)", 1, kR6, kB5, -1, -1, 63},                            // A7
    {"aac", "AAC (Advanced Audio Codec)", 1, kR6, kB5, -1, -1, 3},                             // A8
    {"aac", "AAC (Advanced Audio Codec)", 1, kR7, kB6, -1, -1, 2},                             // A9
    {"mp2", "MP2 (MPEG audio layer 2)", 1, kR8, kB7, -1, -1, 3},              // A10
    {"libmp3lame", "MP3 (MPEG audio layer 3)", 3, kR5, kB7, 0, 10, 3},        // A11
    {"libmp3lame", "MP3 (MPEG audio layer 3)", 3, kR9, kB7, 0, 10, 3},        // A12
    {"libvorbis", "Vorbis", 3, kR6, kB8, 0, 10, 255},                         // A13
    {"libspeex", "Speex", 1, kR10, kB9, -1, -1, 3},                           // A14
    {"flac", "FLAC (Free Lossless Audio Codec)", 4, kR11, kB10, -1, -1, 255}, // A15
    {"pcm_u8", "PCM 8-bit", 0, kR12, nullptr, -1, -1, 255},                   // A16
    {"pcm_s16le", "PCM 16-bit", 0, kR12, nullptr, -1, -1, 255},               // A17
    {"pcm_s16le", "PCM 16-bit", 0, kR13, nullptr, -1, -1, 255},               // A18
    {"pcm_s24le", "PCM 24-bit", 0, kR12, nullptr, -1, -1, 255},               // A19
    {"pcm_s32le", "PCM 32-bit", 0, kR12, nullptr, -1, -1, 255},               // A20
    {"pcm_f32le", "PCM 32-bit Float", 0, kR12, nullptr, -1, -1, 3},           // A21
    {"pcm_f64le", "PCM 64-bit Float", 0, kR12, nullptr, -1, -1, 3},           // A22
    {"pcm_alaw", "CCITT A-Law (8-bit)", 0, kR12, nullptr, -1, -1, 3},         // A23
    {"pcm_alaw", "CCITT A-Law (8-bit)", 0, kR1, nullptr, -1, -1, 1},          // A24
    {"pcm_mulaw", "CCITT mu-Law (8-bit)", 0, kR12, nullptr, -1, -1, 3},       // A25
    {"pcm_mulaw", "CCITT mu-Law (8-bit)", 0, kR1, nullptr, -1, -1, 1},        // A26
    {"adpcm_ms", "Microsoft ADPCM (4-bit)", 0, kR12, nullptr, -1, -1, 3},     // A27
    {"adpcm_ima_wav", "IMA ADPCM (4-bit)", 0, kR12, nullptr, -1, -1, 3},      // A28
    {"g726", "G.726 ADPCM", 1, kR1, kB11, -1, -1, 1},                         // A29
    {"g722", "G.722 ADPCM", 0, kR14, nullptr, -1, -1, 1},                     // A30
    {"g723_1", "G.723.1", 1, kR1, kB12, -1, -1, 1},                           // A31
    {"adpcm_yamaha", "Yamaha ADPCM (4-bit)", 0, kR12, nullptr, -1, -1, 3},    // A32
    {"adpcm_yamaha", "Yamaha ADPCM (4-bit)", 0, kR15, nullptr, -1, -1, 1},    // A33
    {"pcm_s8", "PCM 8-bit", 0, kR12, nullptr, -1, -1, 255},                   // A34
    {"pcm_s16be", "PCM 16-bit", 0, kR12, nullptr, -1, -1, 255},               // A35
    {"pcm_s24be", "PCM 24-bit", 0, kR12, nullptr, -1, -1, 255},               // A36
    {"pcm_s32be", "PCM 32-bit", 0, kR12, nullptr, -1, -1, 255},               // A37
    {"pcm_f32be", "PCM 32-bit Float", 0, kR12, nullptr, -1, -1, 3},           // A38
    {"pcm_f64be", "PCM 64-bit Float", 0, kR12, nullptr, -1, -1, 3},           // A39
    {"adpcm_ima_qt", "IMA ADPCM (4-bit)", 0, kR12, nullptr, -1, -1, 3},       // A40
    {"libgsm_ms", "Microsoft GSM", 1, kR1, kB13, -1, -1, 1},                  // A41
    {"libgsm", "GSM", 1, kR1, kB13, -1, -1, 1},                               // A42
    {"wmav1", "Windows Media Audio 1", 1, kR16, kB14, -1, -1, 3},             // A43
    {"wmav2", "Windows Media Audio 2", 1, kR16, kB14, -1, -1, 3},             // A44
    {"wavpack", "WavPack Lossless", 4, kR12, kB15, -1, -1, 255},              // A45
    {"libopus", "Opus", 1, kR17, kB16, -1, -1, 255},                          // A46
    {"tta", "TTA (True Audio Lossless)", 0, kR11, nullptr, -1, -1, 63},       // A47
};

const VideoCodecInfo kVideoCodecs[kVideoCodecCount] = {
    {"dvvideo", "DV Video", kS1, nullptr, -1, -1, kF1},                               // V1
    {"flv", "Flash Video", kS2, kK1, 2, 31, kF2},                                     // V2
    {"h261", "H.261", kS3, kK1, 2, 31, kF3},                                          // V3
    {"h263", "H.263", kS4, kK1, 2, 31, kF3},                                          // V4
    {"h263p", "H.263+", kS2, kK1, 2, 31, kF2},                                        // V5
    {"huffyuv", "HuffYUV", kS2, nullptr, -1, -1, kF2},                                // V6
    {"libtheora", "Theora", kS2, kK1, 10, 0, kF2},                                    // V7
    {"libtheora", "Theora", kS2, nullptr, 10, 1, kF2},                                // V8
    {"libx265", "H.265 HEVC", kS2, kK1, 0, 51, kF2},                                  // V9
    {"libx264", "H.264 AVC (High Profile)", kS2, kK1, 0, 51, kF2},                    // V10
    {"h264mp", "H.264 AVC (Main Profile)", kS2, kK1, 0, 51, kF2},                     // V11
    {"h264bp", "H.264 AVC (Baseline Profile)", kS2, kK1, 0, 51, kF2},                 // V12
    {"libx264", "H.264 AVC (High Profile)", kS5, kK1, 0, 51, kF2},                    // V13
    {"h264mp", "H.264 AVC (Main Profile)", kS5, kK1, 0, 51, kF2},                     // V14
    {"h264bp", "H.264 AVC (Baseline Profile)", kS5, kK1, 0, 51, kF2},                 // V15
    {"libxvid", "Xvid", kS2, kK1, 2, 31, kF2},                                        // V16
    {"mjpeg", "Motion JPEG", kS2, nullptr, 2, 31, kF2},                               // V17
    {"mpeg1video", "MPEG-1", kS2, kK1, 2, 31, kF2},                                   // V18
    {"mpeg1video", "MPEG-1", kS6, kK2, -1, -1, kF4},                                  // V19
    {"mpeg2video", "MPEG-2", kS2, kK1, 2, 31, kF2},                                   // V20
    {"libschroedinger", "Dirac", kS2, kK1, 31, 2, kF2},                               // V21
    {"snow", "Snow", kS2, kK1, 1, 31, kF2},                                           // V22
    {"mpeg2video", "MPEG-2", kS1, kK1, 2, 31, kF1},                                   // V23
    {"prores_ks", "Apple ProRes", kS2, nullptr, 1, 64, kF2},                          // V24
    {"mpeg4", "MPEG-4", kS2, kK1, 2, 31, kF2},                                        // V25
    {"mpeg4", "MPEG-4", kS5, kK1, 2, 31, kF2},                                        // V26
    {"mpeg4", "MPEG-4", kS7, kK1, 2, 31, kF2},                                        // V27
    {"msmpeg4", "MPEG-4 Microsoft Variant Version 3", kS2, kK1, 2, 31, kF2},          // V28
    {"msmpeg4v2", "MPEG-4 Microsoft Variant Version 2", kS2, kK1, 2, 31, kF2},        // V29
    {"rawvideo", "Raw Video", kS2, nullptr, -1, -1, kF2},                             // V30
    {"rv10", "RealVideo 1.0", kS2, kK1, -1, -1, kF2},                                 // V31
    {"rv20", "RealVideo 2.0", kS2, kK1, -1, -1, kF2},                                 // V32
    {"svq1", "Sorenson Vector Quantizer 1", kS2, nullptr, 1, 31, kF2},                // V33
    {"msvideo1", "Microsoft Video-1", kS2, nullptr, -1, -1, kF2},                     // V34
    {"wmv1", "Windows Media Video 7", kS2, kK1, 2, 31, kF2},                          // V35
    {"wmv2", "Windows Media Video 8", kS2, kK1, 2, 31, kF2},                          // V36
    {"zlib", "ZLIB", kS2, nullptr, -1, -1, kF2},                                      // V37
    {"libvpx", "VP8", kS2, kK1, 0, 63, kF2},                                          // V38
    {"libvpx-vp9", "VP9", kS2, kK1, 0, 63, kF2},                                      // V39
    {"png", "PNG Image", kS2, nullptr, -1, -1, kF5},                                  // V40
    {"tiff", "TIFF Image", kS2, nullptr, -1, -1, kF5},                                // V41
    {"bmp", "BMP Image", kS2, nullptr, -1, -1, kF5},                                  // V42
    {"mjpeg", "JPEG Image", kS2, nullptr, 2, 31, kF5},                                // V43
    {"pcx", "PCX Image", kS2, nullptr, -1, -1, kF5},                                  // V44
    {"pgm", "PGM Image", kS2, nullptr, -1, -1, kF5},                                  // V45
    {"ppm", "PPM Image", kS2, nullptr, -1, -1, kF5},                                  // V46
    {"sgi", "SGI Image", kS2, nullptr, -1, -1, kF5},                                  // V47
    {"targa", "Targa Image", kS2, nullptr, -1, -1, kF5},                              // V48
    {"xbm", "XBM (X BitMap) Image", kS2, nullptr, -1, -1, kF5},                       // V49
    {"sunrast", "Sun Rasterfile Image", kS2, nullptr, -1, -1, kF5},                   // V50
    {"alias_pix", "Alias/Wavefront PIX Image", kS2, nullptr, -1, -1, kF5},            // V51
    {"libwebp", "WebP Image", kS2, nullptr, 100, 2, kF5},                             // V52
    {"gif", "GIF (Graphics Interchange Format)", kS2, nullptr, -1, -1, kF5},          // V53
    {"apng", "APNG (Animated Portable Network Graphics)", kS2, nullptr, -1, -1, kF5}, // V54
};
