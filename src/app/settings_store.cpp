#include "app/settings_store.h"

#include "app/text_numbers.h"
#include "platform/folders.h"
#include "platform/shell.h"

#include <QDir>
#include <QtEndian>
#include <algorithm>
#include <cmath>
#include <variant>

namespace {

const QString kOptionsGroup = QStringLiteral("Options");
const QString kCustomFormatsGroup = QStringLiteral("CustomOutFormats");
const QString kFirstRunValue = QStringLiteral("FirstRun");
const QString kHelpFileName = QStringLiteral("tessaline.html");

using SettingsMember = std::variant<int ConvertSettings::*, QString ConvertSettings::*>;

struct SettingsField {
    const char* name;
    SettingsMember member;
    int group;
};

// Every stored settings value, each group in the order it is written.
const SettingsField kSettingsFields[] = {
    {"ConversionPriority", &ConvertSettings::ConversionPriority, kSettingsGeneralState},
    {"ConversionThreads", &ConvertSettings::ConversionThreads, kSettingsGeneralState},
    {"OutputFormat", &ConvertSettings::SelectedFormat, kSettingsGeneralState},
    {"OptStartPageIndex", &ConvertSettings::OptStartPageIndex, kSettingsGeneralState},
    {"LastAddFileDir", &ConvertSettings::LastAddFileDir, kSettingsGeneralState},
    {"Folder", &ConvertSettings::Folder, kSettingsGeneralState},
    {"DVDFolder", &ConvertSettings::DVDFolder, kSettingsGeneralState},
    {"DestOutputFolderOpt", &ConvertSettings::DestOutputFolderOpt, kSettingsOptions},
    {"DestSpecifiedFolder", &ConvertSettings::DestSpecifiedFolder, kSettingsOptions},
    {"CreateDirs", &ConvertSettings::CreateDirs, kSettingsOptions},
    {"CreateFolderForEachSource", &ConvertSettings::CreateFolderForEachSource, kSettingsOptions},
    {"BrowseOutputFolder", &ConvertSettings::BrowseOutputFolder, kSettingsOptions},
    {"OutputFiles2MyDocuments", &ConvertSettings::OutputFiles2MyDocuments, kSettingsOptions},
    {"TargetExistsOpt", &ConvertSettings::TargetExistsOpt, kSettingsOptions},
    {"KeepDateCreated", &ConvertSettings::KeepDateCreated, kSettingsOptions},
    {"KeepDateModified", &ConvertSettings::KeepDateModified, kSettingsOptions},
    {"KeepID3Tag", &ConvertSettings::KeepID3Tag, kSettingsOptions},
    {"FixAudioUnsync", &ConvertSettings::FixAudioUnsync, kSettingsOptions},
    {"NormalizeFile", &ConvertSettings::NormalizeFile, kSettingsOptions},
    {"EnableExtFilter", &ConvertSettings::EnableExtFilter, kSettingsOptions},
    {"FilterExts", &ConvertSettings::FilterExts, kSettingsOptions},
    {"EnableSkipLength", &ConvertSettings::EnableSkipLength, kSettingsOptions},
    {"SkipLength", &ConvertSettings::SkipLength, kSettingsOptions},
    {"EnableConvertLength", &ConvertSettings::EnableConvertLength, kSettingsOptions},
    {"ConvertLength", &ConvertSettings::ConvertLength, kSettingsOptions},
    {"EnableIgnoreTheLast", &ConvertSettings::EnableIgnoreTheLast, kSettingsOptions},
    {"IgnoreLength", &ConvertSettings::IgnoreLength, kSettingsOptions},
    {"RequestAudioIndex", &ConvertSettings::RequestAudioIndex, kSettingsOptions},
    {"VideoDeinterlace", &ConvertSettings::VideoDeinterlace, kSettingsOptions},
    {"RotateFlip", &ConvertSettings::RotateFlip, kSettingsOptions},
    {"CropPictures", &ConvertSettings::CropPictures, kSettingsOptions},
    {"CropLeft", &ConvertSettings::CropLeft, kSettingsOptions},
    {"CropRight", &ConvertSettings::CropRight, kSettingsOptions},
    {"CropTop", &ConvertSettings::CropTop, kSettingsOptions},
    {"CropBottom", &ConvertSettings::CropBottom, kSettingsOptions},
    {"CropSameAsLeft", &ConvertSettings::CropSameAsLeft, kSettingsOptions},
    {"CropSameAsTop", &ConvertSettings::CropSameAsTop, kSettingsOptions},
};

using ParameterMember =
    std::variant<int FormatParameters::*, QString FormatParameters::*, double FormatParameters::*>;

struct ParameterField {
    const char* suffix;
    ParameterMember member;
    bool video; // stored when the format has video codecs; else when it has audio codecs
};

const ParameterField kParameterFields[] = {
    {"VideoEnable", &FormatParameters::VideoEnable, true},
    {"VideoCodec", &FormatParameters::VideoCodec, true},
    {"VideoAspect", &FormatParameters::VideoAspect, true},
    {"VideoWidth", &FormatParameters::VideoWidth, true},
    {"VideoHeight", &FormatParameters::VideoHeight, true},
    {"VideoKeepAspect", &FormatParameters::VideoKeepAspect, true},
    {"AddPadding", &FormatParameters::AddPadding, true},
    {"VideoBitRate", &FormatParameters::VideoBitRate, true},
    {"VideoVBRQuality", &FormatParameters::VideoVBRQuality, true},
    {"VideoVBREnabled", &FormatParameters::VideoVBREnabled, true},
    {"VideoFrameRate", &FormatParameters::VideoFrameRate, true},
    {"AudioEnable", &FormatParameters::AudioEnable, false},
    {"AudioCodec", &FormatParameters::AudioCodec, false},
    {"AudioBitRate", &FormatParameters::AudioBitRate, false},
    {"AudioVBRQuality", &FormatParameters::AudioVBRQuality, false},
    {"AudioVBREnabled", &FormatParameters::AudioVBREnabled, false},
    {"AudioCompressionLevel", &FormatParameters::AudioCompressionLevel, false},
    {"AudioSampleRate", &FormatParameters::AudioSampleRate, false},
    {"AudioChannels", &FormatParameters::AudioChannels, false},
    {"AudioVolume", &FormatParameters::AudioVolume, false},
};

bool StoresField(const OutputFormat& format, const ParameterField& field) {
    return field.video ? format.HasVideoCodecs() : format.HasAudioCodecs();
}

// Stored values of the wrong kind (a hand-edited file) are ignored like missing ones.
void ReadValue(const QVariant& value, int* field) {
    bool ok = false;
    const int number = value.toString().toInt(&ok);
    if (value.isValid() && ok)
        *field = number;
}

void ReadValue(const QVariant& value, QString* field) {
    if (value.typeId() == QMetaType::QString)
        *field = value.toString();
    else if (value.typeId() == QMetaType::QStringList) // an unquoted text with commas
        *field = value.toStringList().join(u',');
}

// Eight bytes can hold "not a number" or an endless value, which no frame rate is.
void ReadValue(const QVariant& value, double* field) {
    const QByteArray bytes = value.toByteArray();
    if (value.typeId() != QMetaType::QByteArray || bytes.size() != sizeof(double))
        return;
    const double number = qFromLittleEndian<double>(bytes.constData());
    if (std::isfinite(number))
        *field = number;
}

QVariant StoredForm(int value) {
    return value;
}
QVariant StoredForm(const QString& value) {
    return value;
}
QVariant StoredForm(double value) {
    QByteArray bytes(sizeof(double), '\0');
    qToLittleEndian(value, bytes.data());
    return bytes;
}

bool ParseValue(const QString& text, int* field) {
    bool ok = false;
    const int number = text.toInt(&ok);
    if (ok)
        *field = number;
    return ok;
}
bool ParseValue(const QString& text, QString* field) {
    *field = text;
    return true;
}
bool ParseValue(const QString& text, double* field) {
    bool ok = false;
    const double number = text.toDouble(&ok);
    ok = ok && std::isfinite(number);
    if (ok)
        *field = number;
    return ok;
}

// Corrections every loaded or overridden record gets.
void CorrectLoadedSettings(ConvertSettings& settings) {
    settings.RebuildExtensionFilter();
    settings.ConversionThreads =
        std::clamp(settings.ConversionThreads, kMinConversionThreads, kMaxConversionThreads);
    for (int* margin :
         {&settings.CropLeft, &settings.CropRight, &settings.CropTop, &settings.CropBottom})
        *margin = CorrectCropMargin(*margin);
    // A relative output folder means one below the current folder, as typed; the
    // engine runs in the program folder and would read it against that.
    if (!settings.DestSpecifiedFolder.isEmpty())
        settings.DestSpecifiedFolder =
            QDir::current().absoluteFilePath(settings.DestSpecifiedFolder);
}

bool IsCodecField(const ParameterField& field) {
    return field.member == ParameterMember(&FormatParameters::VideoCodec) ||
           field.member == ParameterMember(&FormatParameters::AudioCodec);
}

// Whether the format offers a codec of that name for the codec field; any other
// name would leave the stream out of every output.
bool OffersCodec(const OutputFormat& format, const ParameterField& field, const QString& name) {
    return field.member == ParameterMember(&FormatParameters::VideoCodec)
               ? format.FindVideoCodec(name) != nullptr
               : format.FindAudioCodec(name) != nullptr;
}

QString OfferedCodecNames(const OutputFormat& format, const ParameterField& field) {
    QStringList names;
    if (field.member == ParameterMember(&FormatParameters::VideoCodec)) {
        for (const VideoCodecInfo* codec : format.videoCodecs)
            names << QLatin1String(codec->name);
    } else {
        for (const AudioCodecInfo* codec : format.audioCodecs)
            names << QLatin1String(codec->name);
    }
    return names.join(QStringLiteral(", "));
}

// A stored codec name the format does not offer (a hand-edited file, a typing
// error) keeps the value it had before loading.
void KeepOfferedCodecs(OutputFormat& format, const FormatParameters& before) {
    for (const ParameterField& field : kParameterFields) {
        if (!IsCodecField(field) || !StoresField(format, field))
            continue;
        auto member = std::get<QString FormatParameters::*>(field.member);
        if (!OffersCodec(format, field, format.*member))
            format.*member = before.*member;
    }
}

// Streams that no longer ship under their old names load as the built-in encoder.
void ReplaceRetiredAudioCodec(FormatParameters& parameters) {
    if (parameters.AudioCodec == u"libfaac" || parameters.AudioCodec == u"libvo_aacenc")
        parameters.AudioCodec = QStringLiteral("aac");
}

QString GroupNameKey(int k) {
    return QStringLiteral("COF%1Name").arg(k);
}
QString GroupIdsKey(int k) {
    return QStringLiteral("COF%1FIDs").arg(k);
}

} // namespace

