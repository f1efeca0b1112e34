#pragma once

#include "FullScreenRequest.h"
#include "ImageBrowser.h"
#include "Module1.h"
#include "SettingsPersistence.h"
#include "StringTable.h"
#include "TemporarySettings.h"
#include "TestPictures.h"

#include <QStringList>
#include <QTest>
#include <algorithm>
#include <memory>
#include <optional>

// Records what the browser asked the window to show.
struct RecordedFeedback : BrowserFeedback {
    QStringList messages; // "title|text"
    int menusOpened = 0;
    int fullScreenOpened = 0;
    std::optional<FullScreenRequest> fullScreen; // the last window's request, as it was opened
    bool busy = false;                           // the busy pointer shows

    void showMessage(const QString& text, const QString& title) override {
        messages.append(title + '|' + text);
    }
    void openPictureMenu() override { ++menusOpened; }
    void showFullScreenWindow(FullScreenRequest& request) override {
        ++fullScreenOpened;
        fullScreen.emplace(request);
    }
    void openHelp(int) override {}
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
        addFile(name, TestPictures::bmp(TestPictures::quadrants(size.width(), size.height())));
    }
    void addFile(const QString& name, const QByteArray& contents = "not a picture") {
        folder.write("pics/" + name, contents);
    }
    // p00.bmp, p01.bmp and so on.
    static QString numbered(int i, const char* extension = ".bmp") {
        return QString("p%1%2").arg(i, 2, 10, QChar('0')).arg(extension);
    }
    void addPictures(int count) {
        for (int i = 0; i < count; ++i)
            addPicture(numbered(i));
    }

    // Starts the viewer in the pictures folder, as its window does at load.
    ImageBrowser& start(std::optional<Settings> stored = std::nullopt) {
        folder.makeFolder("pics");
        if (stored)
            SaveSettings(*stored, store);
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
    // Fills the page from the first file and shows a cell's picture in the zoom view.
    bool preview(int cell = 0) {
        if (!select(0))
            return false;
        browser->Image1_Click(cell);
        return browser->zoomView().visible;
    }

    QStringList captions() const {
        QStringList result;
        for (const ThumbnailCell& cell : browser->cells())
            result.append(cell.caption);
        return result;
    }
    int visibleImages() const {
        const auto& cells = browser->cells();
        return int(
            std::count_if(cells.begin(), cells.end(), [](auto& c) { return c.imageVisible; }));
    }
};
