#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// Metafiles of a few bytes a record that ask for much drawing work, one of each kind the
// drawing budget counts, and one that looks heavy but covers little (thin diagonal shapes), for
// bench_metafile --heavy. Each draws a picture of side x side pixels at its natural size.
struct HeavyMetafile {
    QString name;
    QByteArray bytes;
};

QList<HeavyMetafile> heavyMetafiles(int side);