SettingsStore::SettingsStore()
    : store_(QStringLiteral("Quillmore 3"), QStringLiteral("Quillmore")) {}

void SettingsStore::LoadSettings(ConvertSettings& settings, FormatCatalog& catalog) {
    store_.beginGroup(kOptionsGroup);
    for (const SettingsField& field : kSettingsFields) {
        const QVariant value = store_.value(QLatin1String(field.name));
        std::visit([&](auto member) { ReadValue(value, &(settings.*member)); }, field.member);
    }
    CorrectLoadedSettings(settings);

    for (const auto& format : catalog.formats()) {
        const QString prefix = format->SettingsPrefix();
        const FormatParameters before = *format;
        for (const ParameterField& field : kParameterFields) {
            if (!StoresField(*format, field))
                continue;
            const QVariant value = store_.value(prefix + QLatin1String(field.suffix));
            std::visit([&](auto member) { ReadValue(value, &((*format).*member)); }, field.member);
        }
        ReplaceRetiredAudioCodec(*format);
        KeepOfferedCodecs(*format, before);
    }
    store_.endGroup();
}

void SettingsStore::SaveSettings(int groups, const ConvertSettings& settings,
                                 const FormatCatalog& catalog) {
    if (!(groups & (kSettingsGeneralState | kSettingsOptions)))
        return;
    store_.beginGroup(kOptionsGroup);
    for (const SettingsField& field : kSettingsFields) {
        if (!(groups & field.group))
            continue;
        std::visit(
            [&](auto member) {
                store_.setValue(QLatin1String(field.name), StoredForm(settings.*member));
            },
            field.member);
    }
    if (groups & kSettingsOptions) {
        for (const auto& format : catalog.formats()) {
            const QString prefix = format->SettingsPrefix();
            for (const ParameterField& field : kParameterFields) {
                if (!StoresField(*format, field))
                    continue;
                std::visit(
                    [&](auto member) {
                        store_.setValue(prefix + QLatin1String(field.suffix),
                                        StoredForm((*format).*member));
                    },
                    field.member);
            }
        }
    }
    store_.endGroup();
    store_.sync();
}

