#pragma once

#include "Module1.h"
#include "SettingsPersistence.h"
#include "TemporarySettings.h"
#include "TestPictures.h"
#include "frmImage.h"

#include <QTest>
#include <memory>

// The main window opened on a folder "pics" holding a.bmp and b.bmp, with its own store.
struct Window : TemporarySettings {
    Module1 module;
    std::unique_ptr<frmImage> window;

    frmImage& open(qint16 language = 0, QSize screen = {800, 600}) {
        folder.makeFolder("pics");
        for (const char* name : {"a.bmp", "b.bmp"})
            folder.write(QString("pics/") + name,
                         TestPictures::bmp(TestPictures::quadrants(40, 30)));
        Settings stored = Settings::startupDefaults(folder.filePath("pics"));
        stored.LanguageOffset = language;
        SaveSettings(stored, store);
        module.screen.pixels = screen;
        window =
            std::make_unique<frmImage>(module, store, VolumeTable({"/"}), folder.filePath("pics"));
        return *window;
    }

    // Waits until the page being filled has all its pictures, or has stopped at a failure.
    bool pageFilled() const {
        return QTest::qWaitFor([this] { return !window->browser().page().isFilling(); });
    }

    template <typename T> T* child(const char* name) const { return window->findChild<T*>(name); }
};
