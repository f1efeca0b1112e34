#pragma once

#include "FullScreenRequest.h"
#include "ImageBrowser.h"
#include "Module1.h"
#include "SettingsPersistence.h"
#include "StringTable.h"
#include "TemporarySettings.h"
#include "TestPictures.h"

#include <QStringList>
#include <functional>
#include <QTest>
#include <memory>
#include <optional>

// Records what the browser asked the window to show.
struct RecordedFeedback : BrowserFeedback {
    QStringList messages; // "title|text"
    int menusOpened = 0;
    int fullScreenOpened = 0;
    std::optional<FullScreenRequest> fullScreen; // the last window's request, as it was opened
    QList<int> helpTopics;

    void showMessage(const QString& text, const QString& title) override {
        messages.append(title + '|' + text);
    }
    void openPictureMenu() override { ++menusOpened; }
    void showFullScreenWindow(FullScreenRequest& request) override {
        ++fullScreenOpened;
        fullScreen.emplace(request);
        if (whileFullScreen)
            whileFullScreen();
    }
    std::function<void()> whileFullScreen; // what happens while the window is open
    void openHelp(int topic) override { helpTopics.append(topic); }
    bool busy = false; // the busy pointer shows
    void showBusy(bool shown) override { busy = shown; }
};

// A browser started on a folder of test pictures, on an 800 x 600 screen unless told otherwise,
// with its own store.
struct Viewer : TemporarySettings {
    VolumeTable volumes{{"/"}};
    QSize screen{800, 600};
    Module1 module;
    RecordedFeedback feedback;
    std::unique_ptr<ImageBrowser> browser;

    QString pictures() const { return folder.filePath("pics"); }

    void addPicture(const QString& name, QSize size = {40, 30}) {
        folder.write("pics/" + name, TestPictures::bmp(TestPictures::quadrants(size.width(), size.height())));
    }
    void addFile(const QString& name, const QByteArray& contents = "not a picture") {
        folder.write("pics/" + name, contents);
    }

    // Starts the viewer in the pictures folder, as its window does at load.
    ImageBrowser& start(std::optional<Settings> stored = std::nullopt) {
        folder.makeFolder("pics");
        if (stored) {
            Settings s = *stored;
            SaveSettings(s, store);
        }
        module = Module1{};
        module.screen.pixels = screen;
        browser = std::make_unique<ImageBrowser>(module, store, volumes, feedback, pictures());
        browser->loadSettingsAndFolder();
        browser->CboFiltro_Change(LocalText(kTextAllFormats, module.settings.LanguageOffset));
        browser->chooseScreenClassAndLayOut();
        return *browser;
    }

    // Thumbnail sizes that give a page of 5 x 3 cells (LastCell 14) on this screen.
    static Settings fifteenCells(const QString& folder) {
        Settings s = Settings::startupDefaults(folder);
        s.ThumbWidth = 1338;
        s.SpacingH = 254;
        s.ThumbHeight = 1430;
        s.SpacingV = 688;
        return s;
    }

    // Selects a list position and waits until the page it fills has all its pictures, or has
    // stopped at a picture that cannot be loaded; in zoom mode, until the zoom view's picture
    // has been read.
    bool select(int position) {
        return browser->File1().setListIndex(position) && pageFilled() &&
               QTest::qWaitFor([this] { return !browser->zoom().isReading(); });
    }
    bool pageFilled() const {
        return QTest::qWaitFor([this] { return !browser->page().isFilling(); });
    }

    QStringList captions() const {
        QStringList result;
        for (const ThumbnailCell& cell : browser->cells())
            result.append(cell.caption);
        return result;
    }
    int visibleImages() const {
        int count = 0;
        for (const ThumbnailCell& cell : browser->cells())
            count += cell.imageVisible ? 1 : 0;
        return count;
    }
};

