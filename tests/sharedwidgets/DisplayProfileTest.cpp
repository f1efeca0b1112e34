// The screen's profile as a colour daemon publishes it on the X root window, read on an Xvfb of
// the test's own.
#include "DisplayProfile.h"
#include "TestPictures.h"

#include <QGuiApplication>
#include <QtGui/qguiapplication_platform.h>
#include <QtTest>

#include <xcb/xcb.h>

class DisplayProfileTest : public QObject {
    Q_OBJECT

private slots:
    void theRootWindowsProfileIsRead_data() {
        QTest::addColumn<QByteArray>("published");
        QTest::addColumn<int>("format"); // bits an item
        QTest::addColumn<bool>("taken");
        const QByteArray swapped = TestPictures::installedProfile("colord/SwappedRedAndGreen.icc");
        QTest::newRow("a profile") << swapped << 8 << true;
        QTest::newRow("past 4 MiB") << swapped + QByteArray(4 << 20, '\0') << 8 << false;
    }

    void theRootWindowsProfileIsRead() {
        QFETCH(QByteArray, published);
        QFETCH(int, format);
        QFETCH(bool, taken);
        auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
        QVERIFY(x11);
        xcb_connection_t* connection = x11->connection();
        const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
        xcb_intern_atom_reply_t* atom = xcb_intern_atom_reply(
            connection, xcb_intern_atom(connection, 0, 12, "_ICC_PROFILE"), nullptr);
        QVERIFY(atom);
        xcb_change_property(connection, XCB_PROP_MODE_REPLACE, root, atom->atom, XCB_ATOM_CARDINAL,
                            quint8(format), quint32(published.size() / (format / 8)),
                            published.constData());
        std::free(atom);
        // A round trip: the server has taken the change before the reading starts.
        std::free(xcb_get_input_focus_reply(connection, xcb_get_input_focus(connection), nullptr));
        QCOMPARE(DisplayProfile::ofX11Root(), taken ? published : QByteArray());
    }
};

QTEST_MAIN(DisplayProfileTest)
#include "DisplayProfileTest.moc"
