// Times the navigation chain on a folder of many files: reading and sorting the file list,
// each keystroke of a typed pattern, and a folder change through the main window's logic.
//   bench_navigation [FILES]   (default 20000)
#include "FileList.h"
#include "ImageBrowser.h"
#include "Module1.h"
#include "XdgSettingsStore.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

struct SilentFeedback : BrowserFeedback {
    void showMessage(const QString&, const QString&) override {}
    void openPictureMenu() override {}
    void showFullScreenWindow(FullScreenRequest&) override {}
    void showBusy(bool) override {}
    void openHelp(int) override {}
};

double medianMs(const std::function<void()>& work, int runs = 5) {
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        work();
        times.push_back(timer.nsecsElapsed() / 1e6);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int files = argc > 1 ? std::atoi(argv[1]) : 20000;
    QTemporaryDir dir;
    const char* extensions[] = {"jpg", "bmp", "gif", "txt", "JPG", "png"};
    for (int i = 0; i < files; ++i) {
        QFile file(dir.filePath(QString("IMG_%1 foto.%2").arg(i).arg(extensions[i % 6])));
        file.open(QIODevice::WriteOnly);
    }
    QTemporaryDir config;
    std::printf("folder of %d files\n", files);

    FileList list(dir.path());
    const double readMs = medianMs([&] { list.setPattern(kAllPictureFormatsPattern); });
    std::printf("read and sort, all formats pattern: %8.1f ms (%d listed)\n", readMs, list.count());
    const QString typed = "*.jpg";
    for (int length = 1; length <= typed.size(); ++length) {
        const QString partial = typed.left(length);
        const double keystrokeMs = medianMs([&] { list.setPattern(partial); });
        std::printf("keystroke \"%s\": %8.1f ms (%d listed)\n", qPrintable(partial), keystrokeMs,
                    list.count());
    }

    XdgSettingsStore store(config.filePath("Lumi Vart"));
    SilentFeedback feedback;
    Module1 module;
    ImageBrowser browser(module, store, VolumeTable({"/"}), feedback, config.path());
    browser.loadSettingsAndFolder();
    browser.CboFiltro_Change("*.*");
    std::printf("folder change through the window's chain: %8.1f ms\n", medianMs([&] {
                    browser.Dir1().setPath(dir.path());
                    browser.Dir1().setPath(config.path());
                }) / 2);
    return 0;
}
