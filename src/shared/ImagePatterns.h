#pragma once

#include <QStringView>

// The picture test: a list entry is a picture when its name ends in one of the twelve picture
// extensions of kAllPictureFormatsPattern, in any letter case.
bool isPictureName(QStringView name);
