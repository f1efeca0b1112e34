#pragma once

#include "DeviceContext.h"
#include "FontMapper.h"

#include <QFont>
#include <QList>
#include <QPointF>
#include <QRectF>
#include <QString>
#include <QTransform>

class QPainter;

// A run of text as a text record gives it.
struct TextRun {
    enum Options : quint32 {
        Opaque = 0x02,
        Clipped = 0x04,
        GlyphIndex = 0x10,
        NoRect = 0x100,
        PdY = 0x2000
    };
    QPointF reference; // logical
    QString text;
    QList<double> advances; // logical distance to the next character, per character
    QList<double> risings;  // with PdY: logical rise to the next character
    quint32 options = 0;
    QRectF rectangle;          // logical, for Opaque and Clipped
    bool advancedMode = false; // glyphs follow the whole mapping (GM_ADVANCED)

    // Adds the advances a record stores per byte of its text, summed per character (a
    // character of n bytes moves by the sum of its n values). valueAt(byte, rising) reads
    // the horizontal value of a byte, or with PdY its vertical one.
    template <typename ValueAt> void takeAdvances(const QList<int>& bytesPerChar, ValueAt valueAt) {
        const bool withRisings = options & PdY;
        qint64 byte = 0;
        for (const int n : bytesPerChar) {
            double dx = 0;
            double dy = 0;
            for (int k = 0; k < n; ++k, ++byte) {
                dx += valueAt(byte, false);
                if (withRisings)
                    dy += valueAt(byte, true);
            }
            advances.append(dx);
            if (withRisings)
                risings.append(dy);
        }
    }
};

// Lays out and paints runs of text for the canvas: picks the font and its size from the device
// context's font and the mapping, places each character (by the font's advances or the
// record's), aligns the run as the context says, and draws the glyphs within whatever clip the
// canvas gave the painter. It also counts the characters of a playback against
// MetafileLimits::kMostGlyphs.
class TextDrawer {
public:
    // Where and how a run of text is drawn. Text space has x along the baseline and y down, in
    // about output pixels; toOutput maps it onto the output. The font has a whole pixel size,
    // and fontScale brings it to the em height wanted.
    struct Placement {
        QTransform toOutput;
        QFont font;
        double fontScale = 1;
        qsizetype count = 0;       // characters drawn
        QList<QPointF> positions;  // of each character, in text space
        bool evenlySpaced = false; // the font's own advances, nothing added: drawn as one string
        double originX = 0;        // of the first character
        double baseline = 0;
        QRectF box; // the cell of the whole run, in text space
    };

    // Lays a run out; false when its size cannot be drawn. deviceScale: output pixels per
    // device unit, which sizes the default font.
    bool place(const TextRun& run, const DeviceContext& dc, const QTransform& logicalToOutput,
               double deviceScale, Placement& placement);
    // Paints the background box (on an opaque background) and the glyphs of a placed run.
    void draw(QPainter& painter, const TextRun& run, const DeviceContext& dc,
              const Placement& placement) const;
    // Adds characters to those drawn in this playback; false once they are too many.
    bool countGlyphs(qsizetype count);

private:
    // How logical units become text-space units for a run.
    struct Scales {
        double unitsPerLogical = 1; // for heights and rises
        double advanceScale = 1;    // for advances
    };
    static Scales orient(const TextRun& run, const DeviceContext& dc, const QTransform& t,
                         Placement& placement);
    void chooseFont(const GdiFont& gdiFont, const FontMapper::Metrics& metrics, double em,
                    double unitsPerLogical, Placement& placement);
    // Sets each character's position; returns the run's width.
    static double placeCharacters(const TextRun& run, const DeviceContext& dc, const Scales& scales,
                                  Placement& placement);
    static void align(quint32 textAlign, double width, double ascent, double descent,
                      Placement& placement);

    FontMapper m_fonts;
    qint64 m_glyphs = 0;
};
