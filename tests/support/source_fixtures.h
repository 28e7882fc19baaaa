#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <vector>

// Sources the engine cannot read on its own, made at test time by the tools that
// write them. Each maker returns false with the tool's complaint in *error.

// Runs a tool to its end; false when it cannot run, fails, or writes no output.
bool RunTool(const QString& program, const QStringList& arguments, const QString& output,
             QString* error, const QStringList& environment = {});

// A DVD-Video folder, dir/dvd/VIDEO_TS, with one title set per clip length in
// seconds (noise pictures, so each second comes to about 1 MiB).
bool MakeDvdFolder(const QString& dir, const std::vector<double>& clipSeconds, QString* error);

// The 16-bit samples of a WAV file's data chunk (little-endian, as stored).
QByteArray WavSamples(const QString& wavPath);

// A compact disc image: disc.bin holding the tracks' PCM one after the other
// (each a whole number of 2352-byte sectors) and disc.cue describing it, plus a
// ".cda" track file per track, TrackNN.cda, as a disc's file system shows them.
bool MakeCdImage(const QString& dir, const std::vector<QByteArray>& tracks, QString* error);
// The 44-byte ".cda" record of a track.
QByteArray CdaRecord(int track, quint32 firstSector, quint32 sectorCount);
// PCM that tells every sample from its neighbours: a hash of the position.
QByteArray DistinctPcm(int sectors, quint32 seed);