std::vector<int> ParseFormatIds(const QString& text) {
    std::vector<int> ids;
    qsizetype start = 0;
    while (true) {
        ids.push_back(LeadingInt(QStringView(text).sliced(start)));
        const qsizetype comma = text.indexOf(u',', start);
        if (comma < 0 || comma + 1 >= text.size())
            break;
        start = comma + 1;
    }
    return ids;
}

void SettingsStore::LoadCustomFormats(std::vector<CustomFormat>& groups) {
    groups.clear();
    store_.beginGroup(kCustomFormatsGroup);
    for (int k = 1;; ++k) {
        const QString name = store_.value(GroupNameKey(k)).toString();
        if (name.isEmpty())
            break;
        const QString ids = store_.value(GroupIdsKey(k)).toString();
        if (!ids.isEmpty())
            groups.push_back({name, ParseFormatIds(ids)});
    }
    store_.endGroup();
}

void SettingsStore::SaveCustomFormats(const std::vector<CustomFormat>& groups) {
    store_.remove(kCustomFormatsGroup);
    store_.beginGroup(kCustomFormatsGroup);
    int k = 1;
    for (const CustomFormat& group : groups) {
        QString ids;
        for (const int id : group.formatIds)
            ids += QString::number(id) + u',';
        store_.setValue(GroupNameKey(k), group.name);
        store_.setValue(GroupIdsKey(k), ids);
        ++k;
    }
    store_.endGroup();
    store_.sync();
}

