#pragma once

#include "SlideShow.h"

#include <QList>

// Draws the numbers it was given, in order, then 0; counts the draws.
struct ScriptedRandom : RandomSource {
    QList<double> draws;
    int drawn = 0;

    double uniform() override {
        ++drawn;
        return draws.isEmpty() ? 0.0 : draws.takeFirst();
    }
};
