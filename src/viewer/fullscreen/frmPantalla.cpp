#include "frmPantalla.h"

#include "HelpViewer.h"
#include "ImageBrowser.h"
#include "Module1.h"
#include "PictureCell.h"
#include "PictureLoader.h"
#include "ProgramArt.h"
#include "StringTable.h"

#include <QKeyEvent>
#include <QtConcurrent/QtConcurrentRun>

frmPantalla::frmPantalla(Module1& module, ImageBrowser& browser, RandomSource& random,
                         QWidget* parent)
    : QDialog(parent, Qt::Window | Qt::FramelessWindowHint), m_module(module), m_browser(browser),
      m_show(*this, module.settings, module.CurrentIndex, random),
      m_slide(new PictureCell(this)) {
    setObjectName("frmPantalla");
    m_slide->setObjectName("Slide");
    m_slide->hide();
    setStyleSheet("background-color: black;");
    setGeometry(QRect(QPoint(0, 0), m_module.screen.pixels));
    setWindowState(Qt::WindowFullScreen);
    connect(&m_reloj, &QTimer::timeout, this, [this] { m_show.Reloj_Timer(); });

    // Load: the timer runs from the start only in the slide show.
    m_previewPending = false;
    m_helpTopic = m_module.settings.LanguageOffset + kHelpFullScreen;
    const QCursor cross = ProgramArt::cursor(3);
    setCursor(cross);
    m_slide->setCursor(cross);
    const FileList& list = m_browser.File1();
    m_show.setList(list.entries(), m_module.FileCount, m_module.settings.CurrentFolder);
    m_show.startTimer(m_module.SlideShowMode);
    if (list.listIndex() >= 0)
        m_module.CurrentIndex = static_cast<qint16>(list.listIndex());
    if (m_browser.zoomView().visible)
        m_previewPending = true;
    m_show.DiapoZ(u"N");
}

frmPantalla::~frmPantalla() {
    m_module.UsePreviewPicture = false;
    m_ahead.waitForFinished();
}

void frmPantalla::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_F1) {
        HelpViewer::showTopic(m_helpTopic, this);
        return;
    }
    const QString text = event->text();
    if (text.isEmpty())
        return;
    if (m_show.keyPressed(text.front()) == SlideShow::KeyResult::Close)
        accept();
}

bool frmPantalla::takeWaitingPicture() {
    if (!((m_previewPending && m_browser.zoomView().visible) || m_module.UsePreviewPicture))
        return false;
    m_module.UsePreviewPicture = false;
    m_previewPending = false;
    const ZoomView& zoom = m_browser.zoomView();
    m_picture = zoom.picture;
    // The preview keeps only what the zoom view can show; the screen is larger.
    const QSize wanted = zoom.picture.naturalSize.scaled(decodeBound(), Qt::KeepAspectRatio)
                             .boundedTo(zoom.picture.naturalSize);
    const QSize held = zoom.picture.image.size();
    if (!zoom.sourcePath.isEmpty() && (held.width() < wanted.width() || held.height() < wanted.height())) {
        PictureLoader::Result sharper = PictureLoader::load(zoom.sourcePath, decodeBound());
        if (sharper.ok())
            m_picture = std::move(sharper.picture);
    }
    return true;
}

bool frmPantalla::loadSlide(const QString& path) {
    PictureLoader::Result loaded = path == m_aheadPath && m_ahead.isValid()
                                       ? m_ahead.result()
                                       : PictureLoader::load(path, decodeBound());
    m_aheadPath.clear();
    if (!loaded.ok())
        return false;
    m_picture = std::move(loaded.picture);
    return true;
}

QSize frmPantalla::slidePictureSize() const { return m_picture.naturalSize; }

QSizeF frmPantalla::screenSize() const { return QSizeF(m_module.screen.pixels); }

void frmPantalla::hideSlide() { m_slide->hide(); }

void frmPantalla::showSlide(const QRectF& rect) {
    m_slide->setPicture(m_picture.image);
    m_slide->setGeometry(rect.toRect());
    m_slide->show();
    readAhead();
}

void frmPantalla::readAhead() {
    const std::optional<QString> upcoming = m_show.upcomingFile();
    if (!upcoming || *upcoming == m_aheadPath)
        return;
    m_ahead.waitForFinished();
    m_aheadPath = *upcoming;
    m_ahead = QtConcurrent::run([path = *upcoming, bound = decodeBound()] {
        return PictureLoader::load(path, bound);
    });
}

void frmPantalla::timerChanged(bool running, int periodMs) {
    m_reloj.setInterval(periodMs);
    if (running)
        m_reloj.start();
    else
        m_reloj.stop();
}

QSize frmPantalla::decodeBound() const { return m_module.screen.pixels; }
