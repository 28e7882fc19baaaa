#include "engine/source_media.h"

#include <limits>

QString ForcedInputFormat(const QString& extension) {
    // Raw streams carry no container the engine could recognise them by.
    static const struct {
        const char16_t* extensions[3];
        const char* format;
    } kForced[] = {
        {{u"264", u"h264"}, "h264"},
        {{u"263", u"h263"}, "h263"},
        {{u"261", u"h261"}, "h261"},
        {{u"ulw", u"ulaw"}, "mulaw -ar 8k -ac 1"},
        {{u"alw", u"alaw"}, "alaw -ar 8k -ac 1"},
        {{u"mjpg", u"mjpeg"}, "mjpeg"},
        {{u"hevc", u"265", u"h265"}, "hevc"},
        {{u"722", u"g722"}, "g722 -ar 7k -ac 1"},
        {{u"723_1", u"g723_1"}, "g723_1 -ar 8k -ac 1"},
        {{u"729", u"g729"}, "g729 -ar 8k -ac 1"},
    };
    for (const auto& entry : kForced) {
        for (const char16_t* known : entry.extensions) {
            if (known && extension == QStringView(known))
                return QString::fromLatin1(entry.format);
        }
    }
    return {};
}

int RaiseToEven(int value) {
    return value % 2 != 0 && value < std::numeric_limits<int>::max() ? value + 1 : value;
}