void SettingsStore::CheckFirstRun(platform::Shell& shell) {
    store_.beginGroup(kOptionsGroup);
    int firstRun = 1;
    ReadValue(store_.value(kFirstRunValue), &firstRun);
    if (firstRun != 0)
        store_.setValue(kFirstRunValue, 0);
    store_.endGroup();
    store_.sync();

    QString programDir;
    if (firstRun != 0 && platform::GetModuleDir(&programDir))
        shell.Open(programDir + kHelpFileName);
}

bool SettingsStore::LoadRecentList(const QString& name, QStringList* entries) {
    entries->clear();
    if (!store_.childGroups().contains(name))
        return false;
    store_.beginGroup(name);
    for (int i = 0; i < kMaxRecentEntries; ++i) {
        const QString entry = store_.value(QString::number(i)).toString();
        if (entry.isEmpty())
            break;
        entries->append(entry);
    }
    store_.endGroup();
    return true;
}

void SettingsStore::AddRecentEntry(const QString& name, const QString& text, QStringList* entries) {
    if (text.isEmpty())
        return;
    const qsizetype found = entries->indexOf(text);
    if (found == 0)
        return;
    if (found > 0)
        entries->removeAt(found);
    entries->prepend(text);

    store_.remove(name);
    store_.beginGroup(name);
    int i = 0;
    for (const QString& entry : std::as_const(*entries)) {
        if (!entry.isEmpty())
            store_.setValue(QString::number(i++), entry);
    }
    store_.endGroup();
    store_.sync();
}

bool SettingsStore::SetValueByName(const QString& name, const QString& value,
                                   ConvertSettings& settings, FormatCatalog& catalog,
                                   QString* message) {
    bool known = false;
    bool parsed = true;
    for (const SettingsField& field : kSettingsFields) {
        if (name == QLatin1String(field.name)) {
            known = true;
            parsed = std::visit([&](auto member) { return ParseValue(value, &(settings.*member)); },
                                field.member);
        }
    }
    if (known && parsed)
        CorrectLoadedSettings(settings);

    for (const auto& format : catalog.formats()) {
        const QString prefix = format->SettingsPrefix();
        for (const ParameterField& field : kParameterFields) {
            if (!StoresField(*format, field) || name != prefix + QLatin1String(field.suffix))
                continue;
            known = true;
            if (IsCodecField(field) && !OffersCodec(*format, field, value)) {
                *message = QStringLiteral("\"%1\" is not a codec of %2; it takes one of: %3.")
                               .arg(value, name, OfferedCodecNames(*format, field));
                return false;
            }
            parsed = std::visit(
                [&](auto member) { return ParseValue(value, &((*format).*member)); }, field.member);
        }
    }

    if (!known)
        *message = QStringLiteral("Unknown setting \"%1\".").arg(name);
    else if (!parsed)
        *message = QStringLiteral("\"%1\" is not a valid value for %2.").arg(value, name);
    return known && parsed;
}
