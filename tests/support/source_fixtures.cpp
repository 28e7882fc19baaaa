#include "support/source_fixtures.h"

#include "support/make_clip.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QtEndian>

namespace {

constexpr int kSectorBytes = 2352;

bool WriteFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// "mm:ss:ff" of a sector count, 75 sectors a second.
QString Msf(int sectors) {
    return QString::asprintf("%02d:%02d:%02d", sectors / 75 / 60, sectors / 75 % 60, sectors % 75);
}

} // namespace

bool RunTool(const QString& program, const QStringList& arguments, const QString& output,
             QString* error, const QStringList& environment) {
    QProcess tool;
    tool.setProcessChannelMode(QProcess::MergedChannels);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const QString& setting : environment)
        env.insert(setting.section(u'=', 0, 0), setting.section(u'=', 1));
    tool.setProcessEnvironment(env);
    tool.start(program, arguments);
    if (!tool.waitForFinished(120000)) {
        *error = program + " did not run: " + tool.errorString();
        return false;
    }
    if (tool.exitCode() != 0 || !QFileInfo::exists(output)) {
        *error = program + ": " + QString::fromLocal8Bit(tool.readAll());
        return false;
    }
    return true;
}

bool MakeDvdFolder(const QString& dir, const std::vector<double>& clipSeconds, QString* error) {
    QString titleSets;
    for (size_t i = 0; i < clipSeconds.size(); ++i) {
        const QString clip = QStringLiteral("title%1.mpg").arg(i + 1);
        if (!MakeClip(dir, clip,
                      {"-f", "lavfi", "-i",
                       "nullsrc=size=352x240:rate=30000/1001,geq=random(1)*255:128:128", "-f",
                       "lavfi", "-i", "sine=sample_rate=48000", "-t",
                       QString::number(clipSeconds[i]), "-target", "ntsc-dvd", "-s", "352x240",
                       "-b:v", "8000k"},
                      error))
            return false;
        titleSets += QStringLiteral("<titleset><titles><pgc><vob file=\"%1\"/></pgc></titles>"
                                    "</titleset>\n")
                         .arg(dir + '/' + clip);
    }
    const QString xml = dir + "/dvd.xml";
    if (!WriteFile(xml, QStringLiteral("<dvdauthor dest=\"%1/dvd\">\n<vmgm/>\n%2</dvdauthor>\n")
                            .arg(dir, titleSets)
                            .toUtf8())) {
        *error = "cannot write " + xml;
        return false;
    }
    return RunTool("dvdauthor", {"-x", xml}, dir + "/dvd/VIDEO_TS/VTS_01_1.VOB", error,
                   {"VIDEO_FORMAT=NTSC"});
}

QByteArray WavSamples(const QString& wavPath) {
    QFile file(wavPath);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray bytes = file.readAll();
    // Walk the chunks: tools may put others before the data.
    for (qsizetype at = 12; at + 8 <= bytes.size();) {
        const quint32 size = qFromLittleEndian<quint32>(bytes.constData() + at + 4);
        if (bytes.mid(at, 4) == "data")
            return bytes.mid(at + 8, size);
        at += 8 + size + (size & 1);
    }
    return {};
}

QByteArray CdaRecord(int track, quint32 firstSector, quint32 sectorCount) {
    QByteArray record(44, '\0');
    char* at = record.data();
    memcpy(at, "RIFF", 4);
    qToLittleEndian<quint32>(36, at + 4);
    memcpy(at + 8, "CDDAfmt ", 8);
    qToLittleEndian<quint32>(24, at + 16);
    qToLittleEndian<quint16>(1, at + 20);
    qToLittleEndian<quint16>(static_cast<quint16>(track), at + 22);
    qToLittleEndian<quint32>(0x12345678, at + 24);
    qToLittleEndian<quint32>(firstSector, at + 28);
    qToLittleEndian<quint32>(sectorCount, at + 32);
    // The same as minutes, seconds and frames, counted from the lead-in's start.
    for (const auto& [offset, sectors] : {std::pair{36, firstSector + 150}, {40, sectorCount}}) {
        at[offset] = static_cast<char>(sectors % 75);
        at[offset + 1] = static_cast<char>(sectors / 75 % 60);
        at[offset + 2] = static_cast<char>(sectors / 75 / 60);
    }
    return record;
}

QByteArray DistinctPcm(int sectors, quint32 seed) {
    QByteArray pcm(sectors * kSectorBytes, '\0');
    quint32 state = seed;
    for (char& byte : pcm) {
        state = state * 1664525u + 1013904223u;
        byte = static_cast<char>(state >> 24);
    }
    return pcm;
}

bool MakeCdImage(const QString& dir, const std::vector<QByteArray>& tracks, QString* error) {
    QByteArray bin;
    QString cue = "FILE \"disc.bin\" BINARY\n";
    for (size_t i = 0; i < tracks.size(); ++i) {
        const int first = static_cast<int>(bin.size() / kSectorBytes);
        const int count = static_cast<int>(tracks[i].size() / kSectorBytes);
        cue +=
            QString::asprintf("  TRACK %02d AUDIO\n    INDEX 01 ", int(i + 1)) + Msf(first) + "\n";
        bin += tracks[i];
        if (!WriteFile(QString::asprintf("%s/Track%02d.cda", qPrintable(dir), int(i + 1)),
                       CdaRecord(int(i + 1), quint32(first), quint32(count)))) {
            *error = "cannot write a track file in " + dir;
            return false;
        }
    }
    if (!WriteFile(dir + "/disc.bin", bin) || !WriteFile(dir + "/disc.cue", cue.toUtf8())) {
        *error = "cannot write the image in " + dir;
        return false;
    }
    return true;
}
